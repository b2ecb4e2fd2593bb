#include "platform/file.h"

#include "platform/error_text.h"

namespace trv810::platform {

FileResult FileResult::failure(int error, const std::string& what) {
  return FileResult{false, error, what + ": " + errorText(error)};
}

}  // namespace trv810::platform
