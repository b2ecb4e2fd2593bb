#include "platform/file.h"

#include <algorithm>
#include <cerrno>

#include "platform/error_text.h"
#include "platform/file_reader.h"

namespace trv810::platform {

FileResult FileResult::failure(int error, const std::string& what) {
  return FileResult{false, error, what + ": " + errorText(error)};
}

FileResult FileResult::notRegular(FileType type, const std::string& path) {
  if (type == FileType::Directory) {
    FileResult r = failure(EISDIR, path);
    r.type = type;
    return r;
  }
  return FileResult{false, 0, path + ": " + notRegularText(type), type};
}

FileResult FileResult::readOnly(const std::string& path) {
  return FileResult{false, EACCES, path + ": " + readOnlyText()};
}

FileResult readFileUpTo(const std::string& path, std::size_t limit, std::vector<uint8_t>& out,
                        bool* truncated) {
  out.clear();
  if (truncated) *truncated = false;
  FileReader file;
  if (FileResult opened = file.open(path); !opened) return opened;
  out.resize(std::min(limit, static_cast<std::size_t>(file.size())));
  std::size_t got = 0;
  if (FileResult read = file.read(out, got); !read) {
    out.clear();
    return read;
  }
  out.resize(got);
  if (truncated && got == limit) {  // a file that grew since its size was taken counts too
    uint8_t extra = 0;
    std::size_t more = 0;
    if (FileResult probe = file.read({&extra, 1}, more); !probe) return probe;
    *truncated = more > 0;
  }
  return {};
}

}  // namespace trv810::platform
