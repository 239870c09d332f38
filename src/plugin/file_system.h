// The operating system's file calls beneath File, one call each. Handles are
// the raw OS values (a HANDLE, or a descriptor widened to uintptr_t); a failed
// open yields the all-ones value on both systems.
#pragma once
#include <cstdint>

#include "plugin/file.h"

namespace zantor {

// Opens only regular files, and never waits for another program to open
// the other end of a pipe or a device.
bool SystemOpenFile(const char* name, bool forWriting, FileDisposition disposition, bool sequentialScan,
                    uintptr_t* handle);
bool SystemCloseFile(uintptr_t handle);
bool SystemDeleteFile(const char* name);

enum FileState { kFileAbsent, kFilePresent, kFileReadOnly };
// Whether something has this name, and whether it is a file the user
// protected from being written (and so from being replaced). A symbolic
// link stands for the file it names.
FileState SystemFileState(const char* name);
// Appends to out the path of the file a symbolic link at name leads to, or
// name itself when it is no link (or a broken one).
bool SystemLinkTarget(const char* name, String& out);
// Gives the open file the permission bits of the file name (and its owner
// and group, where the process may set them). Windows: the new file takes
// its folder's inherited rights, which is what a copy gets there.
bool SystemCopyPermissions(uintptr_t handle, const char* name);
// This process's id, part of the names of its temporary files.
uint32_t SystemProcessId();
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
// A read-only mapping object for the whole file; never 0 or 1 on success.
bool SystemCreateMapping(uintptr_t handle, uintptr_t* mapping);
bool SystemCloseMapping(uintptr_t mapping);
// A read-only view of the whole file (size bytes) through the mapping, whose
// bytes stay readable however the file changes until it is unmapped; null on
// failure, and when the file no longer holds size bytes.
const uint8_t* SystemMapView(uintptr_t handle, uintptr_t mapping, uint64_t size);
bool SystemUnmapView(const uint8_t* view, uint64_t size);
bool SystemLastWriteTime(uintptr_t handle, uint64_t* fileTime);
bool SystemSetTimes(uintptr_t handle, uint64_t creationTime, uint64_t lastWriteTime);

}  // namespace zantor
