#pragma once
// Reading a configuration's JSON file for import and diff.

#include <string>
#include <vector>

#include "cli/texts.h"
#include "config/config_json.h"
#include "config/texts.h"
#include "platform/file.h"

namespace trv810::cli {

/// Larger files are refused unread: the document of a configuration is about 12 KiB.
inline constexpr std::size_t kMaxJsonFileSize = 1 << 20;

/// Reads and imports the JSON file at `path`. On failure `error` holds the message and
/// `detail` a second line (the path, or what the field admits).
inline bool loadJsonFile(const std::string& path, config::JsonImport& out, std::string& error, std::string& detail) {
  std::vector<uint8_t> bytes;
  bool truncated = false;
  if (const platform::FileResult read = platform::readFileUpTo(path, kMaxJsonFileSize, bytes, &truncated); !read) {
    error = std::string(config::texts::kFileNotFound);
    detail = read.message;
    return false;
  }
  if (truncated) {
    error = texts::jsonTooLarge(kMaxJsonFileSize / 1024);
    return false;
  }
  out = config::importJson(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (out.ok()) return true;
  error = out.error();
  detail = out.hint;
  return false;
}

}  // namespace trv810::cli
