// CheckHrust1: walks a Hrust 1 stream like the decoder, without output, and
// also rejects forms that the packer never writes, so that block discovery
// can tell real streams from chance data. Far from the end of the packed
// data the fast walk checks the codes that surely pass and fails a copy from
// before the start of the output right there, as the careful walk would; at
// anything else it hands over to the careful walk.
#include "base/processor.h"
#include "codec/hrust1.h"
#include "codec/hrust1_fast.h"
#include "codec/hrust1_walk.h"
#include "codec/periodic.h"

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

// The fast walk from the state's position and walk on, while the data end is
// far; leaves state and walk at the code boundary where it stops. False when
// it decided the check: a copy from before the start of the output. Run
// through RunLoop.
ZANTOR_FORCE_INLINE bool CheckFast(DecoderState& state, Hrust1WalkState& walk) {
  const int64_t size = state.packedSize;
  const uint32_t expected = state.expectedSize;
  Hrust1FastReader in = Hrust1FastReader::At(state.packed, state.packedSize, state.consumed, walk.bits);
  uint32_t produced = state.produced;  // the walk's values in registers, not in memory
  uint32_t highWidth = walk.highWidth;
  int32_t lastShortOffset = walk.lastShortOffset;
  uint32_t literalRow = walk.literalRow;
  for (uint32_t step = 1; in.Far() && produced <= expected; ++step) {
    if (step % 64 == 0 && Periodic(in.end + in.pos)) break;
    // A row of literal flags, then one code.
    const uint32_t flags = in.LiteralFlags();
    // One test for the two rare ends, not a branch each.
    if ((literalRow + flags > kHrust1MaxLiteralRow) | (flags > expected - produced + 1)) break;
    in.TakeLiterals(flags);
    produced += flags;
    literalRow += flags;
    lastShortOffset = flags != 0 ? 0 : lastShortOffset;
    const uint64_t window = in.Window();
    if ((literalRow + (window >> 63) > kHrust1MaxLiteralRow) | (produced > expected)) break;
    if (window >> 63) {
      // The flag that takes the last bit of the word: its byte follows the
      // next word.
      in.Consume(window, 1);
      in.Byte();
      ++produced;
      ++literalRow;
      lastShortOffset = 0;
      continue;
    }
    const Hrust1FastReader codeStart = in;
    const Hrust1Code code = in.ParseCode(window, highWidth);
    const int32_t offset = int32_t(0u - code.distance);
    if (code.checkerRejects | (code.kind == Hrust1CodeKind::kCareful) |
        (code.shortCopy & (offset == lastShortOffset))) {
      in = codeStart;
      break;
    }
    if (code.kind == Hrust1CodeKind::kWidthStep) {
      highWidth = NextHighWidth(highWidth);
    } else if (code.kind == Hrust1CodeKind::kLiteralRun) {
      if (in.pos + code.length >= 0) {  // the careful walk wants a byte after the run
        in = codeStart;
        break;
      }
      in.pos += code.length;
      produced += code.length;
    } else if (code.distance > produced) {
      // Copy or gap copy: the careful walk stops at the distance, before a
      // gap copy's stream byte.
      state.consumed = uint32_t(in.pos + size);
      state.produced = produced;
      StopRun(state, kBeforeOutputStart);
      return false;
    } else {
      in.pos += code.kind == Hrust1CodeKind::kGapCopy;  // its stream byte
      produced += code.length;
    }
    lastShortOffset = code.shortCopy ? offset : 0;
    literalRow = 0;
  }

  state.consumed = uint32_t(in.pos + size);
  state.produced = produced;
  walk = {in.Register(), highWidth, lastShortOffset, literalRow};
  return true;
}

// Skips the tail, fetches the first word and takes the first byte.
ZANTOR_FORCE_INLINE Hrust1WalkState StartCheck(DecoderState& state) {
  Checker c{{state, {}, kHrust1FirstWidth}, 0, 0, false};
  c.Skip(kHrust1Tail);
  FetchWord(state, c.bits);
  ReadPackedByte(state);
  c.Account(1);
  return {c.bits, kHrust1FirstWidth, 0, 0};
}

}  // namespace

void CheckHrust1Careful(DecoderState& state) {
  Hrust1WalkState walk = StartCheck(state);
  CheckHrust1Codes(state, walk, UINT32_MAX);
}

void CheckHrust1(DecoderState& state) {
  Hrust1WalkState walk = StartCheck(state);
  // Most checks on chance data end within a few codes, where the careful walk
  // costs less than setting up the fast one.
  constexpr uint32_t kCarefulSteps = 16;
  CheckHrust1Walk(state, walk, state.expectedSize, kCarefulSteps);
}

void CheckHrust1Walk(DecoderState& state, Hrust1WalkState& walk, uint32_t expected, uint32_t carefulSteps) {
  if (carefulSteps != 0 && !CheckHrust1Codes(state, walk, carefulSteps)) return;
  // Far below wrapping, no code of the fast walk can wrap produced around.
  const bool fast =
      expected <= UINT32_MAX - 65536 && int64_t(state.consumed) - state.packedSize <= -kHrust1FastMargin;
  if (fast && !RunLoop<CheckFast>(state, walk)) return;
  CheckHrust1Codes(state, walk, UINT32_MAX);
}

bool CheckHrust1Codes(DecoderState& state, Hrust1WalkState& walk, uint32_t steps) {
  Checker c{{state, walk.bits, walk.highWidth}, walk.lastShortOffset, 0, false};
  uint32_t literalRow = walk.literalRow;
  bool ended = false;
  for (; steps > 0 && !state.stopped && !ended; --steps) {
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
  if (state.stopped) return false;
  if (!ended) {  // the steps are used up, at a code boundary
    walk = {c.bits, c.highWidth, c.lastShortOffset, literalRow};
    return true;
  }
  c.CheckPadding();
  c.Account(kHrust1Tail);
  if (state.produced > state.expectedSize) StopRun(state, kOutputOverflow);
  return false;
}

}  // namespace zantor
