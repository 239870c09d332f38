// The dialogs as a host's forms, driven by a stand-in for Double Commander's
// dialog service: the items the view fills, clicks, the advanced form, and
// what OK and Cancel leave in the file.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "config/config_dialog.h"
#include "config/config_form.h"
#include "config/host_dialogs.h"
#include "config_files.h"

namespace zantor {
namespace {

// The host: item states by name, a script of clicks, and OK or Cancel.
std::map<std::string, intptr_t> g_checks;
std::map<std::string, std::string> g_texts;
bool g_ok = false;

intptr_t Send(uintptr_t, char* item, intptr_t message, intptr_t wParam, intptr_t) {
  if (message == kDmSetCheck) g_checks[item] = wParam;
  if (message == kDmGetCheck) return g_checks[item];
  if (message == kDmSetText) g_texts[item] = reinterpret_cast<const char*>(wParam);
  if (message == kDmGetText) return reinterpret_cast<intptr_t>(g_texts[item].c_str());
  return 0;
}

void ClickItem(HostDlgProc proc, const char* name) {
  g_checks[name] = !g_checks[name];  // a check box toggles before the host reports it
  proc(1, const_cast<char*>(name), kDnClick, 0, 0);
}

int ShowForm(intptr_t text, unsigned long size, HostDlgProc proc) {
  const std::string form(reinterpret_cast<const char*>(text), size);
  proc(1, nullptr, kDnInitDialog, 0, 0);
  if (form.find("Caption = 'Hrust 1 deep scan: advanced settings'") != std::string::npos) {
    EXPECT_EQ(g_texts["MaxFileSize"], "4096");
    g_texts["MaxFileSize"] = "8192";
    g_texts["ScanFirst"] = "x";  // not a number: kept
    ClickItem(proc, "OK");
    return 1;
  }
  ClickItem(proc, "Drelmo");
  ClickItem(proc, "Hrust1DeepAdvanced");
  return g_ok;
}

TEST(HostFormView, OkSavesWhatTheFormsShowCancelNothing) {
  ScratchFolder folder;
  const std::string file = folder.File("Zantor.cfg");
  ResetSettings(file);
  UseHostDialogs(HostDialogs{ShowForm, Send});
  for (bool ok : {false, true}) {
    g_ok = ok;
    ConfigurePacker(nullptr, nullptr);
    EXPECT_EQ(std::filesystem::exists(file), ok);
  }
  UseHostDialogs(HostDialogs{nullptr, nullptr});
  EXPECT_NE(g_texts["About"].find("Zantor 2.02 beta"), std::string::npos);
  EXPECT_EQ(g_texts["ConfigPath"], file);
  EXPECT_EQ(g_texts["Message"], kRestartNote);
  EXPECT_EQ(g_checks["NumberingDec"], 1);
  SetSettings(DefaultSettings(), false);
  Settings expected = DefaultSettings();
  expected.DrelmoCompatible = true;
  expected.DeepScanParams_Hrust1.MaxFileSize = 8192 * 1024;
  const Settings saved = LoadSettings();
  EXPECT_EQ(std::memcmp(&saved, &expected, sizeof saved), 0);
  ResetSettings("");
}

}  // namespace
}  // namespace zantor
#endif
