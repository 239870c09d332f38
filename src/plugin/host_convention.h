// How this platform's hosts read the time and the attributes of a listed
// entry. Windows hosts take a local DOS date-time and Windows attribute bits;
// the Linux host takes Unix seconds and a Unix file mode. Both tell folders
// from files by FileAttr alone, never by Flags. Every header record variant
// fills FileTime and FileAttr from here.
#pragma once
#include <cstdint>

namespace zantor {

struct Session;

constexpr int kWindowsDirectory = 0x10;
constexpr int kUnixDirectory = 0x41ED;  // drwxr-xr-x
constexpr int kUnixFile = 0x81A4;       // -rw-r--r--

// Unix seconds are listed within the host's signed 32-bit field.
constexpr int64_t kLatestUnixTime = 0x7FFFFFFF;

// FileTime of every entry: the archive file's last-write time.
int HostFileTime(const Session& session);
// FileAttr of an entry: a folder for Hrip directory records, else a file.
int HostFileAttr(bool directory);

}  // namespace zantor
