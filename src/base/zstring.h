// String: an owned, growable byte string on the guarded heap. All-zero is a
// valid empty String; the first operation stamps the marker.
#pragma once
#include <cstdint>

#include "base/result.h"

namespace zantor {

struct String {
  static constexpr uint32_t kMaxLength = 0x7FFFFFFA;
  static constexpr uint8_t kMarker = 0x8F;

  char* text;         // buffer of capacity + 1 bytes, or null
  uint32_t capacity;  // characters that fit without reallocation
  uint32_t length;    // characters held
  uint8_t marker;     // kMarker once used

  Result Reserve(uint32_t n);
  Result Append(const char* zeroTerminated);
  Result AppendChar(char c);
  Result Remove(uint32_t position, uint32_t count);
  char CharAt(uint32_t index);
  // Zero-terminated view; a static "" for an empty String.
  const char* Text();
  void Destroy();
};

}  // namespace zantor
