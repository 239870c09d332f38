#include <windows.h>

#include "config/settings_file.h"

namespace zantor {

int32_t ProfileReadInt(const char* path, const char* section, const char* key, int32_t defaultValue) {
  return static_cast<int32_t>(GetPrivateProfileIntA(section, key, defaultValue, path));
}

bool ProfileReadStruct(const char* path, const char* section, const char* key, void* data, uint32_t size) {
  return GetPrivateProfileStructA(section, key, data, size, path) != FALSE;
}

bool ProfileWriteString(const char* path, const char* section, const char* key, const char* value) {
  return WritePrivateProfileStringA(section, key, value, path) != FALSE;
}

bool ProfileWriteStruct(const char* path, const char* section, const char* key, const void* data,
                        uint32_t size) {
  return WritePrivateProfileStructA(section, key, const_cast<void*>(data), size, path) != FALSE;
}

}  // namespace zantor
