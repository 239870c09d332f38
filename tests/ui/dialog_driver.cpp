// dialog_driver PLUGIN WORK_FOLDER LOG [SHOT_FOLDER]
//
// Loads a copy of the plugin module from WORK_FOLDER, opens its configuration
// dialog through ConfigurePacker and operates it from a second thread: clicks,
// typing, the advanced dialogs, OK and Cancel. Checks what the controls show
// and the bytes of "Zantor.cfg" after each dialog; the expected file is written
// by the settings code linked into this program. With SHOT_FOLDER, asks the
// script that started it for screenshots: writes NAME.request (the window's
// screen rectangle) and waits for NAME.done. The last line of LOG is "PASS"
// or "FAIL"; so is the exit code (0 or 1).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "base/result.h"
#include "config/resource.h"
#include "config/settings.h"
#include "plugin/wcx_settings.h"
#include "ui/ui_robot.h"

namespace zantor {

namespace {

constexpr char kConfigCaption[] = "Zantor config";
constexpr char kRestartNote[] =
    "\nPlease restart all instances of Total Commander to fully apply new Zantor settings!";

using ConfigurePackerFn = void(WINAPI*)(HWND, HINSTANCE);
using Script = std::function<void(Checks&)>;

std::string g_work;
std::string g_shots;

std::string WorkFile(const char* name) { return g_work + "\\" + name; }
std::string ConfigFile() { return WorkFile("Zantor.cfg"); }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What the plugin must write for s: the same record saved by the settings
// code into a scratch file.
std::string ExpectedFile(const Settings& s) {
  const std::string path = WorkFile("expected.cfg");
  DeleteFileA(path.c_str());
  SetConfigPath(path.c_str());
  SaveSettings(s);
  return ReadFile(path);
}

// Writes s as the plugin's configuration file (a file edited by hand).
void WriteConfig(const Settings& s) {
  DeleteFileA(ConfigFile().c_str());
  SetConfigPath(ConfigFile().c_str());
  SaveSettings(s);
}

void ExpectFile(Checks& checks, const Settings& s, const std::string& what) {
  checks.Expect(ReadFile(ConfigFile()) == ExpectedFile(s), what,
                "Zantor.cfg holds\n" + ReadFile(ConfigFile()) + "\nexpected\n" + ExpectedFile(s));
}

class Plugin {
 public:
  bool Load(Checks& checks) {
    module_ = LoadLibraryA(WorkFile("Zantor.wcx64").c_str());
    configure_ = module_ == nullptr ? nullptr
                                    : reinterpret_cast<ConfigurePackerFn>(
                                          reinterpret_cast<void*>(GetProcAddress(module_, "ConfigurePacker")));
    return checks.Expect(configure_ != nullptr, "the plugin loads and exports ConfigurePacker");
  }
  void Unload() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
  }
  // What the file manager does right after loading: names its settings file.
  void SetDefaultParams(Checks& checks, const std::string& iniName) {
    auto set = reinterpret_cast<wcx::PackSetDefaultParamsFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "PackSetDefaultParams")));
    if (!checks.Expect(set != nullptr, "the plugin exports PackSetDefaultParams")) return;
    wcx::PackDefaultParamStruct dps{};
    dps.size = sizeof dps;
    dps.PluginInterfaceVersionLow = 22;
    dps.PluginInterfaceVersionHi = 2;
    std::snprintf(dps.DefaultIniName, sizeof dps.DefaultIniName, "%s", iniName.c_str());
    set(&dps);
  }
  // Runs one configuration dialog, operated by script from a second thread.
  void Run(Checks& checks, const Script& script) {
    std::thread person([&] {
      script(checks);
      CancelAll();  // after a failure, some dialog may still be open
    });
    configure_(nullptr, module_);
    person.join();
  }

 private:
  HMODULE module_ = nullptr;
  ConfigurePackerFn configure_ = nullptr;
};

