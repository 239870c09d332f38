#include "scan/analyse.h"

#include "scan/analysis_cache.h"

namespace zantor {

Result Analyse(Session& session) {
  bool hit = false;
  Result r = LoadCachedAnalysis(session, &hit);
  if (r.failed() || hit) return r;
  r = ScanImage(session);
  if (r.failed()) return r;
  return StoreAnalysis(session);
}

}  // namespace zantor
