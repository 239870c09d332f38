#include "plugin/file.h"

#include <cstring>

#include "plugin/file_pieces.h"
#include "plugin/file_system.h"

namespace zantor {
namespace {

// Stands for the mapping and the view of an empty file, which has none.
constexpr uintptr_t kEmptyPlaceholder = 1;

uintptr_t RawHandle(const File& f) { return ~f.handle; }

}  // namespace

Result File::Open(const char* path, bool forWriting, FileDisposition disposition, bool sequentialScan,
                  bool mapWhole, bool deleteAfterFailure) {
  if (handle != 0 || mapping != 0) return ShownFailure("Error 2834 (fileHandle already opened)");
  // A name left by an earlier failed open is released before the record is
  // cleared.
  name.Destroy();
  std::memset(static_cast<void*>(this), 0, sizeof(*this));
  const Result failure = HostFailure(disposition == kCreateNew ? 16 : 15);

  Result r = name.Append(path);
  if (r.failed()) return r;
  uintptr_t raw = 0;
  if (!SystemOpenFile(name.Text(), forWriting, disposition, sequentialScan, &raw)) return failure;
  handle = ~raw;
  deleteOnFailure = deleteAfterFailure;
  if (!ReadSize(&size) || (mapWhole && !Map())) {
    Close(true);
    return failure;
  }
  opened = 1;
  return kSuccess;
}

bool File::Map() {
  if (mapping != 0) return true;
  mappedSize = size;
  // The size read at open may be stale: one more try with a fresh size.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (mappedSize != 0) {
      if (SystemCreateMapping(RawHandle(*this), &mapping)) break;
      if (attempt == 0 && !ReadSize(&mappedSize)) return false;
    } else if (attempt == 0) {
      if (!ReadSize(&mappedSize)) return false;
    } else {
      mapping = kEmptyPlaceholder;
      view = reinterpret_cast<const uint8_t*>(kEmptyPlaceholder);
      return true;
    }
  }
  if (mapping != 0) view = SystemMapView(RawHandle(*this), mapping, mappedSize);
  if (mapping != 0 && view != nullptr) return true;
  Unmap();
  return false;
}

bool File::Unmap() {
  if (mapping == 0) return true;
  bool ok = true;
  if (mappedSize != 0 && view != nullptr) ok = SystemUnmapView(view, mappedSize);
  view = nullptr;
  if (mappedSize != 0 && !SystemCloseMapping(mapping)) ok = false;
  mapping = 0;
  mappedSize = 0;
  return ok;
}

Result File::Close(bool keep) {
  bool ok = Unmap();
  if (handle != 0) {
    if (!SystemCloseFile(RawHandle(*this))) ok = false;
    if (deleteOnFailure && (!keep || !ok) && !SystemDeleteFile(name.Text())) ok = false;
  }
  size = 0;
  handle = 0;
  deleteOnFailure = 0;
  name.Destroy();
  return ok ? kSuccess : HostFailure(17);
}

bool File::Write(const void* data, uint64_t length) {
  uintptr_t raw = RawHandle(*this);
  return WriteInPieces(static_cast<const uint8_t*>(data), length, kLargestWrite,
                       [raw](const uint8_t* piece, uint32_t pieceLength) {
                         return SystemWriteFile(raw, piece, pieceLength);
                       });
}

bool File::Flush() { return SystemFlushFile(RawHandle(*this)); }

bool File::ReadSize(uint64_t* destination) {
  if (SystemFileSize(RawHandle(*this), destination)) return true;
  *destination = 0;
  return false;
}

bool File::CopyPermissions(const char* from) { return SystemCopyPermissions(RawHandle(*this), from); }

bool File::ReadLastWriteTime(uint64_t* fileTime) { return SystemLastWriteTime(RawHandle(*this), fileTime); }

bool File::SetTimes(uint64_t creationTime, uint64_t lastWriteTime) {
  return SystemSetTimes(RawHandle(*this), creationTime, lastWriteTime);
}

void File::Destroy() {
  if (opened) Close(false);
  name.Destroy();
  std::memset(static_cast<void*>(this), 0, sizeof(*this));
}

}  // namespace zantor