void Screenshot(Checks& checks, HWND window, const char* name) {
  if (g_shots.empty()) return;
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT r;
  GetWindowRect(window, &r);
  const std::string done = g_shots + "\\" + name + ".done";
  DeleteFileA(done.c_str());
  std::ofstream(g_shots + "\\" + name + ".request")
      << r.left << ' ' << r.top << ' ' << r.right - r.left << ' ' << r.bottom - r.top << '\n';
  for (int waited = 0; waited < 300 && !FileExists(done); ++waited) Sleep(100);
  checks.Expect(FileExists(done), std::string("screenshot ") + name + " taken");
}

// ---- What the dialogs look like ------------------------------------------

struct ControlLook {
  int id;
  const char* className;
  LONG buttonType;  // BS_* for buttons, -1 otherwise
  const char* text; // null: not compared here
};

constexpr ControlLook kConfigLook[] = {
    {-1, "Button", BS_GROUPBOX, ""},
    {-1, "Button", BS_GROUPBOX, ""},
    {IDOK, "Button", BS_DEFPUSHBUTTON, "OK"},
    {IDCANCEL, "Button", BS_PUSHBUTTON, "Cancel"},
    {IDC_ABOUT, "Static", -1, nullptr},
    {-1, "Static", -1, "Config file path:"},
    {IDC_CONFIG_PATH, "Edit", -1, nullptr},
    {IDC_MESSAGE, "Static", -1, nullptr},
    {-1, "Button", BS_GROUPBOX, "File naming"},
    {-1, "Button", BS_GROUPBOX, "Numbering"},
    {IDC_NUMBERING_NONE, "Button", BS_AUTORADIOBUTTON, "None"},
    {IDC_NUMBERING_HEX, "Button", BS_AUTORADIOBUTTON, "Hex"},
    {IDC_NUMBERING_DEC, "Button", BS_AUTORADIOBUTTON, "Dec"},
    {IDC_DRELMO, "Button", BS_AUTOCHECKBOX, "Drelmo compatible"},
    {-1, "Button", BS_GROUPBOX, "Miscellaneous"},
    {IDC_SMART_LENGTH, "Button", BS_AUTOCHECKBOX, "Smart file length detection"},
    {IDC_EXTENDED_EXTENSION, "Button", BS_AUTOCHECKBOX, "3-symbol extension support"},
    {IDC_SHOW_DELETED, "Button", BS_AUTOCHECKBOX, "Show deleted files"},
    {IDC_EXTRACT_HOBETA, "Button", BS_AUTOCHECKBOX, "Extract hobeta"},
    {IDC_DETECT_HOBETA, "Button", BS_AUTOCHECKBOX, "Detect hobeta"},
    {-1, "Button", BS_GROUPBOX, "Hrust 1 blocks search intensity"},
    {IDC_HRUST1_BASIC, "Button", BS_AUTOCHECKBOX, "Basic scan"},
    {IDC_HRUST1_DEEP, "Button", BS_AUTOCHECKBOX, "Deep scan"},
    {IDC_HRUST1_EXHAUSTIVE, "Button", BS_AUTOCHECKBOX, "Exhaustive search"},
    {IDC_HRUST1_DEEP_ADVANCED, "Button", BS_PUSHBUTTON, "Advanced..."},
    {IDC_HRUST1_EXHAUSTIVE_ADVANCED, "Button", BS_PUSHBUTTON, "Advanced..."},
    {-1, "Button", BS_GROUPBOX, "Hrust 2 blocks search intensity"},
    {IDC_HRUST2_BASIC, "Button", BS_AUTOCHECKBOX, "Basic scan"},
    {IDC_HRUST2_DEEP, "Button", BS_AUTOCHECKBOX, "Deep scan"},
    {IDC_HRUST2_EXHAUSTIVE, "Button", BS_AUTOCHECKBOX, "Exhaustive search"},
    {IDC_HRUST2_DEEP_ADVANCED, "Button", BS_PUSHBUTTON, "Advanced..."},
    {IDC_HRUST2_EXHAUSTIVE_ADVANCED, "Button", BS_PUSHBUTTON, "Advanced..."},
    {IDC_HRUST1_DEFAULTS, "Button", BS_PUSHBUTTON, "Defaults"},
    {IDC_HRUST2_DEFAULTS, "Button", BS_PUSHBUTTON, "Defaults"},
};

