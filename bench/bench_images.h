// Test images for the benchmarks: 4 MiB of random bytes, and the same with
// 200 corpus blocks of every kind (HR, hr21, Hrst2, embedded Hrip archive)
// spread in them, one per 20 KiB slot.
#pragma once
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace zantor {
namespace bench {

using Bytes = std::vector<uint8_t>;

constexpr size_t kImageSize = 4u << 20;

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes RandomImage() {
  std::mt19937_64 random(2024);
  Bytes image(kImageSize);
  for (auto& b : image) b = static_cast<uint8_t>(random());
  return image;
}

// A "Hrst2" block around the stream of an "hr21" file.
inline Bytes Hrst2FromHr21(const Bytes& hr21) {
  Bytes out{'H', 'r', 's', 't', '2', 0x02, hr21[4], hr21[5], hr21[6], hr21[7], 0};
  out.insert(out.end(), hr21.begin() + 8, hr21.end());
  return out;
}

// A one-member Hrip archive (no catalogue) holding the "Hrst2" block.
inline Bytes HripFromHrst2(const Bytes& hrst2) {
  uint32_t length = 8 + static_cast<uint32_t>(hrst2.size());
  uint32_t sectors = (length + 255) / 256;
  Bytes out{'H', 'R', 'i', 0, uint8_t(length % 256), uint8_t(sectors), uint8_t(sectors >> 8), 0};
  out.insert(out.end(), hrst2.begin(), hrst2.end());
  return out;
}

inline Bytes BlocksImage() {
  const std::vector<std::string> names = {"pic1", "pic2", "pic3", "xargs.1", "grammar.lsp", "obj1",
                                          "ziutek_shock7__1992_.stc", "mmcm_assured__2000_.pt3"};
  std::vector<Bytes> blocks;
  for (const std::string& name : names) {
    Bytes hr1 = ReadFile(std::string(ZANTOR_CORPUS) + "/hrust1/" + name + ".hr1");
    Bytes hr21 = ReadFile(std::string(ZANTOR_CORPUS) + "/hrust2/" + name + ".hr21");
    if (hr1.size() < 6 || hr21.size() < 8) continue;
    blocks.push_back(hr1);
    blocks.push_back(hr21);
    blocks.push_back(Hrst2FromHr21(hr21));
    blocks.push_back(HripFromHrst2(Hrst2FromHr21(hr21)));
  }
  Bytes image = RandomImage();
  if (blocks.empty()) return image;
  std::mt19937 random(7);
  // 200 blocks at random positions, one per 20 KiB slot.
  const size_t slot = kImageSize / 200;
  for (size_t i = 0; i < 200; ++i) {
    const Bytes& block = blocks[i % blocks.size()];
    if (block.size() >= slot) continue;
    size_t at = i * slot + random() % (slot - block.size());
    std::memcpy(image.data() + at, block.data(), block.size());
  }
  return image;
}

}  // namespace bench
}  // namespace zantor
