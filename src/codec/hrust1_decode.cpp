// DecodeHrust1: unpacks a Hrust 1 stream. Far from the end of the packed
// data the fast walk decodes the codes that surely succeed; the careful walk,
// in which every byte goes through the checked reads and writes of
// DecoderState, takes over at anything else. Nothing is read outside the
// packed data and nothing is written at or beyond expectedSize, whatever the
// data.
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

// Decodes while the codes surely succeed and the data end is far; leaves the
// state, the bit word and the width at the code boundary where it stopped.
void DecodeFast(Decoder& d) {
  DecoderState& s = d.state;
  const int64_t size = s.packedSize;
  Hrust1FastReader in = Hrust1FastReader::At(s.packed, s.packedSize, s.consumed, d.bits);
  uint8_t* const output = s.output;
  const uint32_t expected = s.expectedSize;
  uint32_t produced = s.produced;  // in a register, not in the state
  uint32_t highWidth = d.highWidth;
  while (in.Far() && expected - produced >= 16) {
    // A row of literal flags, its bytes copied 16 at once, then one code.
    uint8_t* to = output + produced;
    const uint32_t flags = in.LiteralFlags();
    std::memcpy(to, in.end + in.pos, 16);
    in.TakeLiterals(flags);
    produced += flags;
    to += flags;
    const uint64_t window = in.Window();
    if (window >> 63) {
      // The flag that takes the last bit of the word: its byte follows the
      // next word.
      in.Consume(window, 1);
      *to = uint8_t(in.Byte());
      ++produced;
      continue;
    }
    const Hrust1FastReader start = in;
    const uint32_t room = expected - produced;
    const Hrust1Code code = in.ParseCode(window, highWidth);
    if (code.kind == Hrust1CodeKind::kCopy && code.distance <= produced && code.length <= room) {
      CopyBack(to, code.distance, code.length, room);
      produced += code.length;
    } else if (code.kind == Hrust1CodeKind::kGapCopy && code.distance <= produced && room >= 3) {
      const uint8_t* from = to - code.distance;
      to[0] = from[0];
      to[1] = uint8_t(in.Byte());
      to[2] = from[2];  // the stream byte itself at distance 1
      produced += 3;
    } else if (code.kind == Hrust1CodeKind::kWidthStep) {
      highWidth = NextHighWidth(highWidth);
    } else if (code.kind == Hrust1CodeKind::kLiteralRun && code.length <= room &&
               in.pos + code.length <= 0) {
      std::memcpy(to, in.end + in.pos, code.length);
      in.pos += code.length;
      produced += code.length;
    } else {
      in = start;
      break;
    }
  }
  s.consumed = uint32_t(in.pos + size);
  s.produced = produced;
  d.bits = in.Register();
  d.highWidth = highWidth;
}

}  // namespace

void DecodeHrust1(DecoderState& state) {
  for (uint32_t i = 0; i < kHrust1Tail; ++i) ReadPackedByte(state);  // the tail, written last
  Decoder d{{state, {}, kHrust1FirstWidth}};
  FetchWord(state, d.bits);
  d.CopyByte();
  if (!state.stopped) DecodeFast(d);
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
