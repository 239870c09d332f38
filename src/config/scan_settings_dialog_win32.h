// The advanced scan settings dialog (resource 102) as Win32 controls over
// ScanForm.
#pragma once
#include "config/config_form.h"
#include "config/dialog_win32.h"
#include "config/resource.h"

namespace zantor {

class ScanSettingsDialog : public Dialog<IDD_SCAN_SETTINGS> {
 protected:
  bool OnInit(WPARAM wParam, LPARAM lParam) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  ScanForm* form = nullptr;

  friend void EditScanParams(ScanSettingsDialog& dialog, HWND parent, HINSTANCE instance, const AdvancedEdit& edit);
};

// Runs the dialog over edit's record; OK replaces the record, Cancel keeps it.
void EditScanParams(ScanSettingsDialog& dialog, HWND parent, HINSTANCE instance, const AdvancedEdit& edit);

}  // namespace zantor
