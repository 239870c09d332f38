// Listing and extraction over sessions built by hand: the entry list is set
// up directly, so every kind and failure path is reached without a scan.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/heap.h"
#include "plugin/listing.h"
#include "plugin/packer.h"
#include "plugin/session.h"
#include "scan/entry.h"
#include "support/image_builder.h"
#include "temp_files.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace zantor {
namespace {

using test::Bytes;

constexpr char kScreen[] = "dimidrol_bear__2014_.scr";
constexpr char kDestPathText[] = "DestPath is not null.\nPlease report this error to plugin author.";

// A session over an in-memory image, with entries added by the test.
class HandBuilt {
 public:
  explicit HandBuilt(Bytes image) : image_(std::move(image)) {
    session_ = static_cast<Session*>(Allocate(sizeof(Session)));
    session_->analysis.settings = DefaultSettings();
    session_->analysis.image = image_.data();
    session_->analysis.imageSize = static_cast<uint32_t>(image_.size());
    std::strcpy(session_->archiveName, "archive.bin");
    session_->lastWriteTime = test::FileTimeOf(2021, 5, 5, 12);
    session_->analysis.dosTime = 0x52A56000;
  }
  ~HandBuilt() { DestroySession(session_); }

  Session& session() { return *session_; }
  Entry& Add(EntryKind kind) {
    Entry* entry = NewEntry(kind);
    EXPECT_TRUE(session_->analysis.entries.Append(entry).ok());
    return *entry;
  }
  // An "HR" block of the corpus at position, as the search lists it.
  Entry& AddHrust1Block(uint32_t position) {
    const uint8_t* h = image_.data() + position;
    Entry& entry = Add(kBlock);
    entry.block.position = position;
    const uint32_t total = h[4] | h[5] << 8;
    entry.block.info = BlockInfo{total - 6, static_cast<uint32_t>(h[2] | h[3] << 8), 6, 0, kFormatHrust1, 0};
    entry.listedSize = entry.block.info.unpacked;
    std::strcpy(entry.block.numberText, "0000");
    return entry;
  }

