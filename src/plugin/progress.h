// Progress of one test or extraction, reported to the callback the host gave
// for the archive: the bytes done since the last report under the entry's
// listed name, once at least kProgressStep bytes have gathered and at the
// end. The host answers 0 when the user cancels.
#pragma once
#include <cstdint>

#include "base/result.h"
#include "plugin/wcx.h"

namespace zantor {

// The callbacks of one archive (SetProcessDataProc and its W variant); the
// W one is used when both are given. Null: no progress wanted.
struct ProgressCallbacks {
  wcx::tProcessDataProc ansi;
  wcx::tProcessDataProcW wide;
};

// Often enough for a smooth bar, rarely enough to cost nothing.
constexpr uint32_t kProgressStep = 1u << 20;
// The user's Cancel (E_EABORTED).
constexpr Result kAborted = HostFailure(wcx::E_EABORTED);

struct Progress {
  static constexpr uint32_t kNameField = sizeof(wcx::tHeaderData::FileName);

  ProgressCallbacks callbacks;
  char name[kNameField];  // the listed name, ASCII
  wcx::WCHAR wideName[kNameField];
  uint32_t pending;  // bytes done since the last report

  // Counts bytes done (at most kProgressStep at a time) and reports a full
  // step: kSuccess, or kAborted when the host cancels.
  Result Add(uint32_t bytes);
  // Reports what is still pending.
  Result Finish();
};

}  // namespace zantor
