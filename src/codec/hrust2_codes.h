// The Hrust 2 codes that the fast walks decode with one table look-up: every
// copy whose bits, after its 0 flag, fit in the next kHrust2CopyIndexBits bits
// and which reads at most one data byte, its low distance byte, after them,
// and the literal runs. Nearly every copy of real data is one. Looking the
// whole code up replaces a chain of data-dependent branches, which the
// predictor cannot learn on packed data, by a few arithmetic steps.
#pragma once
#include <cstdint>

namespace zantor {

constexpr uint32_t kHrust2CopyIndexBits = 11;

// Entry: bits used, the 0 flag included (bits 0-3; 0 for any other code),
// length (bits 4-7), H (bits 8-12) and whether a data byte follows (bit 13).
// With a byte, the distance is H * 256 - byte; without, it is H (1 to 8). A
// literal run (kRun) of 2 v + 12 bytes holds v as its length.
struct Hrust2CopyTable {
  static constexpr uint16_t kByte = 0x2000;
  static constexpr uint16_t kRun = 0x4000;
  uint16_t entry[1u << kHrust2CopyIndexBits];

  constexpr Hrust2CopyTable() : entry() {
    for (uint32_t bits = 0; bits < (1u << kHrust2CopyIndexBits); ++bits) entry[bits] = Decide(bits);
  }

 private:
  // n bits from bit at (counted from the most significant of the index).
  static constexpr uint32_t Field(uint32_t bits, uint32_t at, uint32_t n) {
    return (bits >> (kHrust2CopyIndexBits - at - n)) & ((1u << n) - 1);
  }
  static constexpr uint16_t Entry(uint32_t used, uint32_t length, uint32_t h, uint16_t byte) {
    return uint16_t((used + 1) | length << 4 | h << 8 | byte);
  }

  static constexpr uint16_t Decide(uint32_t bits) {
    uint32_t at = 0;
    uint32_t s = 1;
    uint32_t group = 0;
    do {
      if (at + 2 > kHrust2CopyIndexBits) return 0;
      group = Field(bits, at, 2);
      s += group;
      at += 2;
    } while (group == 3 && s < 16);
    if (s == 1) {  // 0 00 vvv: length 1 from distance 8 - v
      if (at + 3 > kHrust2CopyIndexBits) return 0;
      return Entry(at + 3, 1, 8 - Field(bits, at, 3), 0);
    }
    if (s == 2) return Entry(at, 2, 1, kByte);  // 0 01 and a byte
    if (s == 4) {  // 0 11 00 0 vvvv: a literal run; 0 11 00 1: long length or end code
      if (at + 5 > kHrust2CopyIndexBits || Field(bits, at, 1)) return 0;
      return Entry(at + 5, Field(bits, at + 1, 4), 0, kRun);
    }
    const uint32_t length = s - (s >= 5);
    // The far offset: 1 and a byte, or 0, a width code, high bits and a byte.
    if (at + 1 > kHrust2CopyIndexBits) return 0;
    if (Field(bits, at, 1)) return Entry(at + 1, length, 1, kByte);
    if (at + 3 > kHrust2CopyIndexBits) return 0;
    const uint32_t width = 4 - Field(bits, at + 1, 2);
    if (at + 3 + width > kHrust2CopyIndexBits) return 0;
    const uint32_t high = (2u << width) - 1 - Field(bits, at + 3, width);
    if (high == 31) return 0;  // an escape byte comes first
    return Entry(at + 3 + width, length, high, kByte);
  }
};

// One copy in each file that uses it: addressed directly, without the indirection
// through the global offset table that a shared definition costs in a module.
static constexpr Hrust2CopyTable kHrust2Copies{};

}  // namespace zantor
