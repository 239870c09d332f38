#include "ui/ui_robot.h"

namespace zantor {

namespace {

constexpr DWORD kTimeLimitMs = 10000;
constexpr DWORD kPollMs = 20;

struct Search {
  const char* caption;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM parameter) {
  Search& search = *reinterpret_cast<Search*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[16];
  if (process != GetCurrentProcessId() || !IsWindowVisible(window) ||
      GetClassNameA(window, className, sizeof className) == 0 || lstrcmpA(className, "#32770") != 0) {
    return TRUE;
  }
  if (search.caption != nullptr && Text(window) != search.caption) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

bool Checks::Expect(bool ok, const std::string& what, const std::string& detail) {
  ++total_;
  if (ok) return true;
  ++failed_;
  std::fprintf(log_, "FAILED: %s%s%s\n", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
  std::fflush(log_);
  return false;
}

bool Checks::ExpectText(const std::string& actual, const std::string& expected, const std::string& what) {
  return Expect(actual == expected, what, "shows \"" + actual + "\", expected \"" + expected + "\"");
}

void Checks::Note(const std::string& line) {
  std::fprintf(log_, "%s\n", line.c_str());
  std::fflush(log_);
}

HWND WaitForDialog(const char* caption) {
  for (DWORD waited = 0; waited < kTimeLimitMs; waited += kPollMs) {
    Search search{caption, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Sleep(kPollMs);
  }
  return nullptr;
}

bool WaitUntilClosed(HWND window) {
  for (DWORD waited = 0; waited < kTimeLimitMs; waited += kPollMs) {
    if (!IsWindow(window)) return true;
    Sleep(kPollMs);
  }
  return false;
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void ClickLater(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Type(HWND dialog, int id, const char* text) {
  HWND field = GetDlgItem(dialog, id);
  SendMessageA(field, EM_SETSEL, 0, -1);
  SendMessageA(field, WM_CHAR, VK_BACK, 0);
  for (const char* c = text; *c != 0; ++c) SendMessageA(field, WM_CHAR, static_cast<unsigned char>(*c), 0);
}

void SetText(HWND dialog, int id, const char* text) { SetDlgItemTextA(dialog, id, text); }

std::string Text(HWND window) {
  char buffer[1024] = "";
  SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

void CancelAll() {
  for (int round = 0; round < 50; ++round) {
    Search search{nullptr, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) return;
    PostMessageA(search.found, WM_COMMAND, IDCANCEL, 0);
    Sleep(100);
  }
}

}  // namespace zantor
