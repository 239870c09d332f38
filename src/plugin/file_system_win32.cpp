#include "plugin/file_system.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

#include "base/heap.h"
#include "base/utf16.h"

namespace zantor {
namespace {

HANDLE AsHandle(uintptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

wchar_t* AllocateUnits(size_t units) { return static_cast<wchar_t*>(Allocate(sizeof(wchar_t) * units)); }

// A kept (UTF-8) path as the W file functions take it: one of MAX_PATH units
// or more made absolute behind the \\?\ prefix, which lifts that limit.
// Release it; null when it cannot be made.
wchar_t* SystemPath(const char* path) {
  const size_t units = std::strlen(path) + 1;  // UTF-8 never has fewer bytes than UTF-16 units
  wchar_t* wide = AllocateUnits(units);
  if (wide == nullptr) return nullptr;
  Utf8ToUtf16(path, wide, units);
  if (Utf16Length(wide, MAX_PATH) < MAX_PATH || std::wcsncmp(wide, L"\\\\?\\", 4) == 0) return wide;
  wchar_t* result = nullptr;
  const DWORD full = GetFullPathNameW(wide, 0, nullptr, nullptr);
  wchar_t* absolute = full != 0 ? AllocateUnits(full) : nullptr;
  const DWORD n = absolute != nullptr ? GetFullPathNameW(wide, full, absolute, nullptr) : 0;
  if (n != 0 && n < full) {
    // A share (\\server\share\...) goes behind \\?\UNC, less one backslash.
    const bool share = absolute[0] == L'\\' && absolute[1] == L'\\';
    const wchar_t* prefix = share ? L"\\\\?\\UNC" : L"\\\\?\\";
    const wchar_t* rest = share ? absolute + 1 : absolute;
    const size_t p = std::wcslen(prefix);
    const size_t r = std::wcslen(rest);
    result = AllocateUnits(p + r + 1);
    if (result != nullptr) {
      std::memcpy(result, prefix, sizeof(wchar_t) * p);
      std::memcpy(result + p, rest, sizeof(wchar_t) * (r + 1));
    }
  }
  Release(absolute);
  Release(wide);
  return result;
}

FILETIME AsFileTime(uint64_t time) { return FILETIME{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)}; }

}  // namespace

bool SystemOpenFile(const char* name, bool forWriting, FileDisposition disposition, bool sequentialScan,
                    uintptr_t* handle) {
  wchar_t* path = SystemPath(name);
  HANDLE file = path == nullptr ? INVALID_HANDLE_VALUE
                                : CreateFileW(path, forWriting ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                            forWriting ? 0 : FILE_SHARE_READ, nullptr, disposition,
                            sequentialScan ? FILE_FLAG_SEQUENTIAL_SCAN : 0, nullptr);
  Release(path);
  // A device name (NUL, CON, COM1) opens a device: only files on a disk.
  if (file != INVALID_HANDLE_VALUE && GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
  }
  *handle = reinterpret_cast<uintptr_t>(file);
  return file != INVALID_HANDLE_VALUE;
}

bool SystemCloseFile(uintptr_t handle) { return CloseHandle(AsHandle(handle)) != 0; }

bool SystemDeleteFile(const char* name) {
  wchar_t* path = SystemPath(name);
  const bool deleted = path != nullptr && DeleteFileW(path) != 0;
  Release(path);
  return deleted;
}

FileState SystemFileState(const char* name) {
  wchar_t* path = SystemPath(name);
  const DWORD attributes = path != nullptr ? GetFileAttributesW(path) : INVALID_FILE_ATTRIBUTES;
  const DWORD error = GetLastError();
  Release(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return path != nullptr && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? kFileAbsent
                                                                                                : kFilePresent;
  }
  return (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? kFileReadOnly : kFilePresent;
}

bool SystemLinkTarget(const char* name, String& out) { return out.Append(name).ok(); }

bool SystemCopyPermissions(uintptr_t, const char*) { return true; }

uint32_t SystemProcessId() { return GetCurrentProcessId(); }

bool SystemReplaceFile(const char* from, const char* to) {
  wchar_t* source = SystemPath(from);
  wchar_t* target = SystemPath(to);
  const bool moved = source != nullptr && target != nullptr && MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING);
  Release(target);
  Release(source);
  return moved;
}

bool SystemSetTimesAfterRename(const char* name, uint64_t creationTime, uint64_t lastWriteTime) {
  wchar_t* path = SystemPath(name);
  HANDLE file = path == nullptr ? INVALID_HANDLE_VALUE
                                : CreateFileW(path, FILE_WRITE_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, 0, nullptr);
  Release(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool set = SystemSetTimes(reinterpret_cast<uintptr_t>(file), creationTime, lastWriteTime);
  return CloseHandle(file) != 0 && set;
}

bool SystemFileSize(uintptr_t handle, uint64_t* size) {
  LARGE_INTEGER value;
  if (!GetFileSizeEx(AsHandle(handle), &value)) return false;
  *size = static_cast<uint64_t>(value.QuadPart);
  return true;
}

bool SystemWriteFile(uintptr_t handle, const uint8_t* data, uint32_t length) {
  DWORD written = 0;
  return WriteFile(AsHandle(handle), data, length, &written, nullptr) && written == length;
}

bool SystemFlushFile(uintptr_t handle) { return FlushFileBuffers(AsHandle(handle)) != 0; }

bool SystemCreateMapping(uintptr_t handle, uintptr_t* mapping) {
  HANDLE object = CreateFileMappingW(AsHandle(handle), nullptr, PAGE_READONLY, 0, 0, nullptr);
  *mapping = reinterpret_cast<uintptr_t>(object);
  return object != nullptr;
}

bool SystemCloseMapping(uintptr_t mapping) { return CloseHandle(AsHandle(mapping)) != 0; }

// The file is open with FILE_SHARE_READ alone, and a file with a mapped view
// cannot be shortened: the view stays whole.
const uint8_t* SystemMapView(uintptr_t, uintptr_t mapping, uint64_t) {
  return static_cast<const uint8_t*>(MapViewOfFile(AsHandle(mapping), FILE_MAP_READ, 0, 0, 0));
}

bool SystemUnmapView(const uint8_t* view, uint64_t) { return UnmapViewOfFile(view) != 0; }

bool SystemLastWriteTime(uintptr_t handle, uint64_t* fileTime) {
  FILETIME written;
  if (!GetFileTime(AsHandle(handle), nullptr, nullptr, &written)) return false;
  *fileTime = static_cast<uint64_t>(written.dwHighDateTime) << 32 | written.dwLowDateTime;
  return true;
}

bool SystemSetTimes(uintptr_t handle, uint64_t creationTime, uint64_t lastWriteTime) {
  FILETIME creation = AsFileTime(creationTime);
  FILETIME written = AsFileTime(lastWriteTime);
  return SetFileTime(AsHandle(handle), &creation, nullptr, &written) != 0;
}

}  // namespace zantor
