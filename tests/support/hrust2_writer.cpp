#include "support/hrust2_writer.h"

#include <random>

#include <gtest/gtest.h>

namespace zantor::test {
namespace {

// A code that the format cannot express is a fault of the test itself.
void Require(bool holds, const char* what) {
  if (!holds) ADD_FAILURE() << "Hrust2Writer: " << what << " out of range";
}

}  // namespace

Hrust2Writer::Hrust2Writer(const Bytes& tail, uint8_t first) : packed_(tail), tail_(tail) {
  packed_.push_back(first);
  plain_.push_back(first);
}

void Hrust2Writer::Bit(uint32_t bit) {
  if (bitsUsed_ == 8) {
    bitByte_ = packed_.size();
    packed_.push_back(0);
    bitsUsed_ = 0;
  }
  if (bit) packed_[bitByte_] |= uint8_t(0x80 >> bitsUsed_);
  ++bitsUsed_;
}

void Hrust2Writer::Bits(uint32_t value, uint32_t n) {
  while (n-- > 0) Bit((value >> n) & 1);
}

void Hrust2Writer::Byte(uint8_t value) { packed_.push_back(value); }

void Hrust2Writer::Prefix(uint32_t s) {
  uint32_t rest = s - 1;
  for (int group = 0; group < 4 && rest >= 3; ++group) {
    Bits(3, 2);
    rest -= 3;
  }
  Bits(rest, 2);
}

void Hrust2Writer::Repeat(uint32_t length, uint32_t distance) {
  for (uint32_t i = 0; i < length && distance <= plain_.size(); ++i)
    plain_.push_back(plain_[plain_.size() - distance]);
}

void Hrust2Writer::Literal(uint8_t value) {
  Bit(1);
  Byte(value);
  plain_.push_back(value);
}

void Hrust2Writer::CopyShort(uint32_t distance) {
  Require(distance >= 1 && distance <= 8, "short copy distance");
  Bits(0, 1);
  Prefix(1);
  Bits(8 - distance, 3);
  Repeat(1, distance);
}

void Hrust2Writer::CopyPair(uint32_t distance) {
  Require(distance >= 1 && distance <= 256, "pair copy distance");
  Bits(0, 1);
  Prefix(2);
  Byte(uint8_t(256 - distance));
  Repeat(2, distance);
}

void Hrust2Writer::LengthCode(uint32_t length) {
  Require(length >= 3 && length <= 4095, "copy length");
  Bits(0, 1);
  if (length <= 15) return Prefix(length == 3 ? 3 : length + 1);
  Prefix(4);
  Bit(1);
  if (length <= 255) return Byte(uint8_t(length));
  Byte(uint8_t(length >> 8));
  Byte(uint8_t(length));
}

void Hrust2Writer::FarOffset(uint32_t distance) {
  Require(distance >= 1 && distance <= 65536, "far distance");
  if (distance <= 256) {
    Bit(1);
    return Byte(uint8_t(256 - distance));
  }
  int32_t offset = -int32_t(distance);
  int32_t high = offset >> 8;  // -256 to -2
  Bit(0);
  if (high >= -31) {
    // 0 width-code: 11 for -3..-2, 10 for -7..-4, 01 for -15..-8, 00 for -31..-16
    uint32_t width = high >= -3 ? 1 : high >= -7 ? 2 : high >= -15 ? 3 : 4;
    Bits(4 - width, 2);
    Bits(uint32_t(high + int32_t(2u << width) - 1), width);
    if (high == -31) Byte(uint8_t(high + 256));  // -31 itself needs the escape
  } else {
    Bits(0, 2);
    Bits(0, 4);
    Byte(uint8_t(high + 256));
  }
  Byte(uint8_t(offset & 0xFF));
}

void Hrust2Writer::Copy(uint32_t length, uint32_t distance) {
  LengthCode(length);
  FarOffset(distance);
  Repeat(length, distance);
}

void Hrust2Writer::CopyEscaped(uint32_t length, uint8_t escape, uint8_t low) {
  LengthCode(length);
  Bits(0, 1 + 2 + 4);
  Byte(escape);
  Byte(low);
  if (escape < 227) Repeat(length, (256 - escape) * 256 - low);
}

void Hrust2Writer::LiteralRun(const Bytes& values) {
  uint32_t n = uint32_t(values.size());
  Require(n >= 12 && n <= 42 && n % 2 == 0, "literal run length");
  Bits(0, 1);
  Prefix(4);
  Bit(0);
  Bits((n - 12) / 2, 4);
  for (uint8_t v : values) Byte(v);
  plain_.insert(plain_.end(), values.begin(), values.end());
}

void Hrust2Writer::End() {
  Bits(0, 1);
  Prefix(4);
  Bit(1);
  Byte(0);
}

Hrust2Writer::Bytes Hrust2Writer::Unpacked() const {
  Bytes out = plain_;
  out.insert(out.end(), tail_.begin(), tail_.end());
  return out;
}

Hrust2Writer RandomHrust2Stream(uint32_t seed, uint32_t codes) {
  std::mt19937 random(seed);
  auto pick = [&](uint32_t low, uint32_t high) {
    return std::uniform_int_distribution<uint32_t>(low, high)(random);
  };
  Hrust2Writer::Bytes tail(6);
  for (auto& t : tail) t = uint8_t(pick(0, 255));
  Hrust2Writer w(tail, uint8_t(pick(0, 255)));
  uint32_t produced = 1;
  uint32_t literalRow = 0;
  for (uint32_t i = 0; i < codes; ++i) {
    uint32_t kind = pick(0, 9);
    if (kind <= 2 && literalRow < 11) {
      w.Literal(uint8_t(pick(0, 3)));  // few values, so copies look plausible
      ++literalRow;
      ++produced;
      continue;
    }
    literalRow = 0;
    uint32_t reach = produced < 65536 ? produced : 65536;
    if (kind == 3) {
      w.CopyShort(pick(1, reach < 8 ? reach : 8));
      produced += 1;
    } else if (kind == 4) {
      w.CopyPair(pick(1, reach < 256 ? reach : 256));
      produced += 2;
    } else if (kind == 5) {
      Hrust2Writer::Bytes run(2 * pick(0, 15) + 12);
      for (auto& v : run) v = uint8_t(pick(0, 255));
      w.LiteralRun(run);
      produced += uint32_t(run.size());
    } else {
      uint32_t length = kind == 6 ? pick(16, 600) : pick(3, 15);
      uint32_t distance = kind == 7 ? pick(1, reach) : pick(1, reach < 300 ? reach : 300);
      w.Copy(length, distance);
      produced += length;
    }
  }
  w.End();
  return w;
}

std::vector<std::vector<uint8_t>> DamagedHrust2Inputs(uint32_t seed) {
  using Bytes = std::vector<uint8_t>;
  std::mt19937 random(seed);
  auto pick = [&](size_t high) { return std::uniform_int_distribution<size_t>(0, high)(random); };
  std::vector<Bytes> inputs;
  for (uint32_t stream = 1; stream <= 400; ++stream) {
    Bytes valid = RandomHrust2Stream(seed + stream, 3 + stream % 97).packed();
    inputs.push_back(valid);
    for (int m = 0; m < 6; ++m) {
      Bytes damaged = valid;
      for (size_t flips = 1 + pick(3); flips > 0; --flips) damaged[pick(damaged.size() - 1)] ^= uint8_t(1 << pick(7));
      inputs.push_back(damaged);
    }
    inputs.emplace_back(valid.begin(), valid.begin() + pick(valid.size()));
    Bytes longer = valid;
    for (size_t extra = pick(40); extra > 0; --extra) longer.push_back(uint8_t(pick(255)));
    inputs.push_back(longer);
  }
  for (int i = 0; i < 3000; ++i) {
    Bytes noise(pick(300));
    for (auto& b : noise) b = uint8_t(pick(3) == 0 ? pick(255) : pick(7));  // mostly small: long walks
    inputs.push_back(noise);
  }
  return inputs;
}

}  // namespace zantor::test
