#pragma once
// A fresh folder under the system's temporary directory, removed with everything in
// it when the object goes (write permission is given back first, for tests that take
// it away).

#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>

namespace trv810::tests {

struct TempDir {
  std::filesystem::path path;

  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trv810-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::filesystem::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
    path = pattern;
  }
  ~TempDir() {
    ::chmod(path.c_str(), 0700);
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  /// The path of `name` inside the folder.
  std::string file(const std::string& name) const { return (path / name).string(); }
  /// Writes `bytes` (or `text`) as file `name` and returns its path.
  std::string write(const std::string& name, std::span<const uint8_t> bytes) const {
    std::ofstream(path / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file(name);
  }
  std::string write(const std::string& name, std::string_view text) const {
    std::ofstream(path / name, std::ios::binary) << text;
    return file(name);
  }
};

}  // namespace trv810::tests
