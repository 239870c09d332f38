#include "config/settings_struct.h"

namespace zantor {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The byte at text[0..1], or -1.
int HexPair(const char* text) {
  int high = HexValue(text[0]);
  int low = HexValue(text[1]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

}  // namespace

void EncodeStruct(const void* data, uint32_t size, char* text) {
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  uint8_t sum = 0;
  for (uint32_t i = 0; i < size; ++i) {
    sum = static_cast<uint8_t>(sum + bytes[i]);
    *text++ = kHexDigits[bytes[i] >> 4];
    *text++ = kHexDigits[bytes[i] & 15];
  }
  *text++ = kHexDigits[sum >> 4];
  *text++ = kHexDigits[sum & 15];
  *text = 0;
}

bool DecodeStruct(const char* text, uint32_t length, void* data, uint32_t size) {
  if (length != StructTextLength(size)) return false;
  // Checked completely before data is touched: a rejected value keeps the old one.
  uint8_t sum = 0;
  for (uint32_t i = 0; i < size; ++i) {
    int byte = HexPair(text + 2 * i);
    if (byte < 0) return false;
    sum = static_cast<uint8_t>(sum + byte);
  }
  if (HexPair(text + 2 * size) != sum) return false;
  uint8_t* bytes = static_cast<uint8_t*>(data);
  for (uint32_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(HexPair(text + 2 * i));
  return true;
}

}  // namespace zantor
