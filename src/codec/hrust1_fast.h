// Fast Hrust 1 parsing for the part of a stream that lies far from the end
// of the packed data. A step of the fast walks (a row of literal flags and
// their bytes, then one code) touches fewer than 32 bytes: up to 16 literal
// bytes, then for the code bit words, a long length byte, an offset byte, a
// gap byte, and the four bytes that a window peeks at. With kHrust1FastMargin
// bytes left no read needs a test of its own.
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

constexpr int64_t kHrust1FastMargin = 32;

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

// The codes of 13 bits or fewer, their 0 flag included, decoded whole by one
// look-up of the kBits bits after the flag: nearly every code of real data. The
// far high part, highWidth bits wide, is read apart.
struct Hrust1CodeTable {
  // An entry: the bits used (flag included, far high part not), length << 5,
  // base << 11, and the kinds below. The distance of a copy is base, less
  // the offset byte if one follows, plus 256 times the far high part if one
  // comes before it: base is the distance of a copy made of bits only or of
  // a gap copy, 256 times the high part of a near one, 0 for a far one.
  static constexpr uint32_t kLengthShift = 5;
  static constexpr uint32_t kBaseShift = 11;
  static constexpr uint32_t kBaseMask = 1023;
  static constexpr uint32_t kByteBit = 21;
  static constexpr uint32_t kByte = 1u << kByteBit;  // an offset byte follows
  static constexpr uint32_t kFar = 1u << 31;         // with a far high part before it (the sign bit)
  static constexpr uint32_t kShort = 1u << 22;       // a length-1 copy (S = 1)
  static constexpr uint32_t kGapBit = 23;
  static constexpr uint32_t kGap = 1u << kGapBit;    // a gap copy, distance in base
  static constexpr uint32_t kRun = 1u << 24;         // a literal run
  static constexpr uint32_t kLonger = 1u << 25;      // decoded by ParseLonger

  static constexpr uint32_t kBits = 12;  // looked up after the flag
  uint32_t entry[1u << kBits];

  // The distance of the copy of entry e, with b the byte after its bits and
  // high its far high part, both taken whether or not the code has them.
  static uint32_t Distance(uint32_t e, uint32_t b, uint32_t high) {
    const uint32_t far = uint32_t(int32_t(e) >> 31);
    return ((e >> kBaseShift) & kBaseMask) - (b & (0u - ((e >> kByteBit) & 1))) + (far & (high << 8));
  }

  constexpr Hrust1CodeTable() : entry() {
    for (uint32_t bits = 0; bits < (1u << kBits); ++bits) entry[bits] = Decide(bits);
  }

 private:
  static constexpr uint32_t Entry(uint32_t at, uint32_t length, uint32_t base, uint32_t kinds) {
    return (at + 1) | length << kLengthShift | base << kBaseShift | kinds;
  }

  // Follows the code in the bits, at counting the bits taken.
  static constexpr uint32_t Decide(uint32_t bits) {
    uint32_t at = 0;
    auto take = [&](uint32_t n) {
      at += n;
      return (bits >> (kBits - at)) & ((1u << n) - 1);
    };
    uint32_t s = 1;
    uint32_t group = 0;
    do {
      if (at + 2 > kBits) return kLonger;
      group = take(2);
      s += group;
    } while (group == 3 && s < 16);
    if (s == 1) {
      if (at + 3 > kBits) return kLonger;
      const uint32_t v = take(3);
      return Entry(at, 1, 8 - v, kShort);
    }
    if (s == 4) {
      if (at + 6 > kBits) return kLonger;
      if (take(1)) return Entry(at + 4, 3, 16 - ((bits >> (kBits - at - 4)) & 15), kGap);
      if (take(1)) return Entry(at + 4, 2 * ((bits >> (kBits - at - 4)) & 15) + 12, 0, kRun);
      return kLonger;  // long lengths and the end code
    }
    if (at + 2 > kBits) return kLonger;
    const uint32_t length = s == 2 ? 2 : s == 3 ? 3 : s - 1;
    const uint32_t h = take(2);
    if (s == 2 ? h == 3 : h == 2) {
      if (at + 5 > kBits) return kLonger;
      const uint32_t v = take(5);
      return Entry(at, length, 32 - v, 0);
    }
    if (s == 2) return Entry(at, length, (3 - h) * 256, kByte);
    if (h == 3) return Entry(at, length, 0, kByte | kFar);
    return Entry(at, length, (h == 0 ? 2 : 1) * 256, kByte);
  }
};
inline constexpr Hrust1CodeTable kHrust1Codes{};

