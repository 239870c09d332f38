// The Unicode and extended variants: UTF-16 paths, and the same archive
// whichever variant opened it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "base/utf16.h"
#include "plugin/listing.h"
#include "plugin/packer.h"
#include "support/image_builder.h"
#include "temp_files.h"

namespace zantor {
namespace {

using test::Bytes;
namespace fs = std::filesystem;

std::u16string Wide(const fs::path& path) {
  const std::string utf8 = reinterpret_cast<const char*>(path.u8string().c_str());
  std::u16string wide(utf8.size() + 1, u'\0');
  Utf8ToUtf16(utf8.c_str(), &wide[0], wide.size());
  wide.resize(Utf16Length(wide.c_str(), static_cast<uint32_t>(wide.size())));
  return wide;
}

wcx::WCHAR* Units(std::u16string& text) { return reinterpret_cast<wcx::WCHAR*>(&text[0]); }

TEST(Utf16, PathsComeBackUnchangedAndBadBytesAreReplaced) {
  // Cyrillic, CJK, a pair beyond the BMP, a lone surrogate (legal in Windows names).
  const char16_t text[] = {0x041A, 0x9375, 0xD83D, 0xDE00, 0xD800, u'x', 0};
  char utf8[32];
  ASSERT_TRUE(Utf16ToUtf8(text, 6, utf8, sizeof utf8));
  EXPECT_STREQ(utf8, "\xD0\x9A\xE9\x8D\xB5\xF0\x9F\x98\x80\xED\xA0\x80x");
  char16_t back[16];
  ASSERT_TRUE(Utf8ToUtf16(utf8, back, 16));
  EXPECT_EQ(std::u16string(back), std::u16string(text));

  EXPECT_FALSE(Utf16ToUtf8(text, 6, utf8, 13));  // no room for the terminator
  EXPECT_FALSE(Utf8ToUtf16(utf8, back, 3));       // cut before the pair, never inside it
  EXPECT_EQ(std::u16string(back), u"\u041A\u9375");
  ASSERT_TRUE(Utf8ToUtf16("a\xFF" "b\xC0\xAF\xE9\x8D", back, 16));
  EXPECT_EQ(std::u16string(back), u"a\uFFFDb\uFFFD\uFFFD\uFFFD\uFFFD");
}

// What one entry lists as and extracts to.
struct Listed {
  std::string name;
  int flags, fileTime, fileAttr;
  uint64_t packed, unpacked;
  Bytes data;
};

// A Hrip archive with a member and a directory record.
Bytes Archive() {
  test::HripArchive archive;
  archive.body = {test::Hrst2Block(test::StoredPayload(test::Filler(300, 5))), test::DirectoryRecord("GAMES")};
  archive.records = {test::CatalogueRecord("data", 'C', 0x6000), test::CatalogueRecord("GAMES", 'D', 0)};
  return test::BuildHripArchive(archive);
}

TEST(UnicodeExports, AFolderOutsideTheCodePageListsAndExtractsAsAnAsciiOne) {
  test::TempFolder folder;
  const fs::path ascii = fs::path(folder.path()) / "ascii";
  const fs::path unicode = fs::path(folder.path()) / fs::path(u"\u041A\u043B\u044E\u0447-\u9375");
  std::vector<Listed> seen[2];
  for (const fs::path& dir : {ascii, unicode}) {
    const bool wide = dir == unicode;
    fs::create_directories(dir / "out");
    if (!wide) {
      ASSERT_TRUE(test::WriteBytes((dir / "a.bin").string(), Archive()));
      ASSERT_TRUE(test::SetLastWriteTime((dir / "a.bin").string(), test::FileTimeOf(2021, 3, 4, 5, 6, 8)));
    } else {
      fs::copy_file(ascii / "a.bin", dir / "a.bin");
      fs::last_write_time(dir / "a.bin", fs::last_write_time(ascii / "a.bin"));
    }

    std::string ansiPath = wide ? "" : (dir / "a.bin").string();
    std::u16string widePath = Wide(dir / "a.bin");
    Session* session;
    if (wide) {
      wcx::tOpenArchiveDataW data{};
      data.ArcName = Units(widePath);
      session = OpenArchive(data);
    } else {
      wcx::tOpenArchiveData data{};
      data.ArcName = &ansiPath[0];
      session = OpenArchive(data);
    }
    ASSERT_NE(session, nullptr);
    for (;;) {
      wcx::tHeaderData header;
      wcx::tHeaderDataEx ex;
      wcx::tHeaderDataExW exW;
      const int code = ReadHeader(*session, header);
      ASSERT_EQ(ReadHeaderEx(*session, ex), code);
      ASSERT_EQ(ReadHeaderEx(*session, exW), code);
      if (code == wcx::E_END_ARCHIVE) break;
      ASSERT_EQ(code, 0);
      // The three records of one entry agree; the W one names the path as given.
      EXPECT_STREQ(ex.FileName, header.FileName);
      EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(exW.FileName)),
                Wide(fs::u8path(header.FileName)));
      EXPECT_EQ(ex.PackSize, static_cast<uint32_t>(header.PackSize));
      EXPECT_EQ(exW.UnpSize, static_cast<uint32_t>(header.UnpSize));
      EXPECT_EQ(ex.PackSizeHigh | ex.UnpSizeHigh | exW.PackSizeHigh | exW.UnpSizeHigh, 0u);
      EXPECT_EQ(exW.FileTime, header.FileTime);
      EXPECT_EQ(exW.FileAttr, header.FileAttr);
      EXPECT_EQ(exW.Flags, header.Flags);
      if (wide) {
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(exW.ArcName)), widePath);
      } else {
        EXPECT_EQ(std::string(ex.ArcName), ansiPath);
      }

