// The advanced scan settings dialog: three limits and the bad-block test of
// one ScanParams record.
#pragma once
#include "config/dialog_win32.h"
#include "config/resource.h"
#include "config/settings.h"

namespace zantor {

class ScanSettingsDialog : public Dialog<IDD_SCAN_SETTINGS> {
 protected:
  bool OnInit(WPARAM wParam, LPARAM lParam) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void ReadControls();

  ScanParams params = {};
  bool allowMinBlockSize = false;
  bool allowBadBlockTest = false;
  // The longest title ("Hrust 2 exhaustive search") and the suffix.
  char caption[48] = {};

  friend bool EditScanParams(ScanSettingsDialog& dialog, HWND parent, HINSTANCE instance, ScanParams& params,
                             const char* title, bool allowMinBlockSize, bool allowBadBlockTest);
};

// Edits a copy of params; true when the user pressed OK, and only then is
// params replaced.
bool EditScanParams(ScanSettingsDialog& dialog, HWND parent, HINSTANCE instance, ScanParams& params,
                    const char* title, bool allowMinBlockSize, bool allowBadBlockTest);

}  // namespace zantor
