#include "scan/entry.h"

#include <cstring>

#include "base/heap.h"
#include "scan/analysis.h"

namespace zantor {

Entry* NewEntry(EntryKind kind) {
  Entry* entry = static_cast<Entry*>(Allocate(sizeof(Entry)));
  if (entry) entry->kind = kind;
  return entry;
}

void DestroyEntry(Entry* entry) {
  if (!entry) return;
  entry->member.blockPositions.Destroy();
  Release(entry);  // the heap wipes the record
}

Result CopyEntry(const Entry& from, Entry* to) {
  std::memcpy(to, &from, sizeof(Entry));
  // The copy starts with a list of its own: sharing the source's array would
  // let the destruction of a failed copy release it.
  to->member.blockPositions = List<uint32_t>{};
  const List<uint32_t>& positions = from.member.blockPositions;
  for (uint32_t i = 0; i < positions.count; ++i) {
    Result r = to->member.blockPositions.Append(positions.At(i));
    if (r.failed()) return r;
  }
  return kSuccess;
}

Result AddBlockEntry(Analysis& analysis, uint32_t position, const BlockInfo& info, bool bad) {
  Entry* entry = NewEntry(kBlock);
  if (!entry) return NoMemory;
  Result r = analysis.entries.Append(entry);
  if (r.failed()) {
    DestroyEntry(entry);
    return r;
  }
  entry->block.position = position;
  entry->block.info = info;
  entry->bad = (bad || info.truncated) ? 1 : 0;
  return kSuccess;
}

}  // namespace zantor