      const fs::path dest = dir / "out" / header.FileName;
      std::u16string destWide = Wide(dest);
      std::string destAnsi = wide ? "" : dest.string();
      const int done = wide ? ProcessFile(*session, wcx::PK_EXTRACT, false, HostPath{nullptr, Units(destWide)})
                            : ProcessFile(*session, wcx::PK_EXTRACT, nullptr, destAnsi.c_str());
      ASSERT_EQ(done, 0);
      Bytes data;
      if (fs::exists(dest)) {
        fs::remove(ascii / "out" / "read");
        fs::rename(dest, ascii / "out" / "read");  // read back through an ASCII name
        data = test::ReadFileBytes((ascii / "out" / "read").string());
      }
      seen[wide].push_back(Listed{header.FileName, header.Flags, header.FileTime, header.FileAttr,
                                  ex.PackSize, ex.UnpSize, data});
    }
    EXPECT_EQ(CloseArchive(session), 0);
  }
  ASSERT_EQ(seen[0].size(), 2u);
  ASSERT_EQ(seen[1].size(), seen[0].size());
  for (size_t i = 0; i < seen[0].size(); ++i) {
    const Listed& a = seen[0][i];
    const Listed& w = seen[1][i];
    EXPECT_EQ(w.name, a.name);
    EXPECT_EQ(std::tie(w.flags, w.fileTime, w.fileAttr, w.packed, w.unpacked),
              std::tie(a.flags, a.fileTime, a.fileAttr, a.packed, a.unpacked));
    EXPECT_EQ(w.data, a.data);
  }
  EXPECT_EQ(seen[0][0].data.size(), 300u);
}

// The analysis cache knows a file by its path, whichever variant gave it: a
// file changed behind an unchanged size and time lists as cached.
TEST(UnicodeExports, BothVariantsShareTheCachedAnalysis) {
  test::TempFolder folder;
  const std::string path = folder.File("cached.bin");
  const Bytes archive = Archive();
  ASSERT_TRUE(test::WriteBytes(path, archive));
  const uint64_t time = test::FileTimeOf(2022, 1, 2);
  ASSERT_TRUE(test::SetLastWriteTime(path, time));
  ASSERT_EQ(CanYouHandleThisFile(HostPath{path.c_str(), nullptr}), 1);

  ASSERT_TRUE(test::WriteBytes(path, test::Filler(archive.size(), 9)));
  ASSERT_TRUE(test::SetLastWriteTime(path, time));
  std::u16string wide = Wide(fs::path(path));
  EXPECT_EQ(CanYouHandleThisFile(HostPath{nullptr, Units(wide)}), 1);
}

TEST(UnicodeExports, PathLimitsAndSkipWithAnEmptyName) {
  // 1023 units fit the W record, 1024 do not; the ANSI limit stays 259.
  std::u16string tooLong(1024, u'a');
  wcx::tOpenArchiveDataW data{};
  data.ArcName = Units(tooLong);
  testing::internal::CaptureStderr();
  EXPECT_EQ(OpenArchive(data), nullptr);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(data.OpenResult, 15);  // "Archive path too long"
  tooLong.resize(1023);
  data.OpenResult = 0;
  EXPECT_EQ(OpenArchive(data), nullptr);
  EXPECT_EQ(data.OpenResult, 15);  // long enough to look for, but no such file

  test::TempFolder folder;
  const std::string path = folder.File("skip.bin");
  ASSERT_TRUE(test::WriteBytes(path, Archive()));
  std::u16string wide = Wide(fs::path(path));
  data.ArcName = Units(wide);
  Session* session = OpenArchive(data);
  ASSERT_NE(session, nullptr);
  std::u16string empty;
  EXPECT_EQ(ProcessFile(*session, wcx::PK_SKIP, false, HostPath{nullptr, Units(empty)}), 0);
  EXPECT_EQ(session->current, 1u);
  EXPECT_EQ(CloseArchive(session), 0);
}

}  // namespace
}  // namespace zantor
