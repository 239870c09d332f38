// DecodeHrust1: unpacks a Hrust 1 stream. Far from the end of the packed
// data the fast walk decodes the codes that surely succeed; the careful walk,
// in which every byte goes through the checked reads and writes of
// DecoderState, takes over at anything else. Nothing is read outside the
// packed data and nothing is written at or beyond expectedSize, whatever the
// data.
#include "codec/hrust1.h"
#include "codec/hrust1_codes.h"
#include "codec/hrust1_fast.h"

namespace zantor {
namespace {

struct Decoder {
  DecoderState& state;
  Hrust1Bits bits;
  uint32_t highWidth;

  void CopyByte() { WriteOutputByte(state, ReadPackedByte(state)); }

  // Three bytes from the distance, the middle one replaced by a stream byte.
  void CopyGapMatch(int32_t offset) {
    if (offset == -256) {
      StopRun(state, kInvalidCode);
      return;
    }
    CopyMatch(state, offset, 1);
    CopyByte();
    CopyMatch(state, offset, 1);
  }

  void ByteOffset(int32_t high, uint32_t length) {
    uint32_t b = ReadPackedByte(state);
    int32_t offset = high * 256 + int32_t(b);
    if (offset < -32) {
      CopyMatch(state, offset, length);
      return;
    }
    uint32_t special = SpecialCode(b, length);
    if (special == 0) {
      highWidth = NextHighWidth(highWidth);
    } else {
      CopyGapMatch(GapOffset(special));
    }
  }

  void OffsetCode(uint32_t length) {
    switch (ReadBitsNeg(state, bits, 2)) {
      case -2: CopyMatch(state, ReadBitsNeg(state, bits, 5), length); break;
      case -4: ByteOffset(-2, length); break;
      case -3: ByteOffset(-1, length); break;
      default: ByteOffset(ReadBitsNeg(state, bits, highWidth), length); break;
    }
  }

  // One code after its leading 0 bit; false at the end code.
  bool Code() {
    uint32_t length;
    switch (uint32_t s = ReadLengthPrefix(state, bits)) {
      case 1:
        CopyMatch(state, ReadBitsNeg(state, bits, 3), 1);
        return true;
      case 2: {
        int32_t h = ReadBitsNeg(state, bits, 2);
        if (h == -1) {
          CopyMatch(state, ReadBitsNeg(state, bits, 5), 2);
        } else {
          ByteOffset(h + 1, 2);
        }
        return true;
      }
      case 3:
        length = 3;
        break;
      case 4: {
        if (TakeBit(state, bits)) {
          CopyGapMatch(ReadBitsNeg(state, bits, 4));
          return true;
        }
        if (TakeBit(state, bits)) {
          CopyLiterals(state, 2 * ReadBits(state, bits, 4) + 12);
          return true;
        }
        if (EndCodeEndsWord(bits)) return false;
        uint32_t v = ReadBits(state, bits, 7);
        if (v == kHrust1EndCode) return false;
        length = v >= 16 ? v : v * 256 + ReadPackedByte(state);
        break;
      }
      default:
        length = s - 1;
        break;
    }
    OffsetCode(length);
    return true;
  }
};

// Decodes while the codes surely succeed and the data end is far; leaves the
// state, the bit word and the width at the code boundary where it stopped.
void DecodeFast(Decoder& d) {
  DecoderState& s = d.state;
  const int64_t size = s.packedSize;
  Hrust1FastReader in{s.packed + size, int64_t(s.consumed) - size, d.bits.word, d.bits.unread};
  uint8_t* const output = s.output;
  const uint32_t expected = s.expectedSize;
  uint32_t produced = s.produced;  // in a register, not in the state
  uint32_t highWidth = d.highWidth;
  while (in.Far()) {
    const Hrust1FastReader start = in;
    const uint32_t room = expected - produced;
    uint8_t* to = output + produced;
    const uint64_t window = in.Window();
    if (window >> 63) {
      const uint32_t flags = in.TakeLiteralFlags(window, 8);
      if (room < 8) {
        in = start;
        break;
      }
      std::memcpy(to, in.end + in.pos, 8);  // up to 8 literals at once
      in.pos += flags;
      produced += flags;
      continue;
    }
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
  Decoder d{state, {}, kHrust1FirstWidth};
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
