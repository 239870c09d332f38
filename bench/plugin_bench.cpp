// The whole host sequence on a 4 MiB image with 200 blocks, through the
// functions the exports forward to: open (a cache miss), list, extract every
// entry with a progress callback set (as both file managers set one), close,
// then open again (served by the analysis cache). Prints the time of each
// phase and how much faster the second open is.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_images.h"
#include "plugin/listing.h"
#include "plugin/packer.h"

namespace {

using namespace zantor;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from) {
  return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// The host's progress callback: counts the bytes reported.
uint64_t g_reported = 0;
int WCX_API OnProgress(wcx::WCHAR*, int size) {
  g_reported += static_cast<uint64_t>(size);
  return 1;
}

Session* Open(const std::string& path) {
  wcx::tOpenArchiveData data{};
  data.ArcName = const_cast<char*>(path.c_str());
  Session* session = OpenArchive(data);
  if (!session) {
    std::fprintf(stderr, "open failed with %d\n", data.OpenResult);
    std::exit(1);
  }
  return session;
}

}  // namespace

int main() {
  char folder[] = "/tmp/zantor-bench-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  const std::string image = std::string(folder) + "/image.bin";
  const std::string out = std::string(folder) + "/out";
  const bench::Bytes bytes = bench::BlocksImage();
  FILE* file = std::fopen(image.c_str(), "wb");
  if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) return 1;
  std::fclose(file);
  std::system(("mkdir -p '" + out + "'").c_str());

  Clock::time_point t = Clock::now();
  Session* session = Open(image);
  const double firstOpen = Milliseconds(t);
  SetProcessDataProc(session, OnProgress);

  std::vector<std::string> names;
  wcx::tHeaderData header;
  double list = 0, extract = 0;
  int failures = 0;
  for (;;) {
    t = Clock::now();
    int rc = ReadHeader(*session, header);
    list += Milliseconds(t);
    if (rc != 0) break;
    t = Clock::now();
    std::string dest = out + "/" + header.FileName;
    if (ProcessFile(*session, wcx::PK_EXTRACT, nullptr, dest.c_str()) != 0) ++failures;
    extract += Milliseconds(t);
    names.push_back(header.FileName);
  }
  t = Clock::now();
  CloseArchive(session);
  const double close = Milliseconds(t);

  // The second open of the unchanged file: the best of five, each a hit.
  double secondOpen = 1e9;
  for (int i = 0; i < 5; ++i) {
    t = Clock::now();
    Session* again = Open(image);
    secondOpen = std::min(secondOpen, Milliseconds(t));
    CloseArchive(again);
  }

  std::printf("image: %zu bytes, %zu entries, %d failed to extract\n", bytes.size(), names.size(), failures);
  std::printf("open (analysis)    %10.3f ms\n", firstOpen);
  std::printf("list               %10.3f ms\n", list);
  std::printf("extract all        %10.3f ms   (%llu bytes reported)\n", extract,
              static_cast<unsigned long long>(g_reported));
  std::printf("close              %10.3f ms\n", close);
  std::printf("open again (cache) %10.3f ms   %.0fx faster than the first open\n", secondOpen,
              firstOpen / secondOpen);
  std::system(("rm -rf '" + std::string(folder) + "'").c_str());
  return 0;
}
