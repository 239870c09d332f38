#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/heap.h"
#include "config/settings.h"
#include "config/settings_file.h"
#include "config/settings_ini.h"
#include "config/settings_struct.h"

namespace zantor {

namespace {

// A configuration file is a few hundred bytes; anything this big is not one.
constexpr off_t kLargestFile = 1 << 24;

// The whole file on the guarded heap. A missing file reads as empty.
struct FileText {
  char* bytes;
  uint32_t length;
  bool ok;
  int error;  // errno when not ok

  explicit FileText(const char* path) : bytes(nullptr), length(0), ok(false), error(EIO) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      error = errno;
      ok = error == ENOENT;
      return;
    }
    struct stat info;
    if (fstat(fd, &info) == 0 && info.st_size <= kLargestFile) {
      bytes = static_cast<char*>(Allocate(static_cast<size_t>(info.st_size)));
      ok = bytes != nullptr && ReadAll(fd, static_cast<uint32_t>(info.st_size));
      if (bytes == nullptr) error = ENOMEM;
      if (!ok && bytes != nullptr && errno != 0) error = errno;
    } else {
      error = EFBIG;
    }
    close(fd);
  }
  ~FileText() { Release(bytes); }
  FileText(const FileText&) = delete;
  FileText& operator=(const FileText&) = delete;

  bool ReadAll(int fd, uint32_t size) {
    errno = 0;
    while (length < size) {
      ssize_t got = read(fd, bytes + length, size - length);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      length += static_cast<uint32_t>(got);
    }
    return length == size;
  }
  TextSpan Span() const { return TextSpan{bytes, length}; }
};

// 0 or the errno of the failure.
uint32_t WriteWhole(const char* path, const char* text, uint32_t length) {
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return static_cast<uint32_t>(errno);
  uint32_t done = 0;
  int error = 0;
  while (done < length) {
    ssize_t put = write(fd, text + done, length - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      error = put < 0 ? errno : ENOSPC;
      break;
    }
    done += static_cast<uint32_t>(put);
  }
  if (close(fd) != 0 && error == 0) error = errno;
  return static_cast<uint32_t>(error);
}

bool ReadValue(const FileText& file, const char* section, const char* key, TextSpan* value) {
  return file.ok && FindProfileValue(file.Span(), section, key, value);
}

}  // namespace

int32_t ProfileReadInt(const char* path, const char* section, const char* key, int32_t defaultValue) {
  FileText file(path);
  TextSpan value;
  if (!ReadValue(file, section, key, &value) || value.length == 0) return defaultValue;
  return ParseProfileInt(value);
}

bool ProfileReadStruct(const char* path, const char* section, const char* key, void* data, uint32_t size) {
  FileText file(path);
  TextSpan value;
  return ReadValue(file, section, key, &value) && DecodeStruct(value.text, value.length, data, size);
}

uint32_t ProfileWriteString(const char* path, const char* section, const char* key, const char* value) {
  FileText file(path);
  if (!file.ok) return static_cast<uint32_t>(file.error);  // never replace a file that could not be read
  String text{};
  uint32_t error = SetProfileValue(file.Span(), section, key, value, &text).ok()
                       ? WriteWhole(path, text.Text(), text.length)
                       : static_cast<uint32_t>(ENOMEM);
  text.Destroy();
  return error;
}

uint32_t ProfileWriteStruct(const char* path, const char* section, const char* key, const void* data,
                            uint32_t size) {
  char* value = static_cast<char*>(Allocate(StructTextLength(size) + 1));
  if (value == nullptr) return ENOMEM;
  EncodeStruct(data, size, value);
  uint32_t error = ProfileWriteString(path, section, key, value);
  Release(value);
  return error;
}

bool ProfileFileExists(const char* path) {
  struct stat info;
  return stat(path, &info) == 0;
}

bool ProfileFolderWritable(const char* path) {
  char folder[kConfigPathCapacity];
  std::snprintf(folder, sizeof folder, "%s", path);
  char* slash = std::strrchr(folder, '/');
  if (slash == nullptr) return access(".", W_OK | X_OK) == 0;
  *(slash == folder ? slash + 1 : slash) = 0;
  return access(folder, W_OK | X_OK) == 0;
}

void MakeProfileFolder(const char* path) {
  char folder[kConfigPathCapacity];
  std::snprintf(folder, sizeof folder, "%s", path);
  char* slash = std::strrchr(folder, '/');
  if (slash == nullptr) return;
  *slash = 0;
  for (char* p = folder + 1; *p != 0; ++p) {
    if (*p != '/') continue;
    *p = 0;
    mkdir(folder, 0777);
    *p = '/';
  }
  mkdir(folder, 0777);
}

void DescribeSystemError(uint32_t code, char* out, uint32_t size) {
  std::snprintf(out, size, "%s", std::strerror(static_cast<int>(code)));
}

}  // namespace zantor
