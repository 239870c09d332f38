// POSIX bodies of the file calls. Two things Windows has are missing here:
// share modes (another process may still write or truncate a file we read
// or map) and a creation time (only the last-write time can be set).
#include "plugin/file_system.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>

#include "plugin/file_time.h"

namespace zantor {
namespace {

int Descriptor(uintptr_t handle) { return static_cast<int>(static_cast<intptr_t>(handle)); }

}  // namespace

bool SystemOpenFile(const char* name, bool forWriting, FileDisposition disposition, bool sequentialScan,
                    uintptr_t* handle) {
  int flags = (forWriting ? O_RDWR : O_RDONLY) | O_CLOEXEC;
  if (disposition == kCreateNew) flags |= O_CREAT | O_EXCL;
  int fd = open(name, flags, 0666);
  *handle = static_cast<uintptr_t>(static_cast<intptr_t>(fd));
  if (fd < 0) return false;
  // Only regular files, as on Windows, where a directory does not open.
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    *handle = static_cast<uintptr_t>(intptr_t{-1});
    return false;
  }
  if (sequentialScan) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return true;
}

bool SystemCloseFile(uintptr_t handle) { return close(Descriptor(handle)) == 0; }

bool SystemDeleteFile(const char* name) { return unlink(name) == 0; }

// rename() ignores the target's own permissions, so a file without write
// permission for us counts as read-only here.
FileState SystemFileState(const char* name) {
  struct stat info;
  if (lstat(name, &info) != 0) return errno == ENOENT ? kFileAbsent : kFilePresent;
  if (S_ISREG(info.st_mode) && ((info.st_mode & 0222) == 0 || access(name, W_OK) != 0)) return kFileReadOnly;
  return kFilePresent;
}

bool SystemReplaceFile(const char* from, const char* to) { return rename(from, to) == 0; }

bool SystemSetTimesAfterRename(const char*, uint64_t, uint64_t) { return true; }

bool SystemFileSize(uintptr_t handle, uint64_t* size) {
  struct stat info;
  if (fstat(Descriptor(handle), &info) != 0) return false;
  *size = static_cast<uint64_t>(info.st_size);
  return true;
}

bool SystemWriteFile(uintptr_t handle, const uint8_t* data, uint32_t length) {
  // write() may take less than asked or be interrupted; WriteFile on a
  // file does neither, so finish the piece here.
  while (length != 0) {
    ssize_t written = write(Descriptor(handle), data, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    length -= static_cast<uint32_t>(written);
  }
  return true;
}

bool SystemFlushFile(uintptr_t handle) { return fsync(Descriptor(handle)) == 0; }

// There are no mapping objects here: the file's own (complemented, so never
// 0 or 1) handle stands in for one, and the view maps the file itself.
bool SystemCreateMapping(uintptr_t handle, bool, uintptr_t* mapping) {
  *mapping = ~handle;
  return true;
}

bool SystemCloseMapping(uintptr_t) { return true; }

const uint8_t* SystemMapView(uintptr_t handle, uintptr_t, bool forWriting, uint64_t size) {
  if (size > SIZE_MAX) return nullptr;
  void* view = mmap(nullptr, static_cast<size_t>(size), forWriting ? PROT_READ | PROT_WRITE : PROT_READ,
                    MAP_SHARED, Descriptor(handle), 0);
  return view == MAP_FAILED ? nullptr : static_cast<const uint8_t*>(view);
}

bool SystemUnmapView(const uint8_t* view, uint64_t size) {
  return munmap(const_cast<uint8_t*>(view), static_cast<size_t>(size)) == 0;
}

bool SystemLastWriteTime(uintptr_t handle, uint64_t* fileTime) {
  struct stat info;
  if (fstat(Descriptor(handle), &info) != 0) return false;
  *fileTime = FileTimeFromUnix(info.st_mtim.tv_sec, static_cast<uint32_t>(info.st_mtim.tv_nsec));
  return true;
}

bool SystemSetTimes(uintptr_t handle, uint64_t, uint64_t lastWriteTime) {
  int64_t seconds;
  uint32_t nanoseconds;
  UnixFromFileTime(lastWriteTime, &seconds, &nanoseconds);
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(seconds);
  times[1].tv_nsec = static_cast<long>(nanoseconds);
  return futimens(Descriptor(handle), times) == 0;
}

}  // namespace zantor
