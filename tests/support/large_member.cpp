#include "support/large_member.h"

#include "support/hrust2_writer.h"
#include "support/image_builder.h"

namespace zantor::test {
namespace {

// Sixteen literals from seed on, then long copies of them.
Payload PackedBlock(uint8_t seed) {
  Hrust2Writer w({'t', 'a', 'i', 'l', '6', '!'}, seed);
  for (uint8_t i = 1; i < 16; ++i) w.Literal(uint8_t(seed + i * 17));
  while (w.produced() + 4095 <= kLargeMemberBlock) w.Copy(4095, 16);
  if (w.produced() < kLargeMemberBlock) w.Copy(kLargeMemberBlock - uint32_t(w.produced()), 16);
  w.End();
  return Payload{w.packed(), w.Unpacked(), false};
}

}  // namespace

Bytes LargeMember(uint32_t blocks, const std::string& name, std::vector<Bytes>* unpacked) {
  // Made once, headers and CRCs included: a member of 2 GiB is made in
  // moments, and a test of peak memory does not see the packer's own work.
  static const std::vector<Payload> payloads = [] {
    std::vector<Payload> made;
    for (uint8_t seed = 0; seed < 16; ++seed) made.push_back(PackedBlock(seed));
    return made;
  }();
  static const std::vector<Bytes> packed = [] {
    std::vector<Bytes> made;
    for (const Payload& payload : payloads) made.push_back(Hrst2Block(payload, Hrst2Options{0}));
    return made;
  }();
  constexpr size_t kFlagsOffset = 5;
  Bytes member;
  for (uint32_t i = 0; i < blocks; ++i) {
    const uint8_t flags = i + 1 == blocks ? kFlagLast : 0;
    Bytes block;
    if (i == 0) {
      Hrst2Options options;
      options.flags = flags;
      options.descriptor = Descriptor(name, 'C', 0, 0, 0);
      block = Hrst2Block(payloads[0], options);
    } else {
      block = packed[i % 16];
      block[kFlagsOffset] = flags;
    }
    member.insert(member.end(), block.begin(), block.end());
  }
  if (unpacked)
    for (uint32_t i = 0; i < 16 && i < blocks; ++i) unpacked->push_back(payloads[i].unpacked);
  return member;
}

Bytes ArchiveOfMembers(const std::vector<Bytes>& members) {
  HripArchive archive;
  archive.catalogue = false;
  archive.body = members;
  return BuildHripArchive(archive);
}

}  // namespace zantor::test
