// Test-only Hrust 2 stream writer: one function per code of the code table.
// Bit bytes are placed exactly where the decoder fetches them (when a bit is
// wanted and none is left), interleaved with the data bytes. The writer also
// keeps what the stream unpacks to, so tests can compare against it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zantor::test {

class Hrust2Writer {
 public:
  using Bytes = std::vector<uint8_t>;

  // The packed data starts with the six tail bytes and the first byte.
  explicit Hrust2Writer(const Bytes& tail = {'t', 'a', 'i', 'l', '6', '!'}, uint8_t first = 'F');

  void Literal(uint8_t value);                          // 1, byte
  void CopyShort(uint32_t distance);                    // 0 00 vvv: 1 byte from 1 to 8 back
  void CopyPair(uint32_t distance);                     // 0 01, byte: 2 bytes from 1 to 256 back
  void Copy(uint32_t length, uint32_t distance);        // 3 to 4095 bytes from 1 to 65536 back
  void CopyEscaped(uint32_t length, uint8_t escape, uint8_t low);  // far offset 0 00 0000 e lo
  void LiteralRun(const Bytes& values);                 // 0 11 00 0 vvvv, 12 to 42 bytes
  void End();                                           // 0 11 00 1, byte 0

  // Raw pieces for streams that no packer writes.
  void Bits(uint32_t value, uint32_t n);
  void Byte(uint8_t value);

  const Bytes& packed() const { return packed_; }
  // What the stream unpacks to: the code stream's output, then the tail.
  Bytes Unpacked() const;
  size_t produced() const { return plain_.size() + tail_.size(); }

 private:
  void Bit(uint32_t bit);
  void Prefix(uint32_t s);  // the 2-bit groups of length prefix S
  void LengthCode(uint32_t length);
  void FarOffset(uint32_t distance);
  void Repeat(uint32_t length, uint32_t distance);

  Bytes packed_;
  Bytes plain_;
  Bytes tail_;
  size_t bitByte_ = 0;
  uint32_t bitsUsed_ = 8;  // 8: no bit byte open
};

// A valid stream of about codes codes drawn from every kind, with literal
// rows of at most 11 flags, as a packer writes them.
Hrust2Writer RandomHrust2Stream(uint32_t seed, uint32_t codes);

// Valid streams, then the same streams damaged in the ways a search meets
// them (flipped bits, cut short, running on into other data), and data that
// holds no stream at all.
std::vector<std::vector<uint8_t>> DamagedHrust2Inputs(uint32_t seed);

}  // namespace zantor::test
