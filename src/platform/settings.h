#pragma once
// Settings that outlive a run of the program: a few named texts and lists of texts,
// kept by the user's account. On Linux a file in $XDG_CONFIG_HOME/trv810/ (default
// ~/.config/trv810/), replaced as a whole on each save; on Windows the values of the
// registry key HKEY_CURRENT_USER\Software\TRV810\TRV810-Tool.
//
// The store never complains: what it cannot read (missing, unreadable, corrupt) gives
// no values, so every caller falls back to its defaults, and a save that fails leaves
// the values in memory for the rest of the run. Nothing here throws or prints.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace trv810::platform {

/// Named values in memory, loaded from and saved to a place of the platform's. Keys
/// are short ASCII names of letters and digits; values are UTF-8 texts without a NUL.
class SettingsStore {
 public:
  using Value = std::variant<std::string, std::vector<std::string>>;
  using Values = std::map<std::string, Value, std::less<>>;

  virtual ~SettingsStore() = default;

  /// The text under `key`; `fallback` when there is none or the key holds a list.
  std::string text(std::string_view key, std::string_view fallback = {}) const;
  /// The list under `key`; empty when there is none or the key holds a text.
  std::vector<std::string> list(std::string_view key) const;
  void setText(std::string_view key, std::string value);
  /// Empty entries are dropped: a Windows multi-string value cannot hold them.
  void setList(std::string_view key, std::vector<std::string> values);
  void remove(std::string_view key);

  /// Replaces the values in memory with the stored ones; a store that is missing,
  /// unreadable or corrupt leaves no values.
  virtual void load() = 0;
  /// Writes every value in memory to the store; false when it cannot be written.
  virtual bool save() = 0;

 protected:
  Values values_;
};

/// A store that keeps its saved values in memory: for tests, and for runs that must
/// leave the user's settings alone. load() brings back what the last save() kept.
class MemorySettings final : public SettingsStore {
 public:
  void load() override { values_ = saved_; }
  bool save() override;

  bool writable = true;  ///< false makes every save fail
  int saves = 0;         ///< saves that succeeded

 private:
  Values saved_;
};

/// The user's store (see the top of this file), loaded.
std::unique_ptr<SettingsStore> openUserSettings();

/// A store of the same kind at another place, loaded: on Linux the folder that holds
/// the file, on Windows a key path below HKEY_CURRENT_USER. For tests.
std::unique_ptr<SettingsStore> openSettingsAt(const std::string& place);

}  // namespace trv810::platform
