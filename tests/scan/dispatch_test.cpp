#include "scan/dispatch.h"

#include <gtest/gtest.h>

#include <cstring>

#include "codec/crc16.h"
#include "support/image_builder.h"

namespace zantor {
namespace {

using test::Bytes;
using test::Hrst2Options;
using test::Payload;

constexpr uint8_t kSentinel = 0xA5;

Payload SmallSample() { return test::Hrust2Sample("ziutek_shock7__1992_.stc"); }

BlockInfo InfoOf(FormatCode format, const Bytes& block, uint32_t headerLength, uint32_t unpacked,
                 bool stored) {
  BlockInfo info{};
  info.packed = static_cast<uint32_t>(block.size()) - headerLength;
  info.unpacked = unpacked;
  info.headerLength = headerLength;
  info.stored = stored;
  info.format = format;
  return info;
}

// A member entry over the given block positions with the given size.
struct MemberFixture {
  Entry entry{};
  MemberFixture(std::initializer_list<uint32_t> positions, uint32_t unpacked) {
    entry.kind = kArchiveMember;
    entry.member.unpackedSize = unpacked;
    for (uint32_t p : positions) EXPECT_TRUE(entry.member.blockPositions.Append(p).ok());
  }
  ~MemberFixture() { entry.member.blockPositions.Destroy(); }
};

TEST(Crc16, MatchesTheXmodemCheckValueAndAReference) {
  const char* check = "123456789";
  EXPECT_EQ(0x31C3, Crc16(reinterpret_cast<const uint8_t*>(check), 9));
  EXPECT_EQ(0, Crc16(nullptr, 0));
  Bytes noise = test::Filler(3000, 7);
  EXPECT_EQ(test::ReferenceCrc16(noise), Crc16(noise.data(), static_cast<uint32_t>(noise.size())));
}

TEST(UnpackHrustBlock, CorpusBlocksOfEveryHeaderUnpackExactly) {
  ZANTOR_REQUIRE_CORPUS();
  const std::string name = "sum";
  Bytes plain = test::ReadCorpusFile("plain/" + name);
  Payload p = test::Hrust2Sample(name);
  Bytes hr1 = test::Hrust1Block(name);
  ASSERT_FALSE(plain.empty());
  ASSERT_GT(hr1.size(), 6u);

  Hrst2Options descriptorHeader;
  descriptorHeader.descriptor = test::Descriptor("sum", 'C', 0x8000, 0, 0);
  const Bytes hrst2 = test::Hrst2Block(p, descriptorHeader);
  const uint32_t size = static_cast<uint32_t>(plain.size());
  const struct {
    Bytes block;
    BlockInfo info;
  } cases[] = {
      {hr1, InfoOf(kFormatHrust1, hr1, 6, size, false)},
      {test::Hr21Block(p), InfoOf(kFormatHr21, test::Hr21Block(p), 8, size, false)},
      {p.packed, InfoOf(kFormatHr21, p.packed, 0, size, false)},
      {hrst2, InfoOf(kFormatHrst2, hrst2, 29, size, false)},
  };
  for (const auto& c : cases) {
    auto image = test::ExactCopy(c.block);
    Bytes out(size);
    EXPECT_TRUE(UnpackHrustBlock(image.get(), out.data(), c.info).ok()) << int(c.info.format);
    EXPECT_EQ(plain, out);
    EXPECT_TRUE(TestHrustBlock(image.get(), c.info).ok());

    // One byte more or less than the stream yields is a data fault.
    BlockInfo wrong = c.info;
    wrong.unpacked = size + 1;
    Bytes bigger(size + 1);
    EXPECT_EQ(12, UnpackHrustBlock(image.get(), bigger.data(), wrong).hostCode);
    EXPECT_TRUE(TestHrustBlock(image.get(), wrong).failed());
    wrong.unpacked = size - 1;
    EXPECT_TRUE(UnpackHrustBlock(image.get(), bigger.data(), wrong).failed());
    EXPECT_TRUE(TestHrustBlock(image.get(), wrong).failed());
  }
}

TEST(UnpackHrustBlock, TruncatedBlockFailsWithoutTouchingOutput) {
  Payload stored = test::StoredPayload(Bytes(40, 7));
  Bytes block = test::Hr21Block(stored);
  BlockInfo info = InfoOf(kFormatHr21, block, 8, 40, true);
  info.truncated = 1;
  Bytes out(40, kSentinel);
  Result r = UnpackHrustBlock(block.data(), out.data(), info);
  EXPECT_TRUE(r.failed());
  EXPECT_EQ(12, r.hostCode);
  EXPECT_EQ(Bytes(40, kSentinel), out);
  EXPECT_TRUE(TestHrustBlock(block.data(), info).failed());
}

TEST(UnpackHrustBlock, StoredHrst2ChecksUnpackedCrcWhileTestChecksPackedCrc) {
  Bytes data = test::Filler(300, 3);
  Payload stored = test::StoredPayload(data);
  Bytes out(data.size());

  Hrst2Options wrongUnpacked;
  wrongUnpacked.wrongUnpackedCrc = true;
  Bytes a = test::Hrst2Block(stored, wrongUnpacked);
  BlockInfo ia = InfoOf(kFormatHrst2, a, 15, 300, true);
  EXPECT_TRUE(UnpackHrustBlock(a.data(), out.data(), ia).failed());
  EXPECT_TRUE(TestHrustBlock(a.data(), ia).ok());

  Hrst2Options wrongPacked;
  wrongPacked.wrongPackedCrc = true;
  Bytes b = test::Hrst2Block(stored, wrongPacked);
  EXPECT_TRUE(UnpackHrustBlock(b.data(), out.data(), ia).ok());
  EXPECT_EQ(data, out);
  EXPECT_TRUE(TestHrustBlock(b.data(), ia).failed());

  // With only the packed CRC in the extension, both check it.
  Hrst2Options onlyPacked;
  onlyPacked.extension = 2;
  onlyPacked.wrongPackedCrc = true;
  Bytes c = test::Hrst2Block(stored, onlyPacked);
  BlockInfo ic = InfoOf(kFormatHrst2, c, 13, 300, true);
  EXPECT_TRUE(UnpackHrustBlock(c.data(), out.data(), ic).failed());
  EXPECT_TRUE(TestHrustBlock(c.data(), ic).failed());

  // Without CRCs nothing is checked.
  Hrst2Options none;
  none.extension = 0;
  Bytes d = test::Hrst2Block(stored, none);
  BlockInfo id = InfoOf(kFormatHrst2, d, 11, 300, true);
  EXPECT_TRUE(UnpackHrustBlock(d.data(), out.data(), id).ok());
  EXPECT_TRUE(TestHrustBlock(d.data(), id).ok());
}

TEST(UnpackHrustBlock, Hrst2HeaderThatNoLongerMatchesItsListingIsBadData) {
  // A listed header of 11 bytes whose extension byte now claims CRCs: they
  // would lie in the data (or past the image), so the block is refused.
  Payload stored = test::StoredPayload(Bytes(2, 9));
  Hrst2Options none;
  none.extension = 0;
  Bytes block = test::Hrst2Block(stored, none);
  BlockInfo info = InfoOf(kFormatHrst2, block, 11, 2, true);
  block[10] = 4;
  auto image = test::ExactCopy(block);
  Bytes out(2);
  EXPECT_EQ(12, UnpackHrustBlock(image.get(), out.data(), info).hostCode);
  EXPECT_EQ(12, TestHrustBlock(image.get(), info).hostCode);
}

TEST(UnpackHripBlock, CompressedBlockCrcsAreCheckedOnlyAsArchiveMember) {
  ZANTOR_REQUIRE_CORPUS();
  Payload p = SmallSample();
  ASSERT_FALSE(p.packed.empty());
  const uint32_t size = static_cast<uint32_t>(p.unpacked.size());
  Bytes out(size);

  Hrst2Options wrongPacked;
  wrongPacked.wrongPackedCrc = true;
  Bytes block = test::Hrst2Block(p, wrongPacked);
  BlockInfo info = InfoOf(kFormatHrst2, block, 15, size, false);
  EXPECT_TRUE(UnpackHrustBlock(block.data(), out.data(), info).ok());
  EXPECT_TRUE(TestHrustBlock(block.data(), info).ok());
  // Extension 4: the packed CRC counts only when verifying packed data.
  EXPECT_TRUE(UnpackHripBlock(block.data(), out.data(), false).ok());
  EXPECT_EQ(p.unpacked, out);
  EXPECT_EQ(12, UnpackHripBlock(block.data(), out.data(), true).hostCode);

  Hrst2Options wrongUnpacked;
  wrongUnpacked.wrongUnpackedCrc = true;
  Bytes second = test::Hrst2Block(p, wrongUnpacked);
  EXPECT_TRUE(UnpackHripBlock(second.data(), out.data(), false).failed());

  // Extension 2: the packed CRC is the only one and is always checked.
  Hrst2Options onlyPacked;
  onlyPacked.extension = 2;
  onlyPacked.wrongPackedCrc = true;
  Bytes third = test::Hrst2Block(p, onlyPacked);
  EXPECT_TRUE(UnpackHripBlock(third.data(), out.data(), false).failed());
}

TEST(UnpackHripBlock, StoredBlockWithUnequalSizesIsBadData) {
  Hrst2Options options;
  options.unpackedLength = 10;
  Bytes block = test::Hrst2Block(test::StoredPayload(Bytes(12, 1)), options);
  Bytes out(12);
  EXPECT_EQ(12, UnpackHripBlock(block.data(), out.data(), false).hostCode);
}

TEST(UnpackHripMember, EmptyMemberSucceedsAndFirstFailingBlockEndsTheRun) {
  Bytes image(16, 0);
  MemberFixture empty({}, 0);
  EXPECT_TRUE(UnpackHripMember(image.data(), 16, empty.entry, nullptr, false).ok());

  Payload a = test::StoredPayload(Bytes(20, 1));
  Payload b = test::StoredPayload(Bytes(30, 2));
  Hrst2Options bad;
  bad.wrongUnpackedCrc = true;
  Bytes first = test::Hrst2Block(a);
  Bytes second = test::Hrst2Block(b);
  Bytes joined = test::Concat(first, second);
  auto sound = test::ExactCopy(joined);
  MemberFixture member({0, static_cast<uint32_t>(first.size())}, 50);
  Bytes out(50, kSentinel);
  ASSERT_TRUE(UnpackHripMember(sound.get(), joined.size(), member.entry, out.data(), true).ok());
  EXPECT_EQ(test::Concat(a.unpacked, b.unpacked), out);

  Bytes broken = test::Concat(test::Hrst2Block(a, bad), second);
  std::fill(out.begin(), out.end(), kSentinel);
  EXPECT_EQ(12, UnpackHripMember(broken.data(), broken.size(), member.entry, out.data(), false).hostCode);
  EXPECT_EQ(Bytes(30, kSentinel), Bytes(out.begin() + 20, out.end()));
}

// The entry may come from the analysis cache while the file was replaced by
// another one of the same size and time: nothing in the image is trusted.
TEST(UnpackHripMember, ReplacedImageIsBadDataNeverAFatalErrorOrAWildRead) {
  Payload a = test::StoredPayload(test::Filler(100, 5));
  Bytes block = test::Hrst2Block(a);
  const uint32_t at = 8;
  Bytes original(at, 0);
  test::PlaceAt(original, at, block);
  MemberFixture member({at}, 100);
  Bytes out(100);
  {
    auto image = test::ExactCopy(original);
    ASSERT_TRUE(UnpackHripMember(image.get(), original.size(), member.entry, out.data(), false).ok());
  }

  auto expectBadData = [&](Bytes image, const char* what) {
    auto exact = test::ExactCopy(image);
    Result r = UnpackHripMember(exact.get(), static_cast<uint32_t>(image.size()), member.entry, out.data(), false);
    EXPECT_TRUE(r.failed()) << what;
    EXPECT_EQ(12, r.hostCode) << what;
  };
  Bytes changed = original;
  changed[at + 1] = 'X';
  expectBadData(changed, "signature gone");
  changed = original;
  changed[at + 5] |= 0x80;
  expectBadData(changed, "now a directory record");
  changed = original;
  changed[at + 6] = 99;  // unpacked 99: the sizes no longer add up
  changed[at + 8] = 99;
  expectBadData(changed, "block shorter than the member");
  changed = original;
  changed[at + 6] = 101;  // a block larger than the member
  changed[at + 8] = 101;
  expectBadData(changed, "block larger than the member");
  changed = original;
  changed[at + 9] = 1;  // packed data past the image
  expectBadData(changed, "packed data past the end");
  changed = original;
  changed[at + 10] = 200;  // the header itself past the end
  expectBadData(changed, "header past the end");
  expectBadData(Bytes(original.begin(), original.begin() + at + 10), "header cut short");
  expectBadData(Bytes(original.begin(), original.begin() + at), "position past the end");
}

}  // namespace
}  // namespace zantor
