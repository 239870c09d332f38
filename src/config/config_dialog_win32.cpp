// The configuration dialog (resource 101) as Win32 controls over ConfigForm,
// and the ConfigurePacker behind the export.
#include "base/utf16.h"
#include "config/config_dialog.h"
#include "config/config_form.h"
#include "config/dialog_win32.h"
#include "config/resource.h"
#include "config/scan_settings_dialog_win32.h"
#include "config/settings.h"

namespace zantor {

namespace {

// Control ids in ConfigItem order.
constexpr int kControlOf[kConfigItemCount] = {
    IDC_NUMBERING_NONE,       IDC_NUMBERING_HEX,        IDC_NUMBERING_DEC,
    IDC_DRELMO,               IDC_SMART_LENGTH,         IDC_EXTENDED_EXTENSION,
    IDC_SHOW_DELETED,         IDC_DETECT_HOBETA,        IDC_EXTRACT_HOBETA,
    IDC_HRUST1_BASIC,         IDC_HRUST1_DEEP,          IDC_HRUST1_EXHAUSTIVE,
    IDC_HRUST2_BASIC,         IDC_HRUST2_DEEP,          IDC_HRUST2_EXHAUSTIVE,
    IDC_HRUST1_DEEP_ADVANCED, IDC_HRUST1_EXHAUSTIVE_ADVANCED, IDC_HRUST2_DEEP_ADVANCED,
    IDC_HRUST2_EXHAUSTIVE_ADVANCED, IDC_HRUST1_DEFAULTS, IDC_HRUST2_DEFAULTS,
};

// The items that show a check mark, in ConfigItem order.
constexpr ConfigItem kLastCheckable = ConfigItem::kHrust2Exhaustive;

class ConfigDialog : public Dialog<IDD_CONFIG> {
 public:
  explicit ConfigDialog(const Settings& s) : form(s) {}
  // The bold font outlives the window only when the dialog ended other than
  // through OK or Cancel.
  ~ConfigDialog() override { ReleaseBoldFont(); }

  Settings Edited() const { return form.Edited(); }

 protected:
  bool OnInit(WPARAM wParam, LPARAM lParam) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void ShowForm();
  void ReleaseBoldFont();

  ConfigForm form;
  HFONT savedFont = nullptr;
  ScanSettingsDialog scanSettings;
};

bool ConfigDialog::OnInit(WPARAM, LPARAM) {
  HFONT bold = CreateFontA(0, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "MS Shell Dlg");
  extra = bold;
  savedFont = reinterpret_cast<HFONT>(SendDlgItemMessageA(window, IDC_MESSAGE, WM_GETFONT, 0, 0));
  SendDlgItemMessageA(window, IDC_MESSAGE, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
  SetDlgItemTextA(window, IDC_ABOUT, kAboutText);
  // The path is UTF-8: shown through the wide function, any folder name shows.
  wchar_t path[kConfigPathCapacity];
  Utf8ToUtf16(ConfigPath(), path, kConfigPathCapacity);
  SetDlgItemTextW(window, IDC_CONFIG_PATH, path);
  ready = true;
  ShowForm();
  return true;
}

bool ConfigDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND || !ready) return false;
  const int id = LOWORD(wParam);
  if (id == IDOK || id == IDCANCEL) {
    ReleaseBoldFont();
    EndDialog(window, id);
    return true;
  }
  for (int i = 0; i < kConfigItemCount; ++i) {
    if (kControlOf[i] != id) continue;
    const AdvancedEdit edit = form.Click(static_cast<ConfigItem>(i), IsDlgButtonChecked(window, id) == BST_CHECKED);
    if (edit.params != nullptr) EditScanParams(scanSettings, window, instance, edit);
  }
  ShowForm();
  return true;
}

// Check marks, greying and the restart note as the form has them.
void ConfigDialog::ShowForm() {
  for (int i = 0; i < kConfigItemCount; ++i) {
    const ConfigItem item = static_cast<ConfigItem>(i);
    if (item <= kLastCheckable) CheckDlgButton(window, kControlOf[i], form.Checked(item) ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(window, kControlOf[i]), form.Enabled(item));
  }
  SetDlgItemTextA(window, IDC_MESSAGE, form.Message());
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
