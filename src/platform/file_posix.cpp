// Files on POSIX systems.

#include "platform/file.h"

#include "platform/file_type_posix.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace trv810::platform {
namespace {

// Closes the descriptor when it goes out of scope.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

bool writeAll(int fd, const uint8_t* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// The file a save to `path` replaces: `path` itself, or where its symbolic links lead
// (a relative link counts from the link's folder). A link that leads to no file yet
// names the file to create. Renaming over the link itself would turn it into a plain
// file and leave its target stale.
FileResult followLinks(const std::string& path, std::string& target) {
  constexpr int kMaxLinks = 40;  // as the kernel allows in one path
  target = path;
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return {};
    std::error_code error;
    const std::filesystem::path link = target;
    const std::filesystem::path next = std::filesystem::read_symlink(link, error);
    if (error) return FileResult::failure(error.value(), path);
    target = (next.is_absolute() ? next : link.parent_path() / next).string();
  }
  return FileResult::failure(ELOOP, path);
}

// The folder a file at `target` lives in: "." for a bare name.
std::string folderOf(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
}

// Whether the existing regular file `target` (whose stat is `st`) may be replaced. A
// file without any write permission bit is read-only by its owner's wish, which root,
// whom access() lets write anything, respects too.
FileResult checkWritable(const std::string& target, const struct stat& st) {
  if ((st.st_mode & 0222) == 0) return FileResult::readOnly(target);
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return FileResult::failure(errno, target);
  return {};
}

// Gives the new file `fd` the mode and, where the process may, the owner of the file
// `old` it replaces. Another user's file can be saved by one who may write it but not
// give it away (EPERM): it then becomes theirs, with the old permission bits.
FileResult keepModeAndOwner(int fd, const struct stat& old, const std::string& path) {
  mode_t mode = old.st_mode & 0777;
  if (::fchown(fd, old.st_uid, old.st_gid) == 0)
    mode = old.st_mode & 07777;  // after fchown, which clears set-id bits
  else if (errno != EPERM)
    return FileResult::failure(errno, path);
  if (::fchmod(fd, mode) != 0) return FileResult::failure(errno, path);
  return {};
}

// Holds back Ctrl-C, SIGTERM and SIGHUP on this thread while it saves, so that ending
// the program leaves neither a temporary file beside the target nor a target half
// replaced: a request that came meanwhile takes effect once the save is over (or, when
// the program already waits for such requests, stays pending for it).
class TerminationDeferred {
 public:
  TerminationDeferred() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, signal);
    ::pthread_sigmask(SIG_BLOCK, &set, &old_);
  }
  ~TerminationDeferred() { ::pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
  TerminationDeferred(const TerminationDeferred&) = delete;
  TerminationDeferred& operator=(const TerminationDeferred&) = delete;

 private:
  sigset_t old_{};
};

}  // namespace

FileResult writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes) {
  std::string target;
  if (FileResult followed = followLinks(path, target); !followed) return followed;
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  if (replacing) {
    // A device or FIFO would be swapped for a plain file (as root even /dev/null).
    if (!S_ISREG(old.st_mode)) return FileResult::notRegular(fileTypeOf(old.st_mode), target);
    // The rename needs only the folder's permission: the file's own is checked here.
    if (FileResult writable = checkWritable(target, old); !writable) return writable;
  }

  const TerminationDeferred deferred;
  // A short name of its own: the target's name plus a suffix could exceed NAME_MAX.
  std::string temp = folderOf(target) + "/.trv810-XXXXXX";
  Fd file{::mkstemp(temp.data())};
  if (file.fd < 0) return FileResult::failure(errno, target);
  const auto fail = [&](int err) {
    ::unlink(temp.c_str());
    return FileResult::failure(err, target);
  };
  if (replacing) {
    if (FileResult kept = keepModeAndOwner(file.fd, old, target); !kept) {
      ::unlink(temp.c_str());
      return kept;
    }
  } else {
    // mkstemp creates the file 0600; give it the mode a newly created file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(file.fd, 0666 & ~mask);
  }
  if (!writeAll(file.fd, bytes.data(), bytes.size()) || ::fsync(file.fd) != 0) return fail(errno);
  const int closed = ::close(file.fd);
  file.fd = -1;
  if (closed != 0) return fail(errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) return fail(errno);
  return {};
}

FileResult checkSaveTarget(const std::string& path) {
  // The file is saved where a link leads, so that file and its folder are the ones to check.
  std::string target;
  if (FileResult followed = followLinks(path, target); !followed) return followed;
  if (struct stat st {}; ::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return FileResult::notRegular(fileTypeOf(st.st_mode), target);
    if (FileResult writable = checkWritable(target, st); !writable) return writable;
  }
  const std::string folder = folderOf(target);
  if (::access(folder.c_str(), W_OK) == 0) return {};
  return FileResult::failure(errno, folder);
}

}  // namespace trv810::platform
