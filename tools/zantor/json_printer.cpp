// The listing for scripts: one JSON object per command on standard output.
#include <cinttypes>
#include <cstdio>

#include "zantor/host_convention.h"
#include "zantor/printer.h"

namespace zantor {

namespace {

// A JSON string of the bytes of text; bytes from 0x80 up are taken as
// Latin-1, so every name survives the round trip byte for byte.
void PrintString(const char* text) {
  std::putchar('"');
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
    if (*p == '"' || *p == '\\') {
      std::printf("\\%c", *p);
    } else if (*p < 0x20 || *p >= 0x7F) {
      std::printf("\\u%04x", *p);
    } else {
      std::putchar(*p);
    }
  }
  std::putchar('"');
}

class Json final : public Printer {
 public:
  void Begin(const char* archive, Action action) override {
    std::printf("{\"archive\": ");
    PrintString(archive);
    std::printf(", \"action\": \"%s\", \"entries\": [", ActionName(action));
    first_ = true;
    action_ = action;
  }

  void Entry(const wcx::tHeaderData& header, int result) override {
    char time[20];
    FormatFileTime(header.FileTime, time);
    std::printf("%s\n  {\"name\": ", first_ ? "" : ",");
    PrintString(header.FileName);
    std::printf(", \"flags\": %d, \"packSize\": %d, \"unpSize\": %d, \"fileTime\": %d, \"time\": \"%s\"",
                header.Flags, header.PackSize, header.UnpSize, header.FileTime, time);
    if (action_ != Action::kList) std::printf(", \"result\": %d", result);
    std::printf("}");
    first_ = false;
  }

  void End(const WalkSummary& s) override {
    std::printf("],\n \"summary\": {\"entries\": %" PRIu32 ", \"failed\": %" PRIu32 ", \"packed\": %" PRIu64
                ", \"unpacked\": %" PRIu64 ", \"openResult\": %d, \"headerResult\": %d, \"closeResult\": %d}}\n",
                s.entries, s.failed, s.packed, s.unpacked, s.openCode, s.headerCode, s.closeCode);
  }

  void Probe(const char* file, bool handled) override {
    std::printf("{\"file\": ");
    PrintString(file);
    std::printf(", \"handled\": %s}\n", handled ? "true" : "false");
  }

  void Pack(const char* archive, int result) override {
    std::printf("{\"archive\": ");
    PrintString(archive);
    std::printf(", \"action\": \"pack\", \"result\": %d}\n", result);
  }

 private:
  bool first_ = true;
  Action action_ = Action::kList;
};

}  // namespace

Printer& JsonPrinter() {
  static Json printer;
  return printer;
}

}  // namespace zantor
