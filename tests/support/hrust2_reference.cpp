#include "support/hrust2_reference.h"

namespace zantor::test {
namespace {

class Reference {
 public:
  Reference(const std::vector<uint8_t>& packed, uint32_t expectedSize)
      : packed_(packed), expected_(expectedSize) {}

  Hrust2Outcome Run() {
    uint8_t tail[6];
    for (uint8_t& t : tail) t = Read();
    Write(Read());
    while (error_ == 0 && !ended_) Code();
    for (uint8_t t : tail) Write(t);
    Hrust2Outcome o;
    o.error = error_;
    o.consumed = consumed_;
    o.produced = uint32_t(output_.size());
    o.status = error_ != 0 ? error_ : o.produced != expected_ ? 7 : consumed_ != packed_.size() ? 8 : 0;
    o.output = output_;
    return o;
  }

 private:
  void Fail(uint32_t code) {
    if (error_ == 0) error_ = code;
  }
  uint8_t Read() {
    if (error_ != 0) return 0;
    if (consumed_ >= packed_.size()) {
      Fail(1);
      return 0;
    }
    return packed_[consumed_++];
  }
  void Write(uint8_t value) {
    if (error_ != 0) return;
    if (output_.size() >= expected_) return Fail(2);
    output_.push_back(value);
  }
  uint32_t Bit() {
    if (left_ == 0) {
      byte_ = Read();
      left_ = 8;
    }
    --left_;
    return (byte_ >> left_) & 1;
  }
  uint32_t Bits(uint32_t n) {
    uint32_t v = 0;
    while (n-- > 0) v = v << 1 | Bit();
    return v;
  }
  void Copy(uint32_t distance, uint32_t length) {
    for (uint32_t i = 0; i < length && error_ == 0; ++i) {
      if (distance > output_.size()) return Fail(4);
      Write(output_[output_.size() - distance]);
    }
  }
  uint32_t FarDistance() {
    if (Bit()) return 256 - Read();
    uint32_t width = 4 - Bits(2);
    uint32_t high = (2u << width) - 1 - Bits(width);
    if (high == 31) {
      uint32_t escape = Read();
      if (escape >= 227) {
        Fail(6);
        return 1;
      }
      high = 256 - escape;
    }
    return high * 256 - Read();
  }
  void Code() {
    if (Bit()) return Write(Read());
    uint32_t s = 1;
    uint32_t group;
    do {
      group = Bits(2);
      s += group;
    } while (group == 3 && s < 16);
    if (s == 1) return Copy(8 - Bits(3), 1);
    if (s == 2) return Copy(256 - Read(), 2);
    uint32_t length = s == 3 ? 3 : s - 1;
    if (s == 4) {
      if (!Bit()) {
        for (uint32_t n = 2 * Bits(4) + 12; n > 0 && error_ == 0; --n) Write(Read());
        return;
      }
      length = Read();
      if (length == 0) {
        ended_ = error_ == 0;
        return;
      }
      if (length < 16) length = length << 8 | Read();
    }
    uint32_t distance = FarDistance();
    Copy(distance, length);
  }

  const std::vector<uint8_t>& packed_;
  const uint32_t expected_;
  std::vector<uint8_t> output_;
  uint32_t consumed_ = 0;
  uint32_t error_ = 0;
  bool ended_ = false;
  uint8_t byte_ = 0;
  uint32_t left_ = 0;
};

}  // namespace

Hrust2Outcome ReferenceDecodeHrust2(const std::vector<uint8_t>& packed, uint32_t expectedSize) {
  return Reference(packed, expectedSize).Run();
}

}  // namespace zantor::test
