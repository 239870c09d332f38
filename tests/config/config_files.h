// Configuration files for the settings tests: a scratch folder and whole-file
// text access in binary mode (the line breaks matter).
#pragma once
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "config/settings.h"

namespace zantor {

class ScratchFolder {
 public:
  ScratchFolder() {
    static int serial = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("zantor-config-" + std::to_string(std::rand()) + "-" + std::to_string(++serial));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const char* name) const { return (path_ / name).string(); }
  std::string Path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Puts the global settings back to the defaults and uses path as the
// configuration file.
inline void ResetSettings(const std::string& path) {
  SetSettings(DefaultSettings(), false);
  SetConfigPath(path.c_str());
}

}  // namespace zantor
