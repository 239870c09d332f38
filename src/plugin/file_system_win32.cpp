#include "plugin/file_system.h"

#include <windows.h>

namespace zantor {
namespace {

HANDLE AsHandle(uintptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

FILETIME AsFileTime(uint64_t time) { return FILETIME{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)}; }

}  // namespace

bool SystemOpenFile(const char* name, bool forWriting, FileDisposition disposition, bool sequentialScan,
                    uintptr_t* handle) {
  HANDLE file = CreateFileA(name, forWriting ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                            forWriting ? 0 : FILE_SHARE_READ, nullptr, disposition,
                            sequentialScan ? FILE_FLAG_SEQUENTIAL_SCAN : 0, nullptr);
  *handle = reinterpret_cast<uintptr_t>(file);
  return file != INVALID_HANDLE_VALUE;
}

bool SystemCloseFile(uintptr_t handle) { return CloseHandle(AsHandle(handle)) != 0; }

bool SystemDeleteFile(const char* name) { return DeleteFileA(name) != 0; }

FileState SystemFileState(const char* name) {
  const DWORD attributes = GetFileAttributesA(name);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? kFileAbsent : kFilePresent;
  }
  return (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? kFileReadOnly : kFilePresent;
}

bool SystemReplaceFile(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}

bool SystemSetTimesAfterRename(const char* name, uint64_t creationTime, uint64_t lastWriteTime) {
  HANDLE file = CreateFileA(name, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
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

bool SystemCreateMapping(uintptr_t handle, bool forWriting, uintptr_t* mapping) {
  HANDLE object = CreateFileMappingA(AsHandle(handle), nullptr, forWriting ? PAGE_READWRITE : PAGE_READONLY, 0, 0,
                                     nullptr);
  *mapping = reinterpret_cast<uintptr_t>(object);
  return object != nullptr;
}

bool SystemCloseMapping(uintptr_t mapping) { return CloseHandle(AsHandle(mapping)) != 0; }

const uint8_t* SystemMapView(uintptr_t, uintptr_t mapping, bool forWriting, uint64_t) {
  return static_cast<const uint8_t*>(
      MapViewOfFile(AsHandle(mapping), forWriting ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, 0));
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
