#pragma once
// File access that the loaders and savers share: whole-file reads with a size bound,
// and replacing a file only once its new content is completely on disk.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace trv810::platform {

/// Outcome of a file operation: ok, or the OS's error number and its text.
struct FileResult {
  bool ok = true;
  int error = 0;          ///< errno of the failed call (on Windows the closest one)
  std::string message;    ///< the OS's text for it, with the path
  explicit operator bool() const { return ok; }
  static FileResult failure(int error, const std::string& what);
};

/// Writes `bytes` to a temporary file in the folder of `path`, flushes it to disk and
/// renames it over `path`. On any failure `path` is untouched and the temporary file
/// is removed.
FileResult writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes);

/// Whether a file can be created where `path` names one: its folder ("." for a bare
/// name) takes new files. Checked before work that ends in a save; a failure names
/// the folder.
FileResult checkFolderWritableFor(const std::string& path);

/// Reads at most `limit` bytes of the file into `out` (resized to what was read).
/// `truncated` tells whether the file held more than `limit` bytes.
FileResult readFileUpTo(const std::string& path, std::size_t limit, std::vector<uint8_t>& out,
                        bool* truncated = nullptr);

}  // namespace trv810::platform
