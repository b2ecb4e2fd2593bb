#pragma once
// File access that the loaders and savers share: whole-file reads with a size bound,
// and replacing a file only once its new content is completely on disk.
//
// Input files must be regular files: a path the user got wrong may name a FIFO or a
// device, whose opening or reading could block for ever or take bytes meant for
// someone else. They are opened without waiting and refused unless regular, with
// what they are as the reason.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace trv810::platform {

/// What a path holds, as far as reading and saving care.
enum class FileType { Regular, Directory, Fifo, Socket, CharacterDevice, BlockDevice, Other };

/// Outcome of a file operation: ok, or the OS's error number and its text.
struct FileResult {
  bool ok = true;
  int error = 0;          ///< errno of the failed call (on Windows the closest one); 0 for a path
                          ///< that is neither file nor folder
  std::string message;    ///< the OS's text for it, with the path
  FileType type = FileType::Regular;  ///< what the path holds, when that was the failure
  explicit operator bool() const { return ok; }
  static FileResult failure(int error, const std::string& what);
  /// `path` holds a `type` where a regular file was needed (a folder fails with EISDIR).
  static FileResult notRegular(FileType type, const std::string& path);
};

/// Writes `bytes` to a temporary file beside the file that `path` names and renames it
/// over that file once it is completely on disk. A symbolic link is followed: the
/// file it leads to is replaced and the link stays. A replaced file's mode is kept, and
/// its owner where the process may set it. An existing target that is not a regular
/// file is refused. On any failure the target is untouched and the temporary file is
/// removed.
FileResult writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes);

/// Whether a file can be created where `path` names one: its folder ("." for a bare
/// name) takes new files. Checked before work that ends in a save; a failure names
/// the folder.
FileResult checkFolderWritableFor(const std::string& path);

/// Reads at most `limit` bytes of the regular file at `path` into `out` (resized to
/// what was read). `truncated` tells whether the file held more than `limit` bytes.
FileResult readFileUpTo(const std::string& path, std::size_t limit, std::vector<uint8_t>& out,
                        bool* truncated = nullptr);

}  // namespace trv810::platform
