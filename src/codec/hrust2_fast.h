// Fast Hrust 2 parsing for the part of a stream that lies far from the end
// of the packed data. Bits are seen through a 64-bit window: the unread bits
// of the register followed by the next packed bytes, which are the next bit
// bytes as long as no data byte is read in between. A step takes a row of up
// to four literal flags, counted from the window, or a copy, looked up in
// kHrust2Steps, whatever comes, without a branch: which comes follows no
// pattern a predictor could learn, and in real data the kind changes nearly
// every code. The data bytes it reads are cut out of the window and bytes
// from further on come in below, loaded before the step is known, so the
// next window waits only for a few shifts. With kHrust2FastMargin bytes left
// no read needs a test of its own; a literal run is taken only if as many
// bytes are left after it.
//
// The fast walk commits only codes that surely succeed; at anything else (an
// error, the end code, the end of the packed data drawing near) it stops at
// the start of the code and the careful walk takes over from there, so every
// outcome is decided by the careful walk.
#pragma once
#include <cstdint>
#include <cstring>

#include "base/force_inline.h"
#include "codec/decoder_state.h"
#include "codec/hrust2_bits.h"
#include "codec/hrust2_codes.h"

namespace zantor {

constexpr int64_t kHrust2FastMargin = 24;

enum class Hrust2CodeKind : uint8_t { kCopy, kLiteralRun, kEnd, kBadEscape };

struct Hrust2Code {
  Hrust2CodeKind kind;
  uint32_t length;    // bytes copied or bytes of the literal run
  uint32_t distance;  // of a copy: 1 to 65536
};

// One step at the start of the window, not yet taken: its entry, the
// literal flags in the row, bits, bits and data bytes together (cut), bytes
// produced and, of a copy, its distance. The data bytes start at `at`.
// Literal flags have distance 0.
struct Hrust2Step {
  uint32_t entry;
  uint32_t literals;  // 1 for literal flags, 0 for a copy
  uint32_t row;       // the literal flags; 0 for a copy
  uint32_t bits;
  uint32_t cut;
  uint32_t length;
  int64_t at;
  uint32_t distance;
};

// The position is kept in bits as if the register's bits were the last of
// the byte before the next one: bit = 8 * pos - unread. Every step then moves
// it on by its cut, and pos and unread follow from it.
struct Hrust2FastReader {
  const uint8_t* end;  // one past the packed data
  int64_t bit;         // 8 * pos - unread; pos >= 0: no byte is left
  // From bit 63 down: the unread bits, then the bytes from pos on up to the
  // one that ends at `filled` (counted as `bit` is); zeros after.
  uint64_t window;
  int64_t filled;

  // The reader at consumed, with no bit left in the register.
  static Hrust2FastReader At(const uint8_t* packed, uint32_t size, uint32_t consumed) {
    Hrust2FastReader in{packed + size, 8 * (int64_t(consumed) - int64_t(size)), 0, 0};
    if (in.Far()) in.Reload();
    return in;
  }

  int64_t Pos() const { return (bit + 7) >> 3; }  // the next byte is end[Pos()]
  uint32_t Unread() const { return uint32_t(-bit) & 7; }
  bool Far() const { return bit <= -8 * kHrust2FastMargin; }

  // The eight packed bytes from `from` on, the first in bits 63-56.
  uint64_t Ahead(int64_t from) const {
    uint64_t bytes;
    std::memcpy(&bytes, end + from, 8);
    return __builtin_bswap64(bytes);
  }
  static uint64_t Kept(uint32_t n) { return ~(~uint64_t(0) >> n); }  // the top n bits

  // Builds the window anew after the slow parser moved on.
  void Reload() {
    const uint32_t unread = Unread();
    window = (window & Kept(unread)) | Ahead(Pos()) >> unread;
    filled = 8 * Pos() + ((64 - unread) & ~7u);
  }

  // The register as the careful walk keeps it: the unread bits, then a marker.
  Hrust2Bits CarefulBits() const {
    Hrust2Bits careful;
    careful.word = uint32_t((window & Kept(Unread())) >> 32) | Hrust2Bits::kEmpty >> Unread();
    return careful;
  }

  // The table's entry for the code at the start of the window.
  uint32_t Entry() const { return kHrust2Steps.entry[window >> (64 - kHrust2StepIndexBits)]; }
  // Whether entry e leaves its code to SlowCode.
  static bool Slow(uint32_t e) { return (e & 0xFF) == 0; }

  // The step of entry e, not slow, at the start of the window: a row of
  // literal flags or a copy. The row is counted from the window, where the
  // entry would have to be clamped to it on every step: its flags come only
  // from one bit byte, the register's or else the next, since their bytes
  // follow it in a row.
  ZANTOR_FORCE_INLINE Hrust2Step Peek(uint32_t e) const {
    Hrust2Step step;
    step.entry = e;
    step.literals = uint32_t(window >> 63);
    // A 1 where the row ends at the latest: after the bit byte's last bit,
    // or after kHrust2MaxFlagsPerStep flags.
    const uint64_t stop = (uint64_t(1) << 62 >> (~uint32_t(bit) & 7)) | uint64_t(1) << (63 - kHrust2MaxFlagsPerStep);
    step.row = uint32_t(__builtin_clzll(~window | stop));  // no leading 1: a copy
    step.bits = step.row + (e & 0x3F);
    step.length = step.row + ((e >> 8) & 0xFF);
    step.cut = 9 * step.row + ((e >> 16) & 0xFF);
    step.at = (bit + step.bits + 7) >> 3;
    const uint32_t withByte = e >> 31;  // kByte
    const uint32_t h = (e >> 24) & ~Hrust2StepTable::kByte;
    step.distance = (h << (8 * withByte)) - (end[step.at] & (0u - withByte));
    return step;
  }

