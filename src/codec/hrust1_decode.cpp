// DecodeHrust1: unpacks a Hrust 1 stream. Far from the end of the packed
// data the fast walk decodes the codes that surely succeed; the careful walk,
// in which every byte goes through the checked reads and writes of
// DecoderState, takes over at anything else. Nothing is read outside the
// packed data and nothing is written at or beyond expectedSize, whatever the
// data.
#include "base/processor.h"
#include "codec/hrust1.h"
#include "codec/hrust1_codes.h"
#include "codec/hrust1_fast.h"
#include "codec/hrust1_walk.h"

namespace zantor {
namespace {

// The decoder's actions: every code writes its bytes.
struct Decoder : Hrust1Walker<Decoder> {
  void CopyByte() { WriteOutputByte(state, ReadPackedByte(state)); }

  void Copy(int32_t offset, uint32_t length) { CopyMatch(state, offset, length); }
  void ShortCopy(int32_t offset) { CopyMatch(state, offset, 1); }
  // Three bytes from the distance, the middle one replaced by a stream byte.
  void GapCopy(int32_t offset) {
    CopyMatch(state, offset, 1);
    CopyByte();
    CopyMatch(state, offset, 1);
  }
  void Literals(uint32_t n) { CopyLiterals(state, n); }
  void EndsWord() {}
  static bool AcceptsLongLength(uint32_t) { return true; }
  static bool AcceptsFarHigh(int32_t) { return true; }
  static bool AcceptsSpecial(uint32_t) { return true; }
};

// Copies length bytes (1 to 15) from distance bytes back (1 or more) as a
// copy byte by byte would, writing 16 bytes at `to`.
ZANTOR_FORCE_INLINE void CopyShort(uint8_t* to, uint32_t distance, uint32_t length) {
  const uint8_t* from = to - distance;
  uint64_t step;
  if (__builtin_expect((length < 8 ? length : 8) <= distance, 1)) {  // 8 or more, or no overlap
    // Nearly every copy: two 8-byte steps, the second reading what the first
    // wrote when the distance is below 16.
    std::memcpy(&step, from, 8);
    std::memcpy(to, &step, 8);
    std::memcpy(&step, from + 8, 8);
    std::memcpy(to + 8, &step, 8);
    return;
  }
  CopyPattern(to, distance, to + 16);
}

// Decodes while the codes surely succeed and the data end is far; leaves the
// state, the bit word and the width at the code boundary where it stopped.
// The reader is held as the current bit word on top of a 64-bit value and the
// count of its bits taken: the window of the next 33 bits or more is then one
// load, a rotation and two shifts. Run through RunLoop, apart from the careful
// walk, whose values would crowd the loop's registers.
ZANTOR_FORCE_INLINE void DecodeFast(Decoder& d) {
  using T = Hrust1CodeTable;
  constexpr uint64_t kTop = ~uint64_t(0) << 48;  // the current word
  constexpr uint64_t kNotLast = ~(uint64_t(1) << 48);  // its last bit apart
  // The last bits of the word and of the next two apart, for the row of
  // literal flags after a code.
  constexpr uint64_t kNotLasts = ~(uint64_t(1) << 48 | uint64_t(1) << 32 | uint64_t(1) << 16);
  // The literal flags at the start of the unread bits before the word's last
  // one, of bits whose word ends in a 0.
  auto literalFlags = [](uint64_t unread) { return uint32_t(__builtin_clzll(~unread)); };
  DecoderState& s = d.state;
  // With this much room a row of literal flags (15 bytes at most) and a code
  // from the table (15 bytes at most) write their 16-byte steps untested.
  constexpr uint32_t kRoom = 32;
  if (s.expectedSize - s.produced < kRoom || s.packedSize - s.consumed < uint32_t(kHrust1FastMargin)) return;
  const uint8_t* const packedEnd = s.packed + s.packedSize;
  const uint8_t* const inLast = packedEnd - kHrust1FastMargin;
  const uint8_t* in = s.packed + s.consumed;  // the next byte
  uint8_t* const output = s.output;
  uint8_t* const outLast = output + s.expectedSize - kRoom;
  uint8_t* out = output + s.produced;
  uint64_t word = uint64_t(d.bits.word) << 48;
  uint32_t taken = 16 - d.bits.unread;  // 0 to 15
  uint32_t highWidth = d.highWidth;
  uint32_t flags = literalFlags((word & kNotLast) << taken);
  while ((in <= inLast) & (out <= outLast)) {
    // A row of literal flags before the word's last bit, its bytes copied 16
    // at once, then one code.
    std::memcpy(out, in, 16);
    // The next two words: nearly always from bytes read before the row's
    // length is known, which takes a load off the path from one code to the
    // next.
    uint64_t ahead;
    std::memcpy(&ahead, in, 8);
    uint32_t next;
    if (__builtin_expect(flags <= 4, 1)) {
      next = uint32_t(ahead >> (8 * flags));
    } else {
      std::memcpy(&next, in + flags, 4);
    }
    taken += flags;
    in += flags;
    out += flags;
    // The word and the next two, from bit 63 down; the window starts at the
    // first bit not taken.
    const uint64_t words = word | uint64_t(next << 16 | next >> 16) << 16;
    const uint64_t window = words << taken;
    // The table's bits from the word and the next one alone: fewer steps
    // from the load to the look-up.
    const uint32_t pair = (uint32_t(word >> 32) | (next & 0xFFFF)) << taken;
    if (int64_t(window) < 0) {
      // The flag that takes the last bit of the word: its byte follows the
      // next word.
      word = (words << 16) & kTop;
      taken = 0;
      *out++ = in[2];
      in += 3;
      flags = literalFlags(word & kNotLast);
      continue;
    }
    // Nearly every code: a copy or gap copy from the table, the distance of
    // a far one from its high part and a byte. Masks, not conditions: the
    // compiler would make branches of these, and their forms follow no
    // pattern a branch predictor could learn.
    const uint32_t e = kHrust1Codes.entry[pair >> (31 - T::kBits)];  // the flag, 0, on top
    if (__builtin_expect((e & (T::kRun | T::kLonger)) == 0, 1)) {
      const uint32_t used = e & 31;
      const uint32_t far = uint32_t(int32_t(e) >> 31);
      const uint32_t high = Hrust1FastReader::FarHigh(window, used, highWidth);  // of a far one
      // Takes the code's bits: every word whose last bit is taken is left.
      const uint32_t through = taken + used + (far & highWidth);
      const uint32_t leftWords = through & 0x30;
      const uint8_t* const at = in + (leftWords >> 3);
      const uint32_t b = *at;  // read whether or not it is the code's
      const uint32_t withByte = (e >> T::kByteBit) & 1;
      const uint32_t distance = T::Distance(e, b, high);
      // A byte distance of 32 or less is a special code.
      const uint32_t lowest = (e >> (T::kByteBit - 5)) & 32;
      if (__builtin_expect((distance > lowest) & (distance <= uint32_t(out - output)), 1)) {
        const uint32_t length = (e >> T::kLengthShift) & 63;
        CopyShort(out, distance, length);
        const uint32_t gap = (e >> T::kGapBit) & 1;
        if (__builtin_expect(gap, 0)) {
          out[1] = uint8_t(b);
          if (distance == 1) out[2] = uint8_t(b);
        }
        out += length;
        word = (words << leftWords) & kTop;
        taken = through & 15;
        in = at + (withByte | gap);
        // The next row from the bits at hand, not from the word just made,
        // with the inversion made before the count of bits taken is known.
        flags = uint32_t(__builtin_clzll((~words | ~kNotLasts) << through));
        continue;
      }
    }
    // The rest through the shared reader.
    Hrust1FastReader r{packedEnd, in - packedEnd, 0, 16 - taken, word << taken};
    const Hrust1FastReader start = r;
    const uint32_t produced = uint32_t(out - output);
    const uint32_t room = s.expectedSize - produced;
    const Hrust1Code code = r.ParseCode(window, highWidth);
    if (code.kind == Hrust1CodeKind::kCopy && code.distance <= produced && code.length <= room) {
      CopyBack(out, code.distance, code.length, room);
      out += code.length;
    } else if (code.kind == Hrust1CodeKind::kGapCopy && code.distance <= produced && room >= 3) {
      const uint8_t* from = out - code.distance;
      out[0] = from[0];
      out[1] = uint8_t(r.Byte());
      out[2] = from[2];  // the stream byte itself at distance 1
      out += 3;
    } else if (code.kind == Hrust1CodeKind::kWidthStep) {
      highWidth = NextHighWidth(highWidth);
    } else if (code.kind == Hrust1CodeKind::kLiteralRun && code.length <= room &&
               r.pos + code.length <= 0) {
      std::memcpy(out, r.end + r.pos, code.length);
      r.pos += code.length;
      out += code.length;
    } else {
      in = packedEnd + start.pos;
      break;
    }
    in = packedEnd + r.pos;
    taken = 16 - r.unread;
    word = (r.ahead >> taken) & kTop;
    flags = literalFlags((word & kNotLast) << taken);
  }
  s.consumed = uint32_t(in - s.packed);
  s.produced = uint32_t(out - output);
  d.bits = {uint32_t(word >> 48), 16 - taken};
  d.highWidth = highWidth;
}

}  // namespace

void DecodeHrust1(DecoderState& state) {
  for (uint32_t i = 0; i < kHrust1Tail; ++i) ReadPackedByte(state);  // the tail, written last
  Decoder d{{state, {}, kHrust1FirstWidth}};
  FetchWord(state, d.bits);
  d.CopyByte();
  if (!state.stopped) RunLoop<DecodeFast>(d);
  bool ended = false;
  while (!state.stopped && !ended) {
    if (TakeBit(state, d.bits)) {
      d.CopyByte();
    } else {
      ended = !d.Code();
    }
  }
  // Not stopped: the tail was read, so it lies in the packed data.
  for (uint32_t i = 0; i < kHrust1Tail && !state.stopped; ++i) WriteOutputByte(state, state.packed[i]);
}

}  // namespace zantor
