#include "platform/settings.h"

#include <algorithm>

namespace trv810::platform {

std::string SettingsStore::text(std::string_view key, std::string_view fallback) const {
  const auto found = values_.find(key);
  if (found != values_.end())
    if (const auto* value = std::get_if<std::string>(&found->second)) return *value;
  return std::string(fallback);
}

std::vector<std::string> SettingsStore::list(std::string_view key) const {
  const auto found = values_.find(key);
  if (found != values_.end())
    if (const auto* values = std::get_if<std::vector<std::string>>(&found->second)) return *values;
  return {};
}

void SettingsStore::setText(std::string_view key, std::string value) {
  values_.insert_or_assign(std::string(key), std::move(value));
}

void SettingsStore::setList(std::string_view key, std::vector<std::string> values) {
  std::erase(values, std::string());
  values_.insert_or_assign(std::string(key), std::move(values));
}

void SettingsStore::remove(std::string_view key) {
  if (const auto found = values_.find(key); found != values_.end()) values_.erase(found);
}

bool MemorySettings::save() {
  if (!writable) return false;
  saved_ = values_;
  ++saves;
  return true;
}

}  // namespace trv810::platform
