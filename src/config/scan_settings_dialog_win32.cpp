#include "config/scan_settings_dialog_win32.h"

namespace zantor {

namespace {

constexpr int kFieldIds[ScanForm::kFieldCount] = {IDC_MAX_FILE_SIZE, IDC_SCAN_FIRST, IDC_MIN_BLOCK_SIZE};

}  // namespace

void EditScanParams(ScanSettingsDialog& dialog, HWND parent, HINSTANCE instance, const AdvancedEdit& edit) {
  ScanForm form(edit);
  dialog.form = &form;
  dialog.Run(parent, instance);
  dialog.form = nullptr;
}

bool ScanSettingsDialog::OnInit(WPARAM, LPARAM) {
  SetWindowTextA(window, form->Caption());
  for (int f = 0; f < ScanForm::kFieldCount; ++f) {
    const auto field = static_cast<ScanForm::Field>(f);
    SendDlgItemMessageA(window, kFieldIds[f], EM_LIMITTEXT, ScanForm::MaxLength(field), 0);
    EnableWindow(GetDlgItem(window, kFieldIds[f]), form->Enabled(field));
    SetDlgItemTextA(window, kFieldIds[f], form->Text(field));
  }
  EnableWindow(GetDlgItem(window, IDC_TEST_BLOCKS), form->TestBlocksEnabled());
  CheckDlgButton(window, IDC_TEST_BLOCKS, form->TestBlocks() ? BST_CHECKED : BST_UNCHECKED);
  ready = true;
  return true;
}

bool ScanSettingsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND || !ready) return false;
  switch (LOWORD(wParam)) {
    case IDOK: {
      char texts[ScanForm::kFieldCount][16];
      const char* const fields[ScanForm::kFieldCount] = {texts[0], texts[1], texts[2]};
      for (int f = 0; f < ScanForm::kFieldCount; ++f) GetDlgItemTextA(window, kFieldIds[f], texts[f], sizeof texts[f]);
      form->Accept(fields, IsDlgButtonChecked(window, IDC_TEST_BLOCKS) == BST_CHECKED);
      EndDialog(window, IDOK);
      break;
    }
    case IDCANCEL:
      EndDialog(window, IDCANCEL);
      break;
  }
  return true;
}

}  // namespace zantor
