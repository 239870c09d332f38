#include "zantor/walk.h"

#include <cstdio>
#include <cstring>

#include "zantor/host_codes.h"
#include "zantor/host_convention.h"
#include "zantor/host_files.h"

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

// Runs ProcessFile on the entry just read; for extraction the host names
// the destination itself and makes the folders that directory entries stand
// for, as a file manager does. Like a file manager that asks first, it
// hands the plugin an existing file only when told to overwrite; a file it
// keeps is reported here and set in *reported.
int ProcessEntry(const PluginModule& plugin, wcx::HANDLE archive, const wcx::tHeaderData& header, Action action,
                 const Destination& destination, bool* reported) {
  if (action != Action::kExtract) return plugin.ProcessFile(archive, Operation(action), nullptr, nullptr);
  char destName[4096];
  if (std::snprintf(destName, sizeof destName, "%s%c%s", destination.folder, kPathSeparator, header.FileName) >=
      static_cast<int>(sizeof destName)) {
    // Too long for any system: skip it, so the walk stays in step.
    plugin.ProcessFile(archive, wcx::PK_SKIP, nullptr, nullptr);
    return wcx::E_ECREATE;
  }
  if (IsFolder(header.FileAttr)) {
    MakeFolder(destName);
  } else if (!destination.overwrite && PathExists(destName)) {
    plugin.ProcessFile(archive, wcx::PK_SKIP, nullptr, nullptr);
    std::fprintf(stderr, "zantor: %s: extract: the file exists and is kept (--overwrite replaces it)\n",
                 header.FileName);
    *reported = true;
    return wcx::E_ECREATE;
  }
  return plugin.ProcessFile(archive, wcx::PK_EXTRACT, nullptr, destName);
}

// The host's progress callback: the plugin ignores it, a file manager sets it.
int WCX_API KeepGoing(char*, int) { return 1; }

}  // namespace

WalkSummary Walk(const PluginModule& plugin, const char* archive, const char* shown, Action action,
                 const Destination& destination, Printer& printer) {
  WalkSummary summary{};
  printer.Begin(shown, action);
  char arcName[4096];
  std::snprintf(arcName, sizeof arcName, "%s", archive);
  wcx::tOpenArchiveData open{};
  open.ArcName = arcName;
  open.OpenMode = action == Action::kList ? wcx::PK_OM_LIST : wcx::PK_OM_EXTRACT;
  wcx::HANDLE handle = plugin.OpenArchive(&open);
  if (handle == nullptr) {
    // A null handle with OpenResult 0 is a failure all the same.
    summary.openCode = open.OpenResult != 0 ? open.OpenResult : 1;
    ReportFailure(shown, "open", summary.openCode);
    printer.End(summary);
    return summary;
  }
  if (plugin.SetProcessDataProc != nullptr) plugin.SetProcessDataProc(handle, &KeepGoing);

  for (;;) {
    wcx::tHeaderData header{};
    const int read = plugin.ReadHeader(handle, &header);
    if (read == wcx::E_END_ARCHIVE) break;
    if (read != 0) {
      summary.headerCode = read;
      ReportFailure(shown, "reading the next header", read);
      break;
    }
    bool reported = false;
    const int result = ProcessEntry(plugin, handle, header, action, destination, &reported);
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