 private:
  Bytes image_;
  Session* session_;
};

std::string Name(const wcx::tHeaderData& header) { return header.FileName; }

// What the hosts of this platform read: FileTime of 2021-05-05 12:00 UTC
// (the analysis's dosTime on Windows), and the FileAttr of files and folders.
#ifdef _WIN32
constexpr uint32_t kListedTime = 0x52A56000;
constexpr int kFileAttr = 0;
constexpr int kFolderAttr = 0x10;
#else
constexpr uint32_t kListedTime = 1620216000;
constexpr int kFileAttr = 0x81A4;
constexpr int kFolderAttr = 0x41ED;
#endif

int Extract(Session& session, const std::string& dest) {
  return ProcessFile(session, wcx::PK_EXTRACT, nullptr, dest.c_str());
}

TEST(ReadHeader, EmptySessionEndsAtOnce) {
  HandBuilt built({});
  wcx::tHeaderData header;
  std::memset(&header, 0x5A, sizeof(header));
  EXPECT_EQ(ReadHeader(built.session(), header), wcx::E_END_ARCHIVE);
  EXPECT_EQ(header.FileName[0], 0x5A);  // untouched
}

TEST(ReadHeader, NoticesAreNamedAndCarryTheArchiveData) {
  HandBuilt built({});
  built.session().analysis.settings.MaxEntries = 260;
  built.Add(kNotice).notice.archiveCorrupt = 1;
  built.Add(kNotice).notice.onlyFirstShown = 1;
  built.Add(kNotice).notice.searchStopped = 1;
  built.Add(kNotice).notice.notSearched = 1;
  wcx::tHeaderData header;
  std::memset(&header, 0x5A, sizeof(header));

  ASSERT_EQ(ReadHeader(built.session(), header), 0);
  EXPECT_EQ(Name(header), "__archive_corrupt!");
  EXPECT_STREQ(header.ArcName, "archive.bin");
  EXPECT_EQ(static_cast<uint32_t>(header.FileTime), kListedTime);
  EXPECT_EQ(header.FileAttr, kFileAttr);
  EXPECT_EQ(header.PackSize, 0);
  EXPECT_EQ(header.UnpSize, 0);
  EXPECT_EQ(header.CmtBuf, nullptr);  // every other field is cleared
  EXPECT_EQ(ReadHeader(built.session(), header), 0);  // does not move on
  EXPECT_EQ(ProcessFile(built.session(), wcx::PK_SKIP, nullptr, nullptr), 0);

  ASSERT_EQ(ReadHeader(built.session(), header), 0);
  EXPECT_EQ(Name(header), "__Only first 260 entries shown! ");
  EXPECT_EQ(ProcessFile(built.session(), wcx::PK_SKIP, nullptr, nullptr), 0);
  ASSERT_EQ(ReadHeader(built.session(), header), 0);
  EXPECT_EQ(Name(header), "__Search stopped early: too much work! ");
  EXPECT_EQ(ProcessFile(built.session(), wcx::PK_SKIP, nullptr, nullptr), 0);
  ASSERT_EQ(ReadHeader(built.session(), header), 0);
  EXPECT_EQ(Name(header), "__Not searched: file larger than the size limits! ");
  EXPECT_EQ(ProcessFile(built.session(), wcx::PK_SKIP, nullptr, nullptr), 0);
  EXPECT_EQ(ReadHeader(built.session(), header), wcx::E_END_ARCHIVE);
}

TEST(ProcessFile, NoticesFailWithTheirCodesAndTexts) {
  test::TempFolder folder;
  HandBuilt built({});
  built.Add(kNotice).notice.onlyFirstShown = 1;
  built.Add(kNotice).notice.archiveCorrupt = 1;
  built.Add(kNotice).notice.archiveCorrupt = 1;
  built.Add(kNotice).notice.searchStopped = 1;
  built.Add(kNotice).notice.notSearched = 1;

  testing::internal::CaptureStderr();
  EXPECT_EQ(Extract(built.session(), folder.File("a")), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  testing::internal::CaptureStderr();
  EXPECT_EQ(ProcessFile(built.session(), wcx::PK_TEST, nullptr, nullptr), 1);
  std::string shown = testing::internal::GetCapturedStderr();
#ifndef _WIN32
  EXPECT_EQ(shown, "Zantor error: Hrip archive is corrupt.\n");
#endif

  ASSERT_TRUE(built.session().analysis.hripReport.Append("Catalogue missing").ok());
  testing::internal::CaptureStderr();
  EXPECT_EQ(Extract(built.session(), folder.File("b")), 1);
  shown = testing::internal::GetCapturedStderr();
#ifndef _WIN32
  EXPECT_EQ(shown,
            "Zantor error: Hrip archive is corrupt.\r\nAdditional error info:\r\n\r\nCatalogue missing\n");
#endif

  testing::internal::CaptureStderr();
  EXPECT_EQ(Extract(built.session(), folder.File("c")), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(ProcessFile(built.session(), wcx::PK_TEST, nullptr, nullptr), 1);
  EXPECT_FALSE(test::Exists(folder.File("a")));
  EXPECT_FALSE(test::Exists(folder.File("b")));
  EXPECT_FALSE(test::Exists(folder.File("c")));
}

TEST(ProcessFile, DestPathIsRefusedWithoutMovingOn) {
  HandBuilt built({});
  built.Add(kNotice).notice.onlyFirstShown = 1;
  char destPath[] = "somewhere";
  testing::internal::CaptureStderr();
  EXPECT_EQ(ProcessFile(built.session(), wcx::PK_EXTRACT, destPath, "x"), wcx::E_NOT_SUPPORTED);
  const std::string shown = testing::internal::GetCapturedStderr();
#ifndef _WIN32
  EXPECT_EQ(shown, std::string("Zantor error: ") + kDestPathText + "\n");
#endif
  EXPECT_EQ(built.session().current, 0u);
}

TEST(Extraction, Hrust1BlockIsWrittenByteExactWithTheArchiveTime) {
  ZANTOR_REQUIRE_CORPUS();
  test::TempFolder folder;
  const Bytes plain = test::ReadCorpusFile(std::string("plain/") + kScreen);
  HandBuilt built(test::Concat(test::Filler(100), test::Hrust1Block(kScreen)));
  built.AddHrust1Block(100);
  Entry& withHobeta = built.AddHrust1Block(100);
  withHobeta.hobetaPresent = 1;
  for (uint32_t i = 0; i < HobetaHeader::kSize; ++i) withHobeta.hobeta.bytes[i] = static_cast<uint8_t>(i + 1);

  wcx::tHeaderData header;
  ASSERT_EQ(ReadHeader(built.session(), header), 0);
  EXPECT_EQ(Name(header), "0000 HR");
  EXPECT_EQ(header.UnpSize, 6912);
  EXPECT_EQ(header.PackSize, static_cast<int>(built.session().analysis.entries.At(0)->block.info.packed));
  EXPECT_EQ(ProcessFile(built.session(), wcx::PK_TEST, nullptr, nullptr), 0);
  EXPECT_EQ(built.session().verifyPacked, 1);

  ASSERT_EQ(ReadHeader(built.session(), header), 0);
  EXPECT_EQ(header.UnpSize, 6912 + 17);
  const std::string dest = folder.File("screen.$C");
  ASSERT_EQ(Extract(built.session(), dest), 0);
  const Bytes written = test::ReadFileBytes(dest);
  ASSERT_EQ(written.size(), 6929u);
  EXPECT_EQ(written[0], 1);
  EXPECT_EQ(written[16], 17);
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), written.begin() + 17));
  EXPECT_EQ(test::LastWriteTime(dest), built.session().lastWriteTime);
  EXPECT_EQ(ReadHeader(built.session(), header), wcx::E_END_ARCHIVE);
}

