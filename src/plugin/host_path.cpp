#include "plugin/host_path.h"

#include <cstring>

namespace zantor {
namespace {

constexpr Result kPathTooLong = ShownFailure("Archive path too long", 15);

Result AppendWidePath(const wcx::WCHAR* wide, uint32_t length, String& out) {
  if (length == 0) return kSuccess;
  Result r = out.Reserve(out.length + length * kUtf8PerUtf16);
  if (r.failed()) return r;
  if (!Utf16ToUtf8(wide, length, out.text + out.length, size_t{out.capacity - out.length} + 1)) FatalError("PT01");
  out.length += static_cast<uint32_t>(std::strlen(out.text + out.length));
  return kSuccess;
}

}  // namespace

Result KeepArchivePath(HostPath path, char (&out)[kArchivePathBytes]) {
  if (path.wide != nullptr) {
    if (Utf16Length(path.wide, kWidePathField) >= kWidePathField) return kPathTooLong;
    if (!Utf16ToUtf8(path.wide, Utf16Length(path.wide, kWidePathField), out, sizeof out)) FatalError("PT02");
    return kSuccess;
  }
  // A missing name cannot be opened; never read through it.
  if (path.ansi == nullptr) return HostFailure(15);
  if (strnlen(path.ansi, kAnsiPathField) >= kAnsiPathField) return kPathTooLong;
  String kept{};
  Result r = AppendAnsiPath(path.ansi, kept);
  if (r.ok() && kept.length >= sizeof out) FatalError("PT03");
  if (r.ok()) std::memcpy(out, kept.Text(), size_t{kept.length} + 1);
  kept.Destroy();
  return r;
}

Result AppendHostPath(HostPath path, String& out) {
  if (path.wide != nullptr) return AppendWidePath(path.wide, Utf16Length(path.wide, UINT32_MAX), out);
  return AppendAnsiPath(path.ansi, out);
}

}  // namespace zantor
