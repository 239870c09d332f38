#include "plugin/progress.h"

namespace zantor {
namespace {

Result Report(Progress& progress) {
  const int size = static_cast<int>(progress.pending);
  progress.pending = 0;
  int goOn = 1;
  if (progress.callbacks.wide != nullptr) {
    goOn = progress.callbacks.wide(progress.wideName, size);
  } else if (progress.callbacks.ansi != nullptr) {
    goOn = progress.callbacks.ansi(progress.name, size);
  }
  return goOn == 0 ? kAborted : kSuccess;
}

}  // namespace

Result Progress::Add(uint32_t bytes) {
  pending += bytes;
  return pending >= kProgressStep ? Report(*this) : kSuccess;
}

Result Progress::Finish() { return pending != 0 ? Report(*this) : kSuccess; }

}  // namespace zantor
