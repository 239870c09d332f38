// The Hrust 2 checkers' view of a stream, a nibble of a bit byte at a time.
// A code's data bytes follow the bit byte that holds its last bit, after
// those of the codes before it, so the codes of one bit byte tell where the
// next bit byte stands. For every state of the code parser between nibbles
// and every nibble, the table sums up the codes that end in the nibble: the
// data bytes they read, the bytes they produce, how far back their copies
// may reach and what they do to the row of literal flags. A long length, the
// end code and an escape byte depend on data bytes: the table stops there.
// Looking a nibble up replaces a dozen data-dependent branches per code,
// which a predictor cannot learn on packed data, by two loads per bit byte.
#pragma once
#include <cstdint>

namespace zantor {

struct Hrust2Nibble {
  uint16_t next;        // the parser state after the nibble, times 256: its entries' offset
  uint16_t reach;       // the farthest back a copy ending in it may reach; 0 for none
  uint16_t pending;     // 0xFFFF: a far copy whose length came before ends in it
  uint16_t keepLength;  // 0xFFFF: the length of a far copy under way is still wanted after it
  uint8_t data;         // data bytes its codes read
  uint8_t length;       // bytes its codes produce, but a far copy whose length came before
  uint8_t setLength;    // the length of a far copy that ends in a later nibble; 0 for none
  uint8_t lead;         // literal flags before its first code that is not one
  uint8_t keep;         // 0xFF: all its bits are literal flags, so the row of them goes on
  uint8_t row;          // literal flags in a row at its end (all of them with keep)
  uint8_t stop;         // kLong or kEscape: a code the table stops at, after the codes it sums up
  uint8_t stopAt;       // the bits of the nibble up to that code's long length flag or escape
  static constexpr uint8_t kLong = 1;    // a length byte or two follow, or the end code
  static constexpr uint8_t kEscape = 2;  // an escape byte and the low distance byte follow
};
// The walk finds an entry at state * 256 + nibble * 16 bytes.
static_assert(sizeof(Hrust2Nibble) == 16, "16-byte entries");

class Hrust2NibbleTable {
 public:
  // Parser states between nibbles. The first nibble of a walk may start
  // after 1 to 3 of its bits at a code boundary (states 1 to 3), and after a
  // long length the rest of a nibble starts at kFar (kFarAfter + 1 to 3).
  static constexpr uint32_t kCode = 0;
  static constexpr uint32_t kPrefix = 4;     // + 3 i + (j ? 1 + v : 0): prefix sum 1 + 3 i, j bits v of a group
  static constexpr uint32_t kNear = 19;      // + 2^j - 1 + v: j bits v of a near distance's 3
  static constexpr uint32_t kRunFlag = 26;   // the bit after prefix sum 4
  static constexpr uint32_t kRun = 27;       // + 2^j - 1 + v: j bits v of a literal run's 4
  static constexpr uint32_t kFar = 42;       // the bit of a far offset that picks a lone byte
  static constexpr uint32_t kWidth = 43;     // + 2^j - 1 + v: j bits v of the width code's 2
  static constexpr uint32_t kHigh = 46;      // + kHighAt[w] + 2^j - 1 + v: j bits v of w high bits
  static constexpr uint32_t kFarAfter = 71;  // + n: kFar, n bits of the nibble taken
  static constexpr uint32_t kStopped = 75;   // after a code the table stops at
  static constexpr uint32_t kStates = 76;

  Hrust2Nibble entry[kStates * 16];

  constexpr Hrust2NibbleTable() : entry() {
    for (uint32_t state = 0; state < kStates; ++state) {
      for (uint32_t nibble = 0; nibble < 16; ++nibble) entry[state * 16 + nibble] = Sum(state, nibble);
    }
  }

 private:
  static constexpr uint32_t kHighAt[5] = {0, 0, 1, 4, 11};
  // The state offset of j bits v read, and j from that offset.
  static constexpr uint32_t At(uint32_t j, uint32_t v) { return (1u << j) - 1 + v; }
  static constexpr uint32_t BitsRead(uint32_t at) { return at >= 7 ? 3 : at >= 3 ? 2 : at >= 1 ? 1 : 0; }

