#include "support/fuzz_seeds.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace zantor::test {

void SaveFuzzSeed(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) {
  const char* root = std::getenv("ZANTOR_FUZZ_SEEDS");
  if (root == nullptr || *root == '\0') return;
  const std::filesystem::path dir = std::filesystem::path(root) / target;
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  // A lost seed only weakens fuzzing, but a folder that cannot be written is a setup fault worth seeing.
  EXPECT_TRUE(out.good()) << "cannot write fuzz seed " << (dir / name).string();
}

}  // namespace zantor::test
