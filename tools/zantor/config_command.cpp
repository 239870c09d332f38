#include "zantor/config_command.h"

#include <cstring>

#include "zantor/host_files.h"

namespace zantor {

namespace {

void PrintScanParams(std::FILE* out, const char* name, const ScanParams& p) {
  std::fprintf(out,
               "%-28s Enabled %u, MaxFileSize %u, ScanFirst %u, SizeThreshold %u, TestBlocks 0x%08X, "
               "MinBlockSize %u\n",
               name, p.Enabled, p.MaxFileSize, p.ScanFirst, p.SizeThreshold, p.TestBlocks, p.MinBlockSize);
}

}  // namespace

void PrintSettings(std::FILE* out, const char* configPath, const Settings& s) {
  if (configPath[0] != 0) {
    std::fprintf(out, "config file: %s\n", configPath);
  } else {
    std::fputs("config file: none (the plugin's path is too long); built-in defaults\n", out);
  }
  std::fprintf(out, "%-28s %u\n", "MaxEntries", s.MaxEntries);
  std::fprintf(out, "%-28s %d\n", "DrelmoCompatible", s.DrelmoCompatible ? 1 : 0);
  std::fprintf(out, "%-28s %u (in effect %u)\n", "FileNameNumbering", s.FileNameNumbering, NumberingInEffect(s));
  std::fprintf(out, "%-28s \"%s\"\n", "FileNameNumberingSeparator", s.FileNameNumberingSeparator);
  std::fprintf(out, "%-28s %d (in effect %d)\n", "SmartLenDetect", s.SmartLenDetect ? 1 : 0,
               SmartLengthInEffect(s) ? 1 : 0);
  std::fprintf(out, "%-28s %d\n", "ExtendedExtension", s.ExtendedExtension ? 1 : 0);
  std::fprintf(out, "%-28s %d (in effect %d)\n", "ExtractHobeta", s.ExtractHobeta ? 1 : 0,
               HobetaExtractionInEffect(s) ? 1 : 0);
  std::fprintf(out, "%-28s %d\n", "ShowDeletedFiles", s.ShowDeletedFiles ? 1 : 0);
  PrintScanParams(out, "BasicScanParams_Hrust1", s.BasicScanParams_Hrust1);
  PrintScanParams(out, "DeepScanParams_Hrust1", s.DeepScanParams_Hrust1);
  PrintScanParams(out, "ExhaustiveScanParams_Hrust1", s.ExhaustiveScanParams_Hrust1);
  PrintScanParams(out, "BasicScanParams_Hrust2", s.BasicScanParams_Hrust2);
  PrintScanParams(out, "DeepScanParams_Hrust2", s.DeepScanParams_Hrust2);
  PrintScanParams(out, "ExhaustiveScanParams_Hrust2", s.ExhaustiveScanParams_Hrust2);
}

int ConfigCommand(const PluginModule& plugin, const char* pluginPath) {
  if (plugin.ConfigurePacker != nullptr) plugin.ConfigurePacker(nullptr, plugin.handle);
  char path[4096];
  if (!FullPath(pluginPath, path, sizeof path)) {
    std::fprintf(stderr, "zantor: %s: path too long\n", pluginPath);
    return 1;
  }
  // The plugin's own start-up, on the module's path: the same file, read by
  // the same rules.
  InitSettingsFromModulePath(path, static_cast<uint32_t>(std::strlen(path)));
  PrintSettings(stdout, ConfigPath(), GetSettings());
  return 0;
}

}  // namespace zantor
