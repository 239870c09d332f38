// zantor: a command-line host for the packer plugin.
//
//   zantor [--json] [--plugin PATH] [--capture-boxes] [--overwrite] [--ansi] COMMAND ...
//   zantor --version
//     list FILE             list the entries
//     test FILE             test-unpack every entry
//     extract FILE [DIR]    extract every entry into DIR (default: here);
//                           existing files are kept unless --overwrite
//     probe FILE...         ask whether the plugin handles each file
//     pack ARCHIVE FILE...  ask the plugin to pack (it never does)
//     config                configure (a dialog on Windows), then print the
//                           settings file and the settings the plugin uses
//     config set NAME VALUE change one setting; config reset: the defaults
//   test and extract show their progress on a terminal (standard error), and
//   Ctrl+C stops them without leaving a half-written file.
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/utf16.h"
#include "zantor/box_capture.h"
#include "zantor/config_command.h"
#include "zantor/console.h"
#include "zantor/host_codes.h"
#include "zantor/host_files.h"
#include "zantor/plugin_module.h"
#include "zantor/progress_display.h"
#include "zantor/walk.h"

namespace zantor {

namespace {

constexpr int kUsageStatus = 2;
constexpr size_t kPathSize = 4096;

// Whether the Unicode functions can carry path: a Linux name need not be
// valid UTF-8, and only the ANSI functions take its bytes unchanged.
bool WideCarries(const char* path) {
  const size_t units = std::strlen(path) + 1;
  std::vector<wcx::WCHAR> wide(units);
  std::vector<char> back(units * kUtf8PerUtf16 + 1);
  return Utf8ToUtf16(path, wide.data(), units) &&
         Utf16ToUtf8(wide.data(), Utf16Length(wide.data(), UINT32_MAX), back.data(), back.size()) &&
         std::strcmp(back.data(), path) == 0;
}

struct Options {
  bool json = false;
  bool captureBoxes = false;
  bool version = false;
  bool overwrite = false;
  bool ansi = false;  // the ANSI exports even when the module has the Unicode ones
  const char* plugin = nullptr;
  const char* command = nullptr;
  const char* operands[64];
  int operandCount = 0;
};

int Usage() {
  std::fputs(
      "usage: zantor [--json] [--plugin PATH] [--capture-boxes] [--overwrite] [--ansi] COMMAND ...\n"
      "       zantor --version\n"
      "  list FILE             list the entries\n"
      "  test FILE             test every entry\n"
      "  extract FILE [DIR]    extract every entry into DIR (default: the current folder)\n"
      "  probe FILE...         ask whether the plugin handles each file\n"
      "  pack ARCHIVE FILE...  ask the plugin to create an archive\n"
      "  config                run the plugin's configuration (a dialog on Windows), then\n"
      "                        print its settings file and every setting in effect\n"
      "  config set NAME VALUE change one setting (config lists the names)\n"
      "  config reset          put every setting back to its default\n"
      "--plugin defaults to the module beside this program (on Linux, when there is\n"
      "none, the installed one); --capture-boxes prints the plugin's message boxes\n"
      "to standard error instead of showing them; extract keeps existing files\n"
      "unless --overwrite is given; --ansi calls the ANSI functions even when the\n"
      "plugin has the Unicode ones (a file name that is not valid UTF-8 always\n"
      "goes through them).\n",
      stderr);
  return kUsageStatus;
}

bool ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--json") == 0) {
      o->json = true;
    } else if (std::strcmp(a, "--capture-boxes") == 0) {
      o->captureBoxes = true;
    } else if (std::strcmp(a, "--version") == 0) {
      o->version = true;
    } else if (std::strcmp(a, "--overwrite") == 0) {
      o->overwrite = true;
    } else if (std::strcmp(a, "--ansi") == 0) {
      o->ansi = true;
    } else if (std::strcmp(a, "--plugin") == 0 && i + 1 < argc) {
      o->plugin = argv[++i];
    } else if (a[0] == '-' && a[1] == '-') {
      return false;
    } else if (o->command == nullptr) {
      o->command = a;
    } else if (o->operandCount < static_cast<int>(sizeof o->operands / sizeof o->operands[0])) {
      o->operands[o->operandCount++] = a;
    } else {
      return false;
    }
  }
  return o->command != nullptr || o->version;
}

// path: the module's path as loaded.
bool LoadPlugin(const Options& o, PluginModule* plugin, char (&path)[kPathSize]) {
  if (o.plugin != nullptr) {
    std::snprintf(path, sizeof path, "%s", o.plugin);
  } else if (!DefaultPluginPath(path, sizeof path)) {
    std::fputs("zantor: cannot find the folder of this program; use --plugin\n", stderr);
    return false;
  }
  char error[512];
  if (!LoadPluginModule(path, plugin, error, sizeof error)) {
    std::fprintf(stderr, "zantor: cannot load the plugin %s: %s\n", path, error);
    return false;
  }
  if (o.captureBoxes && !CaptureBoxes(plugin->handle)) {
    std::fprintf(stderr, "zantor: the plugin %s shows no message boxes to capture\n", path);
  }
  return true;
}

