// Paths as hosts pass them (ANSI text through the ANSI exports, UTF-16
// through the W exports) and as the plugin keeps them: UTF-8, see
// base/utf16.h. The file layer takes the kept form: Windows hands it to the W
// file functions as UTF-16, POSIX as it is.
#pragma once
#include <cstdint>

#include "base/result.h"
#include "base/utf16.h"
#include "base/zstring.h"
#include "plugin/wcx.h"

namespace zantor {

// The archive path fields of the ANSI and the W records, terminator included.
constexpr uint32_t kAnsiPathField = 260;
constexpr uint32_t kWidePathField = 1024;
// The longest kept archive path in bytes, terminator included.
constexpr uint32_t kArchivePathBytes = (kWidePathField - 1) * kUtf8PerUtf16 + 1;

// A path from the host: ANSI (the system code page on Windows, bytes on
// POSIX) or UTF-16, whichever the export took; both null when none was given.
struct HostPath {
  const char* ansi;
  const wcx::WCHAR* wide;
};

// The archive path, kept in out. A path that does not fit its variant's
// record field is refused with "Archive path too long" and 15; none at all
// with 15 alone.
Result KeepArchivePath(HostPath path, char (&out)[kArchivePathBytes]);

// Appends the kept form of the path to out.
Result AppendHostPath(HostPath path, String& out);

// Platform: appends the kept form of ANSI text to out (POSIX: the bytes).
Result AppendAnsiPath(const char* ansi, String& out);
// Platform: a kept path of at most kArchivePathBytes as ANSI text in out,
// cut to size bytes with its terminator.
void KeptPathToAnsi(const char* path, char* out, uint32_t size);

}  // namespace zantor
