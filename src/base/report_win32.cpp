#include <windows.h>

#include <cstdlib>

#include "base/result.h"

namespace zantor {
namespace {

struct OwnerSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchOwner(HWND window, LPARAM parameter) {
  OwnerSearch* search = reinterpret_cast<OwnerSearch*>(parameter);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search->processId || GetWindow(window, GW_OWNER) != nullptr || !IsWindowVisible(window)) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

}  // namespace

void* FindOwnerWindow() {
  OwnerSearch search{GetCurrentProcessId(), nullptr};
  EnumWindows(MatchOwner, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void ShowErrorBox(const char* text) {
  MessageBoxA(static_cast<HWND>(FindOwnerWindow()), text, kBoxTitle, MB_OK | MB_ICONERROR);
}

void ShowSystemErrorBox(uint32_t code) {
  char* text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
  if (length != 0 && text != nullptr) ShowErrorBox(text);
  if (text != nullptr) LocalFree(text);
}

void ShowWideErrorBox(const char16_t* text) {
  wchar_t title[sizeof(kBoxTitle)];
  if (MultiByteToWideChar(CP_ACP, 0, kBoxTitle, -1, title, sizeof(kBoxTitle)) == 0) title[0] = 0;
  MessageBoxW(static_cast<HWND>(FindOwnerWindow()), reinterpret_cast<const wchar_t*>(text), title, MB_OK | MB_ICONERROR);
}

void FatalError(const char* text) {
  char box[500];
  BuildFatalText(text, box);
  MessageBoxA(nullptr, box, kBoxTitle, MB_OK | MB_ICONERROR);
  // No clean-up may run: no destructors, no DLL detach notifications.
  TerminateProcess(GetCurrentProcess(), 3);
  std::_Exit(3);
}

}  // namespace zantor
