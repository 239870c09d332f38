// Every Hrust 1 file of the reference corpus, packed by an independent
// packer, must unpack to its original and pass both stream checkers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "codec/hrust1.h"

namespace zantor {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Hrust1Corpus, EveryFileDecodesAndPassesTheCheck) {
  fs::path root = fs::path(ZANTOR_CORPUS);
  if (!fs::is_directory(root / "hrust1")) GTEST_SKIP() << "corpus folder absent: " << root;
  int files = 0;
  for (const auto& item : fs::directory_iterator(root / "hrust1")) {
    if (item.path().extension() != ".hr1") continue;
    SCOPED_TRACE(item.path().filename().string());
    ++files;
    std::vector<uint8_t> block = ReadAll(item.path());
    std::vector<uint8_t> plain = ReadAll(root / "plain" / item.path().stem());
    ASSERT_GT(block.size(), 6u);
    ASSERT_EQ(block[0], 'H');
    ASSERT_EQ(block[1], 'R');
    uint32_t unpackedSize = block[2] | block[3] << 8;
    uint32_t totalSize = block[4] | block[5] << 8;
    ASSERT_EQ(totalSize, block.size());
    ASSERT_EQ(unpackedSize, plain.size());

    // Exactly sized copies, so that a stray access shows under a sanitizer.
    uint32_t packedSize = totalSize - 6;
    std::unique_ptr<uint8_t[]> packed(new uint8_t[packedSize]);
    std::copy(block.begin() + 6, block.end(), packed.get());
    std::unique_ptr<uint8_t[]> output(new uint8_t[unpackedSize]);

    DecoderState decode{packed.get(), packedSize, output.get(), unpackedSize};
    DecodeHrust1(decode);
    EXPECT_EQ(FinishStatus(decode), kDecodeOk);
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), output.get()));

    DecoderState check{packed.get(), packedSize, nullptr, unpackedSize};
    CheckHrust1(check);
    EXPECT_EQ(FinishStatus(check), kDecodeOk);
    EXPECT_EQ(check.consumed, decode.consumed);
    EXPECT_EQ(check.produced, decode.produced);

    DecoderState tight{packed.get(), packedSize, nullptr, unpackedSize};
    CheckHrust1Tight(tight);
    EXPECT_EQ(FinishStatus(tight), kDecodeOk);
    EXPECT_EQ(tight.consumed, check.consumed);
    EXPECT_EQ(tight.produced, check.produced);
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace zantor
