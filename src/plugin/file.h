// File: the archive file a session maps whole, and each file an extraction
// creates and writes. All-zero is a closed file.
//
// The mapped view is a snapshot: on Windows the file is shared for reading
// only and a mapped file cannot be shortened; elsewhere nothing stops
// another program from cutting a file, and a mapped page past the new end
// would kill the process on its next read, so the view is a private copy.
#pragma once
#include <cstdint>

#include "base/result.h"
#include "base/zstring.h"

namespace zantor {

enum FileDisposition : uint32_t { kCreateNew = 1, kOpenExisting = 3 };

struct File {
  static constexpr uint32_t kLargestWrite = 0x40000000;

  uintptr_t handle;     // the OS handle, bitwise complemented (0 = none)
  uint64_t size;
  uintptr_t mapping;    // mapping object; 1 = placeholder of an empty file
  const uint8_t* view;  // mapped view; 1 = placeholder of an empty file
  uint64_t mappedSize;
  String name;
  uint8_t deleteOnFailure;
  uint8_t opened;

  Result Open(const char* name, bool forWriting, FileDisposition disposition, bool sequentialScan,
              bool mapWhole, bool deleteOnFailure);
  // keep: a file deleted on failure is kept. It is deleted anyway when the
  // close fails (a deferred write error): its data may be incomplete.
  Result Close(bool keep);
  bool Write(const void* data, uint64_t length);
  // Waits until what was written is on the disk.
  bool Flush();
  bool Map();
  bool Unmap();
  bool ReadSize(uint64_t* destination);
  // The permission bits (owner, group) of the file name, see file_system.h.
  bool CopyPermissions(const char* from);
  // Last-write time as a Windows FILETIME (100 ns units since 1601, UTC).
  bool ReadLastWriteTime(uint64_t* fileTime);
  // Sets the creation and last-write times (FILETIME values). POSIX has no
  // creation time to set; there only the last-write time is applied.
  bool SetTimes(uint64_t creationTime, uint64_t lastWriteTime);
  void Destroy();
};

// Local DOS date (high 16 bits) and time (low 16 bits) of a FILETIME; 0 when
// the local time has no DOS form or cannot be converted.
uint32_t DosDateTime(uint64_t fileTime);

}  // namespace zantor
