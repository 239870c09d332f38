// The operating system's file calls beneath File, one call each. Handles are
// the raw OS values (a HANDLE, or a descriptor widened to uintptr_t); a failed
// open yields the all-ones value on both systems.
#pragma once
#include <cstdint>

#include "plugin/file.h"

namespace zantor {

bool SystemOpenFile(const char* name, bool forWriting, FileDisposition disposition, bool sequentialScan,
                    uintptr_t* handle);
bool SystemCloseFile(uintptr_t handle);
bool SystemDeleteFile(const char* name);

enum FileState { kFileAbsent, kFilePresent, kFileReadOnly };
// Whether something has this name, and whether it is a file the user
// protected from being written (and so from being replaced).
FileState SystemFileState(const char* name);
// Gives the file from the name to, replacing what has that name, in one step.
bool SystemReplaceFile(const char* from, const char* to);
// Sets the times again once a file has taken a new name: Windows may hand a
// file that takes a recently freed name the creation time of the file that
// had it (tunnelling). Elsewhere a rename keeps the file's times.
bool SystemSetTimesAfterRename(const char* name, uint64_t creationTime, uint64_t lastWriteTime);

bool SystemFileSize(uintptr_t handle, uint64_t* size);
// Writes all length bytes at the file position, or fails.
bool SystemWriteFile(uintptr_t handle, const uint8_t* data, uint32_t length);
// Waits until the data written is on the disk.
bool SystemFlushFile(uintptr_t handle);
// A mapping object for the whole file; never 0 or 1 on success.
bool SystemCreateMapping(uintptr_t handle, bool forWriting, uintptr_t* mapping);
bool SystemCloseMapping(uintptr_t mapping);
// A view of the whole file (size bytes) through the mapping; null on failure.
const uint8_t* SystemMapView(uintptr_t handle, uintptr_t mapping, bool forWriting, uint64_t size);
bool SystemUnmapView(const uint8_t* view, uint64_t size);
bool SystemLastWriteTime(uintptr_t handle, uint64_t* fileTime);
bool SystemSetTimes(uintptr_t handle, uint64_t creationTime, uint64_t lastWriteTime);

}  // namespace zantor