int WalkCommand(const PluginModule& plugin, Action action, const Options& o, Printer& printer) {
  const int expected = action == Action::kExtract ? 2 : 1;
  if (o.operandCount < 1 || o.operandCount > expected) return Usage();
  char archive[kPathSize];
  char folder[kPathSize] = "";
  if (!FullPath(o.operands[0], archive, sizeof archive)) {
    std::fprintf(stderr, "zantor: %s: path too long\n", o.operands[0]);
    return 1;
  }
  if (action == Action::kExtract) {
    const char* target = o.operandCount == 2 ? o.operands[1] : ".";
    if (!MakeFolder(target) || !FullPath(target, folder, sizeof folder)) {
      std::fprintf(stderr, "zantor: cannot use the folder %s\n", target);
      return 1;
    }
    // The entry name follows one separator: drop a trailing one, or "/.".
    size_t n = std::strlen(folder);
    auto separator = [&folder](size_t i) { return folder[i] == '/' || folder[i] == '\\'; };
    if (n > 2 && folder[n - 1] == '.' && separator(n - 2)) folder[n -= 2] = 0;
    while (n > 1 && separator(n - 1)) folder[--n] = 0;
  }
  if (action != Action::kList) {
    CatchInterrupt();
    ShowProgress(!o.json && StandardErrorIsTerminal());
  }
  const Destination destination{folder, o.overwrite};
  const bool wide = !o.ansi && HasUnicode(plugin) && WideCarries(archive) && WideCarries(folder);
  return WalkSucceeded(Walk(plugin, wide, archive, o.operands[0], action, destination, printer)) ? 0 : 1;
}

int ProbeCommand(const PluginModule& plugin, const Options& o, Printer& printer) {
  if (o.operandCount < 1) return Usage();
  const bool hasWide = !o.ansi && plugin.CanYouHandleThisFileW != nullptr;
  if (!hasWide && plugin.CanYouHandleThisFile == nullptr) {
    std::fputs("zantor: the plugin does not recognise files by content\n", stderr);
    return 1;
  }
  for (int i = 0; i < o.operandCount; ++i) {
    char path[kPathSize];
    if (!FullPath(o.operands[i], path, sizeof path)) return 1;
    wcx::WCHAR widePath[kPathSize];
    char ansiPath[kPathSize];
    int answer;
    if (hasWide && (WideCarries(path) || plugin.CanYouHandleThisFile == nullptr)) {
      Utf8ToUtf16(path, widePath, kPathSize);
      answer = plugin.CanYouHandleThisFileW(widePath);
    } else {
      AnsiPath(path, ansiPath, sizeof ansiPath);
      answer = plugin.CanYouHandleThisFile(ansiPath);
    }
    printer.Probe(o.operands[i], answer != 0);
  }
  return 0;
}

// The host's AddList: names separated by zero bytes, ending in two.
int PackCommand(const PluginModule& plugin, const Options& o, Printer& printer) {
  if (o.operandCount < 1) return Usage();
  if (plugin.PackFiles == nullptr) {
    std::fputs("zantor: the plugin cannot pack\n", stderr);
    return 1;
  }
  char archive[kPathSize];
  char folder[kPathSize];
  char list[kPathSize] = {};
  size_t used = 0;
  if (!FullPath(o.operands[0], archive, sizeof archive) || !FullPath(".", folder, sizeof folder)) return 1;
  for (int i = 1; i < o.operandCount; ++i) {
    const size_t n = std::strlen(o.operands[i]) + 1;
    if (used + n + 1 > sizeof list) return Usage();
    std::memcpy(list + used, o.operands[i], n);
    used += n;
  }
  const int result = plugin.PackFiles(archive, nullptr, folder, list, 0);
  if (result != 0) {
    std::fprintf(stderr, "zantor: %s: pack: error %d (%s)\n", o.operands[0], result, HostCodeText(result));
  }
  printer.Pack(o.operands[0], result);
  return result == 0 ? 0 : 1;
}

int Run(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, &o)) return Usage();
  if (o.version) {
    std::printf("zantor %s\n", ZANTOR_VERSION);
    return 0;
  }
  Action action = Action::kList;
  const char* c = o.command;
  const bool walk = std::strcmp(c, "list") == 0 || std::strcmp(c, "test") == 0 || std::strcmp(c, "extract") == 0;
  const bool config = std::strcmp(c, "config") == 0;
  if (!walk && !config && std::strcmp(c, "probe") != 0 && std::strcmp(c, "pack") != 0) return Usage();
  if (std::strcmp(c, "test") == 0) action = Action::kTest;
  if (std::strcmp(c, "extract") == 0) action = Action::kExtract;

  PluginModule plugin;
  char pluginPath[kPathSize];
  if (!LoadPlugin(o, &plugin, pluginPath)) return 1;
  Printer& printer = o.json ? JsonPrinter() : TextPrinter();
  int status = 0;
  if (walk) {
    status = WalkCommand(plugin, action, o, printer);
  } else if (config) {
    status = ConfigCommand(plugin, pluginPath, o.operands, o.operandCount);
  } else if (std::strcmp(c, "probe") == 0) {
    status = ProbeCommand(plugin, o, printer);
  } else {
    status = PackCommand(plugin, o, printer);
  }
  std::fflush(stdout);
  // Like the file manager, the host keeps the module loaded until it exits:
  // the plugin's analysis cache lives as long as the module and is not freed
  // at unload.
  return status;
}

}  // namespace

}  // namespace zantor

int main(int argc, char** argv) {
  zantor::UseUtf8(&argc, &argv);
  return zantor::Run(argc, argv);
}
