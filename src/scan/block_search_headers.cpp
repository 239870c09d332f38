// Header recognition and the size plausibility tests of the block search.
#include "codec/hrst2_header.h"
#include "scan/block_search.h"

namespace zantor {
namespace {

// Common ratio test: large blocks must pack to at most limitRatio/ratio of
// their size, small ones may grow by 100 bytes at most.
bool SizesPlausible(const BlockInfo& info, uint32_t maxUnpacked, uint64_t ratio, uint64_t limitRatio) {
  if (info.packed < 9 || info.unpacked > maxUnpacked) return false;
  if (info.unpacked >= 1000) return uint64_t{info.packed} * ratio <= uint64_t{info.unpacked} * limitRatio;
  return uint64_t{info.packed} <= uint64_t{info.unpacked} + 100;
}

bool Truncated(uint32_t p, uint32_t headerLength, uint32_t packed, uint32_t size) {
  return uint64_t{p} + headerLength + packed > size;
}

}  // namespace

bool Plausible(const BlockInfo& info) {
  if (info.stored) return info.packed == info.unpacked;
  return SizesPlausible(info, 40960, 30, 31);
}

bool PlausibleH1(const BlockInfo& info) { return SizesPlausible(info, 65280, 64, 67); }

bool HeaderCheckH2(const uint8_t* image, uint32_t size, uint32_t p, BlockInfo* info) {
  const uint8_t* h = image + p;
  if (uint64_t{p} + 8 <= size && h[0] == 'h' && h[1] == 'r' && h[2] == '2' && (h[3] & 0x7F) == '1') {
    *info = BlockInfo{ReadLe16(h + 6), ReadLe16(h + 4), 8, static_cast<uint8_t>(h[3] >> 7), kFormatHr21, 0};
  } else if (uint64_t{p} + kHrst2FixedLength <= size && IsHrst2Signature(h) &&
             uint64_t{p} + Hrst2Fields::Read(h).HeaderLength() <= size) {
    Hrst2Fields fields = Hrst2Fields::Read(h);
    *info = BlockInfo{fields.packed, fields.unpacked, fields.HeaderLength(),
                      static_cast<uint8_t>(fields.flags & kHrst2Stored), kFormatHrst2, 0};
  } else {
    return false;
  }
  info->truncated = Truncated(p, info->headerLength, info->packed, size);
  return Plausible(*info);
}

bool HeaderCheckH1(const uint8_t* image, uint32_t size, uint32_t p, BlockInfo* info) {
  const uint8_t* h = image + p;
  if (h[0] != 'H' || h[1] != 'R') return false;
  uint32_t total = ReadLe16(h + 4);
  if (total < 6) return false;
  *info = BlockInfo{total - 6, ReadLe16(h + 2), 6, 0, kFormatHrust1, 0};
  info->truncated = Truncated(p, 6, info->packed, size);
  return PlausibleH1(*info);
}

}  // namespace zantor