constexpr ControlLook kScanSettingsLook[] = {
    {IDOK, "Button", BS_DEFPUSHBUTTON, "OK"},
    {IDCANCEL, "Button", BS_PUSHBUTTON, "Cancel"},
    {-1, "Static", -1, "Scan only files up to"},
    {-1, "Static", -1, "Kbytes long"},
    {-1, "Static", -1, "Scan only first"},
    {-1, "Static", -1, "Kbytes"},
    {IDC_TEST_BLOCKS, "Button", BS_AUTOCHECKBOX, "Skip bad blocks (test block before adding to list)"},
    {-1, "Static", -1, "Skip blocks smaller than"},
    {-1, "Static", -1, "bytes"},
    {IDC_MAX_FILE_SIZE, "Edit", -1, nullptr},
    {IDC_SCAN_FIRST, "Edit", -1, nullptr},
    {IDC_MIN_BLOCK_SIZE, "Edit", -1, nullptr},
    {-1, "Button", BS_GROUPBOX, "Static"},
};

// Controls in resource order, and the dialog's size in dialog units.
template <size_t N>
void ExpectLook(Checks& checks, HWND dialog, const ControlLook (&look)[N], int width, int height,
                const char* name) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  checks.Expect(children.size() == N, std::string(name) + ": number of controls",
                std::to_string(children.size()));
  for (size_t i = 0; i < N && i < children.size(); ++i) {
    const std::string what = std::string(name) + ": control " + std::to_string(i);
    char className[32] = "";
    GetClassNameA(children[i], className, sizeof className);
    const LONG style = GetWindowLongA(children[i], GWL_STYLE);
    checks.Expect(GetDlgCtrlID(children[i]) == look[i].id, what + " id", std::to_string(GetDlgCtrlID(children[i])));
    checks.ExpectText(className, look[i].className, what + " class");
    if (look[i].buttonType >= 0) checks.Expect((style & BS_TYPEMASK) == look[i].buttonType, what + " button type");
    if (look[i].text != nullptr) checks.ExpectText(Text(children[i]), look[i].text, what + " text");
  }
  RECT units{0, 0, width, height};
  MapDialogRect(dialog, &units);
  RECT client;
  GetClientRect(dialog, &client);
  checks.Expect(client.right == units.right && client.bottom == units.bottom, std::string(name) + ": size",
                std::to_string(client.right) + "x" + std::to_string(client.bottom) + " pixels, expected " +
                    std::to_string(units.right) + "x" + std::to_string(units.bottom));
}

// ---- Helpers on the configuration dialog -----------------------------------

HWND ConfigWindow(Checks& checks) {
  HWND dialog = WaitForDialog(kConfigCaption);
  checks.Expect(dialog != nullptr, "the configuration dialog opens");
  return dialog;
}

void ExpectNote(Checks& checks, HWND dialog, bool shown, const std::string& when) {
  checks.ExpectText(ItemText(dialog, IDC_MESSAGE), shown ? kRestartNote : "", "message area " + when);
}

// Boxes of one format (first box id) showing level.
void ExpectLevel(Checks& checks, HWND dialog, int firstBox, int level, const std::string& when) {
  for (int k = 1; k <= 3; ++k) {
    checks.Expect(IsChecked(dialog, firstBox + k - 1) == (level >= k),
                  "box " + std::to_string(firstBox + k - 1) + " shows level " + std::to_string(level) + " " + when);
  }
}

void Close(HWND dialog, int button) {
  ClickLater(dialog, button);
  WaitUntilClosed(dialog);
}

// The texts of a message box's static controls.
std::string BoxText(HWND box) {
  std::string text;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (std::strcmp(className, "Static") == 0) text += Text(child);
  }
  return text;
}

// Drelmo compatible switched on, then OK.
void DrelmoAndOk(Checks& c) {
  HWND d = ConfigWindow(c);
  if (d == nullptr) return;
  Click(d, IDC_DRELMO);
  Close(d, IDOK);
}

// Opens an advanced dialog through its button; null when it did not appear.
HWND OpenAdvanced(Checks& checks, HWND config, int button, const std::string& title) {
  ClickLater(config, button);
  HWND dialog = WaitForDialog((title + ": advanced settings").c_str());
  checks.Expect(dialog != nullptr, "the advanced dialog \"" + title + ": advanced settings\" opens");
  return dialog;
}

