#include <windows.h>

#include "base/utf16.h"
#include "config/settings.h"
#include "config/settings_file.h"

namespace zantor {

namespace {

// One argument of a profile function as UTF-16.
struct Wide {
  explicit Wide(const char* text) { Utf8ToUtf16(text, units, kConfigPathCapacity); }
  wchar_t units[kConfigPathCapacity];
};

uint32_t Outcome(BOOL done) { return done != FALSE ? 0 : GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT; }

// Cuts a file's path to its folder, without the separator.
void CutToFolder(Wide& folder) {
  wchar_t* end = folder.units;
  for (wchar_t* p = folder.units; *p != 0; ++p) {
    if (*p == L'\\' || *p == L'/') end = p;
  }
  *end = 0;
}

}  // namespace

int32_t ProfileReadInt(const char* path, const char* section, const char* key, int32_t defaultValue) {
  return static_cast<int32_t>(
      GetPrivateProfileIntW(Wide(section).units, Wide(key).units, defaultValue, Wide(path).units));
}

bool ProfileReadStruct(const char* path, const char* section, const char* key, void* data, uint32_t size) {
  return GetPrivateProfileStructW(Wide(section).units, Wide(key).units, data, size, Wide(path).units) != FALSE;
}

uint32_t ProfileWriteString(const char* path, const char* section, const char* key, const char* value) {
  SetLastError(0);
  return Outcome(WritePrivateProfileStringW(Wide(section).units, Wide(key).units, Wide(value).units,
                                            Wide(path).units));
}

uint32_t ProfileWriteStruct(const char* path, const char* section, const char* key, const void* data,
                            uint32_t size) {
  SetLastError(0);
  return Outcome(WritePrivateProfileStructW(Wide(section).units, Wide(key).units, const_cast<void*>(data), size,
                                            Wide(path).units));
}

bool ProfileFileExists(const char* path) { return GetFileAttributesW(Wide(path).units) != INVALID_FILE_ATTRIBUTES; }

// A probe file created and deleted at once: the folder's security decides,
// which its attributes do not tell.
bool ProfileFolderWritable(const char* path) {
  Wide probe(path);
  CutToFolder(probe);
  const size_t length = Utf16Length(probe.units, kConfigPathCapacity);
  static const wchar_t kProbe[] = L"\\~zantor-write-probe.tmp";
  if (length + sizeof kProbe / sizeof kProbe[0] > kConfigPathCapacity) return false;
  for (size_t i = 0; i < sizeof kProbe / sizeof kProbe[0]; ++i) probe.units[length + i] = kProbe[i];
  HANDLE file = CreateFileW(probe.units, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

void MakeProfileFolder(const char* path) {
  Wide folder(path);
  CutToFolder(folder);
  for (wchar_t* p = folder.units; *p != 0; ++p) {
    if ((*p == L'\\' || *p == L'/') && p != folder.units && p[-1] != L':') {
      const wchar_t kept = *p;
      *p = 0;
      CreateDirectoryW(folder.units, nullptr);
      *p = kept;
    }
  }
  CreateDirectoryW(folder.units, nullptr);
}

void DescribeSystemError(uint32_t code, char* out, uint32_t size) {
  wchar_t text[512];
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                sizeof text / sizeof text[0], nullptr);
  while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L'.')) --length;
  if (length == 0 || !Utf16ToUtf8(text, length, out, size)) Utf16ToUtf8(L"System error", 12, out, size);
}

}  // namespace zantor
