// The functions the host calls, under their undecorated names. Each shows a
// message left pending from module load first, then forwards. The W and Ex
// variants differ from the ANSI ones only in the records and the path text.
#include "config/config_dialog.h"
#include "config/settings.h"
#include "plugin/listing.h"
#include "plugin/packer.h"
#include "plugin/exports.h"
#include "plugin/wcx.h"

using wcx::HANDLE;

namespace {

zantor::Session* AsSession(HANDLE handle) { return static_cast<zantor::Session*>(handle); }

}  // namespace

ZANTOR_EXPORT HANDLE WCX_API OpenArchive(wcx::tOpenArchiveData* archiveData) {
  zantor::ShowPendingStartupMessage();
  if (archiveData == nullptr) return nullptr;
  return zantor::OpenArchive(*archiveData);
}

ZANTOR_EXPORT HANDLE WCX_API OpenArchiveW(wcx::tOpenArchiveDataW* archiveData) {
  zantor::ShowPendingStartupMessage();
  if (archiveData == nullptr) return nullptr;
  return zantor::OpenArchive(*archiveData);
}

ZANTOR_EXPORT int WCX_API ReadHeader(HANDLE archive, wcx::tHeaderData* headerData) {
  zantor::ShowPendingStartupMessage();
  return zantor::ReadHeader(*AsSession(archive), *headerData);
}

ZANTOR_EXPORT int WCX_API ReadHeaderEx(HANDLE archive, wcx::tHeaderDataEx* headerData) {
  zantor::ShowPendingStartupMessage();
  return zantor::ReadHeaderEx(*AsSession(archive), *headerData);
}

ZANTOR_EXPORT int WCX_API ReadHeaderExW(HANDLE archive, wcx::tHeaderDataExW* headerData) {
  zantor::ShowPendingStartupMessage();
  return zantor::ReadHeaderEx(*AsSession(archive), *headerData);
}

ZANTOR_EXPORT int WCX_API ProcessFile(HANDLE archive, int operation, char* destPath, char* destName) {
  zantor::ShowPendingStartupMessage();
  return zantor::ProcessFile(*AsSession(archive), operation, destPath != nullptr, zantor::HostPath{destName, nullptr});
}

ZANTOR_EXPORT int WCX_API ProcessFileW(HANDLE archive, int operation, wcx::WCHAR* destPath, wcx::WCHAR* destName) {
  zantor::ShowPendingStartupMessage();
  return zantor::ProcessFile(*AsSession(archive), operation, destPath != nullptr, zantor::HostPath{nullptr, destName});
}

ZANTOR_EXPORT int WCX_API CloseArchive(HANDLE archive) {
  zantor::ShowPendingStartupMessage();
  return zantor::CloseArchive(AsSession(archive));
}

// The plugin never asks for volumes: that callback is ignored.
ZANTOR_EXPORT void WCX_API SetChangeVolProc(HANDLE, wcx::tChangeVolProc) {
  zantor::ShowPendingStartupMessage();
}

ZANTOR_EXPORT void WCX_API SetProcessDataProc(HANDLE archive, wcx::tProcessDataProc proc) {
  zantor::ShowPendingStartupMessage();
  zantor::SetProcessDataProc(archive, proc);
}

ZANTOR_EXPORT void WCX_API SetChangeVolProcW(HANDLE, wcx::tChangeVolProcW) {
  zantor::ShowPendingStartupMessage();
}

ZANTOR_EXPORT void WCX_API SetProcessDataProcW(HANDLE archive, wcx::tProcessDataProcW proc) {
  zantor::ShowPendingStartupMessage();
  zantor::SetProcessDataProc(archive, proc);
}

ZANTOR_EXPORT int WCX_API GetBackgroundFlags() {
  zantor::ShowPendingStartupMessage();
  return zantor::kBackgroundFlags;
}

ZANTOR_EXPORT int WCX_API PackFiles(char*, char*, char*, char*, int) {
  zantor::ShowPendingStartupMessage();
  return zantor::PackFiles();
}

ZANTOR_EXPORT int WCX_API GetPackerCaps() {
  zantor::ShowPendingStartupMessage();
  return zantor::kPackerCaps;
}

ZANTOR_EXPORT int WCX_API CanYouHandleThisFile(char* fileName) {
  zantor::ShowPendingStartupMessage();
  return zantor::CanYouHandleThisFile(zantor::HostPath{fileName, nullptr});
}

ZANTOR_EXPORT int WCX_API CanYouHandleThisFileW(wcx::WCHAR* fileName) {
  zantor::ShowPendingStartupMessage();
  return zantor::CanYouHandleThisFile(zantor::HostPath{nullptr, fileName});
}

ZANTOR_EXPORT void WCX_API ConfigurePacker(void* parent, void* dllInstance) {
  zantor::ShowPendingStartupMessage();
  zantor::ConfigurePacker(parent, dllInstance);
}
