// Session: one opened archive, from OpenArchive to CloseArchive. Its address
// is the handle the host gets. All-zero is a valid empty session.
#pragma once
#include <cstdint>

#include "base/result.h"
#include "plugin/file.h"
#include "plugin/host_path.h"
#include "plugin/progress.h"
#include "scan/analysis.h"

namespace zantor {

struct Session {
  File source;                // open and mapped whole (a snapshot) for the session's life
  Analysis analysis;          // the image (the mapped view) and its entries
  uint32_t current;           // entry the next ReadHeader reports
  uint8_t verifyPacked;       // set by the first test operation
  uint64_t lastWriteTime;     // FILETIME of the archive file
  char archiveName[kArchivePathBytes];  // the host's path, kept (host_path.h)
  ProgressCallbacks progress;  // the host's, for this archive
};

// Largest archive file the plugin opens (the image size is 32-bit signed
// wherever the host sees it).
constexpr uint64_t kLargestArchive = 0x7FFFFFFF;

// The DOS date-times listed for archive files dated outside the DOS range.
constexpr uint32_t kEarliestDosTime = 0x00210000;  // 1980-01-01 00:00:00
constexpr uint32_t kLatestDosTime = 0xFF9FBF7D;    // 2107-12-31 23:59:58

// The open sequence: a new session on the file at path, analysed and ready
// to list. On failure nothing is left open and *opened is null.
Result OpenSession(HostPath path, Session** opened);

// Opens the archive file read-only and mapped whole into session.source and
// reads its times (lastWriteTime, the analysis's dosTime).
Result OpenSource(Session& session, const char* path);

// Whether the archive file still holds as many bytes as at open. The entries
// are read from the bytes taken then; a file cut since no longer holds what
// they list, and its entries fail rather than pass off lost bytes.
bool SourceStillWhole(Session& session);

// The local DOS date-time of a FILETIME, clamped into the DOS range: the
// time only labels entries, so an odd date must not refuse the file.
uint32_t NearestDosDateTime(uint64_t fileTime);

// Releases everything the session owns and the session itself. Null is ignored.
void DestroySession(Session* session);

}  // namespace zantor
