// The careful Hrust 1 walk of the code table, shared by the decoder and the
// checker: every field goes through the checked reads of DecoderState, and
// the Actions class (derived from Hrust1Walker) says what a code does, writes
// output or only counts it, and which forms it refuses.
#pragma once
#include <cstdint>

#include "codec/hrust1_bits.h"
#include "codec/hrust1_codes.h"

namespace zantor {

// The actions, called on the derived class:
//   Copy(offset, length), ShortCopy(offset) (length 1), GapCopy(offset)
//   (offset never -256), Literals(n), EndsWord() (the end code was the last
//   seven bits of a word), and the refusals, which stop the run when false:
//   AcceptsLongLength(length), AcceptsFarHigh(high), AcceptsSpecial(length).
template <class Actions>
struct Hrust1Walker {
  DecoderState& state;
  Hrust1Bits bits;
  uint32_t highWidth;

  // One code after its leading 0 bit; false at the end code.
  bool Code() {
    uint32_t length;
    switch (uint32_t s = ReadLengthPrefix(state, bits)) {
      case 1:
        Act().ShortCopy(ReadBitsNeg(state, bits, 3));
        return true;
      case 2: {
        int32_t h = ReadBitsNeg(state, bits, 2);
        if (h == -1) {
          Act().Copy(ReadBitsNeg(state, bits, 5), 2);
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
          Act().GapCopy(ReadBitsNeg(state, bits, 4));
          return true;
        }
        if (TakeBit(state, bits)) {
          Act().Literals(2 * ReadBits(state, bits, 4) + 12);
          return true;
        }
        if (EndCodeEndsWord(bits)) {
          Act().EndsWord();
          return false;
        }
        uint32_t v = ReadBits(state, bits, 7);
        if (v == kHrust1EndCode) return false;
        if (v >= 16) {
          length = v;
          break;
        }
        length = v * 256 + ReadPackedByte(state);
        if (!Act().AcceptsLongLength(length)) return true;
        break;
      }
      default:
        length = s - 1;
        break;
    }
    OffsetCode(length);
    return true;
  }

 private:
  Actions& Act() { return static_cast<Actions&>(*this); }

  void OffsetCode(uint32_t length) {
    switch (ReadBitsNeg(state, bits, 2)) {
      case -2: Act().Copy(ReadBitsNeg(state, bits, 5), length); break;
      case -4: ByteOffset(-2, length); break;
      case -3: ByteOffset(-1, length); break;
      default: {
        int32_t high = ReadBitsNeg(state, bits, highWidth);
        if (Act().AcceptsFarHigh(high)) ByteOffset(high, length);
        break;
      }
    }
  }

  void ByteOffset(int32_t high, uint32_t length) {
    uint32_t b = ReadPackedByte(state);
    int32_t offset = high * 256 + int32_t(b);
    if (offset < -32) {
      Act().Copy(offset, length);
      return;
    }
    if (!Act().AcceptsSpecial(length)) return;
    uint32_t special = SpecialCode(b, length);
    if (special == 0) {
      highWidth = NextHighWidth(highWidth);
      return;
    }
    int32_t gap = GapOffset(special);
    if (gap == -256) {
      StopRun(state, kInvalidCode);
      return;
    }
    Act().GapCopy(gap);
  }
};

// What the checker carries from one code to the next.
struct Hrust1WalkState {
  Hrust1Bits bits;
  uint32_t highWidth;
  int32_t lastShortOffset;  // offset of a length-1 copy just before, else 0
  uint32_t literalRow;      // literal flags in a row so far
};

// Checks up to steps literal flags and codes from the state's position on
// with the careful walk, the end code followed by the padding and the tail.
// True when the steps ran out, at a code boundary, with walk carried on;
// false when the check is decided.
bool CheckHrust1Codes(DecoderState& state, Hrust1WalkState& walk, uint32_t steps);

// The checkers' walk from the state's position on, just after the first
// byte or later, with expected the state's expectedSize: the careful walk
// for carefulSteps steps, the fast one as far as it goes, then the careful
// one to the end; walk is carried on.
void CheckHrust1Walk(DecoderState& state, Hrust1WalkState& walk, uint32_t expected, uint32_t carefulSteps);

// CheckHrust1 with the careful walk alone, from the start: the reference that
// the fast walks are tested against.
void CheckHrust1Careful(DecoderState& state);

}  // namespace zantor