struct Hrust1FastReader {
  const uint8_t* end;  // one past the packed data
  int64_t pos;         // the next byte is end[pos]; none is left when pos >= 0
  uint32_t word;       // the word NextWord fetched; the walk keeps its bits in ahead
  uint32_t unread;     // 1 to 16: the bits of the current word not yet taken
  uint64_t ahead;      // from bit 63 down: the unread bits, then any bits, the last one 0

  // The reader at consumed, with the careful reader's bits.
  static Hrust1FastReader At(const uint8_t* packed, uint32_t size, uint32_t consumed, Hrust1Bits bits) {
    return {packed + size, int64_t(consumed) - int64_t(size), bits.word, bits.unread,
            uint64_t(bits.word) << (64 - bits.unread)};
  }

  bool Far() const { return pos <= -kHrust1FastMargin; }
  uint32_t Byte() { return end[pos++]; }
  uint32_t Word(int64_t at) const { return uint32_t(end[at]) | uint32_t(end[at + 1]) << 8; }
  void NextWord() {
    word = Word(pos);
    ahead = uint64_t(word) << 48;
    pos += 2;
  }
  // The careful reader looks only at the unread low bits of its word.
  Hrust1Bits Register() const { return {uint32_t(ahead >> (64 - unread)), unread}; }

  // The unread bits, then the next two words, from bit 63 down: the next
  // 33 bits or more, as long as no data byte is read in between.
  ZANTOR_FORCE_INLINE uint64_t Window() const {
    const uint8_t* p = end + pos;
    // Four bytes in one load, then the two little-endian words swapped into
    // their places.
    const uint32_t bytes = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    const uint64_t next = bytes << 16 | bytes >> 16;
    return (ahead & ~(~uint64_t(0) >> unread)) | next << (32 - unread);
  }

  // Takes the first n bits (up to 32) of window w, which was taken at the
  // current position, with the eager fetch of the careful reader: a word is
  // fetched as soon as its last bit is taken. The new word's bits come from
  // the window, not from memory, and without a branch, since whether a code
  // ends in the current word follows no pattern.
  ZANTOR_FORCE_INLINE void Consume(uint64_t w, uint32_t n) {
    const uint32_t taken = n + 16 - unread;  // from the current word's first bit
    pos += 2 * (taken >> 4);
    unread = 16 - (taken & 15);
    ahead = w << n;
  }

  // n bits of window w from bit position at (0 = the first unread bit).
  static uint32_t Field(uint64_t w, uint32_t at, uint32_t n) { return uint32_t((w << at) >> (64 - n)); }
  // The far high part, width bits of window w from bit position at that
  // stand for 2^width less their value.
  static uint32_t FarHigh(uint64_t w, uint32_t at, uint32_t width) { return Field(~w, at, width) + 1; }

  // The literal flags at the start that come before the word's last bit (15
  // at most): their data bytes follow one another. None where a code comes
  // first, or the flag that takes the word's last bit. The bits ahead tell,
  // so the window after the flags waits for no load of its own.
  ZANTOR_FORCE_INLINE uint32_t LiteralFlags() const {
    const uint32_t ones = uint32_t(__builtin_clzll(~ahead));  // its lowest bit is 0
    return ones < unread - 1 ? ones : unread - 1;
  }

  // Takes n such flags and their bytes.
  ZANTOR_FORCE_INLINE void TakeLiterals(uint32_t n) {
    unread -= n;
    ahead <<= n;
    pos += n;
  }

