// The Hrust 2 codes that the decoder's fast walk takes with one look-up of the
// next kHrust2StepIndexBits bits: every copy whose bits fit and which reads at
// most one data byte, its low distance byte, after them, and the literal
// runs. A literal flag first has an entry of its own; the walk counts the row
// (up to kHrust2MaxFlagsPerStep flags) from the bits.
// Nearly every code of real data is one. Looking the whole code up replaces
// a chain of data-dependent branches, which the predictor cannot learn on
// packed data, by a few arithmetic steps.
#pragma once
#include <cstdint>

namespace zantor {

constexpr uint32_t kHrust2StepIndexBits = 12;
constexpr uint32_t kHrust2MaxFlagsPerStep = 4;

// Entry, a byte each: bits used (0 for a code the fast walk leaves to the
// slow parser), length, bits and data bytes taken together (the cut, 8 per
// data byte), and the distance: H (1 to 8) for a copy made of bits, H | kByte
// for one that reads its low distance byte, H * 256 - byte. Literal flags
// have kLiteralFlags. A literal run, slow, has its bits as length and v of its
// 2 v + 12 bytes as distance.
struct Hrust2StepTable {
  static constexpr uint32_t kByte = 0x80;
  // A literal flag first: no bits, length, cut or distance, but not slow.
  // The 1 lies above the six bits of a shift count.
  static constexpr uint32_t kLiteralFlags = 0x40;
  uint32_t entry[1u << kHrust2StepIndexBits];

  constexpr Hrust2StepTable() : entry() {
    for (uint32_t bits = 0; bits < (1u << kHrust2StepIndexBits); ++bits) entry[bits] = Decide(bits);
  }

 private:
  static constexpr uint32_t kBits = kHrust2StepIndexBits;
  static constexpr uint32_t kSlow = 0;
  // n bits from bit at (counted from the most significant of the index).
  static constexpr uint32_t Field(uint32_t bits, uint32_t at, uint32_t n) {
    return (bits >> (kBits - at - n)) & ((1u << n) - 1);
  }
  static constexpr uint32_t Entry(uint32_t used, uint32_t length, uint32_t data, uint32_t distance) {
    return used | length << 8 | (used + 8 * data) << 16 | distance << 24;
  }

  static constexpr uint32_t Decide(uint32_t bits) {
    if (Field(bits, 0, 1)) return kLiteralFlags;
    uint32_t at = 1;
    uint32_t s = 1;
    uint32_t group = 0;
    do {
      if (at + 2 > kBits) return kSlow;
      group = Field(bits, at, 2);
      s += group;
      at += 2;
    } while (group == 3 && s < 16);
    if (s == 1) {  // 0 00 vvv: length 1 from distance 8 - v
      if (at + 3 > kBits) return kSlow;
      return Entry(at + 3, 1, 0, 8 - Field(bits, at, 3));
    }
    if (s == 2) return Entry(at, 2, 1, 1 | kByte);  // 0 01 and a byte
    if (s == 4) {  // 0 11 00 0 vvvv: a literal run; 0 11 00 1: long length or end code
      if (at + 5 > kBits || Field(bits, at, 1)) return kSlow;
      return Entry(0, at + 5, 0, Field(bits, at + 1, 4));
    }
    const uint32_t length = s - (s >= 5);
    // The far offset: 1 and a byte, or 0, a width code, high bits and a byte.
    if (at + 1 > kBits) return kSlow;
    if (Field(bits, at, 1)) return Entry(at + 1, length, 1, 1 | kByte);
    if (at + 3 > kBits) return kSlow;
    const uint32_t width = 4 - Field(bits, at + 1, 2);
    if (at + 3 + width > kBits) return kSlow;
    const uint32_t high = (2u << width) - 1 - Field(bits, at + 3, width);
    if (high == 31) return kSlow;  // an escape byte comes first
    return Entry(at + 3 + width, length, 1, high | kByte);
  }
};

// One copy in each file that uses it: addressed directly, without the indirection
// through the global offset table that a shared definition costs in a module.
static constexpr Hrust2StepTable kHrust2Steps{};

}  // namespace zantor
