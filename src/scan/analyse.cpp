#include "scan/analyse.h"

#include "scan/analysis_cache.h"

namespace zantor {

Result Analyse(Analysis& analysis, const char* path, uint64_t lastWriteTime) {
  const CacheKey key{path, lastWriteTime};
  bool hit = false;
  Result r = LoadCachedAnalysis(key, analysis, &hit);
  if (r.failed() || hit) return r;
  r = ScanImage(analysis);
  if (r.failed()) return r;
  return StoreAnalysis(key, analysis);
}

}  // namespace zantor
