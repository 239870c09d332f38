// CheckHrust1: walks a Hrust 1 stream like the decoder, without output, and
// also rejects forms that the packer never writes, so that block discovery
// can tell real streams from chance data.
#include "codec/hrust1.h"
#include "codec/hrust1_walk.h"

namespace zantor {
namespace {

// The checker's actions: codes only move produced, and forms the packer
// never writes stop the run.
struct Checker : Hrust1Walker<Checker> {
  int32_t lastShortOffset;  // offset of a length-1 copy just before, else 0
  int32_t shortBefore;      // lastShortOffset as the current code started
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

  // Two such copies from one distance would be a length-2 copy.
  void ShortCopy(int32_t offset) {
    if (offset == shortBefore) {
      StopRun(state, kInvalidCode);
      return;
    }
    lastShortOffset = offset;
    Copy(offset, 1);
  }

  void GapCopy(int32_t offset) {
    if (state.stopped) return;
    if (uint32_t(-offset) > state.produced) {
      StopRun(state, kBeforeOutputStart);
      return;
    }
    ReadPackedByte(state);
    Account(3);
  }

  // The end code still needs a word or byte after the run.
  void Literals(uint32_t n) {
    Skip(n);
    Account(n);
  }

  void EndsWord() { endsWord = true; }

  // Shorter lengths have shorter codes than the long form.
  bool AcceptsLongLength(uint32_t length) { return Accept(length >= 128); }

  // High parts -2 and -1 have shorter codes of their own.
  bool AcceptsFarHigh(int32_t high) { return Accept(high < -2); }

  // The packer uses the special code only with length 2 (gap copy or width
  // step) and with length 3 (gap copy; an odd length never gives the step).
  bool AcceptsSpecial(uint32_t length) { return Accept(length == 2 || length == 3); }

  bool Accept(bool packerForm) {
    if (!packerForm) StopRun(state, kInvalidCode);
    return packerForm;
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
  Checker c{{state, {}, kHrust1FirstWidth}, 0, 0, false};
  c.Skip(kHrust1Tail);
  FetchWord(state, c.bits);
  ReadPackedByte(state);
  c.Account(1);
  CheckHrust1Codes(state, {c.bits, kHrust1FirstWidth, 0, 0});
}

void CheckHrust1Codes(DecoderState& state, const Hrust1WalkState& walk) {
  Checker c{{state, walk.bits, walk.highWidth}, walk.lastShortOffset, 0, false};
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
      c.shortBefore = c.lastShortOffset;
      c.lastShortOffset = 0;
      ended = !c.Code();
    }
  }
  if (state.stopped) return;
  c.CheckPadding();
  c.Account(kHrust1Tail);
  if (state.produced > state.expectedSize) StopRun(state, kOutputOverflow);
}

}  // namespace zantor
