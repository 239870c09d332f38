// Opening, probing and closing archives through the host's entry points, on
// real files in a scratch folder.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "plugin/file_time.h"
#include "plugin/listing.h"
#include "plugin/packer.h"
#include "plugin/session.h"
#include "support/image_builder.h"
#include "temp_files.h"

namespace zantor {
namespace {

using test::Bytes;

// What the host sees of one OpenArchive call, and what it showed.
struct Opened {
  Session* session;
  int openResult;
  std::string shown;
};

Opened Open(const std::string& path, bool quiet = false) {
  wcx::tOpenArchiveData data{};
  data.ArcName = const_cast<char*>(path.c_str());
  data.OpenResult = quiet ? static_cast<int>(QuietOpenMarker) : 0;
  testing::internal::CaptureStderr();
  Session* session = OpenArchive(data);
  return Opened{session, data.OpenResult, testing::internal::GetCapturedStderr()};
}

// The POSIX box text; Windows shows a real box that cannot be read back.
std::string Box(const std::string& text) {
#ifdef _WIN32
  (void)text;
  return "";
#else
  return "Zantor error: " + text + "\n";
#endif
}

int Probe(const std::string& path, std::string* shown) {
  testing::internal::CaptureStderr();
  const int answer = CanYouHandleThisFile(path.c_str());
  *shown = testing::internal::GetCapturedStderr();
  return answer;
}

// A hobeta header with a valid checksum and the given size word.
Bytes Hobeta(uint16_t sizeWord) {
  Bytes header = test::HobetaHeaderBytes("SCREEN", 'C', 16384, 6912, 27);
  header[13] = static_cast<uint8_t>(sizeWord);
  header[14] = static_cast<uint8_t>(sizeWord >> 8);
  uint32_t sum = 0;
  for (int i = 0; i < 15; ++i) sum += header[i];
  const uint16_t check = static_cast<uint16_t>(sum * 257 + 105);
  header[15] = static_cast<uint8_t>(check);
  header[16] = static_cast<uint8_t>(check >> 8);
  return header;
}

TEST(OpenArchive, EmptyFileOpensWithNothingToList) {
  test::TempFolder folder;
  const std::string path = folder.File("empty");
  ASSERT_TRUE(test::WriteBytes(path, {}));
  Opened opened = Open(path);
  ASSERT_NE(opened.session, nullptr);
  EXPECT_EQ(opened.openResult, 0);
  EXPECT_EQ(opened.session->analysis.imageSize, 0u);
  EXPECT_STREQ(opened.session->archiveName, path.c_str());
  wcx::tHeaderData header{};
  EXPECT_EQ(ReadHeader(*opened.session, header), wcx::E_END_ARCHIVE);
  EXPECT_EQ(CloseArchive(opened.session), 0);
  std::string shown;
  EXPECT_EQ(Probe(path, &shown), 0);
}

TEST(OpenArchive, ValidHobetaHeaderIsSteppedOver) {
  test::TempFolder folder;
  struct Case {
    Bytes file;
    uint32_t imageSize;
    uint32_t skipped;
  };
  Bytes damagedChecksum = test::Concat(Hobeta(256), test::Filler(256));
  damagedChecksum[16] ^= 1;
  const Case cases[] = {
      {Hobeta(0), 0, 17},                                    // header alone
      {test::Concat(Hobeta(256), test::Filler(256)), 256, 17},
      {damagedChecksum, 273, 0},                              // not a hobeta file
      {test::Concat(Hobeta(256), test::Filler(255)), 272, 0},  // size not 17 mod 256
  };
  for (const Case& c : cases) {
    const std::string path = folder.File("h" + std::to_string(c.file.size()) + "_" + std::to_string(c.skipped));
    ASSERT_TRUE(test::WriteBytes(path, c.file));
    Opened opened = Open(path);
    ASSERT_NE(opened.session, nullptr) << path;
    EXPECT_EQ(opened.session->analysis.imageSize, c.imageSize) << path;
    EXPECT_EQ(opened.session->analysis.image, opened.session->source.view + c.skipped) << path;
    EXPECT_EQ(opened.shown, "");
    EXPECT_EQ(CloseArchive(opened.session), 0);
  }
}

TEST(OpenArchive, HobetaHeaderWithWrongSizeIsBadData) {
  test::TempFolder folder;
  const std::string path = folder.File("bad.$C");
  ASSERT_TRUE(test::WriteBytes(path, test::Concat(Hobeta(255), test::Filler(256))));
  Opened loud = Open(path);
  EXPECT_EQ(loud.session, nullptr);
  EXPECT_EQ(loud.openResult, wcx::E_BAD_DATA);
  EXPECT_EQ(loud.shown, Box("Bad hobeta file: invalid size in hobeta header"));

  Opened quiet = Open(path, true);
  EXPECT_EQ(quiet.session, nullptr);
  EXPECT_EQ(quiet.openResult, wcx::E_BAD_DATA);
  EXPECT_EQ(quiet.shown, "");
  std::string shown;
  EXPECT_EQ(Probe(path, &shown), 0);
  EXPECT_EQ(shown, "");
}

TEST(OpenArchive, PathsUpTo259CharactersAreAccepted) {
  test::TempFolder folder;
  // Nested folders keep every component short while the whole path grows.
  std::string base = folder.path() + "/";
  while (base.size() < 200) {
    base += "dddddddddddddddddddddddd/";
    std::filesystem::create_directory(base);
  }
  const std::string accepted = base + std::string(259 - base.size(), 'f');
  const std::string refused = base + std::string(260 - base.size(), 'f');
  ASSERT_EQ(accepted.size(), 259u);
  ASSERT_TRUE(test::WriteBytes(accepted, test::Filler(64)));
  ASSERT_TRUE(test::WriteBytes(refused, test::Filler(64)));

  Opened opened = Open(accepted);
  ASSERT_NE(opened.session, nullptr);
  EXPECT_EQ(opened.openResult, 0);
  EXPECT_EQ(CloseArchive(opened.session), 0);

  Opened tooLong = Open(refused);
  EXPECT_EQ(tooLong.session, nullptr);
  EXPECT_EQ(tooLong.openResult, 15);
  EXPECT_EQ(tooLong.shown, Box("Archive path too long"));
  std::string shown;
  EXPECT_EQ(Probe(refused, &shown), 0);
  EXPECT_EQ(shown, "");
}

TEST(OpenArchive, MissingFileCannotBeOpened) {
  test::TempFolder folder;
  Opened opened = Open(folder.File("absent"));
  EXPECT_EQ(opened.session, nullptr);
  EXPECT_EQ(opened.openResult, wcx::E_EOPEN);
  EXPECT_EQ(opened.shown, "");
  EXPECT_EQ(CanYouHandleThisFile(nullptr), 0);  // no name is never read through
}

#ifndef _WIN32
// "x" and "x." are two files here: the second must not get the first's
// listing from the analysis cache, even with the same size and time.
TEST(OpenArchive, NamesDifferingInATrailingDotAreDifferentFiles) {
  test::TempFolder folder;
  const Bytes block = test::Hr21Block(test::StoredPayload(test::Filler(100, 3)));
  const Bytes filler = test::Filler(block.size() + 200, 4);
  ASSERT_TRUE(test::WriteBytes(folder.File("x"), test::Concat(block, test::Filler(200, 4))));
  ASSERT_TRUE(test::WriteBytes(folder.File("x."), filler));
  const uint64_t time = test::FileTimeOf(2024, 1, 2);
  ASSERT_TRUE(test::SetLastWriteTime(folder.File("x"), time));
  ASSERT_TRUE(test::SetLastWriteTime(folder.File("x."), time));

  Opened withBlock = Open(folder.File("x"));
  ASSERT_NE(withBlock.session, nullptr);
  EXPECT_EQ(withBlock.session->analysis.entries.count, 1u);
  EXPECT_EQ(CloseArchive(withBlock.session), 0);
  Opened plain = Open(folder.File("x."));
  ASSERT_NE(plain.session, nullptr);
  EXPECT_EQ(plain.session->analysis.entries.count, 0u);
  EXPECT_EQ(CloseArchive(plain.session), 0);
}
#endif

TEST(OpenArchive, FileOver2GiBIsUnknownFormat) {
#ifdef _WIN32
  GTEST_SKIP() << "sparse files are made natively only";
#else
  test::TempFolder folder;
  const std::string path = folder.File("huge");
  ASSERT_TRUE(test::WriteBytes(path, {}));
  std::filesystem::resize_file(path, uint64_t{kLargestArchive} + 1);  // sparse: no blocks written
  Opened opened = Open(path);
  EXPECT_EQ(opened.session, nullptr);
  EXPECT_EQ(opened.openResult, wcx::E_UNKNOWN_FORMAT);
  EXPECT_EQ(opened.shown, "");
  std::string shown;
  EXPECT_EQ(Probe(path, &shown), 0);
#endif
}

// Windows hosts read FileTime as a local DOS date-time, the Linux host as
// Unix seconds in a signed 32-bit field: each is clamped into its own range.
TEST(OpenArchive, TimesAreListedInTheHostsFormAndRange) {
  test::TempFolder folder;
  const auto unixSeconds = [](uint64_t time) { return static_cast<int>((time - kUnixEpochFileTime) / 10000000u); };
  struct Case {
    uint64_t time;
    uint32_t dosTime;
    int listedOnLinux;
  };
  const uint64_t recent = test::FileTimeOf(2020, 6, 15, 12);
  const uint64_t before1980 = test::FileTimeOf(1979, 6, 1);
  const Case cases[] = {
      {test::FileTimeOf(1969, 6, 1), kEarliestDosTime, 0},
      {before1980, kEarliestDosTime, unixSeconds(before1980)},
      {test::FileTimeOf(2110, 6, 1), kLatestDosTime, 0x7FFFFFFF},
      {recent, DosDateTime(recent), unixSeconds(recent)},
  };
  for (const Case& c : cases) {
    const std::string path = folder.File("dated");
    ASSERT_TRUE(test::WriteBytes(path, test::Concat(test::Hr21Block(test::StoredPayload(test::Filler(40))),
                                                   test::Filler(32))));
    ASSERT_TRUE(test::SetLastWriteTime(path, c.time));
    Opened opened = Open(path);
    ASSERT_NE(opened.session, nullptr);
    EXPECT_EQ(opened.session->lastWriteTime, c.time);
    EXPECT_EQ(opened.session->analysis.dosTime, c.dosTime);
    wcx::tHeaderData header;
    ASSERT_EQ(ReadHeader(*opened.session, header), 0);
#ifdef _WIN32
    EXPECT_EQ(static_cast<uint32_t>(header.FileTime), c.dosTime);
#else
    EXPECT_EQ(header.FileTime, c.listedOnLinux);
#endif
    EXPECT_EQ(CloseArchive(opened.session), 0);
  }
  // Times no file system stores, and no local time can reach.
  EXPECT_EQ(NearestDosDateTime(0), kEarliestDosTime);
  EXPECT_EQ(NearestDosDateTime(0x7FFFFFFFFFFFFFFFull), kLatestDosTime);
}

TEST(CanYouHandleThisFile, AnswersByContent) {
  ZANTOR_REQUIRE_CORPUS();
  test::TempFolder folder;
  const std::string found = folder.File("found.txt");
  const std::string plain = folder.File("plain.txt");
  ASSERT_TRUE(test::WriteBytes(found, test::Concat(test::Filler(333), test::Hrust1Block("dimidrol_bear__2014_.scr"))));
  ASSERT_TRUE(test::WriteBytes(plain, test::Filler(4000)));
  std::string shown;
  EXPECT_EQ(Probe(found, &shown), 1);
  EXPECT_EQ(Probe(plain, &shown), 0);
  EXPECT_EQ(Probe(folder.File("absent"), &shown), 0);
  EXPECT_EQ(shown, "");
}

TEST(PackFiles, IsRefusedWithAMessage) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(PackFiles(), wcx::E_NOT_SUPPORTED);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), Box("Function not supported"));
  EXPECT_EQ(kPackerCaps, 85);
}

}  // namespace
}  // namespace zantor
