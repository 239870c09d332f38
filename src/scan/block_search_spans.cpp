// SortSpans: a quicksort with random pivots (hostile files cannot force the
// quadratic case) and selection sort for short ranges.
#include "scan/block_search.h"
#include "scan/block_search_entropy.h"

namespace zantor {
namespace {

int64_t Compare(const Span& a, const Span& b) { return int64_t{a.start} - int64_t{b.start}; }

void Swap(Span& a, Span& b) {
  Span t = a;
  a = b;
  b = t;
}

void SelectionSort(Span* spans, int64_t lo, int64_t hi) {
  for (int64_t place = lo; place < hi; ++place) {
    int64_t smallest = place;
    for (int64_t k = place + 1; k <= hi; ++k)
      if (Compare(spans[k], spans[smallest]) < 0) smallest = k;
    Swap(spans[place], spans[smallest]);
  }
}

void QuickSort(Span* spans, int64_t lo, int64_t hi) {
  while (lo < hi) {
    if (hi - lo <= 8) {
      SelectionSort(spans, lo, hi);
      return;
    }
    uint64_t r = EntropyPoolDraw(static_cast<uint8_t>(hi - lo));
    uint64_t range = static_cast<uint64_t>(hi - lo + 1);
    // floor(range * r / 2^64) from 32-bit halves (range < 2^32).
    uint64_t high = range * (r >> 32);
    uint64_t low = range * (r & 0xFFFFFFFFu);
    int64_t pick = lo + static_cast<int64_t>((high + (low >> 32)) >> 32);
    Swap(spans[lo], spans[pick]);
    const Span pivot = spans[lo];
    int64_t i = lo - 1;
    int64_t j = hi + 1;
    for (;;) {
      do ++i; while (Compare(spans[i], pivot) < 0);
      do --j; while (Compare(spans[j], pivot) > 0);
      if (i >= j) break;
      Swap(spans[i], spans[j]);
    }
    QuickSort(spans, lo, j);
    lo = j + 1;
  }
}

}  // namespace

void SortSpans(CoveredSpans& covered) {
  if (covered.count > 1) QuickSort(covered.items, 0, int64_t{covered.count} - 1);
}

}  // namespace zantor