void ExpectFields(Checks& checks, HWND dialog, const char* maxFileSize, const char* scanFirst, const char* minBlock,
                  bool testBlocks, const std::string& when) {
  checks.ExpectText(ItemText(dialog, IDC_MAX_FILE_SIZE), maxFileSize, "files up to " + when);
  checks.ExpectText(ItemText(dialog, IDC_SCAN_FIRST), scanFirst, "scan first " + when);
  checks.ExpectText(ItemText(dialog, IDC_MIN_BLOCK_SIZE), minBlock, "smaller than " + when);
  checks.Expect(IsChecked(dialog, IDC_TEST_BLOCKS) == testBlocks, "skip bad blocks " + when);
}

void ExpectAllowed(Checks& checks, HWND dialog, bool minBlock, bool badBlocks, const std::string& when) {
  checks.Expect(IsEnabled(dialog, IDC_MIN_BLOCK_SIZE) == minBlock, "smaller than field enabled " + when);
  checks.Expect(IsEnabled(dialog, IDC_TEST_BLOCKS) == badBlocks, "skip bad blocks enabled " + when);
}

// The message area's bold font, kept to see that it is deleted when the
// dialog ends.
HGDIOBJ g_boldFont;

bool IsBold(HWND dialog, int id) {
  HFONT font = reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, id, WM_GETFONT, 0, 0));
  LOGFONTA face{};
  g_boldFont = font;
  return font != nullptr && GetObjectA(font, sizeof face, &face) != 0 && face.lfWeight == FW_BOLD;
}

void ExpectFontReleased(Checks& checks, const std::string& when) {
  checks.Expect(g_boldFont != nullptr && GetObjectType(g_boldFont) == 0, "the bold font is deleted " + when);
  g_boldFont = nullptr;
}

// ---- Scenarios -------------------------------------------------------------

