// What the host's entry points do, over sessions: the exports in the module
// only forward here (after the start-up message), so every behaviour the
// host sees is reachable from tests.
#pragma once
#include <cstdint>

#include "plugin/session.h"
#include "plugin/wcx.h"

namespace zantor {

// OpenResult holding this on entry: a failed open shows no message box.
constexpr uint32_t QuietOpenMarker = 0xC42CCA85u;

// The capabilities reported to the host: create (refused with a message, so
// the host offers the plugin for packing and the user learns why not),
// several files, options dialog, recognition by content.
constexpr int kPackerCaps =
    wcx::PK_CAPS_NEW | wcx::PK_CAPS_MULTIPLE | wcx::PK_CAPS_OPTIONS | wcx::PK_CAPS_BY_CONTENT;

// Archives are independent and every one keeps its own callbacks, so the
// host may test and extract in worker threads, several archives at once.
constexpr int kBackgroundFlags = wcx::BACKGROUND_UNPACK;

// A session for data.ArcName, or null with the code in data.OpenResult. The
// two variants differ only in the text of the path.
Session* OpenArchive(wcx::tOpenArchiveData& data);
Session* OpenArchive(wcx::tOpenArchiveDataW& data);
// Keeps the host's progress callback for the archive; the handle of work
// without an archive (-1) and a null handle are ignored.
void SetProcessDataProc(void* archive, wcx::tProcessDataProc proc);
void SetProcessDataProc(void* archive, wcx::tProcessDataProcW proc);
// Closes and destroys the session: 0, or 17 when the file would not close.
int CloseArchive(Session* session);
// 1 when the file opens quietly as a Hrip archive or with any entry.
int CanYouHandleThisFile(HostPath fileName);
inline int CanYouHandleThisFile(const char* fileName) { return CanYouHandleThisFile(HostPath{fileName, nullptr}); }
// Shows "Function not supported" and refuses with 24.
int PackFiles();

}  // namespace zantor
