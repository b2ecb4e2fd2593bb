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
  /// The file at `path` is marked read-only (no write permission bit on POSIX, the
  /// read-only attribute on Windows): a save must not replace it. EACCES.
  static FileResult readOnly(const std::string& path);
};

/// Writes `bytes` to a temporary file beside the file that `path` names and renames it
/// over that file once it is completely on disk. The temporary file has a short name
/// of its own, so any name the folder takes can be saved. A symbolic link is followed:
/// the file it leads to is replaced and the link stays. A replaced file's mode is
/// kept, and its owner where the process may set it. An existing target that is not a
/// regular file, that is marked read-only or that the user may not write is refused.
/// On any failure the target is untouched and the temporary file is removed. A request
/// to end the program (Ctrl-C, SIGTERM, SIGHUP) that comes meanwhile takes effect only
/// once the save is done or undone.
FileResult writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes);

/// Whether a save to `path` can go through, as far as can be told before the work that
/// ends in it: an existing target must be a regular file that is not read-only and
/// that the user may write, and its folder ("." for a bare name) must take new files.
/// A failure names the target or the folder.
FileResult checkSaveTarget(const std::string& path);

/// Reads at most `limit` bytes of the regular file at `path` into `out` (resized to
/// what was read). `truncated` tells whether the file held more than `limit` bytes.
FileResult readFileUpTo(const std::string& path, std::size_t limit, std::vector<uint8_t>& out,
                        bool* truncated = nullptr);

}  // namespace trv810::platform
