// CheckHrust1Tight: CheckHrust1 for the exhaustive search, which starts a
// check at every byte of an image. Far from the end of the packed data it
// runs the fast walk with unchecked reads; a copy from before the start of
// the output, by far the most common end of a check on chance data, fails
// right there, as the careful walk would fail it. At any other code that may
// fail, at the end code and near the end of the data it hands over to the
// careful walk, so the error is always that of CheckHrust1, and so are
// consumed and produced.
#include "codec/hrust1.h"
#include "codec/hrust1_fast.h"
#include "codec/hrust1_walk.h"

namespace zantor {
namespace {

// Bounds produced in the fast walk well below wrapping: no code adds more
// than 3839 + 255 bytes.
constexpr uint32_t kFastExpectedLimit = UINT32_MAX - 65536;
// The codes of one word read fewer bytes, and produce fewer, than this.
constexpr int64_t kFirstWordMargin = 64;

// What the codes of the first bit word tell, at the start of a stream where
// produced is 1: for most words, that the check fails before the word is used
// up, mostly at a copy from before the start of the output, or does unless
// one data byte starts a special code. Such a stream fails after a table
// look-up and at most one byte test, in place of a dozen unpredictable
// branches; that decides the check at nearly all positions of chance data.
class FirstWordTable {
 public:
  // Entry: a kind, produced << 5 and the data bytes read before the failing
  // code's own byte; 0 when undecided. A byte-test entry fails with error 4
  // when the byte (the offset's low byte, high part -1) is below 224.
  static constexpr uint16_t kFails = 0x8000;     // error 4
  static constexpr uint16_t kByteTest = 0x4000;  // error 4 unless the byte is 224 or more
  static constexpr uint16_t kInvalid = 0x2000;   // error 6: a far high part of -1 or -2
  static constexpr uint16_t kFetched = 0x1000;   // the failing code took the last bit
  static constexpr uint16_t kWithByte = 0x0800;  // the failing code read its byte

  FirstWordTable() {
    for (uint32_t word = 0; word < 65536; ++word) entry_[word] = Decide(word);
  }
  uint16_t operator[](uint32_t word) const { return entry_[word]; }

 private:
  // Follows the codes of the word as the checker would; only codes whose
  // outcome the bits (and one byte) decide are followed.
  static uint16_t Decide(uint32_t word) {
    uint32_t unread = 16;
    uint32_t produced = 1;
    uint32_t bytes = 0;
    uint32_t literalRow = 0;
    uint32_t lastShortDistance = 0;
    bool ok = true;  // no field ran past the word
    auto take = [&](uint32_t n) -> uint32_t {
      if (n > unread) {
        ok = false;
        return 0;
      }
      unread -= n;
      return (word >> unread) & ((1u << n) - 1);
    };
    auto result = [&](uint16_t kind) -> uint16_t {
      if (!ok) return 0;
      return uint16_t(kind | (unread == 0 ? kFetched : 0) | produced << 5 | bytes);
    };
    while (unread > 0) {
      if (take(1)) {
        if (++literalRow > kHrust1MaxLiteralRow) return 0;
        lastShortDistance = 0;
        ++bytes;
        ++produced;
        continue;
      }
      literalRow = 0;
      uint32_t s = 1;
      uint32_t group;
      do {
        group = take(2);
        s += group;
      } while (ok && group == 3 && s < 16);
      if (!ok) return 0;
      if (s == 1) {
        const uint32_t distance = 8 - take(3);
        if (!ok || distance == lastShortDistance) return 0;
        if (distance > produced) return result(kFails);
        lastShortDistance = distance;
        produced += 1;
        continue;
      }
      lastShortDistance = 0;
      uint32_t length;
      uint32_t h;
      if (s == 2) {
        length = 2;
        h = take(2);  // 3: near; 0 to 2: a byte with high part -3 to -1
        h = h == 3 ? 2 : h == 2 ? 1 : 0;
      } else if (s == 4) {
        if (!take(1)) return 0;  // literal runs, long lengths and the end code
        const uint32_t distance = 16 - take(4);
        if (!ok) return 0;
        if (distance > produced) return result(kFails);
        ++bytes;  // the gap copy's stream byte
        produced += 3;
        continue;
      } else {
        length = s == 3 ? 3 : s - 1;
        h = take(2);  // 2: near; 0: high part -2; 1: -1; 3: highWidth bits
      }
      if (h == 2) {
        const uint32_t distance = 32 - take(5);
        if (!ok) return 0;
        if (distance > produced) return result(kFails);
        produced += length;
        continue;
      }
      if (h == 1) return result(kByteTest);
      if (h == 3) {
        // The width is still the first one: only special codes change it.
        const uint32_t high = (1u << kHrust1FirstWidth) - take(kHrust1FirstWidth);
        if (high <= 2) return result(kInvalid);
      }
      return result(kFails | kWithByte);  // 257 or farther, whatever the byte
    }
    return 0;
  }

  uint16_t entry_[65536];
};

const FirstWordTable& FirstWords() {
  static const FirstWordTable table;
  return table;
}

}  // namespace

void CheckHrust1Tight(DecoderState& state) {
  const int64_t size = state.packedSize;
  // The tail, the first word and the first byte.
  Hrust1FastReader in{state.packed + size, kHrust1Tail - size, 0, 16};
  if (!in.Far() || state.expectedSize > kFastExpectedLimit) return CheckHrust1(state);
  in.NextWord();
  in.Byte();
  const uint16_t first = FirstWords()[in.word];
  if (first != 0 && in.pos <= -kFirstWordMargin && state.expectedSize >= kFirstWordMargin) {
    // The failing code's byte comes after the next word when it took the
    // last bit of this one.
    const int64_t at = in.pos + (first & 0x1F) + (first & FirstWordTable::kFetched ? 2 : 0);
    const bool testFails = (first & FirstWordTable::kByteTest) != 0 && in.end[at] < 224;
    if (testFails || (first & (FirstWordTable::kFails | FirstWordTable::kInvalid)) != 0) {
      const bool withByte = testFails || (first & FirstWordTable::kWithByte) != 0;
      state.consumed = uint32_t(at + size) + (withByte ? 1 : 0);
      state.produced = (first >> 5) & 0x3F;
      StopRun(state, (first & FirstWordTable::kInvalid) ? kInvalidCode : kBeforeOutputStart);
      return;
    }
  }

  const uint32_t expected = state.expectedSize;
  state.consumed = uint32_t(in.pos + size);
  state.produced = 1;
  Hrust1WalkState walk{in.Register(), kHrust1FirstWidth, 0, 0};
  CheckHrust1Walk(state, walk, expected);
}

}  // namespace zantor
