// The listing for people: one line per entry, then a summary line.
#include <cinttypes>
#include <cstdio>

#include "zantor/host_convention.h"
#include "zantor/printer.h"

namespace zantor {

const char* ActionName(Action action) {
  switch (action) {
    case Action::kList: return "list";
    case Action::kTest: return "test";
    case Action::kExtract: return "extract";
  }
  return "";
}

namespace {

class Text final : public Printer {
 public:
  void Begin(const char* archive, Action action) override {
    action_ = action;
    std::printf("Archive: %s\n", archive);
    std::printf("%10s %10s  %-19s  %-4s  %s%s\n", "Packed", "Unpacked", "Date-time", "Attr",
                action == Action::kList ? "" : "Result    ", "Name");
  }

  void Entry(const wcx::tHeaderData& header, int result) override {
    char time[20];
    FormatFileTime(header.FileTime, time);
    std::printf("%10d %10d  %s  %-4s  ", header.PackSize, header.UnpSize, time, IsFolder(header.FileAttr) ? "dir" : "-");
    if (action_ != Action::kList) {
      char status[16];
      if (result == 0) {
        std::snprintf(status, sizeof status, "ok");
      } else {
        std::snprintf(status, sizeof status, "error %d", result);
      }
      std::printf("%-10s", status);
    }
    std::printf("%s\n", header.FileName);
  }

  void End(const WalkSummary& s) override {
    std::printf("%" PRIu32 " entries, %" PRIu64 " bytes packed, %" PRIu64 " bytes unpacked", s.entries, s.packed,
                s.unpacked);
    if (action_ != Action::kList) std::printf(", %" PRIu32 " failed", s.failed);
    std::printf("\n");
  }

  void Probe(const char* file, bool handled) override {
    std::printf("%s: %s\n", file, handled ? "handled" : "not handled");
  }

  void Pack(const char* archive, int result) override {
    std::printf("%s: packing %s (%d)\n", archive, result == 0 ? "done" : "refused", result);
  }

 private:
  Action action_ = Action::kList;
};

}  // namespace

Printer& TextPrinter() {
  static Text printer;
  return printer;
}

}  // namespace zantor
