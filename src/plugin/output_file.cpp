#include "plugin/output_file.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "plugin/file_system.h"

namespace zantor {
namespace {

constexpr int kNameAttempts = 64;

std::atomic<uint32_t> g_nextTemporary{0};

// Differs between the names one process tries and between processes started
// at other times; the process id tells apart those running at once. Names
// left by a crash are then never the ones a later extraction tries.
uint32_t RandomPart() {
  uint64_t x = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) +
               0x9E3779B97F4A7C15ull * (g_nextTemporary.fetch_add(1) + 1ull);
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return static_cast<uint32_t>(x ^ (x >> 31));
}

// A new, empty file "~zantor<process><random>.tmp" in target's folder, open
// for writing; *name holds its path. Names taken by others are passed over.
Result CreateTemporary(const char* target, String* name, File* out) {
  // Everything up to the last separator is the folder; a name that only
  // looks like it holds one (a backslash on Linux) still stays in it.
  size_t folder = std::strlen(target);
  while (folder > 0 && std::strchr("/\\:", target[folder - 1]) == nullptr) --folder;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    char leaf[32];
    std::snprintf(leaf, sizeof leaf, "~zantor%08X%08X.tmp", static_cast<unsigned>(SystemProcessId()),
                  static_cast<unsigned>(RandomPart()));
    name->Destroy();
    Result r = kSuccess;
    for (size_t i = 0; r.ok() && i < folder; ++i) r = name->AppendChar(target[i]);
    if (r.ok()) r = name->Append(leaf);
    if (r.failed()) return r;
    r = out->Open(name->Text(), true, kCreateNew, true, false, true);
    if (r.ok() || SystemFileState(name->Text()) == kFileAbsent) return r;
  }
  return HostFailure(16);
}

// Replacing the file in place instead would lose it when a write fails half
// way; the user is told why nothing happened.
Result NoRoomBeside(String& target, String& message) {
  message.Destroy();
  const bool built = message.Append("Cannot replace ").ok() && message.Append(target.Text()).ok() &&
                     message.Append(": its folder takes no new file, and a file is only replaced by a "
                                    "complete new one.").ok();
  return built ? ShownFailure(message.Text(), 16) : NoMemory;
}

}  // namespace

Result BeginOutput(const char* destName, Output& out, String& message) {
  out = Output{};
  if (!SystemLinkTarget(destName, out.target)) return NoMemory;
  const FileState state = SystemFileState(out.target.Text());
  if (state == kFileReadOnly) return HostFailure(16);
  out.replacing = state == kFilePresent;
  Result r = CreateTemporary(out.target.Text(), &out.temporary, &out.file);
  if (r.failed() && out.replacing && r.hostCode == 16) r = NoRoomBeside(out.target, message);
  if (r.ok() && out.replacing && !out.file.CopyPermissions(out.target.Text())) r = HostFailure(16);
  if (r.failed()) DiscardOutput(out);
  return r;
}

Result WriteOutput(Output& out, const void* data, uint64_t length) {
  return out.file.Write(data, length) ? kSuccess : HostFailure(19);
}

Result FinishOutput(Output& out, uint64_t creationTime, uint64_t lastWriteTime) {
  // A file that will replace another is flushed first: a crash right after
  // the rename could otherwise leave an empty file where the old one was.
  Result r = out.file.SetTimes(creationTime, lastWriteTime) && (!out.replacing || out.file.Flush())
                 ? kSuccess
                 : HostFailure(19);
  // A failed close deletes the temporary file.
  if (out.file.Close(r.ok()).failed() && r.ok()) r = HostFailure(19);
  if (r.ok() && !SystemReplaceFile(out.temporary.Text(), out.target.Text())) r = HostFailure(16);
  if (r.failed()) {
    DiscardOutput(out);
    return r;
  }
  out.temporary.Destroy();
  const bool timed = SystemSetTimesAfterRename(out.target.Text(), creationTime, lastWriteTime);
  DiscardOutput(out);
  return timed ? kSuccess : HostFailure(19);
}

void DiscardOutput(Output& out) {
  out.file.Destroy();
  if (out.temporary.length != 0) SystemDeleteFile(out.temporary.Text());
  out.temporary.Destroy();
  out.target.Destroy();
  out.replacing = 0;
}

Result WriteOutputFile(const char* destName, const OutputFile& file, String& message) {
  Output out{};
  Result r = BeginOutput(destName, out, message);
  if (r.ok() && file.prefix != nullptr) r = WriteOutput(out, file.prefix, file.prefixLength);
  if (r.ok()) r = WriteOutput(out, file.data, file.length);
  if (r.ok()) return FinishOutput(out, file.creationTime, file.lastWriteTime);
  DiscardOutput(out);
  return r;
}

}  // namespace zantor
