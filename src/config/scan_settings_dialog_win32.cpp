#include "config/scan_settings_dialog_win32.h"

#include <cstring>

namespace zantor {

namespace {

constexpr char kCaptionSuffix[] = ": advanced settings";
constexpr uint32_t kMaxKbytes = kMaxScanBytes >> 10;

// A field holding a number within limit replaces value; an empty field, or
// one with anything else in it, leaves value as it was.
void ReadNumber(HWND window, int id, uint32_t limit, uint32_t scale, uint32_t* value) {
  BOOL translated = FALSE;
  const UINT number = GetDlgItemInt(window, id, &translated, FALSE);
  if (translated && number <= limit) *value = number * scale;
}

}  // namespace

bool EditScanParams(ScanSettingsDialog& dialog, HWND parent, HINSTANCE instance, ScanParams& params,
                    const char* title, bool allowMinBlockSize, bool allowBadBlockTest) {
  dialog.params = params;
  dialog.allowMinBlockSize = allowMinBlockSize;
  dialog.allowBadBlockTest = allowBadBlockTest;
  // A title too long for the caption is cut; the suffix always fits.
  const size_t room = sizeof dialog.caption - sizeof kCaptionSuffix;
  size_t length = std::strlen(title);
  if (length > room) length = room;
  std::memcpy(dialog.caption, title, length);
  std::memcpy(dialog.caption + length, kCaptionSuffix, sizeof kCaptionSuffix);
  if (dialog.Run(parent, instance) != IDOK) return false;
  params = dialog.params;
  return true;
}

bool ScanSettingsDialog::OnInit(WPARAM, LPARAM) {
  SendDlgItemMessageA(window, IDC_MAX_FILE_SIZE, EM_LIMITTEXT, 6, 0);
  SendDlgItemMessageA(window, IDC_SCAN_FIRST, EM_LIMITTEXT, 6, 0);
  SendDlgItemMessageA(window, IDC_MIN_BLOCK_SIZE, EM_LIMITTEXT, 5, 0);
  SetWindowTextA(window, caption);
  EnableWindow(GetDlgItem(window, IDC_MIN_BLOCK_SIZE), allowMinBlockSize);
  EnableWindow(GetDlgItem(window, IDC_TEST_BLOCKS), allowBadBlockTest);
  SetDlgItemInt(window, IDC_MAX_FILE_SIZE, params.MaxFileSize >> 10, FALSE);
  SetDlgItemInt(window, IDC_SCAN_FIRST, params.ScanFirst >> 10, FALSE);
  CheckDlgButton(window, IDC_TEST_BLOCKS, (params.TestBlocks & 0xFF) != 0 ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemInt(window, IDC_MIN_BLOCK_SIZE, params.MinBlockSize, FALSE);
  ready = true;
  return true;
}

// Disabled fields are read too: they still hold the values they started with.
void ScanSettingsDialog::ReadControls() {
  ReadNumber(window, IDC_MAX_FILE_SIZE, kMaxKbytes, 1024, &params.MaxFileSize);
  ReadNumber(window, IDC_SCAN_FIRST, kMaxKbytes, 1024, &params.ScanFirst);
  const uint32_t testBlocks = IsDlgButtonChecked(window, IDC_TEST_BLOCKS) == BST_CHECKED ? 1 : 0;
  params.TestBlocks = (params.TestBlocks & ~0xFFu) | testBlocks;
  ReadNumber(window, IDC_MIN_BLOCK_SIZE, kMaxMinBlockSize, 1, &params.MinBlockSize);
}

bool ScanSettingsDialog::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND || !ready) return false;
  switch (LOWORD(wParam)) {
    case IDOK:
      ReadControls();
      EndDialog(window, IDOK);
      break;
    case IDCANCEL:
      EndDialog(window, IDCANCEL);
      break;
  }
  return true;
}

}  // namespace zantor
