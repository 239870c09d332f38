// Private-profile (INI) access to the configuration file. Windows uses the
// system's profile functions; POSIX reads and writes the same text itself.
#pragma once
#include <cstdint>

namespace zantor {

// The decimal value of key, read as a signed 32-bit number; defaultValue when
// the file, the section or the key is missing or the value is empty.
int32_t ProfileReadInt(const char* path, const char* section, const char* key, int32_t defaultValue);
// A struct value (see settings_struct.h). On failure data may have been
// overwritten: read into a scratch record.
bool ProfileReadStruct(const char* path, const char* section, const char* key, void* data, uint32_t size);
// Sets key=value, creating the file and the section when needed and keeping
// every other line of the file.
bool ProfileWriteString(const char* path, const char* section, const char* key, const char* value);
bool ProfileWriteStruct(const char* path, const char* section, const char* key, const void* data,
                        uint32_t size);

}  // namespace zantor
