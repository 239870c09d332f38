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

// One step at the start of the window, not yet taken: literal flags or a
// copy, its bits, bits and data bytes together (cut), bytes produced and, of
// a copy, its distance. The data bytes start at `at`. Literal flags have
// distance 0.
struct Hrust2Step {
  bool literals;
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
  // From bit 63 down: the unread bits, then the bytes from pos on.
  uint64_t window;

  // The reader at consumed, with no bit left in the register.
  static Hrust2FastReader At(const uint8_t* packed, uint32_t size, uint32_t consumed) {
    Hrust2FastReader in{packed + size, 8 * (int64_t(consumed) - int64_t(size)), 0};
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
  }

  // The register as the careful walk keeps it: the unread bits, then a marker.
  Hrust2Bits CarefulBits() const {
    Hrust2Bits careful;
    careful.word = uint32_t((window & Kept(Unread())) >> 32) | Hrust2Bits::kEmpty >> Unread();
    return careful;
  }

  // The table's entry for the code at the start of the window.
  const Hrust2StepEntry& Entry() const { return kHrust2Steps.entry[window >> (64 - kHrust2StepIndexBits)]; }
  // Whether entry e leaves its code to SlowCode.
  static bool Slow(const Hrust2StepEntry& e) { return e.kind != Hrust2StepEntry::kStep; }

  // The step of entry e, not slow, at the start of the window: a row of
  // literal flags or a copy. The row is counted from the window, where the
  // entry would have to be clamped to it on every step: its flags come only
  // from one bit byte, the register's or else the next, since their bytes
  // follow it in a row. A copy has no leading 1, so its row is 0, and a row
  // of flags has an entry of zeros.
  ZANTOR_FORCE_INLINE Hrust2Step Peek(const Hrust2StepEntry& e) const {
    Hrust2Step step;
    step.literals = int64_t(window) < 0;
    const uint32_t row = uint32_t(__builtin_clzll(~window | kHrust2Steps.rowStop[bit & 7]));
    step.bits = row + e.bits;
    step.cut = 9 * row + e.cut;
    step.length = row + e.length;
    step.at = (bit + step.bits + 7) >> 3;
    step.distance = e.distance - (end[step.at] & e.mask);
    return step;
  }

  // Takes the step: its bits, then its data bytes, cut out of the window;
  // bytes from further on come in below, loaded before the step is known
  // from where the window's whole bytes end, bit (bit & ~7) + 64.
  ZANTOR_FORCE_INLINE void Take(const Hrust2Step& step) {
    const uint64_t next = Ahead((bit >> 3) + 8);
    const int64_t filled = (bit & ~int64_t(7)) + 64;
    // The rest of the last bit byte touched, then what follows the data bytes.
    const uint64_t after = ~uint64_t(0) >> ((uint32_t(-bit) - step.bits) & 7);
    const uint64_t taken = window << step.bits;
    const uint64_t rest = window << step.cut;
    window = taken ^ ((taken ^ rest) & after);
    bit += step.cut;
    window |= next >> uint32_t(filled - bit);
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
  Hrust2Code SlowCode(const Hrust2StepEntry& e) {
    const uint32_t w = uint32_t(window >> 32);
    if (e.kind == Hrust2StepEntry::kLiteralRun) {
      Consume(w, e.bits);
      Reload();
      return {Hrust2CodeKind::kLiteralRun, e.length, 0};
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
