// The configuration dialog (resource 101) and the ConfigurePacker behind the
// export.
#include <cstring>

#include "config/config_dialog.h"
#include "config/dialog_win32.h"
#include "config/resource.h"
#include "config/scan_settings_dialog_win32.h"
#include "config/settings.h"

namespace zantor {

namespace {

constexpr char kAboutText[] =
    "\nZantor 2.02 beta (19-Nov-2014)\n\n"
    "Written by the Zantor developers.\n"
    "Comments and bug reports are welcome.";
constexpr char kRestartNote[] =
    "\nPlease restart all instances of Total Commander to fully apply new Zantor settings!";

enum Format { kHrust1, kHrust2 };

// The working copies the "Advanced..." buttons and "Defaults" change.
enum Advanced { kHrust1Deep, kHrust1Exhaustive, kHrust2Deep, kHrust2Exhaustive, kAdvancedCount };

// The first of a format's three level boxes is its id base + 1.
constexpr int kLevelBoxBase[] = {IDC_HRUST1_BASIC - 1, IDC_HRUST2_BASIC - 1};

struct AdvancedButton {
  int id;
  Advanced copy;
  const char* title;
  bool allowMinBlockSize;
  bool allowBadBlockTest;
};

constexpr AdvancedButton kAdvancedButtons[] = {
    {IDC_HRUST1_DEEP_ADVANCED, kHrust1Deep, "Hrust 1 deep scan", true, false},
    {IDC_HRUST1_EXHAUSTIVE_ADVANCED, kHrust1Exhaustive, "Hrust 1 exhaustive search", true, false},
    {IDC_HRUST2_DEEP_ADVANCED, kHrust2Deep, "Hrust 2 deep scan", false, true},
    {IDC_HRUST2_EXHAUSTIVE_ADVANCED, kHrust2Exhaustive, "Hrust 2 exhaustive search", true, false},
};

bool IsEnabled(const ScanParams& p) { return (p.Enabled & 0xFF) != 0; }

void SetLowByte(uint32_t* value, bool on) { *value = (*value & ~0xFFu) | (on ? 1u : 0u); }

// 3 when the exhaustive search runs, 2 when the deep scan does, else 1.
int LevelOf(const ScanParams& deep, const ScanParams& exhaustive) {
  return IsEnabled(exhaustive) ? 3 : IsEnabled(deep) ? 2 : 1;
}

bool SameParams(const ScanParams& a, const ScanParams& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// What the restart note is about: the settings as the consumers see them.
bool Differ(const Settings& a, const Settings& b) {
  return a.DrelmoCompatible != b.DrelmoCompatible || NumberingInEffect(a) != NumberingInEffect(b) ||
         SmartLengthInEffect(a) != SmartLengthInEffect(b) || a.ExtendedExtension != b.ExtendedExtension ||
         HobetaExtractionInEffect(a) != HobetaExtractionInEffect(b) || a.ShowDeletedFiles != b.ShowDeletedFiles ||
         !SameParams(a.BasicScanParams_Hrust1, b.BasicScanParams_Hrust1) ||
         !SameParams(a.DeepScanParams_Hrust1, b.DeepScanParams_Hrust1) ||
         !SameParams(a.ExhaustiveScanParams_Hrust1, b.ExhaustiveScanParams_Hrust1) ||
         !SameParams(a.BasicScanParams_Hrust2, b.BasicScanParams_Hrust2) ||
         !SameParams(a.DeepScanParams_Hrust2, b.DeepScanParams_Hrust2) ||
         !SameParams(a.ExhaustiveScanParams_Hrust2, b.ExhaustiveScanParams_Hrust2);
}

class ConfigDialog : public Dialog<IDD_CONFIG> {
 public:
  explicit ConfigDialog(const Settings& s) : settings(s) {}
  // The bold font outlives the window only when the dialog ended other than
  // through OK or Cancel.
  ~ConfigDialog() override { ReleaseBoldFont(); }

  const Settings& Edited() const { return settings; }

 protected:
  bool OnInit(WPARAM wParam, LPARAM lParam) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool Checked(int id) const { return IsDlgButtonChecked(window, id) == BST_CHECKED; }
  void Check(int id, bool on) { CheckDlgButton(window, id, on ? BST_CHECKED : BST_UNCHECKED); }
  void Enable(int id, bool on) { EnableWindow(GetDlgItem(window, id), on); }

  Settings ReadControls() const;
  void UpdateControls();
  void ShowLevel(Format format, int level);
  int ReadLevel(Format format) const;
  void ShowNumbering(uint32_t numbering);
  void RestoreDefaults(Format format);
  void EditAdvanced(const AdvancedButton& button);
  void ReleaseBoldFont();

  Settings settings;
  HFONT savedFont = nullptr;
  ScanParams advanced[kAdvancedCount] = {};
  ScanSettingsDialog scanSettings;
};

bool ConfigDialog::OnInit(WPARAM, LPARAM) {
  HFONT bold = CreateFontA(0, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "MS Shell Dlg");
  extra = bold;
  savedFont = reinterpret_cast<HFONT>(SendDlgItemMessageA(window, IDC_MESSAGE, WM_GETFONT, 0, 0));
  SendDlgItemMessageA(window, IDC_MESSAGE, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
  SetDlgItemTextA(window, IDC_ABOUT, kAboutText);
  SetDlgItemTextA(window, IDC_CONFIG_PATH, ConfigPath());

  advanced[kHrust1Deep] = settings.DeepScanParams_Hrust1;
  advanced[kHrust1Exhaustive] = settings.ExhaustiveScanParams_Hrust1;
  advanced[kHrust2Deep] = settings.DeepScanParams_Hrust2;
  advanced[kHrust2Exhaustive] = settings.ExhaustiveScanParams_Hrust2;

  Check(IDC_DRELMO, settings.DrelmoCompatible);
  if (settings.FileNameNumbering <= 2) ShowNumbering(settings.FileNameNumbering);
  Check(IDC_SMART_LENGTH, settings.SmartLenDetect);
  Check(IDC_EXTENDED_EXTENSION, settings.ExtendedExtension);
  Check(IDC_EXTRACT_HOBETA, settings.ExtractHobeta);
  Check(IDC_SHOW_DELETED, settings.ShowDeletedFiles);
  ShowLevel(kHrust1, LevelOf(advanced[kHrust1Deep], advanced[kHrust1Exhaustive]));
  ShowLevel(kHrust2, LevelOf(advanced[kHrust2Deep], advanced[kHrust2Exhaustive]));

  ready = true;
  UpdateControls();
  return true;
}

bool ConfigDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND || !ready) return false;
  const int id = LOWORD(wParam);
  switch (id) {
    case IDOK:
      settings = ReadControls();
      ReleaseBoldFont();
      EndDialog(window, IDOK);
      return true;
    case IDCANCEL:
      ReleaseBoldFont();
      EndDialog(window, IDCANCEL);
      return true;
    case IDC_NUMBERING_NONE:
    case IDC_NUMBERING_HEX:
    case IDC_NUMBERING_DEC:
      ShowNumbering(id - IDC_NUMBERING_NONE);
      break;
    case IDC_DRELMO:
    case IDC_SMART_LENGTH:
    case IDC_EXTENDED_EXTENSION:
    case IDC_SHOW_DELETED:
    case IDC_DETECT_HOBETA:
    case IDC_EXTRACT_HOBETA:
      break;
    case IDC_HRUST1_BASIC:
    case IDC_HRUST1_DEEP:
    case IDC_HRUST1_EXHAUSTIVE:
      ShowLevel(kHrust1, id - kLevelBoxBase[kHrust1]);
      break;
    case IDC_HRUST2_BASIC:
    case IDC_HRUST2_DEEP:
    case IDC_HRUST2_EXHAUSTIVE:
      ShowLevel(kHrust2, id - kLevelBoxBase[kHrust2]);
      break;
    case IDC_HRUST1_DEFAULTS:
      RestoreDefaults(kHrust1);
      break;
    case IDC_HRUST2_DEFAULTS:
      RestoreDefaults(kHrust2);
      break;
    default:
      for (const AdvancedButton& button : kAdvancedButtons) {
        if (button.id == id) EditAdvanced(button);
      }
      return true;
  }
  UpdateControls();
  return true;
}

Settings ConfigDialog::ReadControls() const {
  Settings s = settings;
  s.DrelmoCompatible = Checked(IDC_DRELMO);
  s.FileNameNumbering = 0;  // also when no button is checked
  for (int n = 0; n < 3; ++n) {
    if (Checked(IDC_NUMBERING_NONE + n)) {
      s.FileNameNumbering = static_cast<uint32_t>(n);
      break;
    }
  }
  s.SmartLenDetect = Checked(IDC_SMART_LENGTH);
  s.ExtendedExtension = Checked(IDC_EXTENDED_EXTENSION);
  s.ExtractHobeta = Checked(IDC_EXTRACT_HOBETA);
  s.ShowDeletedFiles = Checked(IDC_SHOW_DELETED);

  s.DeepScanParams_Hrust1 = advanced[kHrust1Deep];
  s.ExhaustiveScanParams_Hrust1 = advanced[kHrust1Exhaustive];
  s.DeepScanParams_Hrust2 = advanced[kHrust2Deep];
  s.ExhaustiveScanParams_Hrust2 = advanced[kHrust2Exhaustive];

  // The boxes cannot switch the basic scan off.
  const int level1 = ReadLevel(kHrust1);
  s.BasicScanParams_Hrust1.Enabled = 1;
  SetLowByte(&s.DeepScanParams_Hrust1.Enabled, level1 >= 2);
  SetLowByte(&s.ExhaustiveScanParams_Hrust1.Enabled, level1 >= 3);
  const int level2 = ReadLevel(kHrust2);
  s.BasicScanParams_Hrust2.Enabled = 1;
  SetLowByte(&s.DeepScanParams_Hrust2.Enabled, level2 >= 2);
  SetLowByte(&s.ExhaustiveScanParams_Hrust2.Enabled, level2 >= 3);
  return s;
}

// Greys what has no effect in the current combination and shows the restart
// note while the controls differ from the settings in force. Disabled
// controls keep their check marks.
void ConfigDialog::UpdateControls() {
  const Settings edited = ReadControls();
  const bool drelmo = Checked(IDC_DRELMO);
  Enable(IDC_EXTRACT_HOBETA, !drelmo);
  Enable(IDC_SMART_LENGTH, drelmo || !Checked(IDC_EXTRACT_HOBETA));
  for (int id = IDC_NUMBERING_NONE; id <= IDC_NUMBERING_DEC; ++id) Enable(id, !drelmo);
  SetDlgItemTextA(window, IDC_MESSAGE, Differ(edited, settings) ? kRestartNote : "");
}

// Box k of the format is checked exactly when level >= k.
void ConfigDialog::ShowLevel(Format format, int level) {
  for (int k = 1; k <= 3; ++k) Check(kLevelBoxBase[format] + k, level >= k);
}

int ConfigDialog::ReadLevel(Format format) const {
  const int base = kLevelBoxBase[format];
  return Checked(base + 3) ? 3 : Checked(base + 2) ? 2 : 1;
}

void ConfigDialog::ShowNumbering(uint32_t numbering) {
  CheckRadioButton(window, IDC_NUMBERING_NONE, IDC_NUMBERING_DEC, IDC_NUMBERING_NONE + static_cast<int>(numbering));
}

// The built-in deep and exhaustive rows; the basic scan stays as it is.
void ConfigDialog::RestoreDefaults(Format format) {
  const Settings defaults = DefaultSettings();
  ScanParams& deep = advanced[format == kHrust1 ? kHrust1Deep : kHrust2Deep];
  ScanParams& exhaustive = advanced[format == kHrust1 ? kHrust1Exhaustive : kHrust2Exhaustive];
  deep = format == kHrust1 ? defaults.DeepScanParams_Hrust1 : defaults.DeepScanParams_Hrust2;
  exhaustive = format == kHrust1 ? defaults.ExhaustiveScanParams_Hrust1 : defaults.ExhaustiveScanParams_Hrust2;
  ShowLevel(format, LevelOf(deep, exhaustive));
}

void ConfigDialog::EditAdvanced(const AdvancedButton& button) {
  if (EditScanParams(scanSettings, window, instance, advanced[button.copy], button.title, button.allowMinBlockSize,
                     button.allowBadBlockTest)) {
    UpdateControls();
  }
}

void ConfigDialog::ReleaseBoldFont() {
  if (extra == nullptr) return;
  SendDlgItemMessageA(window, IDC_MESSAGE, WM_SETFONT, reinterpret_cast<WPARAM>(savedFont), FALSE);
  DeleteObject(static_cast<HFONT>(extra));
  extra = nullptr;
}

}  // namespace

void ConfigurePacker(void* parent, void* module) {
  ConfigDialog dialog(GetSettings());
  if (dialog.Run(static_cast<HWND>(parent), static_cast<HINSTANCE>(module)) == IDOK) {
    SetSettings(dialog.Edited(), true);
  }
}

}  // namespace zantor
