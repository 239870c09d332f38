// CheckHrust2: the decoder's walk without output. It reads the same bits and
// bytes in the same order, so consumed advances exactly as in decoding, and
// is stricter in the few places where real packed data never goes. Far from
// both ends the nibble walk passes the codes that surely pass, a bit byte at
// a time; the careful walk takes every code that may fail, the end code and
// the ends of the data, so every outcome is the careful walk's.
#include "base/processor.h"
#include "codec/hrust2.h"
#include "codec/hrust2_bits.h"
#include "codec/hrust2_nibbles.h"
#include "codec/hrust2_walk.h"
#include "codec/periodic.h"

namespace zantor {
namespace {

// Bytes walked carefully before CheckHrust2 goes on with the nibble walk. Most
// checks of chance data end within them; on crafted data that repeats a few
// bytes, or holds nothing but long copies, the careful walk's branches are
// all predicted and it is the faster one there.
constexpr uint32_t kHrust2CarefulStart = 64;

// Skips n bytes in one step; the position moves on even when they are not
// all there. At least one byte must follow them: every stream still needs
// its end code's byte.
void SkipPacked(DecoderState& state, uint32_t n) {
  if (state.stopped) return;
  if (n >= state.packedSize - state.consumed) StopRun(state, kPackedExhausted);
  state.consumed += n;
}

// The check-run copy: only the distance is checked, and produced grows even
// beyond expectedSize, which is caught before the next code.
void CountMatch(DecoderState& state, int32_t offset, uint32_t length) {
  if (state.stopped) return;
  if (0u - static_cast<uint32_t>(offset) > state.produced) return StopRun(state, kBeforeOutputStart);
  state.produced += length;
}

// Room the nibble walk keeps: the packed bytes one bit byte's codes can read
// after it, and the bytes they can produce beyond the length of a far copy
// under way (that length is counted apart); so every code it passes reads
// within the packed data and starts with produced within expectedSize.
constexpr uint32_t kNibblePacked = 64;
constexpr uint32_t kNibbleProduced = 128;

// The nibble walk from the state's position on, with the careful walk's bit
// register and row of literal flags: bit byte after bit byte while their
// codes surely pass and both ends are far. Where it stops it goes back to
// the last bit byte that started at a code boundary, or to where it began,
// and returns the position that the careful walk must reach before the
// nibble walk goes on. Run through RunLoop.
ZANTOR_FORCE_INLINE uint32_t CheckNibbles(DecoderState& state, Hrust2Bits& bits, uint32_t& literalRow) {
  using T = Hrust2NibbleTable;
  if (state.packedSize - state.consumed <= kNibblePacked || state.expectedSize < kNibbleProduced) return UINT32_MAX;
  const uint8_t* const table = reinterpret_cast<const uint8_t*>(kHrust2Nibbles.entry);
  const uint8_t* const packed = state.packed;
  const uint8_t* const last = packed + state.packedSize - kNibblePacked;
  const uint32_t lastProduced = state.expectedSize - kNibbleProduced;
  const uint8_t* p = packed + state.consumed;  // the next bit byte
  const uint8_t* data = p;                     // the next data byte
  uint32_t produced = state.produced;
  uint32_t pending = 0;  // the length of a far copy under way
  uint32_t row = literalRow;
  uint32_t next = T::kCode;  // the offset of the next nibble's entries
  // Adds the codes of nibble h; whether one of them may fail.
  auto add = [&](const Hrust2Nibble& h) {
    const uint32_t careful = uint32_t(h.reach > produced) | uint32_t(row + h.lead > kHrust2MaxLiteralRow);
    produced += h.length + (pending & h.pending);
    pending = (pending & h.keepLength) | h.setLength;
    row = (row & h.keep) + h.row;
    data += h.data;
    next = h.next;
    return careful;
  };
  // The codes of a nibble, bits4 times 16; whether one of them may fail.
  auto nibble = [&](uint32_t bits4) {
    const Hrust2Nibble& h = *reinterpret_cast<const Hrust2Nibble*>(table + next + bits4);
    uint32_t careful = add(h);
    if (__builtin_expect(h.stop != 0, 0)) {
      // A long length (its first byte 0 is the end code, 1 to 15 the high
      // byte of two), or an escape byte; then the rest of the nibble.
      uint32_t resume = T::kCode;  // the state after the code
      uint32_t restAt = 0;         // its state after n = 1 to 3 bits of a nibble: restAt + n
      if (h.stop == Hrust2Nibble::kLong) {
        const uint32_t high = data[0];
        const uint32_t two = uint32_t(high < 16);
        pending = (high << (8 * two)) | (data[1] & (0u - two));
        careful |= uint32_t(high == 0) | uint32_t(uint64_t(produced) + pending > lastProduced);
        data += 1 + two;
        resume = T::kFar;
        restAt = T::kFarAfter;
      } else {
        const uint32_t escape = data[0];
        careful |= uint32_t(escape >= 227) | uint32_t((256 - escape) * 256 - data[1] > produced);
        produced += pending;
        pending = 0;
        data += 2;
      }
      if (careful) return careful;
      next = resume * 256;
      if (h.stopAt < 4) careful = add(*reinterpret_cast<const Hrust2Nibble*>(table + (restAt + h.stopAt) * 256 + bits4));
    }
    return careful;
  };

  const uint8_t* backP = p;  // the code boundary to go back to
  uint32_t backProduced = produced;
  uint32_t backRow = row;
  uint32_t until = UINT32_MAX;
  if (bits.word != Hrust2Bits::kEmpty && produced <= lastProduced) {
    // The register's unread bits end a bit byte that lies before p.
    const uint32_t unread = 31 - uint32_t(__builtin_ctz(bits.word));
    const uint32_t b = bits.word >> (32 - unread);
    const uint32_t taken = 8 - unread;
    uint32_t careful = 0;
    if (taken < 4) {
      next = taken * 256;
      careful = nibble(b & 0xF0);
    } else {
      next = (taken - 4) * 256;
    }
    if (!careful) careful = nibble((b & 15) << 4);
    if (careful) {
      until = uint32_t(data - packed) + 1;
    } else {
      p = data;
      if (next == T::kCode) {
        backP = p;
        backProduced = produced;
        backRow = row;
        bits.word = Hrust2Bits::kEmpty;
      }
    }
  }
  while (until == UINT32_MAX && p <= last && uint64_t(produced) + pending <= lastProduced) {
    const uint32_t b = p[0];
    data = p + 1;
    uint32_t careful = nibble(b & 0xF0);
    careful |= nibble((b & 15) << 4);
    if (__builtin_expect(careful, 0)) {
      until = uint32_t(data - packed) + 1;
      break;
    }
    // Every 256 packed bytes: crafted data that repeats a few bytes is the
    // careful walk's.
    if (__builtin_expect(((p - packed) ^ (data - packed)) >> 8, 0) &&
        data - packed + kPeriodicSpan <= int64_t(state.packedSize) && Periodic(data)) {
      break;
    }
    p = data;
    if (next == T::kCode) {
      backP = p;
      backProduced = produced;
      backRow = row;
    }
  }
  if (backP != packed + state.consumed) bits.word = Hrust2Bits::kEmpty;  // back at a bit byte
  state.consumed = uint32_t(backP - packed);
  state.produced = backProduced;
  literalRow = backRow;
  return until;
}

// The careful walk: checks the codes from the state's position on up to the
// end code or the first error (false), or to the first code boundary at or
// beyond until bytes consumed (true).
bool WalkCodes(DecoderState& state, Hrust2Bits& bits, uint32_t& literalRow, uint32_t until) {
  while (!state.stopped) {
    if (state.consumed >= until) return true;
    if (state.produced > state.expectedSize) {
      StopRun(state, kOutputOverflow);
      return false;
    }
    if (TakeBit(state, bits)) {
      if (++literalRow > kHrust2MaxLiteralRow) {
        StopRun(state, kInvalidCode);
        return false;
      }
      ReadPackedByte(state);
      if (!state.stopped) ++state.produced;
      continue;
    }
    literalRow = 0;
    uint32_t length = ReadLengthPrefix(state, bits);
    if (length == 1) {
      CountMatch(state, ReadBitsNeg(state, bits, 3), 1);
      continue;
    }
    if (length == 2) {
      CountMatch(state, int32_t(ReadPackedByte(state)) - 256, 2);
      continue;
    }
    if (length == 4) {
      if (!TakeBit(state, bits)) {
        uint32_t n = 2 * ReadBits(state, bits, 4) + 12;
        if (state.stopped) return false;
        SkipPacked(state, n);
        state.produced += n;
        continue;
      }
      length = ReadLongLength(state);
      if (length == 0) return false;  // the end code, or a failed read
    } else if (length > 4) {
      length -= 1;
    }
    CountMatch(state, ReadFarOffset(state, bits), length);
  }
  return false;
}

void FinishCheck(DecoderState& state) {
  if (state.stopped) return;
  state.produced += kHrust2Tail;
  if (state.produced > state.expectedSize) StopRun(state, kOutputOverflow);
}

}  // namespace

void CheckHrust2Careful(DecoderState& state) {
  SkipPacked(state, kHrust2Tail + 1);  // the tail and the first byte
  state.produced = 1;
  Hrust2Bits bits;
  uint32_t literalRow = 0;
  WalkCodes(state, bits, literalRow, UINT32_MAX);
  FinishCheck(state);
}

void CheckHrust2(DecoderState& state) {
  SkipPacked(state, kHrust2Tail + 1);  // the tail and the first byte
  state.produced = 1;
  Hrust2Bits bits;
  uint32_t literalRow = 0;
  uint32_t until = kHrust2CarefulStart;
  while (WalkCodes(state, bits, literalRow, until)) until = RunLoop<CheckNibbles>(state, bits, literalRow);
  FinishCheck(state);
}

}  // namespace zantor
