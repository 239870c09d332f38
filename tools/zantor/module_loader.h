// The system's dynamic loader, as far as the host needs it.
#pragma once
#include <cstddef>

namespace zantor {

// Loads the module at path; null on failure, with the system's reason in
// error (zero-terminated, cut to size).
void* OpenModule(const char* path, char* error, size_t size);
// The address of an exported function, or null.
void* FindExport(void* module, const char* name);
void CloseModule(void* module);

}  // namespace zantor
