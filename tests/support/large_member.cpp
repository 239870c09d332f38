#include "support/large_member.h"

#include <algorithm>

#include "support/hrust2_writer.h"
#include "support/image_builder.h"

namespace zantor::test {

Bytes LargeMember(uint32_t blocks, const std::string& name, std::vector<Bytes>* unpacked) {
  // Packed once, headers and CRCs included: a member of 2 GiB is made in
  // moments, and a test of peak memory does not see the packer's own work.
  // Block seed: sixteen literals from seed on, then long copies of them.
  static const std::vector<Payload> payloads = [] {
    std::vector<Payload> made;
    for (uint8_t seed = 0; seed < 16; ++seed) {
      Hrust2Writer w({'t', 'a', 'i', 'l', '6', '!'}, seed);
      for (uint8_t i = 1; i < 16; ++i) w.Literal(uint8_t(seed + i * 17));
      while (w.produced() < kLargeMemberBlock)
        w.Copy(std::min<uint32_t>(4095, kLargeMemberBlock - uint32_t(w.produced())), 16);
      w.End();
      made.push_back(Payload{w.packed(), w.Unpacked(), false});
    }
    return made;
  }();
  static const std::vector<Bytes> packed = [] {
    std::vector<Bytes> made;
    for (const Payload& payload : payloads) made.push_back(Hrst2Block(payload, Hrst2Options{0}));
    return made;
  }();
  Bytes member;
  for (uint32_t i = 0; i < blocks; ++i) {
    Hrst2Options first;
    first.descriptor = Descriptor(name, 'C', 0, 0, 0);
    Bytes block = i == 0 ? Hrst2Block(payloads[0], first) : packed[i % 16];
    block[5] = i + 1 == blocks ? kFlagLast : 0;  // the flags
    member.insert(member.end(), block.begin(), block.end());
    if (unpacked && i < 16) unpacked->push_back(payloads[i].unpacked);
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
