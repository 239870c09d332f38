// DecodeHrust2 and UnpackHrust2. Every byte goes through the checked reads
// and writes of DecoderState, so nothing is read outside the packed data and
// nothing is written at or beyond expectedSize, whatever the data.
#include "codec/hrust2.h"
#include "codec/hrust2_bits.h"

namespace zantor {

void DecodeHrust2(DecoderState& state) {
  DecoderState s = state;  // a local copy the compiler can keep in registers
  uint8_t tail[kHrust2Tail];
  for (uint8_t& t : tail) t = ReadPackedByte(s);
  WriteOutputByte(s, ReadPackedByte(s));

  Hrust2Bits bits;
  while (!s.stopped) {
    if (TakeBit(s, bits)) {
      WriteOutputByte(s, ReadPackedByte(s));
      continue;
    }
    uint32_t length = ReadLengthPrefix(s, bits);
    if (length == 1) {
      CopyMatch(s, ReadBitsNeg(s, bits, 3), 1);
      continue;
    }
    if (length == 2) {
      CopyMatch(s, int32_t(ReadPackedByte(s)) - 256, 2);
      continue;
    }
    if (length == 4) {
      if (!TakeBit(s, bits)) {
        CopyLiterals(s, 2 * ReadBits(s, bits, 4) + 12);
        continue;
      }
      length = ReadLongLength(s);
      if (length == 0) break;  // the end code, or a failed read
    } else if (length > 4) {
      length -= 1;
    }
    CopyMatch(s, ReadFarOffset(s, bits), length);
  }

  for (uint8_t t : tail) WriteOutputByte(s, t);  // dropped after an error
  state = s;
}

DecodeStatus UnpackHrust2(const uint8_t* packed, uint32_t packedSize, uint8_t* output,
                          uint32_t expectedSize) {
  DecoderState state{};
  state.packed = packed;
  state.packedSize = packedSize;
  state.output = output;
  state.expectedSize = expectedSize;
  DecodeHrust2(state);
  return FinishStatus(state);
}

}  // namespace zantor