  // The code at the start of window w, after its leading 0 bit, with the far
  // high part highWidth bits wide. A gap copy's stream byte is left unread:
  // the distance is checked before it is read. The copies, nearly every code,
  // are worked out from the table entry with selects rather than branches, as
  // their forms follow no pattern a branch predictor could learn.
  ZANTOR_FORCE_INLINE Hrust1Code ParseCode(uint64_t w, uint32_t highWidth) {
    using T = Hrust1CodeTable;
    const uint32_t e = kHrust1Codes.entry[w >> (63 - T::kBits)];  // the flag, 0, on top
    const uint32_t used = e & 31;
    const uint32_t length = (e >> T::kLengthShift) & 63;
    if (e & (T::kRun | T::kLonger)) {
      if (e & T::kLonger) return ParseLonger(w, highWidth);
      Consume(w, used);
      return {Hrust1CodeKind::kLiteralRun, length, 0, false, false};
    }
    // Masks, not conditions: the compiler would make branches of these.
    const uint32_t far = uint32_t(int32_t(e) >> 31);
    const uint32_t withByte = (e >> T::kByteBit) & 1;
    const uint32_t high = FarHigh(w, used, highWidth);  // of a far one
    Consume(w, used + (far & highWidth));
    const uint32_t b = end[pos];  // read whether or not it is the code's
    pos += withByte;
    const uint32_t distance = T::Distance(e, b, high);
    // High parts 1 and 2 of the distance have shorter codes of their own.
    const bool farRejects = far != 0 && high <= 2;
    if (__builtin_expect((withByte & uint32_t(distance <= 32)) != 0, 0)) {
      Hrust1Code code = Special(b, length);
      code.checkerRejects |= farRejects;
      return code;
    }
    // A gap copy is a copy made of bits only but for its kind.
    static_assert(uint32_t(Hrust1CodeKind::kGapCopy) == 1, "kind from the table bit");
    const auto kind = Hrust1CodeKind((e >> T::kGapBit) & 1);
    return {kind, length, distance, (e & T::kShort) != 0, farRejects};
  }

 private:
  // The codes the table leaves: prefixes longer than its bits, and behind
  // prefix S = 4 the long lengths and the end code.
  ZANTOR_FORCE_INLINE Hrust1Code ParseLonger(uint64_t w, uint32_t highWidth) {
    const uint32_t prefix = kLengthPrefix.entry[(w << 1) >> 54];
    const uint32_t s = prefix & 0xFF;
    const uint32_t used = prefix >> 8;
    if (s != 4) return OffsetCode(w, used, s - 1, highWidth);
    // Gap copies and literal runs are in the table.
    Consume(w, used + 2);
    if (EndCodeEndsWord(Register())) return Careful();
    const uint64_t lw = Window();
    const uint32_t v = Field(lw, 0, 7);
    if (v == kHrust1EndCode) return Careful();
    if (v >= 16) return OffsetCode(lw, 7, v, highWidth);
    Consume(lw, 7);
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
        Consume(w, at + 7);
        return Copy(length, 32 - Field(w, at + 2, 5));
      case 0:
        Consume(w, at + 2);
        return ByteOffset(2, length);
      case 1:
        Consume(w, at + 2);
        return ByteOffset(1, length);
      default: {
        // High parts 1 and 2 of the distance have shorter codes of their own.
        const uint32_t high = FarHigh(w, at + 2, highWidth);
        Consume(w, at + 2 + highWidth);
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
    return Special(b, length);
  }

  // The special code of offset byte b (224 or more, high part 1).
  ZANTOR_FORCE_INLINE static Hrust1Code Special(uint32_t b, uint32_t length) {
    const uint32_t special = SpecialCode(b, length);
    const bool rejects = length != 2 && length != 3;  // the packer's only lengths here
    if (special == 0) return {Hrust1CodeKind::kWidthStep, 0, 0, false, rejects || length != 2};
    const uint32_t gap = uint32_t(-GapOffset(special));
    if (gap == 256) return Careful();
    return {Hrust1CodeKind::kGapCopy, 3, gap, false, rejects};
  }
};

}  // namespace zantor
