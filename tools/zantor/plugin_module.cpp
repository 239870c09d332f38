#include "zantor/plugin_module.h"

#include <cstdio>
#include <cstring>

#include "zantor/module_loader.h"

namespace zantor {

namespace {

template <typename Function>
bool Bind(void* handle, const char* name, Function* slot) {
  *slot = reinterpret_cast<Function>(FindExport(handle, name));
  return *slot != nullptr;
}

}  // namespace

bool LoadPluginModule(const char* path, PluginModule* module, char* error, size_t size) {
  std::memset(module, 0, sizeof *module);
  void* handle = OpenModule(path, error, size);
  if (handle == nullptr) return false;
  PluginModule m{};
  m.handle = handle;
  const char* missing = nullptr;
  if (!Bind(handle, "OpenArchive", &m.OpenArchive)) missing = "OpenArchive";
  if (!Bind(handle, "ReadHeader", &m.ReadHeader)) missing = "ReadHeader";
  if (!Bind(handle, "ProcessFile", &m.ProcessFile)) missing = "ProcessFile";
  if (!Bind(handle, "CloseArchive", &m.CloseArchive)) missing = "CloseArchive";
  if (missing != nullptr) {
    std::snprintf(error, size, "the module does not export %s", missing);
    CloseModule(handle);
    return false;
  }
  Bind(handle, "SetChangeVolProc", &m.SetChangeVolProc);
  Bind(handle, "SetProcessDataProc", &m.SetProcessDataProc);
  Bind(handle, "PackFiles", &m.PackFiles);
  Bind(handle, "GetPackerCaps", &m.GetPackerCaps);
  Bind(handle, "CanYouHandleThisFile", &m.CanYouHandleThisFile);
  Bind(handle, "ConfigurePacker", &m.ConfigurePacker);
  Bind(handle, "OpenArchiveW", &m.OpenArchiveW);
  Bind(handle, "ReadHeaderExW", &m.ReadHeaderExW);
  Bind(handle, "ProcessFileW", &m.ProcessFileW);
  Bind(handle, "SetProcessDataProcW", &m.SetProcessDataProcW);
  Bind(handle, "CanYouHandleThisFileW", &m.CanYouHandleThisFileW);
  *module = m;
  return true;
}

}  // namespace zantor