// First opening on the defaults: layout, the level boxes, greying and the note.
void LevelsGreyingAndNote(Checks& checks) {
  HWND d = ConfigWindow(checks);
  if (d == nullptr) return;
  ExpectLook(checks, d, kConfigLook, 354, 357, "configuration dialog");
  checks.Expect(ItemText(d, IDC_ABOUT).rfind("\nZantor 2.02 beta (19-Nov-2014)\n\n", 0) == 0, "about text",
                ItemText(d, IDC_ABOUT));
  checks.ExpectText(ItemText(d, IDC_CONFIG_PATH), ConfigFile(), "config file path");
  checks.Expect(IsBold(d, IDC_MESSAGE), "the message area is bold");
  checks.Expect(IsChecked(d, IDC_NUMBERING_DEC) && !IsChecked(d, IDC_NUMBERING_NONE) &&
                    !IsChecked(d, IDC_NUMBERING_HEX),
                "default numbering shows Dec");
  checks.Expect(!IsChecked(d, IDC_DRELMO) && IsChecked(d, IDC_SMART_LENGTH) && IsChecked(d, IDC_EXTENDED_EXTENSION) &&
                    !IsChecked(d, IDC_EXTRACT_HOBETA) && !IsChecked(d, IDC_SHOW_DELETED),
                "default check boxes");
  checks.Expect(!IsEnabled(d, IDC_DETECT_HOBETA) && !IsChecked(d, IDC_DETECT_HOBETA), "Detect hobeta is off for good");
  ExpectLevel(checks, d, IDC_HRUST1_BASIC, 2, "at the start");
  ExpectLevel(checks, d, IDC_HRUST2_BASIC, 2, "at the start");
  ExpectNote(checks, d, false, "at the start");

  Click(d, IDC_DRELMO);
  for (int id : {IDC_NUMBERING_NONE, IDC_NUMBERING_HEX, IDC_NUMBERING_DEC, IDC_EXTRACT_HOBETA}) {
    checks.Expect(!IsEnabled(d, id), "Drelmo compatible greys out " + std::to_string(id));
  }
  checks.Expect(IsChecked(d, IDC_NUMBERING_DEC), "greyed Dec keeps its check mark");
  ExpectNote(checks, d, true, "after Drelmo compatible");
  Click(d, IDC_DRELMO);
  for (int id : {IDC_NUMBERING_NONE, IDC_NUMBERING_HEX, IDC_NUMBERING_DEC, IDC_EXTRACT_HOBETA}) {
    checks.Expect(IsEnabled(d, id), "Drelmo compatible cleared enables " + std::to_string(id));
  }
  ExpectNote(checks, d, false, "after Drelmo compatible is cleared again");

  Click(d, IDC_EXTRACT_HOBETA);
  checks.Expect(!IsEnabled(d, IDC_SMART_LENGTH), "Extract hobeta greys out smart length detection");
  checks.Expect(IsChecked(d, IDC_SMART_LENGTH), "greyed smart length detection keeps its check mark");
  ExpectNote(checks, d, true, "after Extract hobeta");
  Click(d, IDC_DRELMO);
  checks.Expect(IsEnabled(d, IDC_SMART_LENGTH), "Drelmo compatible makes Extract hobeta void: smart length enabled");
  Click(d, IDC_DRELMO);
  Click(d, IDC_EXTRACT_HOBETA);
  checks.Expect(IsEnabled(d, IDC_SMART_LENGTH), "Extract hobeta cleared enables smart length detection");
  ExpectNote(checks, d, false, "after Extract hobeta is cleared again");

  Click(d, IDC_HRUST2_EXHAUSTIVE);
  ExpectLevel(checks, d, IDC_HRUST2_BASIC, 3, "after Hrust 2 Exhaustive search");
  ExpectNote(checks, d, true, "at Hrust 2 level 3");
  Click(d, IDC_HRUST2_BASIC);
  ExpectLevel(checks, d, IDC_HRUST2_BASIC, 1, "after Hrust 2 Basic scan");
  Click(d, IDC_HRUST2_BASIC);
  ExpectLevel(checks, d, IDC_HRUST2_BASIC, 1, "after Hrust 2 Basic scan twice (it cannot be switched off)");
  ExpectNote(checks, d, true, "at Hrust 2 level 1");
  Click(d, IDC_HRUST2_DEEP);
  ExpectLevel(checks, d, IDC_HRUST2_BASIC, 2, "after Hrust 2 Deep scan");
  Click(d, IDC_HRUST1_DEEP);
  ExpectLevel(checks, d, IDC_HRUST1_BASIC, 2, "after Hrust 1 Deep scan at level 2");
  ExpectNote(checks, d, false, "back at level 2 for both formats");

  Click(d, IDC_NUMBERING_HEX);
  checks.Expect(IsChecked(d, IDC_NUMBERING_HEX) && !IsChecked(d, IDC_NUMBERING_DEC), "Hex replaces Dec");
  ExpectNote(checks, d, true, "after Hex");
  Click(d, IDC_NUMBERING_DEC);
  Click(d, IDC_SHOW_DELETED);
  ExpectNote(checks, d, true, "after Show deleted files");
  Click(d, IDC_SHOW_DELETED);
  ExpectNote(checks, d, false, "with every change undone");

  Click(d, IDC_HRUST1_EXHAUSTIVE);
  ExpectNote(checks, d, true, "at Hrust 1 level 3");
  Screenshot(checks, d, "config-dialog");
  Close(d, IDCANCEL);
}

