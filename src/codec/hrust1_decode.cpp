// DecodeHrust1: unpacks a Hrust 1 stream. Every byte goes through the checked
// reads and writes, so nothing is read outside the packed data and nothing
// is written at or beyond expectedSize, whatever the data.
#include "codec/hrust1.h"
#include "codec/hrust1_codes.h"

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

}  // namespace

void DecodeHrust1(DecoderState& state) {
  uint8_t tail[kHrust1Tail];
  for (uint8_t& b : tail) b = ReadPackedByte(state);
  Decoder d{state, {}, kHrust1FirstWidth};
  FetchWord(state, d.bits);
  d.CopyByte();
  bool ended = false;
  while (!state.stopped && !ended) {
    if (TakeBit(state, d.bits)) {
      d.CopyByte();
    } else {
      ended = !d.Code();
    }
  }
  if (state.stopped) return;
  for (uint8_t b : tail) WriteOutputByte(state, b);
}

}  // namespace zantor
