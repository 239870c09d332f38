// Fast Hrust 2 parsing for the part of a stream that lies far from the end
// of the packed data. Parsing a code there moves on at most 12 bytes (two
// windows and four data bytes, or a bit byte and eight literals) and then
// reads the next eight, so with kHrust2FastMargin bytes left no read needs a
// test of its own; a literal run is taken only if as many bytes are left
// after it. Bits are seen through a window: the unread bits of the register
// followed by the next packed bytes, which are the next bit bytes as long as
// no data byte is read in between.
//
// The fast walks commit only codes that surely succeed; at anything else (an
// error, the end code, the end of the packed data drawing near) they stop at
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

struct Hrust2FastReader {
  static constexpr uint32_t kEmpty = 0;  // no unread bits

  const uint8_t* end;  // one past the packed data
  int64_t pos;         // the next byte is end[pos]; none is left when pos >= 0
  uint32_t unread;     // bits of the register not yet taken, 0 to 7
  uint32_t bits;       // those bits from bit 31 down, the rest 0
  // The next eight packed bytes, the first in bits 63-56, and the first four
  // of them as Window sees them. After a step of at most four bytes (Take:
  // a copy of kHrust2Copies, a short copy, up to three literals), the next
  // window's bytes come from the previous eight by a shift: its bit position
  // waits for no load. Reload after any other move of pos.
  uint64_t ahead;
  uint32_t next;

  bool Far() const { return pos <= -kHrust2FastMargin; }
  uint32_t Byte() { return end[pos++]; }

  void Reload() {
    Reload64();
    next = uint32_t(ahead >> 32);
  }
  void Reload64() {
    std::memcpy(&ahead, end + pos, 8);
    ahead = __builtin_bswap64(ahead);
  }

  // The unread bits, then the next four packed bytes, from bit 31 down.
  uint32_t Window() const { return bits | next >> unread; }

  // Takes the first n bits of window w (n up to 25): the register's bits,
  // then whole bit bytes, the last of which keeps its rest as the register.
  void Consume(uint32_t w, uint32_t n) {
    const uint32_t rest = (unread - n) & 7;  // bits left of the last byte touched
    pos += (n + rest - unread) >> 3;
    unread = rest;
    bits = (w << n) & ~(~0u >> rest);
  }

  // The register as the careful walk keeps it: the unread bits, then a marker.
  Hrust2Bits CarefulBits() const {
    Hrust2Bits careful;
    careful.word = bits | Hrust2Bits::kEmpty >> unread;
    return careful;
  }

  // Takes the first n bits of window w (up to 13), then data data bytes,
  // at most four bytes in all; returns the position of the data bytes.
  ZANTOR_FORCE_INLINE int64_t Take(uint32_t w, uint32_t n, uint32_t data) {
    const uint32_t rest = (unread - n) & 7;
    const uint32_t bitBytes = (n + rest - unread) >> 3;
    const int64_t at = pos + bitBytes;
    bits = (w << n) & ~(~0u >> rest);
    unread = rest;
    pos = at + data;
    next = uint32_t((ahead << (8 * (bitBytes + data))) >> 32);
    Reload64();
    return at;
  }

  // Whether window w, whose first bit is 1, starts with exactly one literal
  // flag to take: a 0 follows it, or the register ends after it.
  bool OneLiteral(uint32_t w) const { return w >> 30 == 2 || unread == 1; }

  // The literal flags that lead window w (its first bit is 1) and are to be
  // taken together: those in the register, or those of the next bit byte
  // when the register is empty; later flags come after the data bytes of
  // these.
  uint32_t LiteralFlags(uint32_t w) const {
    const uint32_t ones = uint32_t(__builtin_clz(~w | 1));
    const uint32_t limit = unread == 0 ? 8 : unread;
    return ones < limit ? ones : limit;
  }

  // Takes those flags and their data bytes; returns the data bytes' position.
  int64_t TakeLiterals(uint32_t w, uint32_t flags) {
    if (flags <= 3) return Take(w, flags, flags);
    Consume(w, flags);
    return SkipBytes(flags);
  }

  // Whether n data bytes lie before the last kHrust2FastMargin bytes.
  bool Holds(uint32_t n) const { return pos + n <= -kHrust2FastMargin; }

  // Skips n data bytes; returns their position.
  int64_t SkipBytes(uint32_t n) {
    pos += n;
    Reload();
    return pos - n;
  }

  // Whether window w starts with a short copy (0 00 vvv); taking it gives
  // its distance, 1 to 8, for a length of 1.
  static bool ShortCopy(uint32_t w) { return w >> 29 == 0; }
  ZANTOR_FORCE_INLINE uint32_t TakeShortCopy(uint32_t w) {
    Take(w, 6, 0);
    return 8 - ((w >> 26) & 7);
  }

  // The code at the start of window w, whose first bit is 0. The short copy
  // (0 00 vvv), the one copy made of bits alone, takes a branch of its own
  // with a fixed width: where it is predicted (regular data) the next code's
  // bit position waits for no table. Other copies and literal runs come from
  // kHrust2Copies without a branch; ParseCode takes the rest. After a
  // literal run the caller skips its bytes and reloads.
  ZANTOR_FORCE_INLINE Hrust2Code NextCode(uint32_t w) {
    if (ShortCopy(w)) return {Hrust2CodeKind::kCopy, 1, TakeShortCopy(w)};
    const uint32_t e = kHrust2Copies.entry[(w << 1) >> (32 - kHrust2CopyIndexBits)];
    if (e == 0) {
      const Hrust2Code code = ParseCode(w);
      Reload();
      return code;
    }
    if (e & Hrust2CopyTable::kRun) {
      Consume(w, e & 15);
      return {Hrust2CodeKind::kLiteralRun, 2 * ((e >> 4) & 15) + 12, 0};
    }
    const uint32_t withByte = (e & Hrust2CopyTable::kByte) ? 1 : 0;
    const uint32_t byte = end[Take(w, e & 15, withByte)] & (0u - withByte);
    return {Hrust2CodeKind::kCopy, (e >> 4) & 15, (((e >> 8) & 31) << (8 * withByte)) - byte};
  }

  // A code outside kHrust2Copies at the start of window w, whose first bit is 0.
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
    const uint32_t far = Window();
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
