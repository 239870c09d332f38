// The host's open, close, probe and pack requests.
#include "plugin/packer.h"

namespace zantor {

Session* OpenArchive(wcx::tOpenArchiveData& data) {
  const bool quiet = static_cast<uint32_t>(data.OpenResult) == QuietOpenMarker;
  Session* session = nullptr;
  Result r = OpenSession(data.ArcName, &session);
  if (r.failed() && !quiet) ReportResult(r);
  data.OpenResult = ToHostCode(r);
  return session;
}

int CloseArchive(Session* session) {
  Result r = session->source.Close(true);
  DestroySession(session);
  return ToHostCode(r);
}

int CanYouHandleThisFile(const char* fileName) {
  wcx::tOpenArchiveData data{};
  data.ArcName = const_cast<char*>(fileName);
  data.OpenMode = wcx::PK_OM_LIST;
  data.OpenResult = static_cast<int>(QuietOpenMarker);
  Session* session = OpenArchive(data);
  if (session == nullptr) return 0;
  const int answer = session->isHripArchive != 0 || session->entries.count != 0;
  CloseArchive(session);
  return answer;
}

int PackFiles() {
  ShowErrorBox("Function not supported");
  return wcx::E_NOT_SUPPORTED;
}

}  // namespace zantor
