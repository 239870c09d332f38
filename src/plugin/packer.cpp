// The host's open, close, probe and pack requests.
#include "plugin/packer.h"

namespace zantor {

namespace {

// openResult: the record's OpenResult field, read and written.
Session* Open(HostPath path, int& openResult) {
  const bool quiet = static_cast<uint32_t>(openResult) == QuietOpenMarker;
  Session* session = nullptr;
  Result r = OpenSession(path, &session);
  if (r.failed() && !quiet) ReportResult(r);
  openResult = ToHostCode(r);
  return session;
}

// The session of an archive handle; null for the handle of work without an
// archive (INVALID_HANDLE_VALUE) and for null.
Session* ArchiveSession(void* archive) {
  if (archive == nullptr || reinterpret_cast<uintptr_t>(archive) == ~uintptr_t{0}) return nullptr;
  return static_cast<Session*>(archive);
}

}  // namespace

void SetProcessDataProc(void* archive, wcx::tProcessDataProc proc) {
  if (Session* session = ArchiveSession(archive)) session->progress.ansi = proc;
}

void SetProcessDataProc(void* archive, wcx::tProcessDataProcW proc) {
  if (Session* session = ArchiveSession(archive)) session->progress.wide = proc;
}

Session* OpenArchive(wcx::tOpenArchiveData& data) { return Open(HostPath{data.ArcName, nullptr}, data.OpenResult); }

Session* OpenArchive(wcx::tOpenArchiveDataW& data) {
  // A null W name is no name at all, as in the ANSI variant.
  return Open(HostPath{nullptr, data.ArcName}, data.OpenResult);
}

int CloseArchive(Session* session) {
  Result r = session->source.Close(true);
  DestroySession(session);
  return ToHostCode(r);
}

int CanYouHandleThisFile(HostPath fileName) {
  int openResult = static_cast<int>(QuietOpenMarker);
  Session* session = Open(fileName, openResult);
  if (session == nullptr) return 0;
  const int answer = session->analysis.isHripArchive != 0 || session->analysis.entries.count != 0;
  CloseArchive(session);
  return answer;
}

int PackFiles() {
  ShowErrorBox("Function not supported");
  return wcx::E_NOT_SUPPORTED;
}

}  // namespace zantor
