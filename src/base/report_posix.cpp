// POSIX has no message boxes: every box text goes to standard error, behind
// the box title, unless the host offers a box of its own.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/result.h"
#include "base/utf16.h"

namespace zantor {
namespace {

std::atomic<bool (*)(const char*)> g_hostBox{nullptr};

void WriteLine(const char* text) {
  auto show = g_hostBox.load();
  if (show != nullptr && show(text)) return;
  std::fprintf(stderr, "%s: %s\n", kBoxTitle, text);
  std::fflush(stderr);
}

}  // namespace

void SetHostMessageBox(bool (*show)(const char* text)) { g_hostBox.store(show); }

void* FindOwnerWindow() { return nullptr; }

void ShowErrorBox(const char* text) { WriteLine(text); }

// Windows error codes have no texts here; the number stands in for them.
void ShowSystemErrorBox(uint32_t code) {
  char text[32];
  std::snprintf(text, sizeof(text), "System error %u", static_cast<unsigned>(code));
  WriteLine(text);
}

// As UTF-8; an unpaired surrogate becomes '?'. Longer texts are cut.
void ShowWideErrorBox(const char16_t* text) {
  char line[8192];
  size_t n = 0;
  for (const char16_t* p = text; *p != 0;) {
    const bool pair = *p >= 0xD800 && *p < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000;
    const bool unpaired = !pair && *p >= 0xD800 && *p < 0xE000;
    char bytes[5] = "?";
    if (!unpaired) Utf16ToUtf8(p, pair ? 2 : 1, bytes, sizeof bytes);
    const size_t length = std::strlen(bytes);
    if (n + length >= sizeof line) break;
    std::memcpy(line + n, bytes, length);
    n += length;
    p += pair ? 2 : 1;
  }
  line[n] = 0;
  WriteLine(line);
}

void FatalError(const char* text) {
  char box[500];
  BuildFatalText(text, box);
  WriteLine(box);
  std::_Exit(3);
}

}  // namespace zantor
