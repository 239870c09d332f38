// Texts for the host's error codes.
#pragma once

namespace zantor {

// A short description of a code the plugin returned ("bad data").
const char* HostCodeText(int code);

}  // namespace zantor
