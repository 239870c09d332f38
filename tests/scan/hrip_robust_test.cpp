// Damaged copies of a small valid archive: every truncation and every single
// flipped byte. The reader and the member unpacker must come back with a
// value, never stop the process and never read outside the exact-size image
// (the sanitizer build catches such reads).
#include <gtest/gtest.h>

#include "scan/dispatch.h"
#include "scan/hrip_support.h"

namespace zantor {
namespace {

using test::Bytes;

Bytes SmallArchive() {
  test::HripArchive a;
  test::Hrst2Options first;
  first.flags = 0;
  first.descriptor = test::Descriptor("stored", 'C', 0x8000, 40, 0);
  a.body.push_back(test::Hrst2Block(test::StoredPayload(test::Filler(40, 9)), first));
  if (test::CorpusPresent()) {
    a.body.push_back(test::Hrst2Block(test::Hrust2Sample("ziutek_shock7__1992_.stc")));
  } else {
    a.body.push_back(test::Hrst2Block(test::StoredPayload(test::Filler(60, 10))));
  }
  a.body.push_back(test::DirectoryRecord("dir"));
  test::Hrst2Options plain;
  plain.extension = 2;
  a.body.push_back(test::Hrst2Block(test::StoredPayload(test::Filler(16, 11)), plain));
  a.records = {test::CatalogueRecord("one", 'C', 1), test::CatalogueRecord("dir", 'D', 0),
               test::CatalogueRecord("two", 'C', 2)};
  return test::BuildHripArchive(a);
}

// Unpacks every member that the listing would offer for extraction, each
// into a buffer of exactly its size, from the given image.
void UnpackAll(const ParsedHrip& listing, const uint8_t* image, uint32_t imageSize) {
  for (uint32_t i = 0; i < listing.Count(); ++i) {
    const Entry& e = listing.At(i);
    if (e.bad) continue;
    Bytes out(e.member.unpackedSize);
    for (bool verify : {false, true}) {
      Result r = UnpackHripMember(image, imageSize, e, out.data(), verify);
      if (r.failed()) {
        EXPECT_EQ(12, r.hostCode);
      }
    }
  }
}

TEST(HripRobustness, EveryTruncationAndFlippedByte) {
  const Bytes archive = SmallArchive();
  {
    ParsedHrip sound(archive);
    ASSERT_TRUE(sound.result.ok());
    ASSERT_EQ(3u, sound.Count());
    ASSERT_EQ(0, sound.analysis.hripDamaged);
  }
  std::vector<Bytes> variants;
  for (size_t n = 0; n < archive.size(); ++n) variants.emplace_back(archive.begin(), archive.begin() + n);
  for (size_t i = 0; i < archive.size(); ++i) {
    for (uint8_t mask : {0xFF, 0x01, 0x80}) {
      Bytes v = archive;
      v[i] ^= mask;
      variants.push_back(v);
    }
  }
  for (const Bytes& v : variants) {
    ParsedHrip p(v);
    if (p.result.failed()) {
      EXPECT_EQ(13, p.result.hostCode);
      continue;
    }
    EXPECT_LE(p.analysis.hripLength, v.size());
    UnpackAll(p, p.image.get(), p.imageSize);
  }
}

// The listing of the sound archive applied to damaged images of the same or
// a smaller size: what a cached listing meets when the file was replaced.
TEST(HripRobustness, SoundListingOverReplacedImages) {
  const Bytes archive = SmallArchive();
  ParsedHrip listing(archive);
  ASSERT_TRUE(listing.result.ok());
  for (size_t i = 0; i < archive.size(); ++i) {
    Bytes flipped = archive;
    flipped[i] ^= 0xFF;
    auto image = test::ExactCopy(flipped);
    UnpackAll(listing, image.get(), static_cast<uint32_t>(flipped.size()));
    Bytes cut(archive.begin(), archive.begin() + i);
    auto shorter = test::ExactCopy(cut);
    UnpackAll(listing, shorter.get(), static_cast<uint32_t>(cut.size()));
  }
}

}  // namespace
}  // namespace zantor
