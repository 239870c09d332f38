#include "plugin/output_file.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "base/zstring.h"
#include "plugin/file.h"
#include "plugin/file_system.h"

namespace zantor {
namespace {

constexpr int kNameAttempts = 64;

std::atomic<uint32_t> g_nextTemporary{0};

// A new, empty file named "~zantor<number>.tmp" in destName's folder, open
// for writing and deleted by a failed close; *name holds its path. Names
// taken by others are passed over.
Result CreateTemporary(const char* destName, String* name, File* out) {
  // Everything up to the last separator is the folder; a name that only
  // looks like it holds one (a backslash on Linux) still stays in it.
  size_t folder = std::strlen(destName);
  while (folder > 0 && std::strchr("/\\:", destName[folder - 1]) == nullptr) --folder;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    char leaf[32];
    std::snprintf(leaf, sizeof leaf, "~zantor%08X.tmp", static_cast<unsigned>(g_nextTemporary.fetch_add(1)));
    name->Destroy();
    Result r = kSuccess;
    for (size_t i = 0; r.ok() && i < folder; ++i) r = name->AppendChar(destName[i]);
    if (r.ok()) r = name->Append(leaf);
    if (r.failed()) return r;
    r = out->Open(name->Text(), true, kCreateNew, true, false, true);
    if (r.ok() || SystemFileState(name->Text()) == kFileAbsent) return r;
  }
  return HostFailure(16);
}

// A file that will replace another is flushed first: a crash right after
// the rename could otherwise leave an empty file where the old one was.
Result WriteAll(File& out, const OutputFile& file, bool replacing) {
  OutputWriter writer{&out};
  const Result produced = file.produce(file.context, writer);
  if (produced.failed()) return produced;
  const bool written = out.SetTimes(file.creationTime, file.lastWriteTime) && (!replacing || out.Flush());
  return written ? kSuccess : HostFailure(19);
}

}  // namespace

Result OutputWriter::Write(const uint8_t* data, uint32_t length) {
  return file->Write(data, length) ? kSuccess : HostFailure(19);
}

Result WriteOutputFile(const char* destName, const OutputFile& file) {
  const FileState target = SystemFileState(destName);
  if (target == kFileReadOnly) return HostFailure(16);
  String temporary{};
  File out{};
  Result r = CreateTemporary(destName, &temporary, &out);
  if (r.ok()) {
    r = WriteAll(out, file, target == kFilePresent);
    // A failed close deletes the temporary file.
    const Result closed = out.Close(r.ok());
    if (r.ok() && closed.failed()) r = HostFailure(19);
  }
  if (r.ok() && !SystemReplaceFile(temporary.Text(), destName)) {
    SystemDeleteFile(temporary.Text());
    r = HostFailure(16);
  }
  if (r.ok() && !SystemSetTimesAfterRename(destName, file.creationTime, file.lastWriteTime)) r = HostFailure(19);
  out.Destroy();
  temporary.Destroy();
  return r;
}

}  // namespace zantor
