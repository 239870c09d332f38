// An extracted file, put in place without ever losing the file it replaces:
// the data goes into a new temporary file in the target's folder, which then
// takes the target's name in one step.
#pragma once
#include <cstdint>

#include "base/result.h"

namespace zantor {

struct File;

// What OutputFile::produce writes the file's data through, piece by piece.
struct OutputWriter {
  File* file;
  // Appends the bytes: kSuccess, or host code 19.
  Result Write(const uint8_t* data, uint32_t length);
};

struct OutputFile {
  // Writes the file's data through the writer. A failure it returns (a write
  // failure, bad data, the user's Cancel) discards the file and is returned.
  Result (*produce)(void* context, OutputWriter& writer);
  void* context;
  uint64_t creationTime;   // FILETIME; 0 sets none
  uint64_t lastWriteTime;  // FILETIME
};

// Writes what file.produce writes as destName. A read-only destName is not
// replaced; one that is replaced gets the new data only once it is on the
// disk. Host codes: 16 when the temporary file cannot be made or cannot take
// the name, 19 when writing, setting the times, flushing or closing fails; a
// failure of produce as it is. On failure an existing destName is as it was
// and no temporary file is left.
Result WriteOutputFile(const char* destName, const OutputFile& file);

}  // namespace zantor