  struct Sums {
    Hrust2Nibble e{};
    uint32_t length = 0;   // of a far copy under way, set in this nibble
    bool started = false;  // a code other than a literal flag is under way or began
    uint32_t row = 0;
    constexpr void Flag() {
      ++e.data;
      ++e.length;
      ++row;
    }
    constexpr void Start() {  // the 0 that starts a code other than a literal flag
      if (!started) e.lead = uint8_t(row);
      started = true;
      row = 0;
    }
    constexpr void Copy(uint32_t length, uint32_t reach, uint32_t bytes) {
      e.length = uint8_t(e.length + length);
      if (reach > e.reach) e.reach = uint16_t(reach);
      e.data = uint8_t(e.data + bytes);
    }
    constexpr void Far(uint32_t high) {  // its length set in this nibble, or before
      if (length == 0) e.pending = 0xFFFF;
      Copy(length, high * 256, 1);
      length = 0;
    }
  };

  static constexpr Hrust2Nibble Sum(uint32_t state, uint32_t nibble) {
    Sums s;
    uint32_t bit = 0;
    if (state >= 1 && state <= 3) {
      bit = state;
      state = kCode;
    } else if (state > kFarAfter && state < kStopped) {
      bit = state - kFarAfter;
      state = kFar;
    }
    s.started = state != kCode;  // the row ended where the code under way began
    while (bit < 4 && state != kStopped) state = Next(s, state, (nibble >> (3 - bit++)) & 1);
    s.e.next = uint16_t(state * 256);
    s.e.setLength = uint8_t(s.length);
    s.e.keepLength = s.length == 0 && s.e.pending == 0 ? 0xFFFF : 0;
    s.e.stopAt = uint8_t(bit);
    if (!s.started) {
      s.e.keep = 0xFF;
      s.e.lead = uint8_t(s.row);
    }
    s.e.row = uint8_t(s.row);
    return s.e;
  }

  // The parser's move on one bit, as the careful walk reads the codes.
  static constexpr uint32_t Next(Sums& s, uint32_t state, uint32_t bit) {
    if (state == kCode) {
      if (bit) {
        s.Flag();
        return kCode;
      }
      s.Start();
      return kPrefix;
    }
    if (state < kNear) {  // the length prefix: S = 1 plus 2-bit groups up to one that is not 3
      const uint32_t k = state - kPrefix;
      if (k % 3 == 0) return state + 1 + bit;
      const uint32_t group = (k % 3 - 1) * 2 + bit;
      const uint32_t prefix = 1 + 3 * (k / 3) + group;
      if (group == 3 && prefix < 16) return kPrefix + 3 * ((prefix - 1) / 3);
      if (prefix == 1) return kNear;
      if (prefix == 2) {  // length 2 from a byte distance
        s.Copy(2, 256, 1);
        return kCode;
      }
      if (prefix == 4) return kRunFlag;
      s.length = prefix < 4 ? prefix : prefix - 1;
      return kFar;
    }
    if (state < kRunFlag) {  // 3 bits v: length 1 from distance 8 - v
      const uint32_t j = BitsRead(state - kNear);
      const uint32_t v = (state - kNear - At(j, 0)) * 2 + bit;
      if (j + 1 < 3) return kNear + At(j + 1, v);
      s.Copy(1, 8 - v, 0);
      return kCode;
    }
    if (state == kRunFlag) {
      if (!bit) return kRun;
      s.e.stop = Hrust2Nibble::kLong;
      return kStopped;
    }
    if (state < kFar) {  // 4 bits v: a run of 2 v + 12 literal bytes
      const uint32_t j = BitsRead(state - kRun);
      const uint32_t v = (state - kRun - At(j, 0)) * 2 + bit;
      if (j + 1 < 4) return kRun + At(j + 1, v);
      s.Copy(2 * v + 12, 0, 2 * v + 12);
      return kCode;
    }
    if (state == kFar) {  // 1 and a byte, or 0, a width code, high bits and a byte
      if (!bit) return kWidth;
      s.Far(1);
      return kCode;
    }
    if (state < kHigh) {
      const uint32_t k = state - kWidth;
      if (k == 0) return kWidth + 1 + bit;
      return kHigh + kHighAt[4 - ((k - 1) * 2 + bit)];
    }
    uint32_t width = 4;
    while (state - kHigh < kHighAt[width]) --width;
    const uint32_t j = BitsRead(state - kHigh - kHighAt[width]);
    const uint32_t v = (state - kHigh - kHighAt[width] - At(j, 0)) * 2 + bit;
    if (j + 1 < width) return kHigh + kHighAt[width] + At(j + 1, v);
    const uint32_t high = (2u << width) - 1 - v;
    if (high == 31) {  // an escape byte comes first
      s.e.stop = Hrust2Nibble::kEscape;
      return kStopped;
    }
    s.Far(high);
    return kCode;
  }
};

// One copy in each file that uses it: addressed directly, without the
// indirection through the global offset table that a shared one costs.
static constexpr Hrust2NibbleTable kHrust2Nibbles{};

}  // namespace zantor
