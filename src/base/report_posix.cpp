// POSIX has no message boxes: every box text goes to standard error, behind
// the box title.
#include <cstdio>
#include <cstdlib>

#include "base/result.h"

namespace zantor {
namespace {

void WriteLine(const char* text) {
  std::fprintf(stderr, "%s: %s\n", kBoxTitle, text);
  std::fflush(stderr);
}

// Writes zero-terminated UTF-16 as UTF-8; an unpaired surrogate becomes '?'.
void WriteWideLine(const char16_t* text) {
  std::fprintf(stderr, "%s: ", kBoxTitle);
  for (const char16_t* p = text; *p != 0; ++p) {
    uint32_t c = *p;
    if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
      ++p;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = '?';
    }
    if (c < 0x80) {
      std::fputc(static_cast<int>(c), stderr);
    } else if (c < 0x800) {
      std::fputc(static_cast<int>(0xC0 | (c >> 6)), stderr);
      std::fputc(static_cast<int>(0x80 | (c & 0x3F)), stderr);
    } else if (c < 0x10000) {
      std::fputc(static_cast<int>(0xE0 | (c >> 12)), stderr);
      std::fputc(static_cast<int>(0x80 | ((c >> 6) & 0x3F)), stderr);
      std::fputc(static_cast<int>(0x80 | (c & 0x3F)), stderr);
    } else {
      std::fputc(static_cast<int>(0xF0 | (c >> 18)), stderr);
      std::fputc(static_cast<int>(0x80 | ((c >> 12) & 0x3F)), stderr);
      std::fputc(static_cast<int>(0x80 | ((c >> 6) & 0x3F)), stderr);
      std::fputc(static_cast<int>(0x80 | (c & 0x3F)), stderr);
    }
  }
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace

void* FindOwnerWindow() { return nullptr; }

void ShowErrorBox(const char* text) { WriteLine(text); }

void ReportResult(const Result& r) {
  ReportPlan plan = PlanReport(r);
  if (plan.noMemory) WriteLine(kNoMemoryText);
  // Windows error codes have no texts here; the number stands in for them.
  if (plan.systemText) {
    char text[32];
    std::snprintf(text, sizeof(text), "System error %u", static_cast<unsigned>(r.systemCode));
    WriteLine(text);
  }
  if (plan.wide) {
    WriteWideLine(static_cast<const char16_t*>(r.message));
  } else if (plan.message) {
    WriteLine(static_cast<const char*>(r.message));
  }
}

void FatalError(const char* text) {
  char box[500];
  BuildFatalText(text, box);
  WriteLine(box);
  std::_Exit(3);
}

}  // namespace zantor
