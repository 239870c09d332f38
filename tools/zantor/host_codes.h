// Texts for the host's error codes and its DOS date-times.
#pragma once
#include <cstdint>

namespace zantor {

// A short description of a code the plugin returned ("bad data").
const char* HostCodeText(int code);
// "YYYY-MM-DD HH:MM:SS" of a DOS date (high 16 bits) and time (low 16 bits).
void FormatDosTime(uint32_t dosTime, char (&out)[20]);

}  // namespace zantor
