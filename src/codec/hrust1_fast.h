// Fast Hrust 1 parsing for the part of a stream that lies far from the end
// of the packed data. A code there touches fewer than 16 bytes (bit words,
// a long length byte, an offset byte, a gap byte, and the four bytes that a
// window peeks at; a literal run is bounded by its walker), so with
// kHrust1FastMargin bytes left no read needs a test of its own.
//
// The fast walks commit only codes that surely succeed; at anything else (the
// end code, a form that may fail, the end of the packed data drawing near)
// they stop at the start of the code and the careful walk takes over from
// there, so error, consumed and produced stay those of the careful walk.
#pragma once
#include <cstdint>

#include "base/force_inline.h"
#include "codec/hrust1_bits.h"
#include "codec/hrust1_codes.h"

namespace zantor {

constexpr int64_t kHrust1FastMargin = 16;

enum class Hrust1CodeKind : uint8_t {
  kCopy,        // length bytes from distance
  kGapCopy,     // three bytes from distance, the middle one from the stream
  kWidthStep,   // highWidth grows
  kLiteralRun,  // length stream bytes
  kCareful,     // the end code, or a form only the careful walk decides
};

struct Hrust1Code {
  Hrust1CodeKind kind;
  uint32_t length;
  uint32_t distance;      // of a copy or gap copy
  bool shortCopy;         // prefix S = 1: a length-1 copy from distance 1..8
  bool checkerRejects;    // a form the checker rejects wherever it stands
};

struct Hrust1FastReader {
  const uint8_t* end;  // one past the packed data
  int64_t pos;         // the next byte is end[pos]; none is left when pos >= 0
  uint32_t word;       // the current bit word
  uint32_t unread;     // 1 to 16: the low bits of word not yet taken

  bool Far() const { return pos <= -kHrust1FastMargin; }
  uint32_t Byte() { return end[pos++]; }
  uint32_t Word(int64_t at) const { return uint32_t(end[at]) | uint32_t(end[at + 1]) << 8; }
  void NextWord() {
    word = Word(pos);
    pos += 2;
  }
  Hrust1Bits Register() const { return {word, unread}; }

  // The unread bits, then the next two words, from bit 63 down: the next
  // 33 bits or more, as long as no data byte is read in between.
  ZANTOR_FORCE_INLINE uint64_t Window() const {
    const uint8_t* p = end + pos;
    // Four bytes in one load, then the two little-endian words swapped into
    // their places.
    const uint32_t bytes = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    const uint64_t next = bytes << 16 | bytes >> 16;
    return uint64_t(word) << (64 - unread) | next << (32 - unread);
  }

  // Takes the first n bits of the window (up to 32) with the eager fetch of
  // the careful reader: a word is fetched as soon as its last bit is taken.
  ZANTOR_FORCE_INLINE void Consume(uint32_t n) {
    if (n < unread) {
      unread -= n;
      return;
    }
    const uint32_t beyond = n - unread;  // bits taken from the next words
    pos += 2 * (beyond >> 4);
    NextWord();
    unread = 16 - (beyond & 15);
  }

  // n bits of window w from bit position at (0 = the first unread bit).
  static uint32_t Field(uint64_t w, uint32_t at, uint32_t n) { return uint32_t((w << at) >> (64 - n)); }

  // Takes the literal flags that lead window w (its first bit is 1), up to
  // limit (2 or more): those before the last bit of the word, whose data bytes follow one
  // another, or else the flag that takes the last bit, and the next word.
  ZANTOR_FORCE_INLINE uint32_t TakeLiteralFlags(uint64_t w, uint32_t limit) {
    // The flag that takes the last bit, and rows of one and two flags before
    // a code, the commonest, on branches of their own for the reason given at
    // BitsOnlyCopy.
    if (unread == 1) {
      Consume(1);
      return 1;
    }
    if (w >> 62 == 2) {
      --unread;
      return 1;
    }
    if (w >> 61 == 6 && unread > 2) {
      unread -= 2;
      return 2;
    }
    const uint32_t ones = uint32_t(__builtin_clzll(~w | 1));
    uint32_t flags = ones < unread - 1 ? ones : unread - 1;  // 1 or more: unread is 2 or more here
    flags = flags < limit ? flags : limit;
    unread -= flags;
    return flags;
  }

  // The copies made of ten bits or fewer and no byte: a short copy (0 00 vvv) and
  // the near copies of lengths 2 (0 01 11 vvvvv) and 3 (0 10 10 vvvvv). Each
  // takes a branch of its own with a fixed width, so where the branches are
  // predicted (regular data) the next code's bit position waits for neither
  // the table nor the selects of ParseCode. False for any other code.
  ZANTOR_FORCE_INLINE bool BitsOnlyCopy(uint64_t w, Hrust1Code& code) {
    const uint32_t top = uint32_t(w >> 59);  // the 0 flag and the next four bits
    if (top < 4) {
      code = {Hrust1CodeKind::kCopy, 1, 8 - Field(w, 3, 3), true, false};
      Consume(6);
      return true;
    }
    if (top == 7 || top == 10) {
      code = {Hrust1CodeKind::kCopy, top == 7 ? 2u : 3u, 32 - Field(w, 5, 5), false, false};
      Consume(10);
      return true;
    }
    return false;
  }

