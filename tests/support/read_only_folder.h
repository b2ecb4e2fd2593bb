#pragma once
// Makes a folder refuse new entries for the lifetime of the object, so tests can make
// a save fail. Removing write permission is enough for a normal user; root ignores
// permissions, so there the folder is also marked immutable where the file system
// allows it. effective() says whether creating a file in the folder now fails.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace trv810::tests {

class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
    ::chmod(folder_.c_str(), 0500);
    if (::geteuid() == 0) immutable_ = setImmutable(true);
  }
  ~ReadOnlyFolder() {
    if (immutable_) setImmutable(false);
    ::chmod(folder_.c_str(), 0700);
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  bool effective() const {
    const std::string probe = (folder_ / ".probe").string();
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return true;
    ::close(fd);
    ::unlink(probe.c_str());
    return false;
  }

 private:
  bool setImmutable(bool on) const {
    const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
  }

  std::filesystem::path folder_;
  bool immutable_ = false;
};

}  // namespace trv810::tests
