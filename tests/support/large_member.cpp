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
  // Made once: a test of peak memory must not see the packer's own work.
  static const std::vector<Payload> payloads = [] {
    std::vector<Payload> made;
    for (uint8_t seed = 0; seed < 16; ++seed) made.push_back(PackedBlock(seed));
    return made;
  }();
  Bytes member;
  for (uint32_t i = 0; i < blocks; ++i) {
    const Payload& payload = payloads[i % 16];
    Hrst2Options options;
    options.flags = i + 1 == blocks ? kFlagLast : 0;
    if (i == 0) options.descriptor = Descriptor(name, 'C', 0, 0, 0);
    if (i < 16 && unpacked) unpacked->push_back(payload.unpacked);
    const Bytes block = Hrst2Block(payload, options);
    member.insert(member.end(), block.begin(), block.end());
  }
  return member;
}

Bytes ArchiveOfMembers(const std::vector<Bytes>& members) {
  HripArchive archive;
  archive.catalogue = false;
  archive.body = members;
  return BuildHripArchive(archive);
}

}  // namespace zantor::test
