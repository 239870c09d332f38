// Progress, Cancel and memory of extraction through the host's entry points,
// on archives made here by the test packers: sizes reported add up to the
// listed size, Cancel leaves nothing behind, a member's memory does not grow
// with its size, and archives worked on from several threads keep their own
// callbacks.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "plugin/listing.h"
#include "plugin/packer.h"
#include "support/hrust2_writer.h"
#include "support/image_builder.h"
#include "support/large_member.h"
#include "temp_files.h"

#ifdef _WIN32
#define PSAPI_VERSION 2
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace zantor {
namespace {

using test::Bytes;

constexpr uint32_t kMiB = 1u << 20;
constexpr uint32_t kBlockSize = test::kLargeMemberBlock;

// Peak resident memory of this process so far, in bytes.
uint64_t PeakMemory() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  return K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return uint64_t(usage.ru_maxrss) * 1024;
#endif
}

// What one progress callback saw. Callbacks carry no context: each slot has
// its own function.
struct Seen {
  std::vector<std::string> names;
  uint64_t total = 0;
  uint64_t cancelAt = UINT64_MAX;  // answers 0 once total reaches this
};
Seen g_seen[5];
int g_ansiCalls = 0;

template <int N>
int WCX_API OnProgressW(wcx::WCHAR* name, int size) {
  std::string text;
  for (; *name != 0; ++name) text.push_back(char(*name));
  Seen& seen = g_seen[N];
  if (seen.names.empty() || seen.names.back() != text) seen.names.push_back(text);
  EXPECT_GT(size, 0);
  EXPECT_LE(size, int(2 * kMiB));
  seen.total += uint64_t(size);
  return seen.total >= seen.cancelAt ? 0 : 1;
}

int WCX_API CountAnsi(char*, int) { return ++g_ansiCalls, 1; }

Session* OpenWithProgress(const std::string& path, int slot) {
  static const wcx::tProcessDataProcW wide[] = {OnProgressW<0>, OnProgressW<1>, OnProgressW<2>, OnProgressW<3>,
                                                OnProgressW<4>};
  wcx::tOpenArchiveData data{};
  data.ArcName = const_cast<char*>(path.c_str());
  Session* session = OpenArchive(data);
  if (session == nullptr) return nullptr;
  SetProcessDataProc(session, CountAnsi);  // the W one is preferred
  SetProcessDataProc(session, wide[slot]);
  return session;
}

// Reads the next header that is not a notice (such as the one of a work
// budget that highly packed members exhaust), skipping notices.
int ReadEntry(Session& session, wcx::tHeaderData& header) {
  int code;
  while ((code = ReadHeader(session, header)) == 0 && header.FileName[0] == '_' && header.FileName[1] == '_')
    ProcessFile(session, wcx::PK_SKIP, nullptr, nullptr);
  return code;
}

// A large member unpacks block by block: the progress adds up to the listed
// size, the bytes are exact, and the peak memory of a member 16 times larger
// stays where the smaller one left it.
TEST(Progress, LargeMembersReportTheirSizeAndNeedNoMemoryOfTheirSize) {
  // Smaller where the 32-bit plugin runs (in an emulated machine).
  const uint32_t smallBlocks = sizeof(void*) == 8 ? 256 : 16;  // 16 MiB or 1 MiB
  test::TempFolder folder;
  uint64_t peaks[2] = {};
  g_ansiCalls = 0;
  for (int large = 0; large < 2; ++large) {
    const uint32_t blocks = smallBlocks * (large ? 16 : 1);
    std::vector<Bytes> unpacked;
    const std::string path = folder.File("big.hrp");
    ASSERT_TRUE(test::WriteBytes(path, test::ArchiveOfMembers({test::LargeMember(blocks, "big", &unpacked)})));
    g_seen[0] = Seen{};
    Session* session = OpenWithProgress(path, 0);
    ASSERT_NE(session, nullptr);
    wcx::tHeaderData header;
    ASSERT_EQ(ReadEntry(*session, header), 0);
    ASSERT_EQ(uint32_t(header.UnpSize), blocks * kBlockSize);
    const std::string dest = folder.File("big.C");
    ASSERT_EQ(ProcessFile(*session, wcx::PK_EXTRACT, nullptr, dest.c_str()), 0);
    peaks[large] = PeakMemory();
    EXPECT_EQ(CloseArchive(session), 0);

    EXPECT_EQ(g_seen[0].total, uint32_t(header.UnpSize));
    EXPECT_EQ(g_seen[0].names, std::vector<std::string>{header.FileName});
    FILE* out = std::fopen(dest.c_str(), "rb");
    ASSERT_NE(out, nullptr);
    Bytes block(kBlockSize);
    uint32_t exact = 0;
    while (std::fread(block.data(), 1, kBlockSize, out) == kBlockSize && block == unpacked[exact % 16]) ++exact;
    std::fclose(out);
    EXPECT_EQ(exact, blocks);
    EXPECT_EQ(std::filesystem::file_size(dest), uint64_t{blocks} * kBlockSize);
    std::filesystem::remove(dest);
  }
  EXPECT_EQ(g_ansiCalls, 0);
  const double small = double(smallBlocks) * kBlockSize / kMiB;
  std::printf("peak memory after a %.1f MiB member: %.1f MiB, after a %.1f MiB member: %.1f MiB\n", small,
              peaks[0] / double(kMiB), 16 * small, peaks[1] / double(kMiB));
  // A buffer of the member would add 15 times the small member at once.
  EXPECT_LT(peaks[1] - peaks[0], uint64_t(smallBlocks) * kBlockSize * 15 / 2);
}

// The host's 0 stops a test or an extraction half way with 21: no output, no
// temporary file, and a file it was to replace keeps its bytes.
TEST(Progress, CancelHalfWayLeavesNothingBehind) {
  test::TempFolder folder;
  const std::string path = folder.File("a.hrp");
  ASSERT_TRUE(test::WriteBytes(path, test::ArchiveOfMembers({test::LargeMember(64, "four")})));
  const Bytes old{'o', 'l', 'd'};
  ASSERT_TRUE(test::WriteBytes(folder.File("kept"), old));
  for (const auto& [operation, dest] :
       {std::pair{wcx::PK_EXTRACT, "new"}, {wcx::PK_EXTRACT, "kept"}, {wcx::PK_TEST, "new"}}) {
    SCOPED_TRACE(std::string(dest) + " " + std::to_string(operation));
    g_seen[0] = Seen{};
    g_seen[0].cancelAt = 32 * kBlockSize;
    Session* session = OpenWithProgress(path, 0);
    ASSERT_NE(session, nullptr);
    wcx::tHeaderData header;
    ASSERT_EQ(ReadEntry(*session, header), 0);
    EXPECT_EQ(ProcessFile(*session, operation, nullptr, folder.File(dest).c_str()), wcx::E_EABORTED);
    EXPECT_LT(g_seen[0].total, uint32_t(header.UnpSize));
    EXPECT_EQ(CloseArchive(session), 0);
    const std::filesystem::directory_iterator all(folder.path());
    EXPECT_EQ(std::distance(begin(all), end(all)), 2);
    EXPECT_EQ(test::ReadFileBytes(folder.File("kept")), old);
  }
}

// Archives extracted at the same time from several threads, each with its
// own callbacks: each sees only its own entries, and all of them. Blocks and
// embedded archives report their listed size under their listed name as
// members do. The handle of work without an archive is ignored.
TEST(ProgressThreads, EachArchiveReportsToItsOwnCallback) {
  constexpr int kThreads = 4;
  test::TempFolder folder;
  SetProcessDataProc(reinterpret_cast<void*>(~uintptr_t{0}), OnProgressW<0>);
  std::vector<std::string> names[kThreads];
  uint64_t listed[kThreads] = {};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    const std::string n = std::to_string(t), archive = folder.File(n + ".hrp"), image = folder.File(n + ".bin");
    const Bytes members = test::ArchiveOfMembers({test::LargeMember(40 + t, "a" + n), test::LargeMember(3, "b" + n)});
    test::Hrust2Writer w;
    for (int i = 0; i < 40 + t; ++i) w.Literal(uint8_t(i * 7));
    w.End();
    const Bytes block = test::Concat(test::Filler(3000 + t), test::Hr21Block({w.packed(), w.Unpacked(), false}));
    EXPECT_TRUE(test::WriteBytes(archive, members));
    EXPECT_TRUE(test::WriteBytes(image, test::Concat(block, test::Concat(test::Filler(5000, 2), members))));
    g_seen[1 + t] = Seen{};
    threads.emplace_back([&, t, archive, image] {
      for (const std::string& path : {archive, image}) {
        Session* session = OpenWithProgress(path, 1 + t);
        if (session == nullptr) return;
        wcx::tHeaderData header;
        while (ReadEntry(*session, header) == 0) {
          names[t].push_back(header.FileName);
          listed[t] += uint32_t(header.UnpSize);
          const std::string dest = path + "." + std::to_string(names[t].size());
          EXPECT_EQ(ProcessFile(*session, wcx::PK_EXTRACT, nullptr, dest.c_str()), 0) << header.FileName;
        }
        CloseArchive(session);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    ASSERT_EQ(names[t].size(), 4u) << t;
    EXPECT_EQ(g_seen[1 + t].names, names[t]);
    EXPECT_EQ(g_seen[1 + t].total, listed[t]);
  }
}

}  // namespace
}  // namespace zantor
