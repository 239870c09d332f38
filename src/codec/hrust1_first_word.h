// The first bit word of a Hrust 1 stream, decided in one table look-up: at
// the start of a check, most chance data fails within it.
#pragma once
#include <cstdint>

#include "codec/first_codes.h"
#include "codec/hrust1_codes.h"

namespace zantor {

// The codes of one word read fewer bytes, and produce fewer, than this.
constexpr uint32_t kFirstWordMargin = 64;

// What the codes of the first bit word tell, at the start of a stream where
// produced is 1: for most words, that the check fails before the word is used
// up, mostly at a copy from before the start of the output, or does unless
// one data byte starts a special code. Such a stream fails after a table
// look-up and at most one byte test, in place of a dozen unpredictable
// branches; that decides the check at nearly all positions of chance data.
class Hrust1FirstWordTable {
 public:
  // Entry: a kind, produced << 5 and the data bytes read before the failing
  // code's own byte; 0 when undecided. A byte-test entry fails with error 4
  // when the byte (the offset's low byte, high part -1) is below 224.
  static constexpr uint16_t kFails = 0x8000;     // error 4
  static constexpr uint16_t kByteTest = 0x4000;  // error 4 unless the byte is 224 or more
  static constexpr uint16_t kInvalid = 0x2000;   // error 6: a far high part of -1 or -2
  static constexpr uint16_t kFetched = 0x1000;   // the failing code took the last bit
  static constexpr uint16_t kWithByte = 0x0800;  // the failing code read its byte

  // What the table holds, worked out from the kind so that a look-up needs
  // no more than a test: the bytes a failing check walked (its last byte is
  // the one a byte test looks at), produced and the kind of test.
  static constexpr uint16_t kWalkedMask = 0x3F;
  static constexpr uint16_t kProducedShift = 6;
  static constexpr uint16_t kInvalidBit = 0x1000;  // error 6, not 4
  static constexpr uint16_t kTestBit = 0x4000;     // fails when the last walked byte is below 224
  static constexpr uint16_t kFailsBit = 0x8000;    // fails whatever the bytes

  Hrust1FirstWordTable() {
    for (uint32_t word = 0; word < 65536; ++word) entry_[word] = Compact(Decide(word));
  }
  uint16_t operator[](uint32_t word) const { return entry_[word]; }

 private:
  // An undecided entry walks the first byte, so that its test reads a byte
  // the check has.
  static uint16_t Compact(uint16_t first) {
    if ((first & (kFails | kByteTest | kInvalid)) == 0) return kHrust1Tail + 3;
    const uint32_t at = kHrust1Tail + 3 + (first & 0x1F) + ((first & kFetched) ? 2 : 0);
    const bool withByte = (first & (kByteTest | kWithByte)) != 0;
    const uint32_t produced = (first >> 5) & 0x3F;
    return uint16_t((at + (withByte ? 1 : 0)) | produced << kProducedShift | ((first & kInvalid) ? kInvalidBit : 0) |
                    ((first & kByteTest) ? kTestBit : kFailsBit));
  }

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
      const uint32_t s = LengthPrefix([&] { return take(2); });
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

// Built on first use: 128 KiB that only the exhaustive search needs.
const Hrust1FirstWordTable& Hrust1FirstWords();

// The packed data a first-word decision needs: the tail, the word, the first
// byte and the margin.
constexpr uint32_t kHrust1FirstWordSpan = kHrust1Tail + 3 + kFirstWordMargin;

// What the first bit word decides for the stream at packed, which has at
// least kHrust1FirstWordSpan bytes and an expected size of kFirstWordMargin
// or more. Branch-free, so that a search can sort out a run of positions
// without a branch it could mispredict.
inline FirstCodesFailure Hrust1FirstWordFailure(const uint8_t* packed, const Hrust1FirstWordTable& words) {
  const uint32_t first = words[uint32_t(packed[kHrust1Tail]) | uint32_t(packed[kHrust1Tail + 1]) << 8];
  // Flags as 0 or 1 and no && or ?:, which the compiler may turn into branches.
  const uint32_t walked = first & Hrust1FirstWordTable::kWalkedMask;
  const uint32_t testFails = ((first / Hrust1FirstWordTable::kTestBit) & 1) & uint32_t(packed[walked - 1] < 224);
  const uint32_t fails = testFails | (first / Hrust1FirstWordTable::kFailsBit);
  return {(0u - fails) & walked, (first >> Hrust1FirstWordTable::kProducedShift) & 0x3F,
          (first & Hrust1FirstWordTable::kInvalidBit) ? uint32_t(kInvalidCode) : uint32_t(kBeforeOutputStart)};
}

}  // namespace zantor
