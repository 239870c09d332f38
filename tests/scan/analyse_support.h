// An analysis of an exactly-sized copy of an image, analysed (through the
// cache or not), with a readable summary of its entries; owns everything the
// analysis produced.
#pragma once
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "config/settings.h"
#include "scan/analyse.h"
#include "scan/analysis.h"
#include "scan/dispatch.h"
#include "scan/entry.h"
#include "support/image_builder.h"

namespace zantor::test {

// One listed entry as a test compares it.
struct Listed {
  EntryKind kind;
  uint32_t position;  // Block / EmbeddedArchive
  uint32_t size;      // listed size
  bool bad;
  std::string name;   // number text, archive name, or "notice:corrupt" / "notice:first" / "notice:stopped" /
                      // "notice:not-searched"
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

  Analysis& analysis() { return analysis_; }
  uint32_t Count() const { return analysis_.entries.count; }
  const Entry& At(uint32_t i) const { return *analysis_.entries.At(i); }
  std::vector<Listed> Summary() const;
  // The unpacked bytes of a Block entry (empty on failure).
  Bytes UnpackBlock(uint32_t index) const;

 private:
  std::unique_ptr<uint8_t[]> image_;
  std::string path_;
  uint64_t lastWriteTime_;
  Analysis analysis_{};
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
    : image_(ExactCopy(bytes)), path_(path), lastWriteTime_(lastWriteTime) {
  analysis_.settings = settings;
  analysis_.image = image_.get();
  analysis_.imageSize = static_cast<uint32_t>(bytes.size());
}

inline AnalysedImage::~AnalysedImage() { ClearAnalysis(analysis_); }

inline bool StoppedEarly(const Analysis& analysis) {
  for (uint32_t i = 0; i < analysis.entries.count; ++i)
    if (analysis.entries.At(i)->notice.searchStopped) return true;
  return false;
}

inline Result AnalysedImage::Scan() {
  Result r = ScanImage(analysis_);
  EXPECT_FALSE(StoppedEarly(analysis_)) << "the work budget ran out";
  return r;
}

inline Result AnalysedImage::Analyse() {
  Result r = zantor::Analyse(analysis_, path_.c_str(), lastWriteTime_);
  EXPECT_FALSE(StoppedEarly(analysis_)) << "the work budget ran out";
  return r;
}

inline Result AnalysedImage::ScanWithin(WorkBudget& budget) { return ScanImageWithin(analysis_, budget); }

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
               : e.notice.notSearched   ? "notice:not-searched"
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
  if (UnpackHrustBlock(analysis_.image + e.block.position, out.data(), e.block.info).failed()) return {};
  return out;
}

}  // namespace zantor::test
