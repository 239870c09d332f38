// The file name of the module (DLL or shared library) that holds this code.
#pragma once
#include <cstdint>

#include "config/settings.h"

namespace zantor {

// Writes the zero-terminated path (UTF-8) into buffer and returns its length;
// a path that does not fit is cut and the buffer size returned; 0 on failure.
uint32_t ModuleFileName(void* moduleHandle, char (&buffer)[kConfigPathCapacity]);

}  // namespace zantor
