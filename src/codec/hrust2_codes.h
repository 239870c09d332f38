// The Hrust 2 codes that the decoder's fast walk takes with one look-up of the
// next kHrust2StepIndexBits bits: every copy whose bits fit and which reads at
// most one data byte, its low distance byte, after them. A literal flag first
// has an entry of its own; the walk counts the row (up to
// kHrust2MaxFlagsPerStep flags) from the bits. Literal runs and the rest go to
// the slow parser.
// Nearly every code of real data is one. Looking the whole code up replaces
// a chain of data-dependent branches, which the predictor cannot learn on
// packed data, by a few arithmetic steps. Each field has a byte of its own:
// loading it costs no slot of the arithmetic units, which bound the walk,
// where a shift and a mask would.
#pragma once
#include <cstdint>

namespace zantor {

constexpr uint32_t kHrust2StepIndexBits = 12;
constexpr uint32_t kHrust2MaxFlagsPerStep = 4;

// The code at the start of the window. A copy has its bits, its bits and data
// bytes taken together (the cut, 8 per data byte), its length and its
// distance: H for a copy made of bits, H * 256 - byte (mask 0xFF) for one
// that reads its low distance byte. Literal flags have only their kind; a
// literal run has its bits and length.
struct Hrust2StepEntry {
  enum Kind : uint8_t { kSlow, kLiteralRun, kStep };
  uint8_t bits;
  uint8_t cut;
  uint8_t length;
  uint8_t mask;
  uint16_t distance;
  // A copy overlaps the bytes it produces within an 8-byte step when its
  // distance minus 1 is below this: distance under 8 and under the length.
  uint8_t overlap;
  Kind kind;
};
static_assert(sizeof(Hrust2StepEntry) == 8, "the walk indexes entries as 8 bytes");

struct Hrust2StepTable {
  Hrust2StepEntry entry[1u << kHrust2StepIndexBits];
  // By the low three bits of the walk's bit position, a 1 where a row of
  // literal flags ends at the latest: after the bit byte's last bit, or after
  // kHrust2MaxFlagsPerStep flags. Kept with the entries, so that one register
  // addresses both.
  uint64_t rowStop[8];

  constexpr Hrust2StepTable() : entry(), rowStop() {
    for (uint32_t bits = 0; bits < (1u << kHrust2StepIndexBits); ++bits) entry[bits] = Decide(bits);
    for (uint32_t low = 0; low < 8; ++low) {
      rowStop[low] = (uint64_t(1) << 62 >> (~low & 7)) | uint64_t(1) << (63 - kHrust2MaxFlagsPerStep);
    }
  }

 private:
  static constexpr uint32_t kBits = kHrust2StepIndexBits;
  // n bits from bit at (counted from the most significant of the index).
  static constexpr uint32_t Field(uint32_t bits, uint32_t at, uint32_t n) {
    return (bits >> (kBits - at - n)) & ((1u << n) - 1);
  }
  static constexpr Hrust2StepEntry Of(Hrust2StepEntry::Kind kind) {
    Hrust2StepEntry e{};
    e.kind = kind;
    return e;
  }
  // A copy of length from distance h, or h * 256 - the byte after its bits.
  static constexpr Hrust2StepEntry Copy(uint32_t used, uint32_t length, bool withByte, uint32_t h) {
    Hrust2StepEntry e = Of(Hrust2StepEntry::kStep);
    e.bits = uint8_t(used);
    e.cut = uint8_t(withByte ? used + 8 : used);
    e.length = uint8_t(length);
    e.mask = withByte ? 0xFF : 0;
    e.distance = uint16_t(withByte ? h * 256 : h);
    e.overlap = uint8_t((length < 8 ? length : 8) - 1);
    return e;
  }

  static constexpr Hrust2StepEntry Decide(uint32_t bits) {
    if (Field(bits, 0, 1)) return Of(Hrust2StepEntry::kStep);  // literal flags
    uint32_t at = 1;
    uint32_t s = 1;
    uint32_t group = 0;
    do {
      if (at + 2 > kBits) return Of(Hrust2StepEntry::kSlow);
      group = Field(bits, at, 2);
      s += group;
      at += 2;
    } while (group == 3 && s < 16);
    if (s == 1) {  // 0 00 vvv: length 1 from distance 8 - v
      if (at + 3 > kBits) return Of(Hrust2StepEntry::kSlow);
      return Copy(at + 3, 1, false, 8 - Field(bits, at, 3));
    }
    if (s == 2) return Copy(at, 2, true, 1);  // 0 01 and a byte
    if (s == 4) {  // 0 11 00 0 vvvv: a literal run; 0 11 00 1: long length or end code
      if (at + 5 > kBits || Field(bits, at, 1)) return Of(Hrust2StepEntry::kSlow);
      Hrust2StepEntry run = Of(Hrust2StepEntry::kLiteralRun);
      run.bits = uint8_t(at + 5);
      run.length = uint8_t(2 * Field(bits, at + 1, 4) + 12);
      return run;
    }
    const uint32_t length = s - (s >= 5);
    // The far offset: 1 and a byte, or 0, a width code, high bits and a byte.
    if (at + 1 > kBits) return Of(Hrust2StepEntry::kSlow);
    if (Field(bits, at, 1)) return Copy(at + 1, length, true, 1);
    if (at + 3 > kBits) return Of(Hrust2StepEntry::kSlow);
    const uint32_t width = 4 - Field(bits, at + 1, 2);
    if (at + 3 + width > kBits) return Of(Hrust2StepEntry::kSlow);
    const uint32_t high = (2u << width) - 1 - Field(bits, at + 3, width);
    if (high == 31) return Of(Hrust2StepEntry::kSlow);  // an escape byte comes first
    return Copy(at + 3 + width, length, true, high);
  }
};

// One copy in each file that uses it: addressed directly, without the indirection
// through the global offset table that a shared definition costs in a module.
static constexpr Hrust2StepTable kHrust2Steps{};

}  // namespace zantor
