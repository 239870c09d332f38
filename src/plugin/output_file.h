// An extracted file, put in place without ever losing the file it replaces:
// the data goes into a new temporary file in the target's folder, which then
// takes the target's name in one step.
#pragma once
#include <cstdint>

#include "base/result.h"
#include "base/zstring.h"
#include "plugin/file.h"

namespace zantor {

// One output on its way. All-zero is none; every member is owned.
struct Output {
  File file;         // the temporary file
  String temporary;  // its path
  String target;     // the file replaced: what a symbolic link names, or the name itself
  uint8_t replacing; // a file had the target's name
};

// Starts an output to destName: a temporary file beside the file destName
// names, with that file's permission bits when it replaces one. A read-only
// target is refused with 16. When a target exists but its folder takes no
// new file, the refusal (16) names it; message holds the text and must
// outlive the Result.
Result BeginOutput(const char* destName, Output& out, String& message);
// Appends data; 19 on failure.
Result WriteOutput(Output& out, const void* data, uint64_t length);
// Sets the times (FILETIME; a creation time of 0 sets none), then gives the
// file the target's name; a file it replaces first reaches the disk. Host
// codes: 19 when setting the times, flushing or closing fails, 16 when the
// file cannot take the name. On failure the output is discarded.
Result FinishOutput(Output& out, uint64_t creationTime, uint64_t lastWriteTime);
// Deletes the temporary file; the target stays as it was. What every failed
// or abandoned output ends with; does nothing to a finished one.
void DiscardOutput(Output& out);

// A whole file at once.
struct OutputFile {
  const uint8_t* prefix;  // written first (a hobeta header), or null
  uint32_t prefixLength;
  const uint8_t* data;
  uint32_t length;
  uint64_t creationTime;   // FILETIME; 0 sets none
  uint64_t lastWriteTime;  // FILETIME
};

// Writes file as destName through the calls above; message as for
// BeginOutput. On failure an existing destName is as it was and no
// temporary file is left.
Result WriteOutputFile(const char* destName, const OutputFile& file, String& message);

}  // namespace zantor
