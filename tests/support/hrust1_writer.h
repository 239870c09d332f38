// Builds Hrust 1 packed data by hand, one function per code, for tests.
// Bit words are 16-bit little-endian, filled from the top bit down; as in the
// reader, the next word is reserved in the stream as soon as the current one
// is full, before any byte that follows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zantor::test {

class Hrust1Writer {
 public:
  // The stream starts with the six tail bytes, the first word, the first byte.
  Hrust1Writer(const std::vector<uint8_t>& tail, uint8_t firstByte);

  void Literal(uint8_t value);                          // 1
  void Copy1(uint32_t distance);                        // 0 00, distance 1..8
  void Copy2Near(uint32_t distance);                    // 0 01 11, distance 1..32
  void Copy2Byte(uint32_t group, uint8_t b);            // 0 01 g + byte, g 0..2
  void Copy2(uint32_t distance);                        // 33..768 through Copy2Byte
  void WidthStep();                                     // 0 01 10 + byte 254
  void GapCopyNear(uint32_t distance, uint8_t middle);  // 0 11 00 1, distance 1..16
  void LiteralRun(const std::vector<uint8_t>& bytes);   // 0 11 00 0 1, 12..42, even
  void LengthPrefix(uint32_t length);                   // the bits for lengths 3..15
  // 0 11 00 0 0 + 7 bits v: length v for 16..127, else v = length / 256
  // and a byte (always so with withByte).
  void LongLength(uint32_t length, bool withByte = false);
  // Offset codes for a length written just before.
  void OffsetNear(uint32_t distance);    // 10, distance 1..32
  void OffsetByte(uint8_t b);            // 01 + byte: -256 + b, special from 224
  void OffsetMiddle(uint32_t distance);  // 00, distance 257..512
  void OffsetFar(int32_t high, uint8_t b);  // 11 + highWidth bits + byte
  // A whole copy of 3..3839 bytes, taking the shortest offset code.
  void Copy(uint32_t length, uint32_t distance);
  // 0 11 00 0 0 0001111, then padding (0 unless given) to the end of the word.
  void End(uint32_t padding = 0);

  void Bits(uint32_t value, uint32_t n);  // n bits, most significant first
  void Byte(uint8_t value) { out_.push_back(value); }

  uint32_t highWidth() const { return highWidth_; }
  uint32_t bitsLeftInWord() const { return 16 - used_; }
  const std::vector<uint8_t>& packed() const { return out_; }

 private:
  void Bit(uint32_t bit, bool reserveNext = true);
  void NewWord();

  std::vector<uint8_t> out_;
  size_t word_ = 0;      // position of the current word
  uint32_t used_ = 0;    // bits of it already written
  uint32_t highWidth_ = 2;
};

}  // namespace zantor::test
