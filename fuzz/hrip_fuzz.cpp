// Reads the input as a Hrip archive and unpacks every member it lists.
#include <cstdint>

#include "base/heap.h"
#include "scan/analysis.h"
#include "scan/dispatch.h"
#include "scan/entry.h"
#include "scan/hrip.h"

using namespace zantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0x01000000) return 0;
  const uint32_t imageSize = static_cast<uint32_t>(size);
  Analysis analysis{};
  ParseHripArchive(data, imageSize, analysis.entries, analysis, 2000);
  for (uint32_t i = 0; i < analysis.entries.count; ++i) {
    const Entry& e = *analysis.entries.At(i);
    if (e.bad) continue;
    uint8_t* out = static_cast<uint8_t*>(Allocate(e.member.unpackedSize));
    if (!out) continue;
    UnpackHripMember(data, imageSize, e, out, i % 2 == 0);
    Release(out);
  }
  ClearAnalysis(analysis);
  return 0;
}
