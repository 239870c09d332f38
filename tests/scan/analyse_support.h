// A session over an exactly-sized copy of an image, analysed (through the
// cache or not), with a readable summary of its entries; owns everything the
// analysis produced.
#pragma once
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "codec/dispatch.h"
#include "config/settings.h"
#include "plugin/session.h"
#include "scan/analyse.h"
#include "scan/entry.h"
#include "support/image_builder.h"

namespace zantor::test {

// One listed entry as a test compares it.
struct Listed {
  EntryKind kind;
  uint32_t position;  // Block / EmbeddedArchive
  uint32_t size;      // listed size
  bool bad;
  std::string name;   // number text, archive name, or "notice:corrupt" / "notice:first" / "notice:stopped"
  bool operator==(const Listed& o) const {
    return kind == o.kind && position == o.position && size == o.size && bad == o.bad && name == o.name;
  }
};

class AnalysedImage {
 public:
  explicit AnalysedImage(const Bytes& bytes, const Settings& settings = DefaultSettings(),
                         const std::string& path = "image.bin", uint64_t lastWriteTime = 1);
  ~AnalysedImage();
  AnalysedImage(const AnalysedImage&) = delete;
  AnalysedImage& operator=(const AnalysedImage&) = delete;

  // Both expect the work budget to suffice: genuine data never reaches it.
  Result Scan();     // ScanImage, no cache
  Result Analyse();  // through the cache
  Result ScanWithin(WorkBudget& budget);

  Session& session() { return session_; }
  uint32_t Count() const { return session_.entries.count; }
  const Entry& At(uint32_t i) const { return *session_.entries.At(i); }
  std::vector<Listed> Summary() const;
  // The unpacked bytes of a Block entry (empty on failure).
  Bytes UnpackBlock(uint32_t index) const;

 private:
  std::unique_ptr<uint8_t[]> image_;
  Session session_{};
};

inline std::ostream& operator<<(std::ostream& out, const Listed& l) {
  return out << "{kind " << l.kind << ", at " << l.position << ", size " << l.size << (l.bad ? ", bad" : "")
             << ", \"" << l.name << "\"}";
}

// Settings with every search intensity switched off.
inline Settings NoPasses() {
  Settings s = DefaultSettings();
  for (ScanParams* p : {&s.BasicScanParams_Hrust1, &s.DeepScanParams_Hrust1, &s.ExhaustiveScanParams_Hrust1,
                        &s.BasicScanParams_Hrust2, &s.DeepScanParams_Hrust2, &s.ExhaustiveScanParams_Hrust2})
    p->Enabled = 0;
  return s;
}

// Settings with all seven passes on.
inline Settings AllPasses() {
  Settings s = DefaultSettings();
  s.ExhaustiveScanParams_Hrust1.Enabled = 1;
  s.ExhaustiveScanParams_Hrust2.Enabled = 1;
  return s;
}

inline AnalysedImage::AnalysedImage(const Bytes& bytes, const Settings& settings, const std::string& path,
                                    uint64_t lastWriteTime)
    : image_(ExactCopy(bytes)) {
  session_.settings = settings;
  session_.image = image_.get();
  session_.imageSize = static_cast<uint32_t>(bytes.size());
  session_.lastWriteTime = lastWriteTime;
  std::strncpy(session_.archiveName, path.c_str(), sizeof session_.archiveName - 1);
}

inline AnalysedImage::~AnalysedImage() {
  for (uint32_t i = 0; i < session_.entries.count; ++i) DestroyEntry(session_.entries.At(i));
  session_.entries.Destroy();
  session_.hripReport.Destroy();
}

inline bool StoppedEarly(const Session& session) {
  for (uint32_t i = 0; i < session.entries.count; ++i)
    if (session.entries.At(i)->notice.searchStopped) return true;
  return false;
}

inline Result AnalysedImage::Scan() {
  Result r = ScanImage(session_);
  EXPECT_FALSE(StoppedEarly(session_)) << "the work budget ran out";
  return r;
}

inline Result AnalysedImage::Analyse() {
  Result r = zantor::Analyse(session_);
  EXPECT_FALSE(StoppedEarly(session_)) << "the work budget ran out";
  return r;
}

inline Result AnalysedImage::ScanWithin(WorkBudget& budget) { return ScanImageWithin(session_, budget); }

inline std::vector<Listed> AnalysedImage::Summary() const {
  std::vector<Listed> out;
  for (uint32_t i = 0; i < Count(); ++i) {
    const Entry& e = At(i);
    Listed l{e.kind, 0, e.listedSize, e.bad != 0, ""};
    if (e.kind == kBlock) {
      l.position = e.block.position;
      l.name = e.block.numberText;
    } else if (e.kind == kEmbeddedArchive) {
      l.position = e.embedded.position;
      l.name = e.embedded.name;
    } else if (e.kind == kNotice) {
      l.name = e.notice.archiveCorrupt   ? "notice:corrupt"
               : e.notice.searchStopped ? "notice:stopped"
                                        : "notice:first";
    } else {
      l.position = e.member.ordinal;
    }
    out.push_back(l);
  }
  return out;
}

inline Bytes AnalysedImage::UnpackBlock(uint32_t index) const {
  const Entry& e = At(index);
  Bytes out(e.block.info.unpacked);
  if (UnpackHrustBlock(session_.image + e.block.position, out.data(), e.block.info).failed()) return {};
  return out;
}

}  // namespace zantor::test
