#pragma once
// A fresh folder under the system's temporary directory, removed with everything in
// it when the object goes (write permission is given back first, for tests that take
// it away).

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <span>
#include <string>
#include <string_view>

namespace trv810::tests {

struct TempDir {
  std::filesystem::path path;

  TempDir() {
    // A name nobody has taken: create_directory() says false when it exists already.
    std::random_device random;
    do path = std::filesystem::temp_directory_path() / ("trv810-test-" + std::to_string(random()));
    while (!std::filesystem::create_directory(path));
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
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

/// The whole content of the file at `path`, as bytes in a string ("" when unreadable).
inline std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace trv810::tests
