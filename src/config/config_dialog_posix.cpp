// The two dialogs as forms shown by the host, over ConfigForm and ScanForm.
// Without a host that shows forms there is no dialog: settings come from the
// configuration file (and `zantor config set`) alone.
#include <cstring>

#include "config/config_dialog.h"
#include "config/config_form.h"
#include "config/config_forms_lfm.h"
#include "config/host_dialogs.h"
#include "config/settings.h"

namespace zantor {

namespace {

HostDialogs g_host = {nullptr, nullptr};

// The form text of either dialog fits easily.
constexpr uint32_t kFormTextSize = 16384;

// The forms are modal and shown one at a time, from the host's main thread;
// the callbacks find their form here.
ConfigForm* g_config = nullptr;
ScanForm* g_scan = nullptr;
// Set while the view writes the items: the host reports those changes as
// clicks too.
bool g_showing = false;
// The advanced dialog's entries, read when OK is clicked.
char g_fields[ScanForm::kFieldCount][16];
bool g_testBlocks = false;

intptr_t Send(uintptr_t dialog, const char* item, intptr_t message, intptr_t wParam, intptr_t lParam) {
  return g_host.sendDlgMsg(dialog, const_cast<char*>(item), message, wParam, lParam);
}

void SetText(uintptr_t dialog, const char* item, const char* text) {
  // Hosts differ in which parameter carries the text: both do.
  Send(dialog, item, kDmSetText, reinterpret_cast<intptr_t>(text), reinterpret_cast<intptr_t>(text));
}

// Check marks, greying and the restart note as the form has them.
void ShowConfigForm(uintptr_t dialog) {
  g_showing = true;
  for (int i = 0; i < kConfigItemCount; ++i) {
    const ConfigItem item = static_cast<ConfigItem>(i);
    if (item <= ConfigItem::kHrust2Exhaustive) Send(dialog, kConfigItemNames[i], kDmSetCheck, g_config->Checked(item), 0);
    Send(dialog, kConfigItemNames[i], kDmEnable, g_config->Enabled(item), 0);
  }
  SetText(dialog, kMessageItem, g_config->Message());
  g_showing = false;
}

intptr_t ScanProc(uintptr_t dialog, char* item, intptr_t message, intptr_t, intptr_t) {
  if (message == kDnInitDialog) {
    for (int f = 0; f < ScanForm::kFieldCount; ++f) {
      const auto field = static_cast<ScanForm::Field>(f);
      SetText(dialog, kScanFieldNames[f], g_scan->Text(field));
      Send(dialog, kScanFieldNames[f], kDmEnable, g_scan->Enabled(field), 0);
    }
    Send(dialog, kTestBlocksItem, kDmSetCheck, g_scan->TestBlocks(), 0);
    Send(dialog, kTestBlocksItem, kDmEnable, g_scan->TestBlocksEnabled(), 0);
  } else if (message == kDnClick && item != nullptr && std::strcmp(item, kOkItem) == 0) {
    for (int f = 0; f < ScanForm::kFieldCount; ++f) {
      const char* text = reinterpret_cast<const char*>(Send(dialog, kScanFieldNames[f], kDmGetText, 0, 0));
      g_fields[f][0] = 0;
      if (text != nullptr && std::strlen(text) < sizeof g_fields[f]) std::strcpy(g_fields[f], text);
    }
    g_testBlocks = Send(dialog, kTestBlocksItem, kDmGetCheck, 0, 0) == 1;
  }
  return 0;
}

void EditAdvanced(const AdvancedEdit& edit) {
  ScanForm form(edit);
  static char text[kFormTextSize];
  const uint32_t length = ScanFormText(form.Caption(), text, sizeof text);
  g_scan = &form;
  const bool ok = length != 0 && g_host.dialogBoxLfm(reinterpret_cast<intptr_t>(text), length, ScanProc) != 0;
  g_scan = nullptr;
  if (!ok) return;
  const char* const fields[ScanForm::kFieldCount] = {g_fields[0], g_fields[1], g_fields[2]};
  form.Accept(fields, g_testBlocks);
}

intptr_t ConfigProc(uintptr_t dialog, char* item, intptr_t message, intptr_t, intptr_t) {
  if (message == kDnInitDialog) {
    SetText(dialog, kAboutItem, kAboutText);
    SetText(dialog, kConfigPathItem, ConfigPath());
    ShowConfigForm(dialog);
    return 0;
  }
  if ((message != kDnClick && message != kDnChange) || g_showing || item == nullptr) return 0;
  for (int i = 0; i < kConfigItemCount; ++i) {
    if (std::strcmp(item, kConfigItemNames[i]) != 0) continue;
    const bool checked = Send(dialog, item, kDmGetCheck, 0, 0) == 1;
    const AdvancedEdit edit = g_config->Click(static_cast<ConfigItem>(i), checked);
    if (edit.params != nullptr) EditAdvanced(edit);
    ShowConfigForm(dialog);
  }
  return 0;
}

}  // namespace

void UseHostDialogs(const HostDialogs& dialogs) { g_host = dialogs; }

void ConfigurePacker(void*, void*) {
  if (g_host.dialogBoxLfm == nullptr || g_host.sendDlgMsg == nullptr || g_config != nullptr) return;
  ConfigForm form(GetSettings());
  static char text[kFormTextSize];
  const uint32_t length = ConfigFormText(text, sizeof text);
  g_config = &form;
  const bool ok = length != 0 && g_host.dialogBoxLfm(reinterpret_cast<intptr_t>(text), length, ConfigProc) != 0;
  g_config = nullptr;
  if (ok) SetSettings(form.Edited(), true);
}

}  // namespace zantor