// Advanced dialogs: titles, enabled fields, Kbytes, empty and over-long
// fields, Cancel, the bad-block test.
void AdvancedEdits(Checks& checks) {
  HWND d = ConfigWindow(checks);
  if (d == nullptr) return;
  HWND a = OpenAdvanced(checks, d, IDC_HRUST1_DEEP_ADVANCED, "Hrust 1 deep scan");
  if (a == nullptr) return;
  ExpectLook(checks, a, kScanSettingsLook, 220, 130, "advanced dialog");
  ExpectFields(checks, a, "4096", "2048", "10", true, "of the Hrust 1 deep defaults");
  ExpectAllowed(checks, a, true, false, "for Hrust 1 deep");
  Screenshot(checks, a, "scan-settings-dialog");
  Type(a, IDC_MAX_FILE_SIZE, "8192");
  Type(a, IDC_SCAN_FIRST, "");
  SetText(a, IDC_MIN_BLOCK_SIZE, "100000");
  Close(a, IDOK);
  ExpectNote(checks, d, true, "after an advanced edit");
  ExpectLevel(checks, d, IDC_HRUST1_BASIC, 2, "after an advanced edit");

  a = OpenAdvanced(checks, d, IDC_HRUST1_DEEP_ADVANCED, "Hrust 1 deep scan");
  if (a == nullptr) return;
  ExpectFields(checks, a, "8192", "2048", "10", true, "after the edit (empty and too large fields kept)");
  Type(a, IDC_MAX_FILE_SIZE, "1");
  Close(a, IDCANCEL);
  a = OpenAdvanced(checks, d, IDC_HRUST1_DEEP_ADVANCED, "Hrust 1 deep scan");
  if (a == nullptr) return;
  ExpectFields(checks, a, "8192", "2048", "10", true, "after Cancel");
  Close(a, IDCANCEL);

  a = OpenAdvanced(checks, d, IDC_HRUST2_DEEP_ADVANCED, "Hrust 2 deep scan");
  if (a == nullptr) return;
  ExpectAllowed(checks, a, false, true, "for Hrust 2 deep");
  ExpectFields(checks, a, "4096", "2048", "0", false, "of the Hrust 2 deep defaults");
  Click(a, IDC_TEST_BLOCKS);
  Close(a, IDOK);

  a = OpenAdvanced(checks, d, IDC_HRUST2_EXHAUSTIVE_ADVANCED, "Hrust 2 exhaustive search");
  if (a == nullptr) return;
  ExpectAllowed(checks, a, true, false, "for Hrust 2 exhaustive");
  SetText(a, IDC_MAX_FILE_SIZE, "1000000");
  Type(a, IDC_SCAN_FIRST, "12345678");
  checks.ExpectText(ItemText(a, IDC_SCAN_FIRST), "123456", "scan first takes at most 6 digits");
  Type(a, IDC_MIN_BLOCK_SIZE, "12x3456");
  checks.ExpectText(ItemText(a, IDC_MIN_BLOCK_SIZE), "12345", "smaller than takes at most 5 digits, digits only");
  Close(a, IDOK);

  a = OpenAdvanced(checks, d, IDC_HRUST1_EXHAUSTIVE_ADVANCED, "Hrust 1 exhaustive search");
  if (a == nullptr) return;
  ExpectAllowed(checks, a, true, false, "for Hrust 1 exhaustive");
  ExpectFields(checks, a, "4096", "2048", "257", true, "of the Hrust 1 exhaustive defaults");
  Close(a, IDCANCEL);
  ExpectLevel(checks, d, IDC_HRUST2_BASIC, 2, "after the advanced edits");
  Close(d, IDOK);
}

Settings AdvancedEditsResult() {
  Settings s = DefaultSettings();
  s.DeepScanParams_Hrust1.MaxFileSize = 8192 * 1024;
  s.DeepScanParams_Hrust2.TestBlocks = 1;
  s.ExhaustiveScanParams_Hrust2.ScanFirst = 123456 * 1024;
  s.ExhaustiveScanParams_Hrust2.MinBlockSize = 12345;
  return s;
}

// A file edited by hand: basic scan off, upper TestBlocks bytes, a size that
// is not whole Kbytes, values no dialog shows.
Settings HandEdited() {
  Settings s = DefaultSettings();
  s.BasicScanParams_Hrust1.Enabled = 0;
  s.DeepScanParams_Hrust2.TestBlocks = 0x100;
  s.ExhaustiveScanParams_Hrust1.MaxFileSize = 1500;
  s.FileNameNumbering = 1;
  s.MaxEntries = 777;
  std::memcpy(s.FileNameNumberingSeparator, "~~", 3);
  s.BasicScanParams_Hrust2.SizeThreshold = 999;
  return s;
}

