// The open sequence of an archive session and its teardown.
#include "plugin/session.h"

#include "base/heap.h"
#include "scan/analyse.h"
#include "scan/entry.h"
#include "scan/trdos.h"

namespace zantor {

namespace {

// FILETIME units in a mean Gregorian year (365.2425 days).
constexpr uint64_t kMeanYear = 315569520000000ull;

uint16_t ReadWord(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Steps over a valid hobeta header at the start of the file. A header whose
// checksum matches but whose size word disagrees is a broken hobeta file.
Result LocateImage(Session& session) {
  const uint64_t n = session.source.size;
  const uint8_t* view = session.source.view;
  Analysis& analysis = session.analysis;
  analysis.image = view;
  analysis.imageSize = static_cast<uint32_t>(n);
  if ((n & 0xFF) != HobetaHeader::kSize) return kSuccess;
  if (HobetaChecksum(view) != ReadWord(view + 15)) return kSuccess;
  if (ReadWord(view + 13) != n - HobetaHeader::kSize)
    return ShownFailure("Bad hobeta file: invalid size in hobeta header", 12);
  analysis.image = view + HobetaHeader::kSize;
  analysis.imageSize = static_cast<uint32_t>(n - HobetaHeader::kSize);
  return kSuccess;
}

// The open on a fresh session: path, file, hobeta header, analysis.
Result OpenInto(Session& session, HostPath path) {
  Result r = KeepArchivePath(path, session.archiveName);
  if (r.ok()) r = OpenSource(session, session.archiveName);
  if (r.failed()) return r;
  r = LocateImage(session);
  if (r.failed()) return r;
  return Analyse(session.analysis, session.archiveName, session.lastWriteTime);
}

}  // namespace

uint32_t NearestDosDateTime(uint64_t fileTime) {
  // The year of the time to within a day, enough to tell a DOS form from a
  // wrapped one (some systems convert years past 2107 modulo 128).
  const uint64_t year = 1601 + fileTime / kMeanYear;
  const uint32_t dos = DosDateTime(fileTime);
  const uint64_t dosYear = 1980 + (dos >> 25);
  if (dos != 0 && dosYear + 1 >= year && dosYear <= year + 1) return dos;
  return year < 2044 ? kEarliestDosTime : kLatestDosTime;
}

Result OpenSource(Session& session, const char* path) {
  File& file = session.source;
  // Mapped only after the size check: a file too large to list is refused
  // alike on both widths, without reserving gigabytes of address space.
  Result r = file.Open(path, false, kOpenExisting, false, false, false);
  if (r.failed()) return r;
  if (file.size > kLargestArchive) {
    file.Close(true);
    return HostFailure(14);
  }
  if (!file.Map() || !file.ReadLastWriteTime(&session.lastWriteTime)) {
    file.Close(true);
    return HostFailure(15);
  }
  session.analysis.dosTime = NearestDosDateTime(session.lastWriteTime);
  return kSuccess;
}

bool SourceStillWhole(Session& session) {
  // An image given in memory, without a file, has nothing to lose.
  if (session.source.handle == 0) return true;
  uint64_t now = 0;
  return session.source.ReadSize(&now) && now >= session.source.size;
}

Result OpenSession(HostPath path, Session** opened) {
  *opened = nullptr;
  Session* session = static_cast<Session*>(Allocate(sizeof(Session)));
  if (session == nullptr) return NoMemory;
  session->analysis.settings = GetSettings();
  Result r = OpenInto(*session, path);
  if (r.failed()) {
    DestroySession(session);
    return r;
  }
  session->current = 0;
  *opened = session;
  return kSuccess;
}

void DestroySession(Session* session) {
  if (session == nullptr) return;
  session->source.Close(true);
  session->source.Destroy();
  ClearAnalysis(session->analysis);
  // Release wipes the block, which zeroes the session.
  Release(session);
}

}  // namespace zantor
