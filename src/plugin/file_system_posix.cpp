// POSIX bodies of the file calls. Two things Windows has are missing here:
// share modes (another process may still write or truncate a file we read)
// and a creation time (only the last-write time can be set).
#include "plugin/file_system.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "plugin/file_time.h"

namespace zantor {
namespace {

int Descriptor(uintptr_t handle) { return static_cast<int>(static_cast<intptr_t>(handle)); }

}  // namespace

bool SystemOpenFile(const char* name, bool forWriting, FileDisposition disposition, bool sequentialScan,
                    uintptr_t* handle) {
  // Without O_NONBLOCK the open of a FIFO waits for a writer, and that of a
  // device may wait for the device; a regular file ignores the flag.
  int flags = (forWriting ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  if (disposition == kCreateNew) flags |= O_CREAT | O_EXCL;
  int fd = open(name, flags, 0666);
  *handle = static_cast<uintptr_t>(static_cast<intptr_t>(fd));
  if (fd < 0) return false;
  // Only regular files, as on Windows, where a directory does not open.
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
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
  if (stat(name, &info) != 0 && lstat(name, &info) != 0) return errno == ENOENT ? kFileAbsent : kFilePresent;
  if (S_ISREG(info.st_mode) && ((info.st_mode & 0222) == 0 || access(name, W_OK) != 0)) return kFileReadOnly;
  return kFilePresent;
}

bool SystemLinkTarget(const char* name, String& out) {
  char* resolved = realpath(name, nullptr);
  struct stat info;
  const bool link = resolved != nullptr && lstat(name, &info) == 0 && S_ISLNK(info.st_mode);
  const bool appended = out.Append(link ? resolved : name).ok();
  std::free(resolved);
  return appended;
}

// Owner and group where the process may give them, else the group alone,
// else the new file keeps its own: none of them is a reason to fail.
bool SystemCopyPermissions(uintptr_t handle, const char* name) {
  struct stat info;
  if (stat(name, &info) != 0) return false;
  const int fd = Descriptor(handle);
  if (fchown(fd, info.st_uid, info.st_gid) != 0 && fchown(fd, static_cast<uid_t>(-1), info.st_gid) != 0) errno = 0;
  return fchmod(fd, info.st_mode & 07777) == 0;
}

uint32_t SystemProcessId() { return static_cast<uint32_t>(getpid()); }

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
// 0 or 1) handle stands in for one.
bool SystemCreateMapping(uintptr_t handle, uintptr_t* mapping) {
  *mapping = ~handle;
  return true;
}

bool SystemCloseMapping(uintptr_t) { return true; }

// The view is anonymous memory read full with ordinary reads, never a shared
// mapping of the file: a program that shortens the file would turn the next
// read of a lost page into SIGBUS, and the process and its signals belong to
// the host. A read that comes short means the file lost bytes: no view.
// The pages are made at once (MAP_POPULATE), cheaper than a fault each.
const uint8_t* SystemMapView(uintptr_t handle, uintptr_t, uint64_t size) {
  if (size > SIZE_MAX) return nullptr;
  void* view = mmap(nullptr, static_cast<size_t>(size), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (view == MAP_FAILED) return nullptr;
  uint8_t* bytes = static_cast<uint8_t*>(view);
  uint64_t done = 0;
  while (done < size) {
    const size_t piece = size - done < File::kLargestWrite ? static_cast<size_t>(size - done) : File::kLargestWrite;
    const ssize_t n = pread(Descriptor(handle), bytes + done, piece, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<uint64_t>(n);
  }
  if (done == size && mprotect(view, static_cast<size_t>(size), PROT_READ) == 0) return bytes;
  munmap(view, static_cast<size_t>(size));
  return nullptr;
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
