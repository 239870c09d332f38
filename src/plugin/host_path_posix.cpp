// POSIX hosts pass ANSI paths as the file system's bytes, kept unchanged.
#include "plugin/host_path.h"

namespace zantor {

Result AppendAnsiPath(const char* ansi, String& out) { return out.Append(ansi); }

void KeptPathToAnsi(const char* path, char* out, uint32_t size) {
  uint32_t n = 0;
  while (n + 1 < size && path[n] != 0) ++n;
  // Never a character cut in two.
  if (path[n] != 0) {
    while (n > 0 && (static_cast<uint8_t>(path[n]) & 0xC0) == 0x80) --n;
  }
  for (uint32_t i = 0; i < n; ++i) out[i] = path[i];
  out[n] = 0;
}

}  // namespace zantor
