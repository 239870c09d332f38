#include "scan/analysis_cache.h"

namespace zantor {

uint32_t SignificantPathLength(const char* path, uint32_t length) {
  while (length > 0 && path[length - 1] == '.') --length;
  return length;
}

}  // namespace zantor
