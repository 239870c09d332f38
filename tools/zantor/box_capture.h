// Message boxes of a loaded plugin, turned into lines on standard error so
// that scripted runs never wait for a click: "box: <title>: <text>".
#pragma once

namespace zantor {

// Redirects the module's message boxes; each then answers OK at once.
// False when the module has no box to redirect.
bool CaptureBoxes(void* module);

}  // namespace zantor
