// A plugin module loaded by its exports, the way the file manager loads it.
#pragma once
#include <cstddef>

#include "plugin/wcx.h"

namespace zantor {

struct PluginModule {
  void* handle;
  // Required: a module without these four is refused.
  wcx::OpenArchiveFn OpenArchive;
  wcx::ReadHeaderFn ReadHeader;
  wcx::ProcessFileFn ProcessFile;
  wcx::CloseArchiveFn CloseArchive;
  // Optional: null when the module does not export them.
  wcx::SetChangeVolProcFn SetChangeVolProc;
  wcx::SetProcessDataProcFn SetProcessDataProc;
  wcx::PackFilesFn PackFiles;
  wcx::GetPackerCapsFn GetPackerCaps;
  wcx::CanYouHandleThisFileFn CanYouHandleThisFile;
  wcx::ConfigurePackerFn ConfigurePacker;
  // The Unicode variants, used whenever all three are there.
  wcx::OpenArchiveWFn OpenArchiveW;
  wcx::ReadHeaderExWFn ReadHeaderExW;
  wcx::ProcessFileWFn ProcessFileW;
  wcx::SetProcessDataProcWFn SetProcessDataProcW;
  wcx::CanYouHandleThisFileWFn CanYouHandleThisFileW;
};

// Whether the module takes the Unicode variants.
inline bool HasUnicode(const PluginModule& m) {
  return m.OpenArchiveW != nullptr && m.ReadHeaderExW != nullptr && m.ProcessFileW != nullptr;
}

// Loads the module and looks up its exports; on failure writes the reason
// into error and leaves module all zero.
bool LoadPluginModule(const char* path, PluginModule* module, char* error, size_t size);

}  // namespace zantor
