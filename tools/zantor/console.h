// The host's terminal: whether standard error is one, and Ctrl+C.
#pragma once

namespace zantor {

bool StandardErrorIsTerminal();
// From now on Ctrl+C only sets the flag that Interrupted reads; the running
// extraction stops through the progress callback.
void CatchInterrupt();
bool Interrupted();

}  // namespace zantor
