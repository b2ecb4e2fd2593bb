#include "app/remembered.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

namespace trv810::app {
namespace {

constexpr std::string_view kPort = "port";
constexpr std::string_view kPosition = "mainWindowPosition";

std::string_view folderKey(FileKind kind) {
  return kind == FileKind::Configuration ? "configFolder" : "firmwareFolder";
}
std::string_view recentKey(FileKind kind) {
  return kind == FileKind::Configuration ? "recentConfigs" : "recentFirmware";
}

// The folder that holds `path` (UTF-8, in the platform's own form: on Windows both
// separators and a drive count); empty for a bare file name.
std::string folderOf(const std::string& path) {
  const std::u8string_view chars(reinterpret_cast<const char8_t*>(path.data()), path.size());
  const std::u8string folder = std::filesystem::path(chars).parent_path().u8string();
  return {reinterpret_cast<const char*>(folder.data()), folder.size()};
}

// The first `kRecentFiles` distinct entries of `files`, in their order.
std::vector<std::string> distinctRecent(const std::vector<std::string>& files) {
  std::vector<std::string> out;
  for (const std::string& file : files) {
    if (out.size() == Remembered::kRecentFiles) break;
    if (std::find(out.begin(), out.end(), file) == out.end()) out.push_back(file);
  }
  return out;
}

bool parseInt(std::string_view text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::string Remembered::port() const { return store_.text(kPort); }

void Remembered::setPort(const std::string& port) {
  if (port == this->port()) return;
  store_.setText(kPort, port);
  store_.save();
}

std::string Remembered::folder(FileKind kind) const { return store_.text(folderKey(kind)); }

std::vector<std::string> Remembered::recentFiles(FileKind kind) const {
  return distinctRecent(store_.list(recentKey(kind)));
}

bool Remembered::setFolderFrom(FileKind kind, const std::string& path) {
  const std::string folder = folderOf(path);
  if (folder.empty() || folder == this->folder(kind)) return false;
  store_.setText(folderKey(kind), folder);
  return true;
}

void Remembered::noteChosenFile(FileKind kind, const std::string& path) {
  if (setFolderFrom(kind, path)) store_.save();
}

void Remembered::noteUsedFile(FileKind kind, const std::string& path) {
  if (path.empty()) return;
  std::vector<std::string> files = store_.list(recentKey(kind));
  files.insert(files.begin(), path);
  files = distinctRecent(files);
  const bool listChanged = files != recentFiles(kind);
  if (listChanged) store_.setList(recentKey(kind), files);
  if (setFolderFrom(kind, path) || listChanged) store_.save();
}

std::optional<WindowPosition> Remembered::mainWindowPosition() const {
  const std::string text = store_.text(kPosition);
  const std::size_t comma = text.find(',');
  WindowPosition position;
  if (comma == std::string::npos || !parseInt(std::string_view(text).substr(0, comma), position.x) ||
      !parseInt(std::string_view(text).substr(comma + 1), position.y))
    return std::nullopt;
  return position;
}

void Remembered::setMainWindowPosition(WindowPosition position) {
  if (mainWindowPosition() == position) return;
  store_.setText(kPosition, std::to_string(position.x) + "," + std::to_string(position.y));
  store_.save();
}

void RememberedFiles::prepare(window::FileDialogRequest& request) const {
  request.recentFiles = remembered_.recentFiles(kind_);
  request.startFolder = remembered_.folder(kind_);
  if (request.startPath.empty() && !request.recentFiles.empty() &&
      folderOf(request.recentFiles.front()) == request.startFolder)
    request.startPath = request.recentFiles.front();
}

}  // namespace trv810::app
