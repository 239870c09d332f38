// Crafted images that make the analysis work hard: each case is a name and a
// generator of an image of about the asked size. They cover long checks at
// many candidates (periodic patterns, a header signature every few bytes,
// repeated corpus streams with a broken last byte, sizes declared far beyond
// the data) and Hrip members of thousands of blocks.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bench_images.h"

namespace zantor {
namespace bench {

struct HostileCase {
  const char* name;
  Bytes (*make)(size_t size);
};

// pattern repeated to size bytes.
inline Bytes Repeat(const Bytes& pattern, size_t size) {
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) out[i] = pattern[i % pattern.size()];
  return out;
}

// Hrust 2 bit and byte writer: a bit byte is placed where the decoder will
// fetch it, when a bit is wanted and none is left.
class Hrust2Stream {
 public:
  void Bit(uint32_t bit) {
    if (free_ == 0) {
      at_ = out_.size();
      out_.push_back(0);
      free_ = 8;
    }
    --free_;
    out_[at_] = static_cast<uint8_t>(out_[at_] | bit << free_);
  }
  void Bits(uint32_t value, uint32_t n) {
    while (n--) Bit(value >> n & 1);
  }
  void Byte(uint8_t b) { out_.push_back(b); }
  // A copy from one byte back, length 16 to 4095 (the long-length code).
  void LongCopy(uint32_t length) {
    Bits(0x0C, 5);  // flag 0, prefix 11 00
    Bit(1);         // long length
    if (length >= 256) {
      Byte(static_cast<uint8_t>(length >> 8));
      Byte(static_cast<uint8_t>(length));
    } else {
      Byte(static_cast<uint8_t>(length));
    }
    Bit(1);  // byte offset
    Byte(0xFF);
  }
  void End() {
    Bits(0x0C, 5);
    Bit(1);
    Byte(0);
  }
  const Bytes& bytes() const { return out_; }

 private:
  Bytes out_;
  size_t at_ = 0;
  uint32_t free_ = 0;
};

// A Hrust 2 stream of about 75 bytes that unpacks to size zero bytes.
inline Bytes ZerosStream(uint32_t size = 65535) {
  Hrust2Stream s;
  for (int i = 0; i < 7; ++i) s.Byte(0);  // the tail, then the first byte
  uint32_t left = size - 7;
  while (left > 0) {
    uint32_t n = left > 4095 ? 4095 : left;
    if (left - n != 0 && left - n < 16) n -= 16;
    s.LongCopy(n);
    left -= n;
  }
  s.End();
  return s.bytes();
}

inline Bytes Hrst2Header(uint8_t flags, uint16_t unpacked, uint16_t packed) {
  return Bytes{'H', 'r', 's', 't', '2', flags, uint8_t(unpacked), uint8_t(unpacked >> 8),
               uint8_t(packed), uint8_t(packed >> 8), 0};
}

// A Hrip archive (no catalogue) of members of up to blocksPerMember blocks
// each, every block a header with the given stream, until size is reached.
inline Bytes HripOfBlocks(size_t size, const Bytes& stream, uint16_t unpacked, size_t blocksPerMember = 32767) {
  Bytes body(8);  // the archive header, written last
  size_t blocks = 0;
  const size_t block = 11 + stream.size();
  while (body.size() + block <= size || blocks == 0) {
    ++blocks;
    bool last = blocks % blocksPerMember == 0 || body.size() + 2 * block > size;
    Bytes h = Hrst2Header(last ? 0x02 : 0x00, unpacked, static_cast<uint16_t>(stream.size()));
    body.insert(body.end(), h.begin(), h.end());
    if (!stream.empty()) body.insert(body.end(), stream.begin(), stream.end());
  }
  uint32_t length = static_cast<uint32_t>(body.size());
  uint32_t sectors = (length + 255) / 256;
  const uint8_t header[8] = {'H', 'R', 'i', 0, uint8_t(length % 256), uint8_t(sectors), uint8_t(sectors >> 8), 0};
  std::memcpy(body.data(), header, 8);
  return body;
}

// Every corpus file of one folder, its last byte broken, repeated to size.
inline Bytes BrokenCorpusStreams(size_t size, const char* folder, const char* suffix) {
  Bytes pattern;
  for (const char* name : {"pic1", "pic2", "pic3", "xargs.1", "grammar.lsp", "obj1"}) {
    Bytes file = ReadFile(std::string(ZANTOR_CORPUS) + "/" + folder + "/" + name + suffix);
    if (file.empty()) continue;
    file.back() ^= 0x55;
    pattern.insert(pattern.end(), file.begin(), file.end());
  }
  return pattern.empty() ? RandomImage() : Repeat(pattern, size);
}

inline const std::vector<HostileCase>& HostileCases() {
  static const std::vector<HostileCase> cases = {
      {"random", [](size_t size) {
         Bytes image = RandomImage();
         image.resize(size);
         return image;
       }},
      {"hrip member of deep blocks", [](size_t size) { return HripOfBlocks(size, ZerosStream(), 65535); }},
      {"hrip members of 65,280 zero bytes",
       [](size_t size) { return HripOfBlocks(size, ZerosStream(65280), 65280, 1); }},
      {"hrip members of empty blocks", [](size_t size) { return HripOfBlocks(size, Bytes{}, 65535); }},
      {"\"HR\" header every 7 bytes",
       [](size_t size) { return Repeat({'H', 'R', 0x00, 0xFF, 0xFF, 0xFF, 0xD8}, size); }},
      {"\"hr21\" header every 8 bytes",
       [](size_t size) { return Repeat({'h', 'r', '2', '1', 0x00, 0xA0, 0x00, 0xA0}, size); }},
      {"\"Hrst2\" header every 11 bytes",
       [](size_t size) { return Repeat({'H', 'r', 's', 't', '2', 0, 0x00, 0xA0, 0x00, 0xA0, 0}, size); }},
      {"\"HRi\" header every 16 bytes",
       [](size_t size) { return Repeat({'H', 'R', 'i', 0, 16, 1, 0, 0, 'H', 'r', 's', 't', '2', 0, 0, 0}, size); }},
      {"hr21 sizes far beyond the data", [](size_t size) {
         Bytes image = RandomImage();
         image.resize(size);
         for (size_t p = 0; p + 8 <= size; p += 509) std::memcpy(&image[p], "hr21\xFF\x9F\xF0\x9A", 8);
         return image;
       }},
      {"AE 8C repeated", [](size_t size) { return Repeat({0xAE, 0x8C}, size); }},
      {"8A F8 repeated", [](size_t size) { return Repeat({0x8A, 0xF8}, size); }},
      {"C6 57 repeated", [](size_t size) { return Repeat({0xC6, 0x57}, size); }},
      {"\"abc\" repeated", [](size_t size) { return Repeat({'a', 'b', 'c'}, size); }},
      {"0x8F repeated", [](size_t size) { return Repeat({0x8F}, size); }},
      {"zero bytes", [](size_t size) { return Bytes(size); }},
      {"hr1 corpus, last byte broken", [](size_t size) { return BrokenCorpusStreams(size, "hrust1", ".hr1"); }},
      {"hr21 corpus, last byte broken", [](size_t size) { return BrokenCorpusStreams(size, "hrust2", ".hr21"); }},
  };
  return cases;
}

}  // namespace bench
}  // namespace zantor
