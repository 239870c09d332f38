#include "zantor/config_command.h"

#include <cstring>

#include "config/setting_names.h"
#include "zantor/host_files.h"

namespace zantor {

namespace {

void PrintName(void* out, const char* name, const char* value, const char* allowed) {
  std::fprintf(static_cast<std::FILE*>(out), "  %-34s %-8s (%s)\n", name, value, allowed);
}

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
    std::fprintf(out, "chosen as: %s\n", ConfigPathReason());
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
  std::fputs("\nzantor config set NAME VALUE changes one of these (zantor config reset: all back to the defaults):\n",
             out);
  ForEachNamedSetting(s, PrintName, out);
}

int ConfigCommand(const PluginModule& plugin, const char* pluginPath, const char* const* operands, int count) {
  const bool set = count == 3 && std::strcmp(operands[0], "set") == 0;
  const bool reset = count == 1 && std::strcmp(operands[0], "reset") == 0;
  if (count != 0 && !set && !reset) {
    std::fputs("usage: zantor config [set NAME VALUE | reset]\n", stderr);
    return 2;
  }
  if (count == 0 && plugin.ConfigurePacker != nullptr) plugin.ConfigurePacker(nullptr, plugin.handle);
  char path[4096];
  if (!FullPath(pluginPath, path, sizeof path)) {
    std::fprintf(stderr, "zantor: %s: path too long\n", pluginPath);
    return 1;
  }
  // The plugin's own start-up, on the module's path: the same file, read by
  // the same rules.
  InitSettingsFromModulePath(path, static_cast<uint32_t>(std::strlen(path)));
  if (count == 0) {
    PrintSettings(stdout, ConfigPath(), GetSettings());
    return 0;
  }
  if (ConfigPath()[0] == 0) {
    std::fprintf(stderr, "zantor: no settings file: %s\n", ConfigPathReason());
    return 1;
  }
  Settings s = reset ? DefaultSettings() : GetSettings();
  char error[256];
  if (set && !SetNamedSetting(&s, operands[1], operands[2], error, sizeof error)) {
    std::fprintf(stderr, "zantor: %s\n", error);
    return 1;
  }
  // A failed save says so itself (on standard error here).
  if (!SaveSettings(s)) return 1;
  std::printf("%s: %s\n", ConfigPath(), set ? "changed" : "all settings back to the defaults");
  return 0;
}

}  // namespace zantor
