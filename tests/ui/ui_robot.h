// Operates dialogs of this process from a second thread, as a person would:
// waits for a window to appear, clicks buttons, types into edit fields, and
// reads back what the controls show. Every check is counted; failures are
// written to the log and never stop the run, so the dialog always gets closed.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

namespace zantor {

class Checks {
 public:
  explicit Checks(std::FILE* log) : log_(log) {}
  // Records one check; prints what and detail when it fails.
  bool Expect(bool ok, const std::string& what, const std::string& detail = "");
  bool ExpectText(const std::string& actual, const std::string& expected, const std::string& what);
  void Note(const std::string& line);
  int total() const { return total_; }
  int failed() const { return failed_; }

 private:
  std::FILE* log_;
  int total_ = 0;
  int failed_ = 0;
};

// A visible dialog of this process with the given caption, waited for up to
// the robot's time limit; null when none appeared.
HWND WaitForDialog(const char* caption);
// Waits until the window is gone; false on time-out.
bool WaitUntilClosed(HWND window);

// A click on a button, check box or radio button; returns after the dialog
// has handled it.
void Click(HWND dialog, int id);
// A click whose handling opens a modal dialog or ends this one: the robot
// does not wait for it to be handled.
void ClickLater(HWND dialog, int id);
// Selects the field's text and types text over it, key by key (so the field's
// digit filter and length limit apply). "" clears it.
void Type(HWND dialog, int id, const char* text);
// Sets the field's text directly, bypassing the length limit (as a program
// or a paste of an over-long text would).
void SetText(HWND dialog, int id, const char* text);

std::string Text(HWND window);
std::string ItemText(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);

// Ends every dialog of this process with Cancel: the way out after a failure.
void CancelAll();

}  // namespace zantor
