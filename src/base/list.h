// List<T>: an owned, growable array of fixed-size elements on the guarded
// heap. All-zero is a valid empty List. It owns its array, not what pointers
// in it point to.
#pragma once
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "base/result.h"

namespace zantor {

// Grows the array of a List by doubling (1 from empty), up to maxCapacity.
Result GrowListArray(void** items, uint32_t* capacity, size_t elementSize, uint32_t maxCapacity);
// Releases the array.
void ReleaseListArray(void* items);
[[noreturn]] void IndexOutOfList();

template <class T>
struct List {
  static_assert(std::is_trivially_copyable<T>::value, "List elements are plain bytes");
  static constexpr uint32_t kMaxCapacity = 0x7FFFFFFFu / sizeof(T);

  T* items;
  uint32_t count;
  uint32_t capacity;

  Result Insert(uint32_t index, const T& element) {
    if (index > count) IndexOutOfList();
    if (count >= capacity) {
      void* array = items;
      Result r = GrowListArray(&array, &capacity, sizeof(T), kMaxCapacity);
      if (r.failed()) return r;
      items = static_cast<T*>(array);
    }
    std::memmove(items + index + 1, items + index, (count - index) * sizeof(T));
    items[index] = element;
    ++count;
    return kSuccess;
  }
  Result Append(const T& element) { return Insert(count, element); }
  T& At(uint32_t index) {
    if (index >= count) IndexOutOfList();
    return items[index];
  }
  const T& At(uint32_t index) const {
    if (index >= count) IndexOutOfList();
    return items[index];
  }
  void Destroy() {
    ReleaseListArray(items);
    items = nullptr;
    count = 0;
    capacity = 0;
  }
};

}  // namespace zantor
