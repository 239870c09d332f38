// Private-profile (INI) access to the configuration file. Windows uses the
// system's profile functions (through UTF-16, so that any folder name works);
// POSIX reads and writes the same text itself. Paths are UTF-8.
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
// every other line of the file. 0, or the system's error code (errno on
// POSIX) of the failure.
uint32_t ProfileWriteString(const char* path, const char* section, const char* key, const char* value);
uint32_t ProfileWriteStruct(const char* path, const char* section, const char* key, const void* data,
                            uint32_t size);

// Whether the file at path exists.
bool ProfileFileExists(const char* path);
// Whether a file can be created in the folder of the file at path.
bool ProfileFolderWritable(const char* path);
// Creates the folder of the file at path (and the folders above it) when missing.
void MakeProfileFolder(const char* path);
// The system's text for an error code from the functions above, as UTF-8.
void DescribeSystemError(uint32_t code, char* out, uint32_t size);

}  // namespace zantor
