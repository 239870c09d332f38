// CheckHrust1: walks a Hrust 1 stream like the decoder, without output, and
// also rejects forms that the packer never writes, so that block discovery
// can tell real streams from chance data.
#include "codec/hrust1.h"
#include "codec/hrust1_codes.h"
#include "codec/hrust1_walk.h"

namespace zantor {
namespace {

// Shorter lengths have shorter codes than the long form.
constexpr uint32_t kMinLongLength = 128;

struct Checker {
  DecoderState& state;
  Hrust1Bits bits;
  uint32_t highWidth;
  int32_t lastShortOffset;  // offset of a length-1 copy just before, else 0
  bool endsWord;            // the end code was the last seven bits of a word

  // Wrapping produced around would hide an overflow.
  void Account(uint32_t n) {
    if (state.stopped) return;
    if (n > UINT32_MAX - state.produced) {
      StopRun(state, kOutputOverflow);
      return;
    }
    state.produced += n;
  }

  void Skip(uint32_t n) {
    if (state.stopped) return;
    if (n >= state.packedSize - state.consumed) {
      StopRun(state, kPackedExhausted);
      return;
    }
    state.consumed += n;
  }

  void Copy(int32_t offset, uint32_t length) {
    if (state.stopped) return;
    if (uint32_t(-offset) > state.produced) {
      StopRun(state, kBeforeOutputStart);
      return;
    }
    Account(length);
  }

  void GapCopy(int32_t offset) {
    if (state.stopped) return;
    if (offset == -256) {
      StopRun(state, kInvalidCode);
      return;
    }
    if (uint32_t(-offset) > state.produced) {
      StopRun(state, kBeforeOutputStart);
      return;
    }
    ReadPackedByte(state);
    Account(3);
  }

  // The packer uses the special code only with length 2 (gap copy or width
  // step) and with length 3 (gap copy; an odd length never gives the step).
  void ByteOffset(int32_t high, uint32_t length) {
    uint32_t b = ReadPackedByte(state);
    int32_t offset = high * 256 + int32_t(b);
    if (offset < -32) {
      Copy(offset, length);
      return;
    }
    uint32_t special = SpecialCode(b, length);
    if (length == 2 && special == 0) {
      highWidth = NextHighWidth(highWidth);
    } else if (length == 2 || length == 3) {
      GapCopy(GapOffset(special));
    } else {
      StopRun(state, kInvalidCode);
    }
  }

  void OffsetCode(uint32_t length) {
    switch (ReadBitsNeg(state, bits, 2)) {
      case -2: Copy(ReadBitsNeg(state, bits, 5), length); break;
      case -4: ByteOffset(-2, length); break;
      case -3: ByteOffset(-1, length); break;
      default: {
        // High parts -2 and -1 have shorter codes of their own.
        int32_t high = ReadBitsNeg(state, bits, highWidth);
        if (high >= -2) {
          StopRun(state, kInvalidCode);
        } else {
          ByteOffset(high, length);
        }
        break;
      }
    }
  }

  // One code after its leading 0 bit; false at the end code.
  bool Code() {
    uint32_t s = ReadLengthPrefix(state, bits);
    if (s == 1) {
      // Two such copies from one distance would be a length-2 copy.
      int32_t offset = ReadBitsNeg(state, bits, 3);
      if (offset == lastShortOffset) {
        StopRun(state, kInvalidCode);
      } else {
        lastShortOffset = offset;
        Copy(offset, 1);
      }
      return true;
    }
    lastShortOffset = 0;
    uint32_t length;
    switch (s) {
      case 2: {
        int32_t h = ReadBitsNeg(state, bits, 2);
        if (h == -1) {
          Copy(ReadBitsNeg(state, bits, 5), 2);
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
          GapCopy(ReadBitsNeg(state, bits, 4));
          return true;
        }
        if (TakeBit(state, bits)) {
          // The end code still needs a word or byte after the run.
          uint32_t n = 2 * ReadBits(state, bits, 4) + 12;
          Skip(n);
          Account(n);
          return true;
        }
        if (EndCodeEndsWord(bits)) {
          endsWord = true;
          return false;
        }
        uint32_t v = ReadBits(state, bits, 7);
        if (v == kHrust1EndCode) return false;
        if (v >= 16) {
          length = v;
          break;
        }
        length = v * 256 + ReadPackedByte(state);
        if (length < kMinLongLength) {
          StopRun(state, kInvalidCode);
          return true;
        }
        break;
      }
      default:
        length = s - 1;
        break;
    }
    OffsetCode(length);
    return true;
  }

  // The bits after the end code are padding and must be 0; the end code as
  // the last seven bits of a word leaves none.
  void CheckPadding() {
    if (endsWord) return;
    if (bits.unread == 0) FatalError("DH13_1");
    if ((bits.word & ((1u << bits.unread) - 1)) != 0) StopRun(state, kInvalidCode);
  }
};

}  // namespace

void CheckHrust1(DecoderState& state) {
  Checker c{state, {}, kHrust1FirstWidth, 0, false};
  c.Skip(kHrust1Tail);
  FetchWord(state, c.bits);
  ReadPackedByte(state);
  c.Account(1);
  CheckHrust1Codes(state, {c.bits, kHrust1FirstWidth, 0, 0});
}

void CheckHrust1Codes(DecoderState& state, const Hrust1WalkState& walk) {
  Checker c{state, walk.bits, walk.highWidth, walk.lastShortOffset, false};
  uint32_t literalRow = walk.literalRow;
  bool ended = false;
  while (!state.stopped && !ended) {
    if (state.produced > state.expectedSize) {
      StopRun(state, kOutputOverflow);
      break;
    }
    if (TakeBit(state, c.bits)) {
      if (++literalRow > kHrust1MaxLiteralRow) {
        StopRun(state, kInvalidCode);
        break;
      }
      c.lastShortOffset = 0;
      ReadPackedByte(state);
      c.Account(1);
    } else {
      literalRow = 0;
      ended = !c.Code();
    }
  }
  if (state.stopped) return;
  c.CheckPadding();
  c.Account(kHrust1Tail);
  if (state.produced > state.expectedSize) StopRun(state, kOutputOverflow);
}

}  // namespace zantor
