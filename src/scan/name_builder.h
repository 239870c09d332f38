// NameBuilder: assembles one file name for the host in a fixed buffer, with
// the escapes that keep ZX Spectrum bytes usable in a Windows file name.
#pragma once
#include <cstdint>

#include "base/result.h"

namespace zantor {

constexpr char kFilenameTooLong[] = "Filename too long";
// Longest name the host's file name field takes (a terminating zero follows).
constexpr uint32_t kLongestName = 259;

// Control bytes, " < > | \ / ? * :, the escape character # and every byte
// from 0x7F up cannot stand in a name as they are.
bool IsForbiddenNameByte(uint8_t byte);

class NameBuilder {
 public:
  NameBuilder() : length_(0), overflow_(false) {}

  void Char(char c);
  void Text(const char* text);
  // A forbidden byte becomes # and two uppercase hex digits.
  void Escaped(uint8_t byte);
  void ForcedEscape(uint8_t byte);
  // value in uppercase hex or decimal, zero-padded to at least digits.
  void Hex(uint32_t value, int digits);
  void Decimal(uint32_t value, int digits);

  // Escapes a name that Windows would take for something other than a file
  // (a device name before the first dot, or dots alone), then copies the
  // name and a terminating zero to out. A name longer than kLongestName
  // fails with "Filename too long" and leaves out untouched.
  Result Finish(char* out);

 private:
  void GuardReservedName();

  char text_[kLongestName + 1];
  uint32_t length_;
  bool overflow_;
};

}  // namespace zantor
