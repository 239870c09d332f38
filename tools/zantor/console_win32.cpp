#include <windows.h>

#include <atomic>
#include <cstdio>
#include <io.h>

#include "zantor/console.h"

namespace zantor {
namespace {

std::atomic<bool> g_interrupted{false};

// Runs in a thread of its own; TRUE keeps the process alive.
BOOL WINAPI OnControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  g_interrupted = true;
  return TRUE;
}

}  // namespace

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

void CatchInterrupt() { SetConsoleCtrlHandler(OnControl, TRUE); }

bool Interrupted() { return g_interrupted; }

}  // namespace zantor
