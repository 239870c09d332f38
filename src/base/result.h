// Result: the outcome of every fallible operation, returned by value.
// Failures are values; broken invariants go to FatalError, which never returns.
#pragma once
#include <cstdint>

namespace zantor {

struct Result {
  enum : uint8_t { kFailed = 1, kHasSystemCode = 2, kShow = 4, kWideMessage = 8 };

  uint8_t flags;        // kFailed | kHasSystemCode | kShow | kWideMessage
  uint8_t hostCode;     // host error code to return, 0 = none given
  uint32_t systemCode;  // Windows error code, meaningful with kHasSystemCode
  const void* message;  // not owned: ANSI text, or UTF-16 with kWideMessage

  constexpr bool failed() const { return (flags & kFailed) != 0; }
  constexpr bool ok() const { return (flags & kFailed) == 0; }
};

constexpr Result kSuccess{0, 0, 0, nullptr};
// Every allocation failure: shown as "Not enough memory", host code 11.
constexpr Result NoMemory{Result::kFailed | Result::kHasSystemCode | Result::kShow, 0, 8, nullptr};

// A failure that carries only a host code (not shown).
constexpr Result HostFailure(uint8_t hostCode) { return Result{Result::kFailed, hostCode, 0, nullptr}; }
// A failure shown to the user with an ANSI text, optionally with a host code.
constexpr Result ShownFailure(const char* message, uint8_t hostCode = 0) {
  return Result{Result::kFailed | Result::kShow, hostCode, 0, message};
}

// The title of every message box.
constexpr const char kBoxTitle[] = "Zantor error";
// The text shown for system code 8.
constexpr const char kNoMemoryText[] = "Not enough memory";

// The boxes ReportResult shows for a Result, in this order. Platform-free, so
// that both platforms show the same.
struct ReportPlan {
  bool noMemory;    // kNoMemoryText
  bool systemText;  // the system's text for systemCode, when it has one
  bool message;     // the Result's message
  bool wide;        // the message is UTF-16
};
ReportPlan PlanReport(const Result& r);

// 0 on success; the host code; 11 for system code 8; otherwise 1.
int32_t ToHostCode(const Result& r);

// Shows the boxes that a failed, shown Result asks for (system text first,
// then the message). POSIX: the same texts on standard error.
void ReportResult(const Result& r);

// The first visible, unowned top-level window of this process, or null.
void* FindOwnerWindow();

// One error box (ANSI text, the box title, error icon, owner from
// FindOwnerWindow). POSIX: the text on standard error.
void ShowErrorBox(const char* text);
// The same for the system's text of a system error code (POSIX: its number)
// and for zero-terminated UTF-16 text.
void ShowSystemErrorBox(uint32_t code);
void ShowWideErrorBox(const char16_t* text);

// POSIX: a host's own message box (UTF-8 text, the box title as caption),
// through which boxes are shown from then on; where show returns false, and
// with null, they go to standard error.
void SetHostMessageBox(bool (*show)(const char* text));

// Shows the unrecoverable-error box and stops the process at once.
[[noreturn]] void FatalError(const char* text);

// Platform-free text of the FatalError box (at most 499 characters) into out.
void BuildFatalText(const char* text, char (&out)[500]);

}  // namespace zantor
