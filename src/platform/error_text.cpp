#include "platform/error_text.h"

#include <cerrno>
#include <cstring>

#include "platform/texts.h"

namespace trv810::platform {

std::string errorText(int error) {
  switch (error) {
    case ENOENT: return std::string(texts::kNoEntry);
    case EACCES:
    case EPERM: return std::string(texts::kNoPermission);
    case EISDIR: return std::string(texts::kIsDirectory);
    case ENOTDIR: return std::string(texts::kNotDirectory);
    case ENOSPC: return std::string(texts::kNoSpace);
#ifdef EDQUOT
    case EDQUOT: return std::string(texts::kQuota);
#endif
    case EROFS: return std::string(texts::kReadOnlyFileSystem);
    case EEXIST: return std::string(texts::kExists);
    case ENAMETOOLONG: return std::string(texts::kNameTooLong);
#ifdef ELOOP
    case ELOOP: return std::string(texts::kLinkLoop);
#endif
    case EMFILE:
    case ENFILE: return std::string(texts::kTooManyFiles);
    case EIO: return std::string(texts::kInputOutput);
    case EBUSY: return std::string(texts::kBusy);
    case ENXIO: return std::string(texts::kNoDeviceOrAddress);
    case ENODEV: return std::string(texts::kNoDevice);
    case EFBIG: return std::string(texts::kFileTooLarge);
    case ENOMEM: return std::string(texts::kNoMemory);
    case EINVAL: return std::string(texts::kInvalidArgument);
    case EAGAIN: return std::string(texts::kTryAgain);
    case ECONNREFUSED: return std::string(texts::kConnectionRefused);
    case ECONNRESET: return std::string(texts::kConnectionReset);
    case ECONNABORTED: return std::string(texts::kConnectionAborted);
    case EPIPE: return std::string(texts::kBrokenPipe);
    case ETIMEDOUT: return std::string(texts::kTimedOut);
    case EHOSTUNREACH: return std::string(texts::kHostUnreachable);
    case ENETUNREACH: return std::string(texts::kNetworkUnreachable);
    case ENETDOWN: return std::string(texts::kNetworkDown);
#ifdef EHOSTDOWN
    case EHOSTDOWN: return std::string(texts::kHostDown);
#endif
#ifdef ETXTBSY
    case ETXTBSY: return std::string(texts::kFileBusy);
#endif
    default: break;
  }
  return texts::otherSystemError(error, std::strerror(error));
}

std::string readOnlyText() { return std::string(texts::kReadOnly); }

std::string notRegularText(FileType type) {
  const std::string notAFile(texts::kNotAFile);
  switch (type) {
    case FileType::Directory: return notAFile + std::string(texts::kButADirectory);
    case FileType::Fifo: return notAFile + std::string(texts::kButAFifo);
    case FileType::Socket: return notAFile + std::string(texts::kButASocket);
    case FileType::CharacterDevice: return notAFile + std::string(texts::kButACharacterDevice);
    case FileType::BlockDevice: return notAFile + std::string(texts::kButABlockDevice);
    case FileType::Regular:
    case FileType::Other: break;
  }
  return notAFile;
}

}  // namespace trv810::platform
