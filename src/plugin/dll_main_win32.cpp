// The module's entry point. Only the settings load at attach; nothing that
// may show a window runs here, since the loader lock is held.
#include <windows.h>

#include "config/settings.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) zantor::InitSettings(module);
  return TRUE;
}
