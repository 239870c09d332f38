// What a file, a folder or another program does to the files the plugin
// reads and writes: the host must neither die, hang nor get wrong bytes
// reported as a success. Cases that could kill or freeze the test program
// run in a child process where the system has one.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "plugin/listing.h"
#include "plugin/output_file.h"
#include "plugin/packer.h"
#include "support/image_builder.h"
#include "support/large_member.h"
#include "temp_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zantor {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

constexpr int kKilledOrHung = -1;

// body's result from a child process: its exit code, or kKilledOrHung when
// a signal ended it or it ran past the limit. Windows runs body in place.
int RunIsolated(const std::function<int()>& body, int seconds = 20) {
#ifdef _WIN32
  (void)seconds;
  return body();
#else
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) _exit(body());
  for (int tick = 0; tick < seconds * 100; ++tick) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : kKilledOrHung;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return kKilledOrHung;
#endif
}

Session* OpenQuietly(const std::string& path, int* openResult) {
  wcx::tOpenArchiveData data{};
  data.ArcName = const_cast<char*>(path.c_str());
  data.OpenMode = wcx::PK_OM_EXTRACT;
  Session* session = OpenArchive(data);
  *openResult = data.OpenResult;
  return session;
}

// A 16 MiB image: stored blocks at 1, 9 and 15 MiB, and a Hrip archive
// whose last byte is the image's last.
class ShrinkTest : public testing::Test {
 protected:
  void SetUp() override {
    // Every pass but the slow exhaustive ones, on images of every size: the
    // analysis then reads the whole image.
    Settings s = DefaultSettings();
    for (ScanParams* p : {&s.BasicScanParams_Hrust1, &s.DeepScanParams_Hrust1, &s.BasicScanParams_Hrust2,
                          &s.DeepScanParams_Hrust2}) {
      p->Enabled = 1;
      p->MaxFileSize = kMaxScanBytes;
      p->ScanFirst = kMaxScanBytes;
    }
    SetSettings(s, false);
    for (uint32_t mib : {1u, 9u, 15u}) {
      const test::Payload payload = test::StoredPayload(test::Filler(5000, mib));
      test::PlaceAt(image_, size_t{mib} << 20, test::Hrst2Block(payload));
      contents_.insert(payload.unpacked);
    }
    const test::Payload member = test::StoredPayload(test::Filler(3000, 42));
    const Bytes hrip = test::ArchiveOfMembers({test::Hrst2Block(member)});
    std::copy(hrip.begin(), hrip.end(), image_.end() - hrip.size());
    contents_.insert(member.unpacked);
    contents_.insert(hrip);
  }
  void TearDown() override { SetSettings(DefaultSettings(), false); }

  // Opens the archive, calls between, then extracts every entry: 0 when the
  // open failed with a code, or when every success holds one of the allowed
  // contents and every failure left no file.
  int ExtractAll(const std::function<void()>& between) {
    int openResult = 0;
    Session* session = OpenQuietly(archive_, &openResult);
    if (session == nullptr) return openResult != 0 ? 0 : 5;
    between();
    wcx::tHeaderData header;
    for (int i = 0; ReadHeader(*session, header) == 0; ++i) {
      const std::string out = folder_.File("out" + std::to_string(i));
      fs::remove(out);
      const int rc = ProcessFile(*session, wcx::PK_EXTRACT, false, HostPath{out.c_str(), nullptr});
      if (rc == 0 ? contents_.count(test::ReadFileBytes(out)) == 0 : test::Exists(out)) return 3;
      successes_ += rc == 0;
    }
    CloseArchive(session);
    return 0;
  }

  test::TempFolder folder_;
  const std::string archive_ = folder_.File("image.bin");
  Bytes image_ = test::Filler(16u << 20, 7);
  std::set<Bytes> contents_;  // what a successful extraction may hold
  int successes_ = 0;
};

TEST_F(ShrinkTest, CutArchiveNeverKillsTheHostNorPassesOffLostBytes) {
  const uint64_t size = image_.size(), half = size / 2;
  // Shortens the archive to length; whether the system let it.
  const auto shorten = [&](uint64_t length) {
    std::error_code error;
    fs::resize_file(archive_, length, error);
    return !error;
  };
  // Cut after the open (delay -1: to nothing, to half, inside the last page),
  // or to half while the analysis runs (after delay ms).
  struct Cut {
    uint64_t length;
    int delay;
  };
  for (const Cut c : {Cut{0, -1}, Cut{half, -1}, Cut{size - 1000, -1}, Cut{size - 1, -1}, Cut{half, 0}, Cut{half, 1},
                      Cut{half, 3}, Cut{half, 10}, Cut{half, 30}, Cut{half, 100}}) {
    SCOPED_TRACE(std::to_string(c.length) + " after " + std::to_string(c.delay));
    ASSERT_TRUE(test::WriteBytes(archive_, image_));
    bool shortened = false;
    std::thread cutter([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(c.delay));
      if (c.delay >= 0) shorten(c.length);
    });
    EXPECT_EQ(RunIsolated([&] { return ExtractAll([&] { shortened = c.delay < 0 && shorten(c.length); }); }), 0);
    cutter.join();
#ifdef _WIN32
    // The plugin shares the file for reading only: nobody may shorten it.
    EXPECT_FALSE(shortened);
#endif
  }
  // The unchanged file extracts whole.
  ASSERT_TRUE(test::WriteBytes(archive_, image_));
  successes_ = 0;
  EXPECT_EQ(ExtractAll([] {}), 0);
  EXPECT_EQ(successes_, 4);
}

