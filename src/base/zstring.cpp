#include "base/zstring.h"

#include <cstring>

#include "base/heap.h"
#include "base/string_capacity.h"

namespace zantor {
namespace {

constexpr Result kTooLarge = ShownFailure("Capacity of string is too large");

// An all-zero String is valid and gets its marker here; anything else that
// lacks the marker is garbage.
void CheckMarker(String& s) {
  if (s.marker == String::kMarker) return;
  if (s.text != nullptr || s.capacity != 0 || s.length != 0 || s.marker != 0) {
    FatalError("String not initialized");
  }
  s.marker = String::kMarker;
}

}  // namespace

Result String::Reserve(uint32_t n) {
  CheckMarker(*this);
  if (n <= capacity) return kSuccess;
  if (n > kMaxLength) return kTooLarge;
  uint32_t grown = GrownStringCapacity<sizeof(void*) * 8>(capacity, n);
  void* buffer = Reallocate(text, size_t{grown} + 1);
  if (buffer == nullptr) return NoMemory;
  text = static_cast<char*>(buffer);
  capacity = grown;
  return kSuccess;
}

Result String::Append(const char* zeroTerminated) {
  CheckMarker(*this);
  size_t added = std::strlen(zeroTerminated);
  if (added > kMaxLength - length) return kTooLarge;
  if (added == 0) return kSuccess;
  // The text may lie in this String's own buffer, which Reserve can move.
  uintptr_t source = reinterpret_cast<uintptr_t>(zeroTerminated);
  uintptr_t start = reinterpret_cast<uintptr_t>(text);
  bool own = text != nullptr && source >= start && source <= start + length;
  size_t ownOffset = own ? source - start : 0;
  Result r = Reserve(length + static_cast<uint32_t>(added));
  if (r.failed()) return r;
  std::memmove(text + length, own ? text + ownOffset : zeroTerminated, added);
  length += static_cast<uint32_t>(added);
  return kSuccess;
}

Result String::AppendChar(char c) {
  CheckMarker(*this);
  Result r = Reserve(length + 1);
  if (r.failed()) return r;
  text[length++] = c;
  return kSuccess;
}

Result String::Remove(uint32_t position, uint32_t count) {
  CheckMarker(*this);
  // Summed in 64 bits: a huge count must not wrap round past the check.
  if (position > kMaxLength || uint64_t{position} + count > length) {
    return ShownFailure("Invalid args of String.Remove operation");
  }
  uint32_t tail = length - position - count;
  if (tail != 0) std::memmove(text + position, text + position + count, tail);
  length -= count;
  return kSuccess;
}

char String::CharAt(uint32_t index) {
  CheckMarker(*this);
  if (index >= length) FatalError("Index out of string");
  return text[index];
}

const char* String::Text() {
  CheckMarker(*this);
  if (length == 0) return "";
  text[length] = 0;
  return text;
}

void String::Destroy() {
  CheckMarker(*this);
  Release(text);
  std::memset(static_cast<void*>(this), 0, sizeof(*this));
}

}  // namespace zantor
