// Runs the Hrip reader over an exactly-sized copy of an image and owns what
// it produced.
#pragma once
#include <memory>
#include <string>

#include "plugin/session.h"
#include "scan/entry.h"
#include "scan/hrip.h"
#include "support/image_builder.h"

namespace zantor {

struct ParsedHrip {
  std::unique_ptr<uint8_t[]> image;
  uint32_t imageSize = 0;
  Session session{};
  Result result{};

  ParsedHrip(const test::Bytes& bytes, uint32_t maxEntries = 1000)
      : image(test::ExactCopy(bytes)), imageSize(static_cast<uint32_t>(bytes.size())) {
    result = ParseHripArchive(image.get(), imageSize, session.entries, session, maxEntries);
  }
  ~ParsedHrip() {
    for (uint32_t i = 0; i < session.entries.count; ++i) DestroyEntry(session.entries.At(i));
    session.entries.Destroy();
    session.hripReport.Destroy();
  }
  uint32_t Count() const { return session.entries.count; }
  const Entry& At(uint32_t i) const { return *session.entries.At(i); }
  std::string Report() { return session.hripReport.Text(); }
};

}  // namespace zantor
