// SharedEntries: the entry list of a finished analysis, immutable from then
// on and shared by reference count between the analysis cache and every
// open archive that lists it, so a result is held once however often it is
// open. Counted atomically: archives open and close on any thread.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "base/list.h"
#include "base/result.h"

namespace zantor {

struct Analysis;
struct Entry;

struct SharedEntries {
  std::atomic<uint32_t> references;
  List<Entry*> entries;  // owned, with the entries
  size_t bytes;          // heap bytes the list and its entries take
};

// Hands the analysis's own entries over to a new shared list, which the
// analysis then refers to. No memory: the analysis stays as it was.
Result ShareEntries(Analysis& analysis);
// Makes the analysis list the shared entries, holding one more reference.
void AttachEntries(Analysis& analysis, SharedEntries* shared);
// Drops one reference; the last destroys the entries. Null is ignored.
void ReleaseEntries(SharedEntries* shared);

}  // namespace zantor