// Special files: answered at once, never opened as archives.
TEST(SpecialFileTest, OnlyRegularFilesAreOpened) {
  test::TempFolder folder;
  std::vector<std::string> paths{folder.path()};
#ifdef _WIN32
  paths.push_back("NUL");
  paths.push_back(folder.File("NUL"));
#else
  paths.push_back("/dev/null");
  const std::string fifo = folder.File("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  paths.push_back(fifo);
  const std::string socketPath = folder.File("socket");
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  paths.push_back(socketPath);
#endif
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    const int outcome = RunIsolated(
        [&] {
          int openResult = 0;
          Session* session = OpenQuietly(path, &openResult);
          if (session != nullptr) CloseArchive(session);
          const int probe = CanYouHandleThisFile(HostPath{path.c_str(), nullptr});
          return session == nullptr && openResult == 15 && probe == 0 ? 0 : 1;
        },
        5);
    EXPECT_EQ(outcome, 0);
  }
#ifndef _WIN32
  close(listener);
#endif
}

// Extraction output: what replacing a file keeps, and what no failure leaves.
class OutputTest : public testing::Test {
 protected:
  Result Write(const std::string& path, const std::string& text) {
    OutputFile file{};
    file.data = reinterpret_cast<const uint8_t*>(text.data());
    file.length = static_cast<uint32_t>(text.size());
    file.lastWriteTime = test::FileTimeOf(2020, 1, 1);
    message_.Destroy();
    return WriteOutputFile(path.c_str(), file, message_);
  }
  void TearDown() override { message_.Destroy(); }
  static std::string Read(const std::string& path) {
    const Bytes bytes = test::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
  }

  test::TempFolder folder_;
  String message_{};
};

TEST_F(OutputTest, LeftoverTemporaryFilesDoNotBlockExtraction) {
  for (unsigned n = 0; n < 1024; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "~zantor%08X.tmp", n);
    ASSERT_TRUE(test::WriteBytes(folder_.File(name), {}));
  }
  EXPECT_TRUE(Write(folder_.File("out.bin"), "data").ok());
  EXPECT_EQ(Read(folder_.File("out.bin")), "data");
}

#ifndef _WIN32
TEST_F(OutputTest, ReplacedFileKeepsItsModeAndLinks) {
  const std::string sub = folder_.File("sub"), target = sub + "/target.bin", link = folder_.File("link.bin");
  fs::create_directories(sub);
  for (mode_t mode : {0600, 0640, 0755}) {
    ASSERT_TRUE(test::WriteBytes(target, {'o', 'l', 'd'}));
    ASSERT_EQ(chmod(target.c_str(), mode), 0);
    ASSERT_TRUE(Write(target, "new").ok());
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, mode);
  }
  // The owner, where the process may give it.
  if (geteuid() == 0) {
    ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(Write(target, "owned").ok());
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
  }
  // A symbolic link stays; the file it names gets the bytes.
  ASSERT_EQ(symlink("sub/target.bin", link.c_str()), 0);
  ASSERT_TRUE(Write(link, "old").ok());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(target), "old");
  // Refused with 16, the file keeping its bytes: a read-only file (behind the
  // link), and a folder without room for a temporary file, named in the refusal.
  for (const std::string& locked : {target, sub}) {
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
    if (access(locked.c_str(), W_OK) == 0) continue;  // the user may write everything
    const Result r = Write(locked == target ? link : target, "new");
    chmod(locked.c_str(), 0755);
    EXPECT_EQ(ToHostCode(r), 16) << locked;
    const std::string message = r.message ? static_cast<const char*>(r.message) : "";
    EXPECT_TRUE(locked == target || message.find("target.bin") != std::string::npos) << message;
    EXPECT_EQ(Read(target), "old");
  }
  for (const auto& item : fs::recursive_directory_iterator(folder_.path()))
    EXPECT_NE(item.path().filename().string().rfind("~zantor", 0), 0u) << item.path();
}
#endif

}  // namespace
}  // namespace zantor
