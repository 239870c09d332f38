// Windows hosts pass ANSI paths in the code page of the ANSI file functions.
#include <windows.h>

#include "base/heap.h"
#include "plugin/host_path.h"

namespace zantor {
namespace {

UINT FileCodePage() { return AreFileApisANSI() ? CP_ACP : CP_OEMCP; }

}  // namespace

Result AppendAnsiPath(const char* ansi, String& out) {
  const int units = MultiByteToWideChar(FileCodePage(), 0, ansi, -1, nullptr, 0);
  if (units <= 0) return HostFailure(15);
  wchar_t* wide = static_cast<wchar_t*>(Allocate(sizeof(wchar_t) * static_cast<size_t>(units)));
  if (wide == nullptr) return NoMemory;
  Result r = HostFailure(15);
  if (MultiByteToWideChar(FileCodePage(), 0, ansi, -1, wide, units) == units) r = AppendHostPath({nullptr, wide}, out);
  Release(wide);
  return r;
}

void KeptPathToAnsi(const char* path, char* out, uint32_t size) {
  static_assert(kArchivePathBytes < 4096, "stack buffers");
  wchar_t wide[kArchivePathBytes];
  Utf8ToUtf16(path, wide, kArchivePathBytes);
  // Two bytes at most per unit in any ANSI code page; cut afterwards, since
  // the system call refuses a buffer too small.
  char ansi[2 * kArchivePathBytes];
  const int n = WideCharToMultiByte(FileCodePage(), 0, wide, -1, ansi, sizeof ansi, nullptr, nullptr);
  uint32_t length = n > 0 ? static_cast<uint32_t>(n - 1) : 0;
  if (length >= size) length = size - 1;
  for (uint32_t i = 0; i < length; ++i) out[i] = ansi[i];
  out[length] = 0;
}

}  // namespace zantor
