// The settings on Windows: the values of one registry key below HKEY_CURRENT_USER,
// Software\TRV810\TRV810-Tool for the user's. A text is a REG_SZ value, a list a
// REG_MULTI_SZ value (which is why lists hold no empty entries). A value of another
// type, or one that changes while it is read, is passed over as if it were not there;
// a missing key gives no values. A save sets every value held in memory and deletes
// the key's values that are no longer held.

#include "platform/settings.h"

#include <algorithm>
#include <iterator>

#include "platform/win32.h"

namespace trv810::platform {
namespace {

using win32::narrow;
using win32::widen;

constexpr DWORD kMaxValueBytes = 64 * 1024;  // far above what the program stores

struct Key {
  HKEY h = nullptr;
  ~Key() {
    if (h) ::RegCloseKey(h);
  }
};

// The texts of a REG_MULTI_SZ value's characters: NUL-separated, ended by an empty one.
std::vector<std::string> splitMulti(std::wstring_view chars) {
  std::vector<std::string> out;
  while (!chars.empty() && chars.front() != L'\0') {
    const std::size_t end = std::min(chars.find(L'\0'), chars.size());
    out.push_back(narrow(chars.substr(0, end)));
    chars.remove_prefix(std::min(end + 1, chars.size()));
  }
  return out;
}

bool setValue(HKEY key, const std::string& name, DWORD type, const std::wstring& chars) {
  return ::RegSetValueExW(key, widen(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(chars.c_str()),
                          static_cast<DWORD>((chars.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

class RegistrySettings final : public SettingsStore {
 public:
  explicit RegistrySettings(std::string place) : place_(widen(place)) {}

  void load() override {
    values_.clear();
    Key key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, place_.c_str(), 0, KEY_QUERY_VALUE, &key.h) != ERROR_SUCCESS) return;
    DWORD count = 0, longestName = 0;
    if (::RegQueryInfoKeyW(key.h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                           nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return;
    std::wstring name(longestName + 1, L'\0');
    std::wstring data(kMaxValueBytes / sizeof(wchar_t), L'\0');
    for (DWORD i = 0; i < count; ++i) {
      DWORD nameLength = static_cast<DWORD>(name.size());
      DWORD type = 0;
      DWORD bytes = kMaxValueBytes;
      if (::RegEnumValueW(key.h, i, name.data(), &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                          &bytes) != ERROR_SUCCESS)
        continue;
      const std::wstring_view chars(data.data(), bytes / sizeof(wchar_t));
      const std::string valueName = narrow({name.data(), nameLength});
      if (type == REG_SZ)
        values_.insert_or_assign(valueName, narrow(chars.substr(0, chars.find(L'\0'))));
      else if (type == REG_MULTI_SZ)
        values_.insert_or_assign(valueName, splitMulti(chars));
    }
  }

  bool save() override {
    Key key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, place_.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                          &key.h, nullptr) != ERROR_SUCCESS)
      return false;
    bool ok = dropValuesNotHeld(key.h);
    for (const auto& [name, value] : values_) {
      if (const auto* single = std::get_if<std::string>(&value)) {
        ok = setValue(key.h, name, REG_SZ, widen(*single)) && ok;
      } else {
        std::wstring chars;
        for (const std::string& entry : std::get<std::vector<std::string>>(value)) chars += widen(entry) + L'\0';
        ok = setValue(key.h, name, REG_MULTI_SZ, chars) && ok;  // the closing NUL comes with c_str()
      }
    }
    return ok;
  }

 private:
  bool dropValuesNotHeld(HKEY key) const {
    std::vector<std::wstring> stale;
    wchar_t name[16384];  // the longest value name the registry allows
    for (DWORD i = 0;; ++i) {
      DWORD length = std::size(name);
      if (::RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      if (!values_.contains(narrow({name, length}))) stale.emplace_back(name, length);
    }
    bool ok = true;
    for (const std::wstring& gone : stale) ok = ::RegDeleteValueW(key, gone.c_str()) == ERROR_SUCCESS && ok;
    return ok;
  }

  std::wstring place_;
};

}  // namespace

std::unique_ptr<SettingsStore> openSettingsAt(const std::string& place) {
  auto store = std::make_unique<RegistrySettings>(place);
  store->load();
  return store;
}

std::unique_ptr<SettingsStore> openUserSettings() { return openSettingsAt("Software\\TRV810\\TRV810-Tool"); }

}  // namespace trv810::platform
