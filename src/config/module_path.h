// The file name of the module (DLL or shared library) that holds this code.
#pragma once
#include <cstdint>

namespace zantor {

// Writes the zero-terminated path into buffer and returns its length; a path
// that does not fit is cut and the buffer size (261) returned; 0 on failure.
uint32_t ModuleFileName(void* moduleHandle, char (&buffer)[261]);

}  // namespace zantor
