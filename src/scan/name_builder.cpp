#include "scan/name_builder.h"

#include <cstring>

namespace zantor {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// CON, PRN, AUX, NUL, COM0-COM9 and LPT0-LPT9, in any case: Windows opens
// the device, whatever extension follows, and the data is lost.
bool IsDeviceName(const char* name, uint32_t length) {
  while (length > 0 && name[length - 1] == ' ') --length;
  char upper[4];
  if (length < 3 || length > 4) return false;
  for (uint32_t i = 0; i < length; ++i) upper[i] = Upper(name[i]);
  if (length == 3) {
    return std::memcmp(upper, "CON", 3) == 0 || std::memcmp(upper, "PRN", 3) == 0 ||
           std::memcmp(upper, "AUX", 3) == 0 || std::memcmp(upper, "NUL", 3) == 0;
  }
  return (std::memcmp(upper, "COM", 3) == 0 || std::memcmp(upper, "LPT", 3) == 0) && upper[3] >= '0' &&
         upper[3] <= '9';
}

bool OnlyDots(const char* name, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i) {
    if (name[i] != '.') return false;
  }
  return length != 0;
}

}  // namespace

bool IsForbiddenNameByte(uint8_t byte) {
  return byte < 0x20 || byte >= 0x7F || std::strchr("\"<>|\\/?*:#", byte) != nullptr;
}

void NameBuilder::Char(char c) {
  if (length_ < kLongestName) {
    text_[length_++] = c;
  } else {
    overflow_ = true;
  }
}

void NameBuilder::Text(const char* text) {
  while (*text != 0) Char(*text++);
}

void NameBuilder::Escaped(uint8_t byte) {
  if (IsForbiddenNameByte(byte)) {
    ForcedEscape(byte);
  } else {
    Char(static_cast<char>(byte));
  }
}

void NameBuilder::ForcedEscape(uint8_t byte) {
  Char('#');
  Hex(byte, 2);
}

void NameBuilder::Hex(uint32_t value, int digits) {
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) Char(kHexDigits[(value >> shift) & 15]);
}

void NameBuilder::Decimal(uint32_t value, int digits) {
  char reversed[10];
  int n = 0;
  do {
    reversed[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (int pad = n; pad < digits; ++pad) Char('0');
  while (n > 0) Char(reversed[--n]);
}

void NameBuilder::GuardReservedName() {
  const char* dot = static_cast<const char*>(std::memchr(text_, '.', length_));
  uint32_t part = dot == nullptr ? length_ : static_cast<uint32_t>(dot - text_);
  if (OnlyDots(text_, length_)) {
    part = length_;
  } else if (!IsDeviceName(text_, part)) {
    return;
  }
  char name[kLongestName + 1];
  uint32_t length = length_;
  std::memcpy(name, text_, length);
  length_ = 0;
  for (uint32_t i = 0; i < part; ++i) ForcedEscape(static_cast<uint8_t>(name[i]));
  for (uint32_t i = part; i < length; ++i) Char(name[i]);
}

Result NameBuilder::Finish(char* out) {
  if (!overflow_) GuardReservedName();
  if (overflow_) return ShownFailure(kFilenameTooLong);
  std::memcpy(out, text_, length_);
  out[length_] = 0;
  return kSuccess;
}

}  // namespace zantor
