// The dialog service of a host that offers one (Double Commander's extension
// API): forms in the Lazarus text format, shown modally by the host, whose
// items the plugin reads and writes by name.
#pragma once
#include <cstdint>

namespace zantor {

// Messages and notifications of the service.
enum HostDialogMessage : intptr_t {
  kDmClose = 1,
  kDmEnable = 2,
  kDmGetText = 6,
  kDmSetText = 12,
  kDmSetMaxTextLength = 13,
  kDmGetCheck = 16,
  kDmSetCheck = 17,
  kDnClick = 0x1001,
  kDnChange = 0x1003,
  kDnInitDialog = 0x1005,
};

using HostDlgProc = intptr_t (*)(uintptr_t dialog, char* item, intptr_t message, intptr_t wParam, intptr_t lParam);

struct HostDialogs {
  int (*dialogBoxLfm)(intptr_t text, unsigned long size, HostDlgProc proc);  // non-zero: closed with OK
  intptr_t (*sendDlgMsg)(uintptr_t dialog, char* item, intptr_t message, intptr_t wParam, intptr_t lParam);
};

// What the host offers; both null until it does, and then ConfigurePacker
// shows the dialogs through it.
void UseHostDialogs(const HostDialogs& dialogs);

}  // namespace zantor
