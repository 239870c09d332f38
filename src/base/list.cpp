#include "base/list.h"

#include "base/heap.h"

namespace zantor {

Result GrowListArray(void** items, uint32_t* capacity, size_t elementSize, uint32_t maxCapacity) {
  if (*capacity >= maxCapacity) return ShownFailure("Overflow of list");
  uint32_t grown = *capacity == 0 ? 1 : (*capacity > maxCapacity / 2 ? maxCapacity : *capacity * 2);
  void* array = Reallocate(*items, size_t{grown} * elementSize);
  if (array == nullptr) return NoMemory;
  *items = array;
  *capacity = grown;
  return kSuccess;
}

void ReleaseListArray(void* items) { Release(items); }

void IndexOutOfList() { FatalError("Index out of list"); }

}  // namespace zantor