// Extraction onto an existing file replaces it through a temporary file; a
// failure leaves the old file as it was and no temporary file behind.
TEST(Extraction, ExistingDestinationIsReplacedOrKeptWhole) {
  ZANTOR_REQUIRE_CORPUS();
  test::TempFolder folder;
  Bytes damaged = test::Hrust1Block(kScreen);
  for (size_t i = 20; i < damaged.size(); i += 7) damaged[i] ^= 0xA5;
  HandBuilt built(test::Concat(test::Hrust1Block(kScreen), damaged));
  const uint32_t good = 0;
  const uint32_t bad = static_cast<uint32_t>(built.session().analysis.imageSize - damaged.size());
  const Bytes old{1, 2, 3};
  const std::string dest = folder.File("taken");
  namespace fs = std::filesystem;
  const auto onlyDest = [&] {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder.path())) names.push_back(item.path().filename().string());
    return names == std::vector<std::string>{"taken"};
  };

  built.AddHrust1Block(good);
  ASSERT_TRUE(test::WriteBytes(dest, old));
  EXPECT_EQ(Extract(built.session(), dest), 0);
  EXPECT_EQ(test::ReadFileBytes(dest).size(), 6912u);
  EXPECT_EQ(test::LastWriteTime(dest), built.session().lastWriteTime);
  EXPECT_TRUE(onlyDest());

  built.AddHrust1Block(bad);
  ASSERT_TRUE(test::WriteBytes(dest, old));
  EXPECT_EQ(Extract(built.session(), dest), wcx::E_BAD_DATA);
  EXPECT_EQ(test::ReadFileBytes(dest), old);
  EXPECT_TRUE(onlyDest());

  built.AddHrust1Block(good);
  fs::permissions(dest, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(Extract(built.session(), dest), wcx::E_ECREATE);
  fs::permissions(dest, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(test::ReadFileBytes(dest), old);
  EXPECT_TRUE(onlyDest());

  built.AddHrust1Block(good);
  ASSERT_TRUE(fs::remove(dest));
  ASSERT_TRUE(fs::create_directory(dest));
  EXPECT_EQ(Extract(built.session(), dest), wcx::E_ECREATE);
  EXPECT_TRUE(fs::is_directory(dest));
  EXPECT_TRUE(onlyDest());
}

TEST(Extraction, DamagedOrStaleBlocksAreBadDataAndLeaveNoFile) {
  ZANTOR_REQUIRE_CORPUS();
  test::TempFolder folder;
  Bytes block = test::Hrust1Block(kScreen);
  for (size_t i = 20; i < block.size(); i += 7) block[i] ^= 0xA5;
  HandBuilt built(block);
  built.AddHrust1Block(0);                    // data that does not decode
  built.AddHrust1Block(0).bad = 1;            // known damaged
  built.AddHrust1Block(0).block.position = 5;  // a cached entry of an earlier, longer file

  for (int i = 0; i < 3; ++i) {
    const std::string dest = folder.File("out" + std::to_string(i));
    EXPECT_EQ(Extract(built.session(), dest), wcx::E_BAD_DATA) << i;
    EXPECT_FALSE(test::Exists(dest)) << i;
  }
}

// A member is checked as it is written: bad data still counts as such when
// the target is refused (here a read-only file).
TEST(Extraction, BadMemberDataCountsBeforeARefusedTarget) {
  test::TempFolder folder;
  HandBuilt built(test::Filler(300, 7));
  Entry& member = built.Add(kArchiveMember);
  member.member.unpackedSize = member.listedSize = 100;
  ASSERT_TRUE(member.member.blockPositions.Append(0).ok());  // a cached entry: no block there now
  const std::string dest = folder.File("taken");
  ASSERT_TRUE(test::WriteBytes(dest, Bytes{1, 2, 3}));
  namespace fs = std::filesystem;
  fs::permissions(dest, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(Extract(built.session(), dest), wcx::E_BAD_DATA);
  fs::permissions(dest, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(test::ReadFileBytes(dest), (Bytes{1, 2, 3}));
}

TEST(Extraction, EmbeddedArchiveIsCopiedFromTheImage) {
  test::TempFolder folder;
  const Bytes image = test::Filler(300, 7);
  HandBuilt built(image);
  Entry& entry = built.Add(kEmbeddedArchive);
  entry.embedded = EmbeddedPart{40, 200, "0040.hrp"};
  Entry& stale = built.Add(kEmbeddedArchive);
  stale.embedded = EmbeddedPart{200, 101, "0200.hrp"};

  wcx::tHeaderData header;
  ASSERT_EQ(ReadHeader(built.session(), header), 0);
  EXPECT_EQ(Name(header), "0040.hrp");
  EXPECT_EQ(header.PackSize, 200);
  EXPECT_EQ(header.UnpSize, 200);
  ASSERT_EQ(Extract(built.session(), folder.File("a.hrp")), 0);
  EXPECT_EQ(test::ReadFileBytes(folder.File("a.hrp")), Bytes(image.begin() + 40, image.begin() + 240));
  EXPECT_EQ(Extract(built.session(), folder.File("b.hrp")), wcx::E_BAD_DATA);
  EXPECT_FALSE(test::Exists(folder.File("b.hrp")));
}

TEST(Extraction, DirectoryRecordsAreListedAndWriteNothing) {
  test::TempFolder folder;
  HandBuilt built({});
  const auto addDirectory = [&](const std::string& bytes) {
    Entry& entry = built.Add(kArchiveMember);
    entry.member.directory = 1;
    std::memcpy(entry.member.catalogueDescriptor, bytes.data(), bytes.size());
    entry.member.catalogueDescriptorLength = static_cast<uint32_t>(bytes.size());
  };
  addDirectory("GAMES      ");
  addDirectory("           ");
  addDirectory("a\x7F#b");

  wcx::tHeaderData header;
  ASSERT_EQ(ReadHeader(built.session(), header), 0);
  EXPECT_EQ(Name(header), "GAMES");
  EXPECT_EQ(header.Flags, 16);
  EXPECT_EQ(header.FileAttr, kFolderAttr);
  EXPECT_EQ(Extract(built.session(), folder.File("GAMES")), 0);
  EXPECT_FALSE(test::Exists(folder.File("GAMES")));
  ASSERT_EQ(ReadHeader(built.session(), header), 0);
  EXPECT_EQ(Name(header), "-dir-");
  EXPECT_EQ(ProcessFile(built.session(), wcx::PK_SKIP, nullptr, nullptr), 0);
  ASSERT_EQ(ReadHeader(built.session(), header), 0);
  EXPECT_EQ(Name(header), "a#7F#23b");
}

// A Hrip archive on disk, listed and extracted as the host does it.
TEST(Extraction, HripMembersThroughTheWholeOpenSequence) {
  ZANTOR_REQUIRE_CORPUS();
  test::TempFolder folder;
  const test::Payload tune = test::Hrust2Sample("ziutek_shock7__1992_.stc");
  test::Hrst2Options withDescriptor;
  withDescriptor.descriptor = test::Descriptor("shock7", 'C', 0x6000, 2368, 10);
  test::HripArchive archive;
  archive.body = {test::Hrst2Block(tune, withDescriptor), test::DirectoryRecord("GAMES")};
  archive.records = {test::CatalogueRecord("shock7", 'C', 0x6000), test::CatalogueRecord("GAMES", 'D', 0)};
  const std::string path = folder.File("music.hrp");
  ASSERT_TRUE(test::WriteBytes(path, test::BuildHripArchive(archive)));

  for (int operation : {wcx::PK_TEST, wcx::PK_EXTRACT}) {
    SCOPED_TRACE(operation);
    wcx::tOpenArchiveData data{};
    data.ArcName = const_cast<char*>(path.c_str());
    Session* session = OpenArchive(data);
    ASSERT_NE(session, nullptr);
    ASSERT_EQ(session->analysis.isHripArchive, 1);

    wcx::tHeaderData header;
    ASSERT_EQ(ReadHeader(*session, header), 0);
    const std::string name = Name(header);
    EXPECT_NE(name.find("shock7.C"), std::string::npos) << name;
    EXPECT_EQ(header.PackSize, static_cast<int>(tune.packed.size()));
    const std::string dest = folder.File("shock7.C");
    ASSERT_EQ(ProcessFile(*session, operation, nullptr, dest.c_str()), 0);
    if (operation == wcx::PK_EXTRACT) {
      const Bytes written = test::ReadFileBytes(dest);
      ASSERT_EQ(written.size(), static_cast<size_t>(header.UnpSize));
      EXPECT_TRUE(std::equal(written.begin(), written.end(), tune.unpacked.begin()));
    }

    ASSERT_EQ(ReadHeader(*session, header), 0);
    EXPECT_EQ(Name(header), "GAMES   D");  // its catalogue record: name and type
    EXPECT_EQ(header.Flags, 16);
    EXPECT_EQ(ProcessFile(*session, operation, nullptr, folder.File("GAMES").c_str()), 0);
    EXPECT_FALSE(test::Exists(folder.File("GAMES")));
    EXPECT_EQ(ReadHeader(*session, header), wcx::E_END_ARCHIVE);
    EXPECT_EQ(CloseArchive(session), 0);
  }
}

#ifndef _WIN32
// A write that fails halfway (the file size limit here) must not leave the
// partly written file behind, nor touch the file it was to replace.
TEST(Extraction, FailedWriteLeavesNoPartialFile) {
  ZANTOR_REQUIRE_CORPUS();
  test::TempFolder folder;
  HandBuilt built(test::Hrust1Block(kScreen));
  built.AddHrust1Block(0);
  built.AddHrust1Block(0);
  const std::string dest = folder.File("screen");
  const std::string existing = folder.File("kept");
  const Bytes old(900, 7);
  ASSERT_TRUE(test::WriteBytes(existing, old));

  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto* previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int code = Extract(built.session(), dest);
  const int replacing = Extract(built.session(), existing);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  EXPECT_EQ(code, wcx::E_EWRITE);
  EXPECT_EQ(replacing, wcx::E_EWRITE);
  EXPECT_FALSE(test::Exists(dest));
  EXPECT_EQ(test::ReadFileBytes(existing), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}
#endif

}  // namespace
}  // namespace zantor
