// POSIX has no message boxes: every box text goes to standard error, behind
// the box title.
#include <cstdio>
#include <cstdlib>

#include "base/result.h"
#include "base/utf16.h"

namespace zantor {
namespace {

void WriteLine(const char* text) {
  std::fprintf(stderr, "%s: %s\n", kBoxTitle, text);
  std::fflush(stderr);
}

}  // namespace

void* FindOwnerWindow() { return nullptr; }

void ShowErrorBox(const char* text) { WriteLine(text); }

// Windows error codes have no texts here; the number stands in for them.
void ShowSystemErrorBox(uint32_t code) {
  char text[32];
  std::snprintf(text, sizeof(text), "System error %u", static_cast<unsigned>(code));
  WriteLine(text);
}

// UTF-8 on standard error; an unpaired surrogate becomes '?'.
void ShowWideErrorBox(const char16_t* text) {
  std::fprintf(stderr, "%s: ", kBoxTitle);
  for (const char16_t* p = text; *p != 0;) {
    const bool pair = *p >= 0xD800 && *p < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000;
    const bool unpaired = !pair && *p >= 0xD800 && *p < 0xE000;
    char bytes[5] = "?";
    if (!unpaired) Utf16ToUtf8(p, pair ? 2 : 1, bytes, sizeof bytes);
    std::fputs(bytes, stderr);
    p += pair ? 2 : 1;
  }
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void FatalError(const char* text) {
  char box[500];
  BuildFatalText(text, box);
  WriteLine(box);
  std::_Exit(3);
}

}  // namespace zantor
