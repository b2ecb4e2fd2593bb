// The settings in the registry under Wine: what a save keeps, values of a type the
// program never writes, and the user's key.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings_round_trip.h"

using namespace trv810::platform;

namespace {

// A key of its own below HKEY_CURRENT_USER\Software\TRV810, removed with its values.
struct ScratchKey {
  std::string path = "Software\\TRV810\\Test-" + std::to_string(::GetCurrentProcessId());
  std::wstring wide() const { return std::wstring(path.begin(), path.end()); }
  ScratchKey() { ::RegDeleteTreeW(HKEY_CURRENT_USER, wide().c_str()); }
  ~ScratchKey() { ::RegDeleteTreeW(HKEY_CURRENT_USER, wide().c_str()); }
};

void setRaw(const std::wstring& key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
  ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, type, data, size), ERROR_SUCCESS);
}

}  // namespace

TEST(SettingsWin32, ValuesRoundTripAndForeignOnesAreIgnored) {
  const ScratchKey key;
  trv810::tests::expectSettingsRoundTrip([&] { return openSettingsAt(key.path); });

  // A value of a type the program never writes counts as absent; a text stored
  // without its closing NUL (as other programs may) is read to its end.
  const DWORD number = 3;
  setRaw(key.wide(), L"port", REG_DWORD, &number, sizeof number);
  setRaw(key.wide(), L"recent", REG_BINARY, "abc", 3);
  setRaw(key.wide(), L"odd", REG_SZ, L"COM5", 4 * sizeof(wchar_t));
  auto store = openSettingsAt(key.path);
  EXPECT_EQ(store->text("port", "default"), "default");
  EXPECT_TRUE(store->list("recent").empty());
  EXPECT_EQ(store->text("odd"), "COM5");
}

TEST(SettingsWin32, TheUsersSettingsLiveUnderTheToolsKey) {
  const std::wstring key = L"Software\\TRV810\\TRV810-Tool";
  const std::wstring name = L"test" + std::to_wstring(::GetCurrentProcessId());
  setRaw(key, name.c_str(), REG_SZ, L"COM7", 5 * sizeof(wchar_t));
  EXPECT_EQ(openUserSettings()->text(std::string(name.begin(), name.end())), "COM7");
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str());
}