int Run(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: dialog_driver PLUGIN WORK_FOLDER LOG [SHOT_FOLDER]\n", stderr);
    return 2;
  }
  g_work = argv[2];
  if (argc > 4) g_shots = argv[4];
  std::FILE* log = std::fopen(argv[3], "w");
  if (log == nullptr) return 2;
  Checks checks(log);
  CreateDirectoryA(g_work.c_str(), nullptr);
  DeleteFileA(ConfigFile().c_str());
  checks.Expect(CopyFileA(argv[1], WorkFile("Zantor.wcx64").c_str(), FALSE) != 0, "copy the plugin", argv[1]);
  SetCursorPos(512, 384);  // the dialogs open centred on the pointer

  Plugin plugin;
  if (plugin.Load(checks)) {
    checks.Note("levels, greying, the note, Cancel");
    plugin.Run(checks, LevelsGreyingAndNote);
    checks.Expect(!FileExists(ConfigFile()), "Cancel writes no file");
    ExpectFontReleased(checks, "after Cancel");

    checks.Note("OK without a change");
    plugin.Run(checks, [](Checks& c) {
      HWND d = ConfigWindow(c);
      if (d == nullptr) return;
      ExpectNote(c, d, false, "when nothing changed");
      c.Expect(IsBold(d, IDC_MESSAGE), "the message area is bold again");
      Close(d, IDOK);
    });
    ExpectFile(checks, DefaultSettings(), "OK without a change writes the defaults");
    ExpectFontReleased(checks, "after OK");

    checks.Note("advanced dialogs");
    plugin.Run(checks, AdvancedEdits);
    Settings expected = AdvancedEditsResult();
    ExpectFile(checks, expected, "advanced edits stored");

    checks.Note("Defaults after level 3");
    plugin.Run(checks, [](Checks& c) {
      HWND d = ConfigWindow(c);
      if (d == nullptr) return;
      Click(d, IDC_HRUST1_EXHAUSTIVE);
      Close(d, IDOK);
    });
    expected.ExhaustiveScanParams_Hrust1.Enabled = 1;
    ExpectFile(checks, expected, "Hrust 1 level 3 stored");
    plugin.Run(checks, [](Checks& c) {
      HWND d = ConfigWindow(c);
      if (d == nullptr) return;
      ExpectLevel(c, d, IDC_HRUST1_BASIC, 3, "as stored");
      ExpectNote(c, d, false, "on the stored settings");
      Click(d, IDC_HRUST1_DEFAULTS);
      ExpectLevel(c, d, IDC_HRUST1_BASIC, 2, "after Defaults");
      ExpectNote(c, d, true, "after Defaults");
      Click(d, IDC_HRUST2_DEFAULTS);
      ExpectLevel(c, d, IDC_HRUST2_BASIC, 2, "after Hrust 2 Defaults");
      Close(d, IDOK);
    });
    ExpectFile(checks, DefaultSettings(), "both Defaults restore the built-in rows");

    checks.Note("Cancel after changes");
    const std::string before = ReadFile(ConfigFile());
    plugin.Run(checks, [](Checks& c) {
      HWND d = ConfigWindow(c);
      if (d == nullptr) return;
      Click(d, IDC_DRELMO);
      Click(d, IDC_HRUST2_EXHAUSTIVE);
      HWND a = OpenAdvanced(c, d, IDC_HRUST1_DEEP_ADVANCED, "Hrust 1 deep scan");
      if (a == nullptr) return;
      Type(a, IDC_MAX_FILE_SIZE, "1");
      Close(a, IDOK);
      ExpectNote(c, d, true, "before Cancel");
      Close(d, IDCANCEL);
    });
    checks.Expect(ReadFile(ConfigFile()) == before, "Cancel leaves the file as it was");
    // The global settings show in what the next OK writes.
    DeleteFileA(ConfigFile().c_str());
    plugin.Run(checks, [](Checks& c) {
      HWND d = ConfigWindow(c);
      if (d == nullptr) return;
      c.Expect(!IsChecked(d, IDC_DRELMO), "Drelmo compatible as before Cancel");
      ExpectLevel(c, d, IDC_HRUST2_BASIC, 2, "as before Cancel");
      ExpectNote(c, d, false, "after Cancel");
      Close(d, IDOK);
    });
    checks.Expect(ReadFile(ConfigFile()) == before, "Cancel leaves the global settings as they were");
    plugin.Unload();
  }

  checks.Note("a file edited by hand");
  WriteConfig(HandEdited());
  if (plugin.Load(checks)) {
    plugin.Run(checks, [](Checks& c) {
      HWND d = ConfigWindow(c);
      if (d == nullptr) return;
      ExpectNote(c, d, true, "at once for a basic scan switched off by hand");
      c.Expect(IsChecked(d, IDC_NUMBERING_HEX), "Hex from the file");
      ExpectLevel(c, d, IDC_HRUST1_BASIC, 2, "for a basic scan switched off by hand");
      HWND a = OpenAdvanced(c, d, IDC_HRUST2_DEEP_ADVANCED, "Hrust 2 deep scan");
      if (a == nullptr) return;
      c.Expect(!IsChecked(a, IDC_TEST_BLOCKS), "TestBlocks 0x100 shows unchecked");
      Click(a, IDC_TEST_BLOCKS);
      Close(a, IDOK);
      a = OpenAdvanced(c, d, IDC_HRUST1_EXHAUSTIVE_ADVANCED, "Hrust 1 exhaustive search");
      if (a == nullptr) return;
      c.ExpectText(ItemText(a, IDC_MAX_FILE_SIZE), "1", "1500 bytes shown in Kbytes");
      Close(a, IDOK);
      Close(d, IDOK);
    });
    Settings expected = HandEdited();
    expected.BasicScanParams_Hrust1.Enabled = 1;
    expected.DeepScanParams_Hrust2.TestBlocks = 0x101;
    expected.ExhaustiveScanParams_Hrust1.MaxFileSize = 1024;
    ExpectFile(checks, expected, "OK on the edited file: basic scan on, upper bytes kept, whole Kbytes");
    plugin.Unload();
  }

  // The file beside the module cannot be written: a folder stands in its place
  // (folder permissions bind no administrator, and Wine runs as one here).
  checks.Note("settings kept in the host's folder");
  const std::string host = WorkFile("host");
  const std::string hostFile = host + "\\Zantor.cfg";
  DeleteFileA(ConfigFile().c_str());
  CreateDirectoryA(ConfigFile().c_str(), nullptr);
  CreateDirectoryA(host.c_str(), nullptr);
  DeleteFileA(hostFile.c_str());
  if (plugin.Load(checks)) {
    plugin.SetDefaultParams(checks, host + "\\wincmd.ini");
    plugin.Run(checks, DrelmoAndOk);
    checks.Expect(ReadFile(hostFile).find("DrelmoCompatible=1") != std::string::npos,
                  "OK writes Zantor.cfg in the host's folder", ReadFile(hostFile));
    plugin.Unload();
  }
  if (plugin.Load(checks)) {  // as in a new process
    plugin.SetDefaultParams(checks, host + "\\wincmd.ini");
    plugin.Run(checks, [](Checks& c) {
      HWND d = ConfigWindow(c);
      if (d == nullptr) return;
      c.Expect(IsChecked(d, IDC_DRELMO), "the confirmed setting is in effect after a restart");
      Close(d, IDCANCEL);
    });
    plugin.Unload();
  }
  checks.Note("a save that fails");
  if (plugin.Load(checks)) {  // no host folder: nowhere to write
    plugin.Run(checks, [](Checks& c) {
      DrelmoAndOk(c);
      HWND box = WaitForDialog(kBoxTitle);
      if (!c.Expect(box != nullptr, "a failed save shows a message")) return;
      const std::string text = BoxText(box);
      c.Expect(text.find(ConfigFile()) != std::string::npos, "the message names the file", text);
      Close(box, IDOK);
    });
    plugin.Unload();
  }
  RemoveDirectoryA(ConfigFile().c_str());

  const bool passed = checks.failed() == 0;
  std::fprintf(log, "%d checks, %d failed\n%s\n", checks.total(), checks.failed(), passed ? "PASS" : "FAIL");
  std::fclose(log);
  return passed ? 0 : 1;
}

}  // namespace

}  // namespace zantor

int main(int argc, char** argv) { return zantor::Run(argc, argv); }
