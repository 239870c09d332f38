#include "support/hrust1_writer.h"

#include <gtest/gtest.h>

namespace zantor::test {

Hrust1Writer::Hrust1Writer(const std::vector<uint8_t>& tail, uint8_t firstByte) {
  EXPECT_EQ(tail.size(), 6u);
  out_ = tail;
  NewWord();
  Byte(firstByte);
}

void Hrust1Writer::NewWord() {
  word_ = out_.size();
  out_.push_back(0);
  out_.push_back(0);
  used_ = 0;
}

void Hrust1Writer::Bit(uint32_t bit, bool reserveNext) {
  uint32_t pos = 15 - used_;
  out_[word_ + pos / 8] |= uint8_t((bit & 1) << (pos % 8));
  if (++used_ == 16 && reserveNext) NewWord();
}

void Hrust1Writer::Bits(uint32_t value, uint32_t n) {
  while (n-- > 0) Bit(value >> n);
}

void Hrust1Writer::Literal(uint8_t value) {
  Bit(1);
  Byte(value);
}

void Hrust1Writer::Copy1(uint32_t distance) {
  Bits(0b000, 3);
  Bits(8 - distance, 3);
}

void Hrust1Writer::Copy2Near(uint32_t distance) {
  Bits(0b00111, 5);
  Bits(32 - distance, 5);
}

void Hrust1Writer::Copy2Byte(uint32_t group, uint8_t b) {
  Bits(0b001, 3);
  Bits(group, 2);
  Byte(b);
}

void Hrust1Writer::Copy2(uint32_t distance) {
  ASSERT_TRUE(distance > 32 && distance <= 768);
  uint32_t group = 2 - (distance - 1) / 256;
  Copy2Byte(group, uint8_t(768 - 256 * group - distance));
}

void Hrust1Writer::WidthStep() {
  Copy2Byte(2, 254);
  highWidth_ = highWidth_ == 8 ? 1 : highWidth_ + 1;
}

void Hrust1Writer::GapCopyNear(uint32_t distance, uint8_t middle) {
  Bits(0b011001, 6);
  Bits(16 - distance, 4);
  Byte(middle);
}

void Hrust1Writer::LiteralRun(const std::vector<uint8_t>& bytes) {
  ASSERT_TRUE(bytes.size() >= 12 && bytes.size() <= 42 && bytes.size() % 2 == 0);
  Bits(0b0110001, 7);
  Bits(uint32_t(bytes.size() - 12) / 2, 4);
  for (uint8_t b : bytes) Byte(b);
}

void Hrust1Writer::LengthPrefix(uint32_t length) {
  ASSERT_TRUE(length >= 3 && length <= 15);
  Bit(0);
  uint32_t s = length == 3 ? 3 : length + 1;
  uint32_t sum = 1;
  while (s - sum >= 3) {
    Bits(3, 2);
    sum += 3;
    if (sum == 16) return;
  }
  Bits(s - sum, 2);
}

void Hrust1Writer::LongLength(uint32_t length, bool withByte) {
  Bits(0b0110000, 7);
  if (!withByte && length >= 16 && length <= 127) {
    Bits(length, 7);
    return;
  }
  ASSERT_TRUE(length < 15 * 256);
  Bits(length / 256, 7);
  Byte(uint8_t(length));
}

void Hrust1Writer::OffsetNear(uint32_t distance) {
  Bits(0b10, 2);
  Bits(32 - distance, 5);
}

void Hrust1Writer::OffsetByte(uint8_t b) {
  Bits(0b01, 2);
  Byte(b);
}

void Hrust1Writer::OffsetMiddle(uint32_t distance) {
  Bits(0b00, 2);
  Byte(uint8_t(512 - distance));
}

void Hrust1Writer::OffsetFar(int32_t high, uint8_t b) {
  Bits(0b11, 2);
  Bits(uint32_t(high + (1 << highWidth_)), highWidth_);
  Byte(b);
}

void Hrust1Writer::Copy(uint32_t length, uint32_t distance) {
  if (length <= 15) {
    LengthPrefix(length);
  } else {
    LongLength(length);
  }
  if (distance <= 32) {
    OffsetNear(distance);
  } else if (distance <= 256) {
    OffsetByte(uint8_t(256 - distance));
  } else if (distance <= 512) {
    OffsetMiddle(distance);
  } else {
    int32_t offset = -int32_t(distance);
    ASSERT_GE(offset >> 8, -(1 << highWidth_));
    OffsetFar(offset >> 8, uint8_t(offset & 0xFF));
  }
}

void Hrust1Writer::End(uint32_t padding) {
  Bits(0b0110000, 7);
  // The end code's last bit never makes the reader fetch another word.
  Bits(0b000111, 6);
  Bit(1, false);
  uint32_t left = 16 - used_;
  for (uint32_t i = left; i-- > 0;) Bit(padding >> i, false);
}

}  // namespace zantor::test
