// Listing and extraction: the host walks a session's entries with ReadHeader
// and acts on each with ProcessFile (skip, test or extract).
#pragma once
#include "plugin/host_path.h"
#include "plugin/session.h"
#include "plugin/wcx.h"

namespace zantor {

// The start of the 2 June 1981 epoch of TR-DOS creation times (FILETIME),
// counted in steps of 20 ms.
constexpr uint64_t kTrdosTimeBase = 120047616000100000ull;
constexpr uint64_t kTrdosTimeStep = 200000;

// Describes the entry at session.current: 0, 10 when none is left, or the
// code of a naming failure (after its box).
int ReadHeader(Session& session, wcx::tHeaderData& header);
// The same in the extended records: what ReadHeader lists, with 64-bit sizes
// and names of their own width.
int ReadHeaderEx(Session& session, wcx::tHeaderDataEx& header);
int ReadHeaderEx(Session& session, wcx::tHeaderDataExW& header);

// Skips, tests or extracts the entry at session.current into destName and
// moves on: 0 or an error code (after the boxes the failure asks for). Only
// whether destPath is given matters: it is refused.
int ProcessFile(Session& session, int operation, bool destPathGiven, HostPath destName);
inline int ProcessFile(Session& session, int operation, const char* destPath, const char* destName) {
  return ProcessFile(session, operation, destPath != nullptr, HostPath{destName, nullptr});
}

}  // namespace zantor
