#include "plugin/file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "plugin/file_pieces.h"
#include "plugin/file_time.h"

namespace zantor {
namespace {

namespace fs = std::filesystem;

class FileTest : public testing::Test {
 protected:
  void SetUp() override {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / (std::string("zantor-file-") + info->name() + "-" +
                                           std::to_string(reinterpret_cast<uintptr_t>(this)));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    file_.Destroy();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::string Path(const char* name) const { return (folder_ / name).string(); }
  std::string Put(const char* name, const std::string& content) const {
    std::ofstream(Path(name), std::ios::binary) << content;
    return Path(name);
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  Result OpenToRead(File& f, const std::string& path) {
    return f.Open(path.c_str(), false, kOpenExisting, false, true, false);
  }
  Result Create(File& f, const std::string& path) {
    return f.Open(path.c_str(), true, kCreateNew, true, false, true);
  }

  fs::path folder_;
  File file_{};
};

TEST_F(FileTest, ReadingMapsTheWholeFile) {
  std::string path = Put("archive.bin", "HR\x01\x02packed");
  ASSERT_TRUE(OpenToRead(file_, path).ok());
  EXPECT_EQ(file_.size, 10u);
  EXPECT_EQ(file_.mappedSize, 10u);
  ASSERT_NE(file_.view, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file_.view), 10), "HR\x01\x02packed");
  EXPECT_STREQ(file_.name.Text(), path.c_str());
  EXPECT_TRUE(file_.Close(true).ok());
  EXPECT_EQ(file_.handle, 0u);
  EXPECT_EQ(file_.view, nullptr);
  EXPECT_EQ(file_.name.text, nullptr);
  EXPECT_TRUE(file_.Close(false).ok());  // a second close touches nothing
  EXPECT_EQ(Read(path), "HR\x01\x02packed");
}

TEST_F(FileTest, EmptyFileGetsPlaceholders) {
  std::string path = Put("empty.bin", "");
  ASSERT_TRUE(OpenToRead(file_, path).ok());
  EXPECT_EQ(file_.size, 0u);
  EXPECT_EQ(file_.mapping, 1u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(file_.view), 1u);
  EXPECT_EQ(file_.mappedSize, 0u);
  EXPECT_TRUE(file_.Close(true).ok());
  EXPECT_EQ(file_.mapping, 0u);
  EXPECT_TRUE(fs::exists(path));
}

TEST_F(FileTest, MissingFileCannotBeOpened) {
  Result r = OpenToRead(file_, Path("missing.bin"));
  EXPECT_EQ(ToHostCode(r), 15);
  EXPECT_EQ(r.flags & Result::kShow, 0);
  EXPECT_EQ(file_.handle, 0u);
  EXPECT_EQ(file_.mapping, 0u);
  // The failed open leaves the record ready for another.
  std::string path = Put("present.bin", "x");
  EXPECT_TRUE(OpenToRead(file_, path).ok());
}

TEST_F(FileTest, SecondOpenIsRefusedAndChangesNothing) {
  std::string path = Put("a.bin", "abc");
  ASSERT_TRUE(OpenToRead(file_, path).ok());
  File before = file_;
  Result r = OpenToRead(file_, Put("b.bin", "other"));
  EXPECT_STREQ(static_cast<const char*>(r.message), "Error 2834 (fileHandle already opened)");
  EXPECT_EQ(ToHostCode(r), 1);
  EXPECT_NE(r.flags & Result::kShow, 0);
  EXPECT_EQ(file_.handle, before.handle);
  EXPECT_EQ(file_.view, before.view);
  EXPECT_STREQ(file_.name.Text(), path.c_str());
}

TEST_F(FileTest, CreatingAnExistingFileFailsAndLeavesIt) {
  std::string path = Put("exists.bin", "keep me");
  Result r = Create(file_, path);
  EXPECT_EQ(ToHostCode(r), 16);
  EXPECT_EQ(file_.handle, 0u);
  file_.Destroy();
  EXPECT_EQ(Read(path), "keep me");
}

TEST_F(FileTest, WrittenFileIsKeptOrDeleted) {
  std::string kept = Path("kept.bin");
  ASSERT_TRUE(Create(file_, kept).ok());
  EXPECT_TRUE(file_.Write("unpacked", 8));
  EXPECT_TRUE(file_.Write("!", 1));
  EXPECT_TRUE(file_.Close(true).ok());
  EXPECT_EQ(Read(kept), "unpacked!");

  std::string dropped = Path("dropped.bin");
  ASSERT_TRUE(Create(file_, dropped).ok());
  EXPECT_TRUE(file_.Write("partial", 7));
  EXPECT_TRUE(file_.Close(false).ok());
  EXPECT_FALSE(fs::exists(dropped));

  // Destroying a file still open is a close without keep.
  std::string destroyed = Path("destroyed.bin");
  ASSERT_TRUE(Create(file_, destroyed).ok());
  file_.Destroy();
  EXPECT_FALSE(fs::exists(destroyed));
}

TEST_F(FileTest, WriteOfNothingNeedsNoFile) {
  File closed{};
  EXPECT_TRUE(closed.Write(nullptr, 0));
  EXPECT_FALSE(closed.Write("x", 1));
}

TEST_F(FileTest, ReadOnlyFileRefusesWrites) {
  ASSERT_TRUE(OpenToRead(file_, Put("ro.bin", "abc")).ok());
  EXPECT_FALSE(file_.Write("x", 1));
}

TEST_F(FileTest, TimesRoundTrip) {
  std::string path = Path("timed.bin");
  ASSERT_TRUE(Create(file_, path).ok());
  const uint64_t written = 132223104000000000u;  // 2020-01-01 00:00 UTC
  EXPECT_TRUE(file_.SetTimes(written - 10000000u, written));
  uint64_t readBack = 0;
  EXPECT_TRUE(file_.ReadLastWriteTime(&readBack));
  EXPECT_EQ(readBack, written);
  EXPECT_TRUE(file_.Close(true).ok());
}

#ifdef _WIN32
TEST_F(FileTest, FileOpenForWritingElsewhereCannotBeRead) {
  std::string path = Path("busy.bin");
  ASSERT_TRUE(Create(file_, path).ok());
  File reader{};
  EXPECT_EQ(ToHostCode(OpenToRead(reader, path)), 15);
  reader.Destroy();
}
#endif

TEST(FilePiecesTest, LongWritesGoInOrderedPieces) {
  std::vector<uint8_t> data(10);
  std::vector<std::pair<size_t, uint32_t>> pieces;
  auto record = [&](const uint8_t* piece, uint32_t length) {
    pieces.emplace_back(piece - data.data(), length);
    return true;
  };
  EXPECT_TRUE(WriteInPieces(data.data(), 10, 4, record));
  EXPECT_EQ(pieces, (std::vector<std::pair<size_t, uint32_t>>{{0, 4}, {4, 4}, {8, 2}}));
  pieces.clear();
  EXPECT_TRUE(WriteInPieces(data.data(), 8, 4, record));
  EXPECT_EQ(pieces.size(), 2u);

  int calls = 0;
  EXPECT_FALSE(WriteInPieces(data.data(), 10, 4, [&](const uint8_t*, uint32_t) { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);
}

TEST(FileTimeTest, UnixAndFileTimesConvert) {
  EXPECT_EQ(FileTimeFromUnix(0, 0), kUnixEpochFileTime);
  EXPECT_EQ(FileTimeFromUnix(1, 250), kUnixEpochFileTime + 10000002u);
  EXPECT_EQ(FileTimeFromUnix(-11644473601, 0), 0u);
  int64_t seconds;
  uint32_t nanoseconds;
  UnixFromFileTime(kUnixEpochFileTime + 15000000u, &seconds, &nanoseconds);
  EXPECT_EQ(seconds, 1);
  EXPECT_EQ(nanoseconds, 500000000u);
}

TEST(FileTimeTest, DosDateTimeHoldsOnlyItsYears) {
  EXPECT_EQ(PackDosDateTime(1980, 1, 1, 0, 0, 0), 0x00210000u);
  EXPECT_EQ(PackDosDateTime(2107, 12, 31, 23, 59, 59), 0xFF9FBF7Du);
  EXPECT_EQ(PackDosDateTime(1979, 12, 31, 23, 59, 59), 0u);
  EXPECT_EQ(PackDosDateTime(2108, 1, 1, 0, 0, 0), 0u);

  EXPECT_EQ(DosDateTime(119347776000000000u), 0u);  // 1979-03-15 UTC, 1979 in every zone
  uint32_t midJune2020 = DosDateTime(132366960000000000u);  // 2020-06-15 12:00 UTC
  EXPECT_EQ(midJune2020 >> 21, (2020u - 1980u) << 4 | 6u);
}

}  // namespace
}  // namespace zantor
