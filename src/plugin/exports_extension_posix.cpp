// Double Commander's extension API: the host's configuration folder for the
// settings, its forms for the dialogs and its message box for errors.
#include <pthread.h>

#include <cstring>

#include "base/result.h"
#include "config/host_dialogs.h"
#include "config/settings.h"
#include "plugin/exports.h"
#include "plugin/wcx_settings.h"

namespace {

int (*g_messageBox)(char*, char*, long) = nullptr;
// The host's thread that handed over its services: its boxes are shown from
// there only; other threads (background extraction) keep standard error.
pthread_t g_hostThread;

bool ShowHostBox(const char* text) {
  if (!pthread_equal(pthread_self(), g_hostThread)) return false;
  g_messageBox(const_cast<char*>(text), const_cast<char*>(zantor::kBoxTitle), wcx::kMbIconError);
  return true;
}

}  // namespace

ZANTOR_EXPORT void ExtensionInitialize(wcx::tExtensionStartupInfo* info) {
  if (info == nullptr || info->StructSize < offsetof(wcx::tExtensionStartupInfo, SendDlgMsg) + sizeof(void*)) return;
  zantor::UseHostDialogs(zantor::HostDialogs{info->DialogBoxLFM, info->SendDlgMsg});
  g_messageBox = info->MessageBox;
  g_hostThread = pthread_self();
  if (g_messageBox != nullptr) zantor::SetHostMessageBox(ShowHostBox);
  char folder[wcx::kExtensionMaxPath + 1];
  std::memcpy(folder, info->PluginConfDir, wcx::kExtensionMaxPath);
  folder[wcx::kExtensionMaxPath] = 0;
  if (folder[0] != 0) zantor::SetHostSettingsFolder(folder);
}

// The host's services end with it.
ZANTOR_EXPORT void ExtensionFinalize(void*) {
  zantor::SetHostMessageBox(nullptr);
  zantor::UseHostDialogs(zantor::HostDialogs{nullptr, nullptr});
}
