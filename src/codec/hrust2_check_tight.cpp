// CheckHrust2Tight: CheckHrust2 for the exhaustive search, which starts a
// check at every byte of an image. Most checks there fail within the first
// bit byte, which a table decides; the rest are CheckHrust2's. So error,
// consumed and produced are always those of CheckHrust2.
#include "codec/hrust2.h"
#include "codec/hrust2_fast.h"

namespace zantor {
namespace {

// What the codes of the first bit byte tell, at the start of a stream where
// produced is 1: for most bytes, that a copy from before the start of the
// output comes before the byte is used up, or does unless one data byte is
// large. Such a stream fails after a table look-up and at most one byte
// test, in place of a dozen unpredictable branches; that decides the check at
// most positions of chance data.
class FirstByteTable {
 public:
  // Entry: kFails or kByteTest (either with kNextBitByte), produced << 4
  // and the data bytes read, up to the failing copy's test byte for a
  // byte-test entry (the one after them); 0 when undecided. A byte-test
  // entry fails when the byte plus produced is below 256 (a copy from
  // distance 256 - byte).
  static constexpr uint16_t kFails = 0x8000;
  static constexpr uint16_t kByteTest = 0x4000;
  static constexpr uint16_t kNextBitByte = 0x2000;  // the failing code took another bit byte

  constexpr FirstByteTable() : entry_() {
    for (uint32_t bits = 0; bits < 256; ++bits) entry_[bits] = Decide(bits);
  }
  uint16_t operator[](uint32_t bits) const { return entry_[bits]; }

 private:
  static constexpr uint16_t Entry(uint16_t kind, uint32_t produced, uint32_t bytes) {
    return uint16_t(kind | produced << 4 | bytes);
  }

  // Follows the codes of the bit byte as the checker would; only codes whose
  // outcome the bits (and one data byte) decide are followed.
  static constexpr uint16_t Decide(uint32_t bits) {
    uint32_t unread = 8;
    uint32_t produced = 1;
    uint32_t bytes = 0;
    while (unread > 0) {
      if ((bits >> --unread) & 1) {  // a literal
        ++bytes;
        ++produced;
        continue;
      }
      if (unread < 2) return 0;
      unread -= 2;
      const uint32_t group = (bits >> unread) & 3;
      if (group == 0) {  // 0 00: a length-1 copy from distance 1 to 8
        if (unread < 3) return 0;
        unread -= 3;
        const uint32_t distance = 8 - ((bits >> unread) & 7);
        if (distance > produced) return Entry(kFails, produced, bytes);
        ++produced;
        continue;
      }
      if (group == 1) return Entry(kByteTest, produced, bytes);  // 0 01: distance 256 - byte
      if (group == 3) {  // 0 11 g: lengths 4 and 5 decide here, the rest needs more bits
        if (unread < 2) return 0;
        unread -= 2;
        const uint32_t next = (bits >> unread) & 3;
        if (next != 1 && next != 2) return 0;
      }
      // The far offset: 1 and a byte, or 0, a width code, high bits and a
      // byte, at distance 257 or more, unless an escape byte follows.
      if (unread < 1) return 0;
      if ((bits >> --unread) & 1) return Entry(kByteTest, produced, bytes);
      if (unread < 2) return 0;
      unread -= 2;
      const uint32_t width = 4 - ((bits >> unread) & 3);
      if (unread < width) {
        // The high bits run on into the next bit byte: only width 4 with all
        // bits 0 is the escape.
        if (width == 4 && (bits & ((1u << unread) - 1)) == 0) return 0;
        return Entry(kFails | kNextBitByte, produced, bytes + 1);
      }
      unread -= width;
      if (width == 4 && ((bits >> unread) & 15) == 0) return 0;  // the escape byte
      return Entry(kFails, produced, bytes + 1);
    }
    return 0;
  }

  uint16_t entry_[256];
};

constexpr FirstByteTable kFirstBytes{};

// The codes of one bit byte read fewer bytes, and produce fewer, than this.
constexpr int64_t kFirstByteMargin = 64;

}  // namespace

void CheckHrust2Tight(DecoderState& state) {
  Hrust2FastReader in{state.packed + state.packedSize, int64_t(kHrust2Tail + 1) - int64_t(state.packedSize),
                      Hrust2FastReader::kEmpty};
  if (!in.Far()) return CheckHrust2(state);  // short data: careful all along
  if (in.pos <= -kFirstByteMargin && state.expectedSize >= kFirstByteMargin) {
    const uint16_t first = kFirstBytes[in.end[in.pos]];
    const uint32_t bytes = first & 15;
    const uint32_t produced = (first >> 4) & 15;
    const bool fails = (first & FirstByteTable::kFails) != 0 ||
                       ((first & FirstByteTable::kByteTest) != 0 && in.end[in.pos + 1 + bytes] + produced < 256);
    if (fails) {
      const uint32_t testByte = (first & FirstByteTable::kByteTest) ? 1 : 0;
      const uint32_t nextBitByte = (first & FirstByteTable::kNextBitByte) ? 1 : 0;
      state.consumed = uint32_t(in.pos + int64_t(state.packedSize)) + 1 + bytes + testByte + nextBitByte;
      state.produced = produced;
      return StopRun(state, kBeforeOutputStart);
    }
  }

  CheckHrust2(state);
}

}  // namespace zantor
