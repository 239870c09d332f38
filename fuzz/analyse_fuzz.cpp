// Analyse on arbitrary bytes with every pass enabled, the budget of a real
// analysis and a small entry limit, then every listed entry unpacked as
// extraction would. The image is an exactly-sized heap copy, so
// AddressSanitizer sees any read past it. CI runs it with -timeout=1: an
// input that takes longer is a slow path the budget misses.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/heap.h"
#include "config/settings.h"
#include "scan/analyse.h"
#include "scan/analysis.h"
#include "scan/dispatch.h"
#include "scan/entry.h"

namespace {

using namespace zantor;

Settings FuzzSettings() {
  Settings s = DefaultSettings();
  s.MaxEntries = 260;
  s.ExhaustiveScanParams_Hrust1.Enabled = 1;
  s.ExhaustiveScanParams_Hrust2.Enabled = 1;
  return s;
}

// Unpacks what extraction would unpack; the outcome does not matter, only
// that it stays inside the image and the buffer.
void ExtractAll(const Analysis& analysis) {
  for (uint32_t i = 0; i < analysis.entries.count; ++i) {
    const Entry& entry = *analysis.entries.items[i];
    if (entry.bad) continue;
    if (entry.kind == kEmbeddedArchive &&
        uint64_t{entry.embedded.position} + entry.embedded.length > analysis.imageSize)
      std::abort();
    uint32_t size = entry.kind == kBlock           ? entry.block.info.unpacked
                    : entry.kind == kArchiveMember ? entry.member.unpackedSize
                                                   : 0;
    if (size > (1u << 24)) continue;  // members may declare gigabytes
    std::unique_ptr<uint8_t[]> out(new uint8_t[size + 1]);
    if (entry.kind == kBlock)
      UnpackHrustBlock(analysis.image + entry.block.position, out.get(), entry.block.info);
    else if (entry.kind == kArchiveMember && !entry.member.directory)
      UnpackHripMember(analysis.image, analysis.imageSize, entry, out.get(), true);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Settings settings = FuzzSettings();
  static uint64_t runs = 0;
  if (size > (1u << 20)) return 0;
  std::unique_ptr<uint8_t[]> image(new uint8_t[size]);
  if (size) std::memcpy(image.get(), data, size);

  Analysis analysis{};
  analysis.settings = settings;
  analysis.image = image.get();
  analysis.imageSize = static_cast<uint32_t>(size);
  // A new key each run: every input is scanned.
  if (Analyse(analysis, "input.bin", ++runs).ok()) ExtractAll(analysis);

  ClearAnalysis(analysis);
  return 0;
}
