// Both Hrust 1 checkers against the careful walk alone: the same error,
// consumed and produced on damaged real streams and on chance data, where the
// tight one decides most positions from the first bit word alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "codec/hrust1.h"
#include "codec/hrust1_walk.h"
#include "support/hrust2_runs.h"

namespace zantor::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The checkers on an exactly sized copy.
void ExpectSameCheck(const Bytes& packed, uint32_t expectedSize) {
  Hrust2Outcome careful = CheckHrust2With(CheckHrust1Careful, packed, expectedSize);
  Hrust2Outcome plain = CheckHrust2With(CheckHrust1, packed, expectedSize);
  Hrust2Outcome tight = CheckHrust2With(CheckHrust1Tight, packed, expectedSize);
  ASSERT_EQ(plain, careful) << "input of " << packed.size() << " bytes, expected size " << expectedSize;
  ASSERT_EQ(tight, careful) << "input of " << packed.size() << " bytes, expected size " << expectedSize;
}

TEST(Hrust1CheckTight, MatchesTheCarefulWalkOnDamagedRealStreams) {
  const fs::path root = fs::path(ZANTOR_CORPUS) / "hrust1";
  if (!fs::is_directory(root)) GTEST_SKIP() << "corpus folder absent: " << root;
  std::mt19937 random(13);
  int files = 0;
  for (const auto& item : fs::directory_iterator(root)) {
    if (item.path().extension() != ".hr1") continue;
    SCOPED_TRACE(item.path().filename().string());
    ++files;
    const Bytes block = ReadAll(item.path());
    ASSERT_GT(block.size(), 6u);
    const Bytes packed(block.begin() + 6, block.end());
    const uint32_t size = block[2] | block[3] << 8;
    ExpectSameCheck(packed, size);
    ExpectSameCheck(packed, size - 1);  // too much output near the end
    for (int round = 0; round < 8; ++round) {
      Bytes damaged = packed;
      damaged[random() % damaged.size()] ^= uint8_t(1u << (random() % 8));
      ExpectSameCheck(damaged, size);
      damaged.resize(random() % damaged.size());  // truncated somewhere
      ExpectSameCheck(damaged, size);
    }
  }
  EXPECT_GT(files, 0);
}

// Every position of chance data, as the exhaustive search checks it, and
// with small expected sizes that stop the quick paths.
TEST(Hrust1CheckTight, MatchesTheCarefulWalkAtEveryPositionOfChanceData) {
  std::mt19937 random(7);
  for (bool sparse : {false, true}) {
    // Sparse data, many zeros and small bytes, runs longer before it fails.
    Bytes image(1u << 15);
    for (uint8_t& b : image) b = uint8_t(sparse && random() % 3 != 0 ? random() % 16 * (random() % 2) : random());
    for (uint32_t p = 0; p < image.size(); ++p) {
      for (uint32_t expected : {65280u, p % 80}) {
        DecoderState careful{image.data() + p, uint32_t(image.size() - p), nullptr, expected};
        DecoderState plain = careful;
        DecoderState tight = careful;
        CheckHrust1Careful(careful);
        CheckHrust1(plain);
        CheckHrust1Tight(tight);
        for (const DecoderState* fast : {&plain, &tight}) {
          ASSERT_EQ(fast->error, careful.error) << "position " << p << ", expected size " << expected;
          ASSERT_EQ(fast->consumed, careful.consumed) << "position " << p << ", expected size " << expected;
          ASSERT_EQ(fast->produced, careful.produced) << "position " << p << ", expected size " << expected;
        }
      }
    }
  }
}

}  // namespace
}  // namespace zantor::test
