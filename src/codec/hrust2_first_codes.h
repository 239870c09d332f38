// The first codes of a Hrust 2 stream, decided in one table look-up: at the
// start of a check, most chance data fails within its first two bit bytes.
#pragma once
#include <cstdint>

#include "codec/first_codes.h"
#include "codec/hrust2_bits.h"

namespace zantor {

// The codes of two bit bytes read fewer bytes, and produce fewer, than this.
constexpr uint32_t kFirstCodesMargin = 64;

// What the codes of the first two bit bytes tell, at the start of a stream
// where produced is 1: for most streams, that a copy from before the start of
// the output comes before the bits are used up, or does unless one data byte
// is large. Such a stream fails after a table look-up and at most one byte
// test, in place of a dozen unpredictable branches. Up to the second bit
// byte only literals and short copies can pass, so where it stands follows
// from the first one.
class Hrust2FirstCodesTable {
 public:
  // Entry: the bytes a failing check walked, the bound below which the last
  // of them fails it (256: whatever it is; 0: undecided) and produced.
  static constexpr uint32_t kWalkedMask = 0xFF;
  static constexpr uint32_t kBoundShift = 8;
  static constexpr uint32_t kProducedShift = 17;

  Hrust2FirstCodesTable() {
    for (uint32_t first = 0; first < 256; ++first) {
      secondAt_[first] = uint8_t(Walk(first, 0).SecondAt());
      for (uint32_t second = 0; second < 256; ++second) entry_[first << 8 | second] = Walk(first, second).Decide();
    }
  }
  // Where the second bit byte stands; a byte of the first codes when the
  // first bit byte decides alone.
  uint32_t SecondAt(uint32_t first) const { return secondAt_[first]; }
  uint32_t operator()(uint32_t first, uint32_t second) const { return entry_[first << 8 | second]; }

 private:
  // The checker's walk over the two bit bytes; the data bytes are known only
  // by where they stand.
  struct Walk {
    Walk(uint32_t first, uint32_t second) : bits(first << 8 | second) {}
    uint32_t bits;                    // the first bit byte, then the second
    uint32_t taken = 0;               // bits taken
    uint32_t next = kHrust2Tail + 2;  // where the next packed byte stands
    uint32_t produced = 1;
    uint32_t secondAt = kHrust2Tail + 1;
    bool ran = false;  // a third bit byte was wanted

    uint32_t Bits(uint32_t n) {
      uint32_t value = 0;
      for (; n > 0; --n) {
        if (taken == 16) {
          ran = true;
          return 0;
        }
        if (taken == 8) secondAt = next++;  // fetched when its first bit is wanted
        value = value << 1 | ((bits >> (15 - taken++)) & 1);
      }
      return value;
    }
    // The check fails when the last byte walked is below bound.
    uint32_t Entry(uint32_t walked, uint32_t bound) const {
      return ran ? kUndecided : walked | bound << kBoundShift | produced << kProducedShift;
    }
    uint32_t SecondAt() {
      Decide();
      return secondAt;
    }

    uint32_t Decide() {
      for (uint32_t literalRow = 0;;) {
        if (Bits(1)) {
          if (++literalRow > kHrust2MaxLiteralRow || ran) return kUndecided;
          ++next;
          ++produced;
          continue;
        }
        literalRow = 0;
        const uint32_t s = LengthPrefix([&] { return Bits(2); });
        if (s == 1) {  // a length-1 copy from distance 1 to 8
          const uint32_t distance = 8 - Bits(3);
          if (ran) return kUndecided;
          if (distance > produced) return Entry(next, 256);
          ++produced;
          continue;
        }
        if (s == 2) return Entry(next + 1, 256 - produced);  // distance 256 - byte
        if (s == 4) return kUndecided;                        // literal runs, long lengths, the end code
        // The far offset: 1 and a byte, or 0, a width code, high bits and a
        // byte, at distance 257 or more, unless an escape byte follows.
        if (Bits(1)) return Entry(next + 1, 256 - produced);
        const uint32_t width = 4 - Bits(2);
        if (width == 4 && Bits(width) == 0) return kUndecided;  // the escape byte
        if (width != 4) Bits(width);
        return Entry(next + 1, 256);
      }
    }
  };

  // Walks the first bit byte, so that its test reads a byte the check has.
  static constexpr uint32_t kUndecided = kHrust2Tail + 2;

  uint32_t entry_[65536];
  uint8_t secondAt_[256];
};

// Built on first use: 256 KiB that only the exhaustive search needs.
const Hrust2FirstCodesTable& Hrust2FirstCodes();

// The packed data a first-codes decision needs: the tail, the first byte,
// the first bit byte and the margin.
constexpr uint32_t kHrust2FirstCodesSpan = kHrust2Tail + 2 + kFirstCodesMargin;

// What the first two bit bytes decide for the stream at packed, which has
// at least kHrust2FirstCodesSpan bytes and an expected size of
// kFirstCodesMargin or more. Branch-free, so that a search can sort out a
// run of positions without a branch it could mispredict.
inline FirstCodesFailure Hrust2FirstCodesFailure(const uint8_t* packed, const Hrust2FirstCodesTable& codes) {
  const uint32_t first = packed[kHrust2Tail + 1];
  const uint32_t entry = codes(first, packed[codes.SecondAt(first)]);
  const uint32_t walked = entry & Hrust2FirstCodesTable::kWalkedMask;
  // 0 or 1 and no ?:, which the compiler may turn into a branch.
  const uint32_t fails = uint32_t(packed[walked - 1] < ((entry >> Hrust2FirstCodesTable::kBoundShift) & 0x1FF));
  return {(0u - fails) & walked, entry >> Hrust2FirstCodesTable::kProducedShift, kBeforeOutputStart};
}

}  // namespace zantor
