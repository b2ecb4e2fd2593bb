#pragma once
// What a stat() mode says a path holds, for the POSIX file services.

#include <sys/stat.h>

#include "platform/file.h"

namespace trv810::platform {

inline FileType fileTypeOf(mode_t mode) {
  if (S_ISREG(mode)) return FileType::Regular;
  if (S_ISDIR(mode)) return FileType::Directory;
  if (S_ISFIFO(mode)) return FileType::Fifo;
  if (S_ISSOCK(mode)) return FileType::Socket;
  if (S_ISCHR(mode)) return FileType::CharacterDevice;
  if (S_ISBLK(mode)) return FileType::BlockDevice;
  return FileType::Other;
}

}  // namespace trv810::platform
