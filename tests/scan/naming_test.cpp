// Entry names: both styles, number prefixes, escapes, reserved Windows names
// and format labels.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/settings.h"
#include "scan/entry.h"
#include "scan/naming.h"
#include "support/fatal.h"

namespace zantor {
namespace {

TrdosDescriptor Descriptor(const char* name8, uint8_t type, uint8_t start0 = 0, uint8_t start1 = 0x80) {
  TrdosDescriptor d{};
  std::memcpy(d.name, name8, 8);
  d.type = type;
  d.start[0] = start0;
  d.start[1] = start1;
  return d;
}

Entry Member(uint32_t ordinal, const TrdosDescriptor& d) {
  Entry e{};
  e.kind = kArchiveMember;
  e.member.ordinal = ordinal;
  e.member.memberDescriptor = d;
  return e;
}

Entry Block(const TrdosDescriptor& d) {
  Entry e{};
  e.kind = kBlock;
  e.block.hasDescriptor = 1;
  e.block.descriptor = d;
  return e;
}

Settings Numbering(uint32_t numbering) {
  Settings s = DefaultSettings();
  s.FileNameNumbering = numbering;
  return s;
}

std::string Name(const Entry& e, const Settings& s) {
  char out[260];
  Result r = NameEntry(e, s, out);
  EXPECT_TRUE(r.ok());
  return r.ok() ? out : "";
}

const TrdosDescriptor kGame = Descriptor("GAME    ", 'C');

TEST(NameEntry, NumberPrefixes) {
  EXPECT_EQ(Name(Member(1, kGame), Numbering(1)), "00!   GAME.C");
  EXPECT_EQ(Name(Member(256, kGame), Numbering(1)), "FF!   GAME.C");
  EXPECT_EQ(Name(Member(257, kGame), Numbering(1)), "GAME.C");
  EXPECT_EQ(Name(Member(1, kGame), Numbering(2)), "000!   GAME.C");
  EXPECT_EQ(Name(Member(256, kGame), Numbering(2)), "255!   GAME.C");
  EXPECT_EQ(Name(Member(12, kGame), Numbering(0)), "GAME.C");
  EXPECT_EQ(Name(Block(kGame), Numbering(2)), "GAME.C");  // blocks carry no number

  Settings s = Numbering(2);
  std::memcpy(s.FileNameNumberingSeparator, "#: ", 4);
  EXPECT_EQ(Name(Member(1, kGame), s), "000#23#3A GAME.C");
  // A damaged member has no Drelmo header: own style, but still no prefix.
  s.DrelmoCompatible = true;
  EXPECT_EQ(Name(Member(1, kGame), s), "GAME.C");
}

TEST(NameEntry, NameTypeAndExtension) {
  Settings s = Numbering(0);
  EXPECT_EQ(Name(Block(Descriptor("AB CD   ", 'C')), s), "AB CD.C");
  EXPECT_EQ(Name(Block(Descriptor("        ", 'C')), s), ".C");
  EXPECT_EQ(Name(Block(Descriptor("A*#\xA0    ", ' ')), s), "A#2A#23#A0.#20");
  EXPECT_EQ(Name(Block(Descriptor("NAME    ", 'B', 0x58, 0x59)), s), "NAME.B");
  EXPECT_EQ(Name(Block(Descriptor("NAME    ", 'C', 0x78, 0x79)), s), "NAME.Cxy");
  EXPECT_EQ(Name(Block(Descriptor("NAME    ", 'C', 0x7F, 0x3A)), s), "NAME.C#7F#3A");
  EXPECT_EQ(Name(Block(Descriptor("NAME    ", 'C', 0x00, 0x80)), s), "NAME.C");
  s.ExtendedExtension = false;
  EXPECT_EQ(Name(Block(Descriptor("NAME    ", 'C', 0x78, 0x79)), s), "NAME.C");
  Entry hobeta = Block(kGame);
  hobeta.hobetaPresent = 1;
  EXPECT_EQ(Name(hobeta, s), "GAME.$C");
}

Entry DrelmoMember(const char* name10, uint8_t typeNumber) {
  Entry e = Member(1, kGame);
  uint8_t* h = e.drelmo.bytes;
  const uint8_t fields[] = {0x00, 0x1B, 0x00, 0x80, 0x00, 0x80, 0x00, 0x00, 0x00, 0x1B, 0x00, 0x00, 0xFF, 0x00};
  h[0] = 1;
  h[1] = 0xB0;
  h[6] = typeNumber;
  std::memcpy(h + 7, name10, 10);
  std::memcpy(h + 17, fields, sizeof fields);
  return e;
}

TEST(NameEntry, DrelmoStyle) {
  Settings s = Numbering(2);
  s.DrelmoCompatible = true;
  EXPECT_EQ(Name(DrelmoMember("GAME      ", 3), s), "GAME.3   1B00 8000 8000 0000 FF 00");
  EXPECT_EQ(Name(DrelmoMember("Con       ", 0), s), "#43#6F#6E.0   1B00 8000 8000 0000 FF 00");
  EXPECT_EQ(Name(DrelmoMember("console   ", 68), s), "console.68   1B00 8000 8000 0000 FF 00");
  EXPECT_EQ(Name(DrelmoMember("a:b       ", 255), s), "a#3Ab.255   1B00 8000 8000 0000 FF 00");
}

// Windows opens a device for these whatever the extension, and the data is lost.
TEST(NameEntry, ReservedWindowsNamesAreEscaped) {
  Settings s = Numbering(0);
  EXPECT_EQ(Name(Block(Descriptor("NUL     ", 'C')), s), "#4E#55#4C.C");
  EXPECT_EQ(Name(Block(Descriptor("com1    ", 'C')), s), "#63#6F#6D#31.C");
  EXPECT_EQ(Name(Block(Descriptor("Lpt0    ", 'B')), s), "#4C#70#74#30.B");
  EXPECT_EQ(Name(Block(Descriptor("aux.x   ", 'C')), s), "#61#75#78.x.C");
  EXPECT_EQ(Name(Block(Descriptor("prn  .x ", 'C')), s), "#70#72#6E#20#20.x.C");
  EXPECT_EQ(Name(Block(Descriptor("COM10   ", 'C')), s), "COM10.C");
  EXPECT_EQ(Name(Block(Descriptor("CONSOLE ", 'C')), s), "CONSOLE.C");
  EXPECT_EQ(Name(Block(Descriptor("..      ", '.')), s), "#2E#2E#2E#2E");
  EXPECT_EQ(Name(Member(1, Descriptor("NUL     ", 'C')), Numbering(2)), "000!   NUL.C");
  s.DrelmoCompatible = true;
  EXPECT_EQ(Name(DrelmoMember("AUX       ", 3), s), "#41#55#58.3   1B00 8000 8000 0000 FF 00");
}

TEST(NameEntry, WrongKindsStop) {
  Entry directory = Member(1, kGame);
  directory.member.directory = 1;
  Entry notice{};
  notice.kind = kNotice;
  char out[260];
  EXPECT_FATAL(NameEntry(directory, DefaultSettings(), out), "GN01");
  EXPECT_FATAL(NameEntry(notice, DefaultSettings(), out), "GN02");
}

TEST(NameBuilder, NamesLongerThan259CharactersFail) {
  char out[260] = "untouched";
  NameBuilder fits;
  for (int i = 0; i < 259; ++i) fits.Char('a');
  ASSERT_TRUE(fits.Finish(out).ok());
  EXPECT_EQ(std::strlen(out), 259u);

  std::strcpy(out, "untouched");
  NameBuilder tooLong;
  for (int i = 0; i < 86; ++i) tooLong.ForcedEscape('*');
  tooLong.Escaped('*');
  Result r = tooLong.Finish(out);
  EXPECT_TRUE(r.failed());
  EXPECT_TRUE(r.flags & Result::kShow);
  EXPECT_STREQ(static_cast<const char*>(r.message), "Filename too long");
  EXPECT_STREQ(out, "untouched");
}

MemberInfo Directory(const char* bytes, uint32_t length) {
  MemberInfo m{};
  std::memcpy(m.catalogueDescriptor, bytes, length);
  m.catalogueDescriptorLength = length;
  m.directory = 1;
  return m;
}

std::string DirectoryName(const MemberInfo& m) {
  char out[260];
  NameDirectory(m, out);
  return out;
}

TEST(NameDirectory, TrimsEscapesAndGuards) {
  EXPECT_EQ(DirectoryName(Directory("GAMES      ", 11)), "GAMES");
  EXPECT_EQ(DirectoryName(Directory("A\x01\x7F#\x00\x1F   ", 9)), "A#01#7F#23");
  EXPECT_EQ(DirectoryName(Directory("           ", 11)), "-dir-");
  EXPECT_EQ(DirectoryName(Directory("GAMES", 0)), "-dir-");
  EXPECT_EQ(DirectoryName(Directory("con        ", 11)), "#63#6F#6E");
  EXPECT_EQ(DirectoryName(Directory("..", 2)), "#2E#2E");
}

TEST(FormatLabel, NamesTheFormat) {
  char out[32];
  FormatLabel(BlockInfo{10, 20, 8, 1, kFormatHr21, 0}, out);
  EXPECT_STREQ(out, "hr21 (store)");
  FormatLabel(BlockInfo{10, 20, 0, 0, kFormatHrust1, 0}, out);
  EXPECT_STREQ(out, "HR (raw)");
  FormatLabel(BlockInfo{10, 20, 11, 0, kFormatHrst2, 0}, out);
  EXPECT_STREQ(out, "Hrst2");
  EXPECT_FATAL(FormatLabel(BlockInfo{10, 20, 6, 0, static_cast<FormatCode>(14), 0}, out), "TTS1");
}

}  // namespace
}  // namespace zantor