  // The code at the start of window w, after its leading 0 bit, with the far
  // high part highWidth bits wide. A gap copy's stream byte is left unread:
  // the distance is checked before it is read. Copies, nearly every code, are
  // worked out with selects rather than branches, as their kinds follow no
  // pattern a branch predictor could learn.
  ZANTOR_FORCE_INLINE Hrust1Code ParseCode(uint64_t w, uint32_t highWidth) {
    const uint32_t prefix = kLengthPrefix.entry[(w << 1) >> 54];
    const uint32_t s = prefix & 0xFF;
    const uint32_t used = prefix >> 8;
    if (s == 4) return ParseSpecial(w, used, highWidth);

    // s = 1: 3 bits v, distance 8 - v. s = 2: 2 bits h, then for h = 3 five
    // bits, else a byte with high part -3 + h. Longer: the offset code.
    const uint32_t h = Field(w, used, 2);
    const bool isShort = s == 1;
    const bool isTwo = s == 2;
    const bool near = isTwo ? h == 3 : h == 2;
    const bool far = !isTwo && h == 3;
    const uint32_t farHigh = (1u << highWidth) - Field(w, used + 2, highWidth);
    const uint32_t high = isTwo ? 3 - h : h == 0 ? 2 : h == 1 ? 1 : farHigh;
    const uint32_t bits = isShort ? used + 3 : near ? used + 7 : far ? used + 2 + highWidth : used + 2;
    const uint32_t length = isShort ? 1 : isTwo ? 2 : s == 3 ? 3 : s - 1;
    const uint32_t nearDistance = isShort ? 8 - Field(w, used, 3) : 32 - Field(w, used + 2, 5);
    Consume(bits);
    if (isShort || near) return {Hrust1CodeKind::kCopy, length, nearDistance, isShort, false};
    Hrust1Code code = ByteOffset(high, length);
    code.checkerRejects |= far && high <= 2;  // high parts 1 and 2 have shorter codes
    return code;
  }

 private:
  // The codes behind prefix S = 4: gap copy, literal run, long length and
  // the end code.
  ZANTOR_FORCE_INLINE Hrust1Code ParseSpecial(uint64_t w, uint32_t used, uint32_t highWidth) {
    switch (Field(w, used, 2)) {
      case 2:
      case 3:
        Consume(used + 5);
        return {Hrust1CodeKind::kGapCopy, 3, 16 - Field(w, used + 1, 4), false, false};
      case 1:
        Consume(used + 6);
        return {Hrust1CodeKind::kLiteralRun, 2 * Field(w, used + 2, 4) + 12, 0, false, false};
      default:
        break;
    }
    Consume(used + 2);
    if (EndCodeEndsWord(Register())) return Careful();
    const uint64_t lw = Window();
    const uint32_t v = Field(lw, 0, 7);
    if (v == kHrust1EndCode) return Careful();
    if (v >= 16) return OffsetCode(lw, 7, v, highWidth);
    Consume(7);
    const uint32_t length = v * 256 + Byte();
    if (length == 0) return Careful();
    Hrust1Code code = OffsetCode(Window(), 0, length, highWidth);
    code.checkerRejects |= length < 128;  // shorter lengths have shorter codes
    return code;
  }

  static Hrust1Code Copy(uint32_t length, uint32_t distance) {
    return {Hrust1CodeKind::kCopy, length, distance, false, false};
  }
  static Hrust1Code Careful() { return {Hrust1CodeKind::kCareful, 0, 0, false, true}; }

  // The offset code at bit position at of window w, whose earlier bits are
  // not taken yet.
  ZANTOR_FORCE_INLINE Hrust1Code OffsetCode(uint64_t w, uint32_t at, uint32_t length, uint32_t highWidth) {
    switch (Field(w, at, 2)) {
      case 2:
        Consume(at + 7);
        return Copy(length, 32 - Field(w, at + 2, 5));
      case 0:
        Consume(at + 2);
        return ByteOffset(2, length);
      case 1:
        Consume(at + 2);
        return ByteOffset(1, length);
      default: {
        // High parts 1 and 2 of the distance have shorter codes of their own.
        const uint32_t high = (1u << highWidth) - Field(w, at + 2, highWidth);
        Consume(at + 2 + highWidth);
        Hrust1Code code = ByteOffset(high, length);
        code.checkerRejects |= high <= 2;
        return code;
      }
    }
  }

  // A byte b after the high part of the distance (1 to 256): offset
  // -high * 256 + b, or the special code when that is -32 or more.
  ZANTOR_FORCE_INLINE Hrust1Code ByteOffset(uint32_t high, uint32_t length) {
    const uint32_t b = Byte();
    const uint32_t distance = high * 256 - b;
    if (distance > 32) return Copy(length, distance);
    const uint32_t special = SpecialCode(b, length);
    const bool rejects = length != 2 && length != 3;  // the packer's only lengths here
    if (special == 0) return {Hrust1CodeKind::kWidthStep, 0, 0, false, rejects || length != 2};
    const uint32_t gap = uint32_t(-GapOffset(special));
    if (gap == 256) return Careful();
    return {Hrust1CodeKind::kGapCopy, 3, gap, false, rejects};
  }
};

}  // namespace zantor
