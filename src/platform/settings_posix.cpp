// The settings on POSIX systems: one text file, settings.conf, in the folder trv810 of
// the user's configuration folder ($XDG_CONFIG_HOME, or ~/.config when that is unset
// or not absolute). One line per value:
//
//   port=COM3                    a text
//   recentConfigs[]=/home/a.kfg  one entry of a list, in the list's order
//
// A backslash escapes itself, and \n and \r stand for a line feed and a carriage
// return, so every text fits on its line. A file with a line of any other shape is
// corrupt and gives no values at all: half of it would mix old values with defaults.
// A save writes the whole file beside the old one and renames it over it, so a
// crash or a full disk leaves either the old file or the new one.

#include "platform/settings.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>

#include "platform/file.h"

namespace trv810::platform {
namespace {

constexpr std::size_t kMaxFileSize = 64 * 1024;  // far above what the program stores
constexpr std::string_view kListSuffix = "[]";

bool validKey(std::string_view key) {
  return !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  });
}

std::string escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

std::optional<std::string> unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case '\\': out += '\\'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return std::nullopt;
    }
  }
  return out;
}

// The values of a settings file; nullopt when any line is not of the shape above.
std::optional<SettingsStore::Values> parse(std::string_view file) {
  SettingsStore::Values values;
  while (!file.empty()) {
    const std::size_t end = std::min(file.find('\n'), file.size());
    const std::string_view line = file.substr(0, end);
    file.remove_prefix(std::min(end + 1, file.size()));
    if (line.empty()) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    std::string_view key = line.substr(0, equals);
    const bool entry = key.ends_with(kListSuffix);
    if (entry) key.remove_suffix(kListSuffix.size());
    std::optional<std::string> value = unescaped(line.substr(equals + 1));
    if (!validKey(key) || !value) return std::nullopt;
    if (entry) {
      auto [at, added] = values.try_emplace(std::string(key), std::vector<std::string>{});
      auto* list = std::get_if<std::vector<std::string>>(&at->second);
      if (!list) return std::nullopt;  // a key given as a text and as a list
      if (!value->empty()) list->push_back(std::move(*value));
    } else if (!values.try_emplace(std::string(key), std::move(*value)).second) {
      return std::nullopt;  // a key given twice
    }
  }
  return values;
}

// Creates `folder` and the folders above it that are missing, each for the user alone,
// as the XDG base directory rules ask for configuration folders.
bool makeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

class FileSettings final : public SettingsStore {
 public:
  explicit FileSettings(std::string folder) : folder_(std::move(folder)) {}

  void load() override {
    values_.clear();
    if (folder_.empty()) return;
    std::vector<uint8_t> bytes;
    bool truncated = false;
    if (!readFileUpTo(file(), kMaxFileSize, bytes, &truncated) || truncated) return;
    if (auto values = parse({reinterpret_cast<const char*>(bytes.data()), bytes.size()})) values_ = std::move(*values);
  }

  bool save() override {
    if (folder_.empty() || !makeFolders(folder_)) return false;
    std::string text;
    for (const auto& [key, value] : values_) {
      if (const auto* single = std::get_if<std::string>(&value)) {
        text += key + "=" + escaped(*single) + "\n";
      } else {
        for (const std::string& entry : std::get<std::vector<std::string>>(value))
          text += key + std::string(kListSuffix) + "=" + escaped(entry) + "\n";
      }
    }
    return static_cast<bool>(
        writeFileReplacing(file(), {reinterpret_cast<const uint8_t*>(text.data()), text.size()}));
  }

 private:
  std::string file() const { return folder_ + "/settings.conf"; }
  std::string folder_;  // empty when the user has no home to keep settings in
};

std::string userFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return std::string(config) + "/trv810";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config/trv810";
  return {};
}

}  // namespace

std::unique_ptr<SettingsStore> openSettingsAt(const std::string& place) {
  auto store = std::make_unique<FileSettings>(place);
  store->load();
  return store;
}

std::unique_ptr<SettingsStore> openUserSettings() { return openSettingsAt(userFolder()); }

}  // namespace trv810::platform
