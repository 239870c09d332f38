#include "zantor/progress_display.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "zantor/console.h"

namespace zantor {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kRedraw = std::chrono::milliseconds(200);

struct Display {
  bool on;
  bool drawn;
  char name[260];
  uint64_t size;
  uint64_t done;
  Clock::time_point start;
  Clock::time_point drawnAt;
};
Display g_display{};

void Draw(Display& d, Clock::time_point now) {
  const unsigned percent = d.size != 0 ? static_cast<unsigned>(d.done * 100 / d.size) : 100;
  std::fprintf(stderr, "\r%.40s: %3u%% (%llu of %llu KiB) ", d.name, percent,
               static_cast<unsigned long long>(d.done >> 10), static_cast<unsigned long long>(d.size >> 10));
  std::fflush(stderr);
  d.drawn = true;
  d.drawnAt = now;
}

int Advance(int size) {
  Display& d = g_display;
  if (size > 0) d.done += static_cast<uint64_t>(size);
  if (d.on) {
    const Clock::time_point now = Clock::now();
    if (now - d.start >= kQuietStart && (!d.drawn || now - d.drawnAt >= kRedraw)) Draw(d, now);
  }
  return Interrupted() ? 0 : 1;
}

}  // namespace

void ShowProgress(bool on) { g_display.on = on; }

void BeginEntryProgress(const char* name, uint32_t size) {
  Display& d = g_display;
  std::snprintf(d.name, sizeof d.name, "%s", name);
  d.size = size;
  d.done = 0;
  d.drawn = false;
  d.start = Clock::now();
}

void EndEntryProgress() {
  Display& d = g_display;
  if (!d.drawn) return;
  // Blanks over the line, so that what is printed next starts clean.
  std::fprintf(stderr, "\r%80s\r", "");
  std::fflush(stderr);
  d.drawn = false;
}

int WCX_API OnProcessData(char*, int size) { return Advance(size); }
int WCX_API OnProcessDataW(wcx::WCHAR*, int size) { return Advance(size); }

}  // namespace zantor
