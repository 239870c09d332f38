#include "zantor/walk.h"

#include <cstdio>
#include <cstring>

#include "base/utf16.h"

#include "zantor/host_codes.h"
#include "zantor/console.h"
#include "zantor/host_convention.h"
#include "zantor/host_files.h"
#include "zantor/progress_display.h"

namespace zantor {

namespace {

void ReportFailure(const char* what, const char* step, int code) {
  std::fprintf(stderr, "zantor: %s: %s: error %d (%s)\n", what, step, code, HostCodeText(code));
  std::fflush(stderr);
}

int Operation(Action action) {
  switch (action) {
    case Action::kList: return wcx::PK_SKIP;
    case Action::kTest: return wcx::PK_TEST;
    case Action::kExtract: return wcx::PK_EXTRACT;
  }
  return wcx::PK_SKIP;
}

constexpr size_t kPathSize = 4096;

// The module's functions in the variant the walk uses; texts are UTF-8 here.
struct Calls {
  const PluginModule& plugin;
  bool wide;

  wcx::HANDLE Open(const char* archive, int mode, int* openResult) const {
    if (wide) {
      wcx::WCHAR arcName[kPathSize];
      Utf8ToUtf16(archive, arcName, kPathSize);
      wcx::tOpenArchiveDataW open{};
      open.ArcName = arcName;
      open.OpenMode = mode;
      wcx::HANDLE handle = plugin.OpenArchiveW(&open);
      *openResult = open.OpenResult;
      return handle;
    }
    char arcName[kPathSize];
    AnsiPath(archive, arcName, sizeof arcName);
    wcx::tOpenArchiveData open{};
    open.ArcName = arcName;
    open.OpenMode = mode;
    wcx::HANDLE handle = plugin.OpenArchive(&open);
    *openResult = open.OpenResult;
    return handle;
  }

  // The next header, as the ANSI record the printers take (the name in UTF-8).
  int Read(wcx::HANDLE archive, wcx::tHeaderData* header) const {
    if (!wide) return plugin.ReadHeader(archive, header);
    wcx::tHeaderDataExW ex{};
    const int code = plugin.ReadHeaderExW(archive, &ex);
    const uint32_t length = Utf16Length(ex.FileName, 1024);
    if (!Utf16ToUtf8(ex.FileName, length, header->FileName, sizeof header->FileName)) header->FileName[0] = 0;
    header->Flags = ex.Flags;
    header->PackSize = static_cast<int>(ex.PackSize);
    header->UnpSize = static_cast<int>(ex.UnpSize);
    header->FileTime = ex.FileTime;
    header->FileAttr = ex.FileAttr;
    return code;
  }

  int Process(wcx::HANDLE archive, int operation, const char* destName) const {
    if (wide) {
      wcx::WCHAR name[kPathSize];
      if (destName != nullptr) Utf8ToUtf16(destName, name, kPathSize);
      return plugin.ProcessFileW(archive, operation, nullptr, destName != nullptr ? name : nullptr);
    }
    char name[kPathSize];
    if (destName != nullptr) AnsiPath(destName, name, sizeof name);
    return plugin.ProcessFile(archive, operation, nullptr, destName != nullptr ? name : nullptr);
  }
};

// Runs ProcessFile on the entry just read; for extraction the host names
// the destination itself and makes the folders that directory entries stand
// for, as a file manager does. Like a file manager that asks first, it
// hands the plugin an existing file only when told to overwrite; a file it
// keeps is reported here and set in *reported.
int ProcessEntry(const Calls& calls, wcx::HANDLE archive, const wcx::tHeaderData& header, Action action,
                 const Destination& destination, bool* reported) {
  if (action != Action::kExtract) return calls.Process(archive, Operation(action), nullptr);
  char destName[kPathSize];
  if (std::snprintf(destName, sizeof destName, "%s%c%s", destination.folder, kPathSeparator, header.FileName) >=
      static_cast<int>(sizeof destName)) {
    // Too long for any system: skip it, so the walk stays in step.
    calls.Process(archive, wcx::PK_SKIP, nullptr);
    return wcx::E_ECREATE;
  }
  if (IsFolder(header.FileAttr)) {
    MakeFolder(destName);
  } else if (!destination.overwrite && PathExists(destName)) {
    calls.Process(archive, wcx::PK_SKIP, nullptr);
    std::fprintf(stderr, "zantor: %s: extract: the file exists and is kept (--overwrite replaces it)\n",
                 header.FileName);
    *reported = true;
    return wcx::E_ECREATE;
  }
  return calls.Process(archive, wcx::PK_EXTRACT, destName);
}

}  // namespace

WalkSummary Walk(const PluginModule& plugin, bool wide, const char* archive, const char* shown, Action action,
                 const Destination& destination, Printer& printer) {
  WalkSummary summary{};
  printer.Begin(shown, action);
  const Calls calls{plugin, wide};
  int openResult = 0;
  wcx::HANDLE handle = calls.Open(archive, action == Action::kList ? wcx::PK_OM_LIST : wcx::PK_OM_EXTRACT, &openResult);
  if (handle == nullptr) {
    // A null handle with OpenResult 0 is a failure all the same.
    summary.openCode = openResult != 0 ? openResult : 1;
    ReportFailure(shown, "open", summary.openCode);
    printer.End(summary);
    return summary;
  }
  if (wide && plugin.SetProcessDataProcW != nullptr) {
    plugin.SetProcessDataProcW(handle, &OnProcessDataW);
  } else if (!wide && plugin.SetProcessDataProc != nullptr) {
    plugin.SetProcessDataProc(handle, &OnProcessData);
  }

  for (;;) {
    wcx::tHeaderData header{};
    const int read = calls.Read(handle, &header);
    if (read == wcx::E_END_ARCHIVE) break;
    if (read != 0) {
      summary.headerCode = read;
      ReportFailure(shown, "reading the next header", read);
      break;
    }
    bool reported = false;
    BeginEntryProgress(header.FileName, static_cast<uint32_t>(header.UnpSize));
    const int result = ProcessEntry(calls, handle, header, action, destination, &reported);
    EndEntryProgress();
    ++summary.entries;
    summary.packed += static_cast<uint32_t>(header.PackSize);
    summary.unpacked += static_cast<uint32_t>(header.UnpSize);
    if (result != 0) {
      ++summary.failed;
      if (!reported) ReportFailure(header.FileName, ActionName(action), result);
    }
    printer.Entry(header, result);
    // A refused call leaves the plugin on the same entry: stop rather than
    // read it forever.
    if (result == wcx::E_NOT_SUPPORTED) break;
    // Ctrl+C: the plugin stopped the entry; the rest is not started.
    if (Interrupted()) break;
  }

  summary.closeCode = plugin.CloseArchive(handle);
  if (summary.closeCode != 0) ReportFailure(shown, "close", summary.closeCode);
  printer.End(summary);
  return summary;
}

bool WalkSucceeded(const WalkSummary& s) {
  return s.openCode == 0 && s.headerCode == 0 && s.failed == 0 && s.closeCode == 0;
}

}  // namespace zantor
