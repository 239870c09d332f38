// Scratch files for the plugin tests: a private folder removed with
// everything in it, and file times read and set through the product's File.
#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "plugin/file.h"

namespace zantor::test {

// A fresh folder under the system's temporary folder; removed on destruction.
class TempFolder {
 public:
  TempFolder() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    auto p = std::filesystem::temp_directory_path() /
             ("zantor_" + std::to_string(stamp) + "_" + std::to_string(counter.fetch_add(1)));
    std::filesystem::create_directories(p);
    path_ = p.string();
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return (std::filesystem::path(path_) / name).string(); }

 private:
  std::string path_;
};

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// FILETIME (100 ns units since 1601, UTC) of a UTC calendar time.
inline uint64_t FileTimeOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  const int y = year - (month <= 2);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const int64_t daysSince1601 = int64_t{era} * 146097 + doe - 719468 + 134774;
  return static_cast<uint64_t>(daysSince1601 * 86400 + hour * 3600 + minute * 60 + second) * 10000000u;
}

inline bool SetLastWriteTime(const std::string& path, uint64_t fileTime) {
  zantor::File file{};
  bool done = file.Open(path.c_str(), true, kOpenExisting, false, false, false).ok() && file.SetTimes(0, fileTime);
  done = file.Close(true).ok() && done;
  file.Destroy();
  return done;
}

// 0 when the time cannot be read.
inline uint64_t LastWriteTime(const std::string& path) {
  zantor::File file{};
  uint64_t time = 0;
  if (file.Open(path.c_str(), false, kOpenExisting, false, false, false).ok() && !file.ReadLastWriteTime(&time))
    time = 0;
  file.Close(true);
  file.Destroy();
  return time;
}

}  // namespace zantor::test