  // Takes the step: its bits, then its data bytes, cut out of the window;
  // bytes from further on come in below. The row and the entry's fields are
  // shifted out one after the other, so that no sum of the two waits for the
  // entry (a shift reads only the low six bits of its count).
  ZANTOR_FORCE_INLINE void Take(const Hrust2Step& step) {
    const uint64_t next = Ahead(filled >> 3);  // loaded before the step is known
    const uint32_t e = step.entry;
    // The rest of the last bit byte touched, then what follows the data bytes.
    const uint64_t after = ~uint64_t(0) >> ((uint32_t(-bit) - step.row - e) & 7);
    const uint64_t taken = (window << step.row) << (e & 0x3F);
    const uint64_t rest = (window << (9 * step.row)) << ((e >> 16) & 0x3F);
    window = taken ^ ((taken ^ rest) & after);
    bit += step.cut;
    const uint32_t valid = uint32_t(filled - bit);
    window |= next >> valid;
    filled += (64 - valid) & ~7u;
  }

  // Whether n data bytes lie before the last kHrust2FastMargin bytes.
  bool Holds(uint32_t n) const { return Pos() + n <= -kHrust2FastMargin; }

  // Skips n data bytes; returns their position.
  int64_t SkipBytes(uint32_t n) {
    bit += 8 * int64_t(n);
    Reload();
    return Pos() - n;
  }

  // The code at the start of the window whose entry e is slow: a
  // literal run (its bytes are left to the caller) or a code outside the table.
  Hrust2Code SlowCode(uint32_t e) {
    const uint32_t w = uint32_t(window >> 32);
    if (e != 0) {
      Consume(w, (e >> 8) & 0xFF);
      Reload();
      return {Hrust2CodeKind::kLiteralRun, 2 * (e >> 24) + 12, 0};
    }
    const Hrust2Code code = ParseCode(w);
    Reload();
    return code;
  }

 private:
  uint32_t Byte() {
    const uint32_t byte = end[Pos()];
    bit += 8;
    return byte;
  }

  // Takes the first n bits of window w (n up to 25): the register's bits,
  // then whole bit bytes, the last of which keeps its rest as the register.
  // Reload before the window is used again.
  void Consume(uint32_t w, uint32_t n) {
    bit += n;
    window = uint64_t(w << n) << 32;
  }
  // A code outside the table at the start of window w, whose first bit is 0.
  Hrust2Code ParseCode(const uint32_t w) {
    const uint32_t prefix = kLengthPrefix.entry[(w << 1) >> 22];
    const uint32_t s = prefix & 0xFF;
    const uint32_t used = prefix >> 8;
    if (s == 4) return ParseSpecial(w, used);

    // s = 1: 3 bits v, distance 8 - v. s = 2: a byte. s = 3 or 5 to 16: far
    // offset, a bit f, then a byte (f = 1) or width code, high bits, byte.
    const bool isShort = s == 1;
    const bool byteOnly = s == 2 || (s >= 3 && (w << used) >> 31);
    const uint32_t width = 4 - ((w << (used + 1)) >> 30);  // 1 to 4
    const uint32_t high = (2u << width) - 1 - ((w << (used + 3)) >> (32 - width));
    const uint32_t bits = isShort ? used + 3 : s == 2 ? used : byteOnly ? used + 1 : used + 3 + width;
    const uint32_t length = s - (s >= 5);
    const uint32_t shortDistance = 8 - ((w << used) >> 29);
    Consume(w, bits);
    if (isShort) return {Hrust2CodeKind::kCopy, 1, shortDistance};
    return FarRest(byteOnly ? 1 : high, length);
  }

  // The bytes of a far offset after its bits, with high part 1 to 31 of the
  // distance (31 is followed by an escape byte).
  Hrust2Code FarRest(uint32_t high, uint32_t length) {
    if (high == 31) {
      uint32_t escape = Byte();
      if (escape >= 227) return {Hrust2CodeKind::kBadEscape, 0, 0};
      high = 256 - escape;
    }
    return {Hrust2CodeKind::kCopy, length, high * 256 - Byte()};
  }

  // The codes behind the bits 0 11 00 1 (S = 4 and a 1): long length, end code.
  Hrust2Code ParseSpecial(uint32_t w, uint32_t used) {
    Consume(w, used + 1);
    uint32_t length = Byte();
    if (length == 0) return {Hrust2CodeKind::kEnd, 0, 0};
    if (length < 16) length = length << 8 | Byte();
    Reload();
    const uint32_t far = uint32_t(window >> 32);
    if (far >> 31) {
      Consume(far, 1);
      return FarRest(1, length);
    }
    const uint32_t width = 4 - ((far << 1) >> 30);
    const uint32_t high = (2u << width) - 1 - ((far << 3) >> (32 - width));
    Consume(far, 3 + width);
    return FarRest(high, length);
  }
};

}  // namespace zantor
