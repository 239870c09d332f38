// Runs the Hrip reader over an exactly-sized copy of an image and owns what
// it produced.
#pragma once
#include <memory>
#include <string>

#include "scan/analysis.h"
#include "scan/entry.h"
#include "scan/hrip.h"
#include "support/image_builder.h"

namespace zantor {

struct ParsedHrip {
  std::unique_ptr<uint8_t[]> image;
  uint32_t imageSize = 0;
  Analysis analysis{};
  Result result{};

  ParsedHrip(const test::Bytes& bytes, uint32_t maxEntries = 1000)
      : image(test::ExactCopy(bytes)), imageSize(static_cast<uint32_t>(bytes.size())) {
    result = ParseHripArchive(image.get(), imageSize, analysis.entries, analysis, maxEntries);
  }
  ~ParsedHrip() {
    ClearAnalysis(analysis);
  }
  uint32_t Count() const { return analysis.entries.count; }
  const Entry& At(uint32_t i) const { return *analysis.entries.At(i); }
  std::string Report() { return analysis.hripReport.Text(); }
};

}  // namespace zantor
