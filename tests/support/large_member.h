// Test-only Hrip members of any size made by the test packer from sixteen
// highly packed blocks, so that a member of hundreds of MiB takes well under
// a MiB of archive.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace zantor::test {

// What each block of such a member unpacks to.
constexpr uint32_t kLargeMemberBlock = 65535;

// A member of blocks blocks (cycling through sixteen different ones) named by
// its TR-DOS descriptor; *unpacked, when given, receives the sixteen blocks'
// data, block i unpacking to (*unpacked)[i % 16].
std::vector<uint8_t> LargeMember(uint32_t blocks, const std::string& name,
                                 std::vector<std::vector<uint8_t>>* unpacked = nullptr);
// A Hrip archive of the given members, without a catalogue.
std::vector<uint8_t> ArchiveOfMembers(const std::vector<std::vector<uint8_t>>& members);

}  // namespace zantor::test
