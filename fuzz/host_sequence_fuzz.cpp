// The host's whole call sequence on a file of arbitrary bytes: the probe,
// OpenArchive, ReadHeader and ProcessFile alternating (tests and
// extractions), CloseArchive. Files of one size written within the same
// second meet the analysis cache, so stale entry lists get exercised too.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "config/settings.h"
#include "plugin/listing.h"
#include "plugin/packer.h"
#include "plugin/wcx.h"

namespace {

using namespace zantor;

struct Paths {
  std::string archive;
  std::string extracted;
};

const Paths& FuzzPaths() {
  static const Paths paths = [] {
    const std::string base = "/tmp/zantor-host-fuzz-" + std::to_string(getpid());
    Settings s = DefaultSettings();
    s.MaxEntries = 260;
    SetSettings(s, false);
    return Paths{base + ".bin", base + ".out"};
  }();
  return paths;
}

bool WriteArchive(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Paths& paths = FuzzPaths();
  if (!WriteArchive(paths.archive, data, size)) return 0;
  std::string arcName = paths.archive;
  CanYouHandleThisFile(arcName.c_str());

  wcx::tOpenArchiveData open{};
  open.ArcName = arcName.data();
  open.OpenMode = wcx::PK_OM_EXTRACT;
  Session* session = OpenArchive(open);
  if (session == nullptr) return 0;
  wcx::tHeaderData header{};
  for (uint32_t i = 0; ReadHeader(*session, header) == 0; ++i) {
    // Tests and extractions in turn; the extracted file goes again at once.
    const int operation = i % 2 == 0 ? wcx::PK_TEST : wcx::PK_EXTRACT;
    ProcessFile(*session, operation, nullptr, paths.extracted.c_str());
    unlink(paths.extracted.c_str());
  }
  CloseArchive(session);
  unlink(paths.archive.c_str());
  return 0;
}
