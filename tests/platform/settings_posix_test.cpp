// The settings file on Linux: where it lives, what it keeps, and that a bad file or
// folder costs the program nothing but the values.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>

#include "settings_round_trip.h"
#include "support/read_only_folder.h"
#include "support/temp_dir.h"

using namespace trv810::platform;
using trv810::tests::TempDir;
namespace fs = std::filesystem;

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace

TEST(SettingsPosix, TheUsersFileRoundTripsInItsConfigurationFolder) {
  TempDir dir;
  const ScopedEnv home("HOME", dir.file("home"));
  {
    const ScopedEnv config("XDG_CONFIG_HOME", dir.file("config"));
    trv810::tests::expectSettingsRoundTrip([] { return openUserSettings(); });
    const fs::path folder = dir.path / "config" / "trv810";
    ASSERT_TRUE(fs::is_regular_file(folder / "settings.conf"));
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);  // created for the user alone
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);  // no temporary left
  }
  // A relative XDG_CONFIG_HOME is not to be used: ~/.config then.
  const ScopedEnv relative("XDG_CONFIG_HOME", "config");
  auto store = openUserSettings();
  store->setText("port", "COM3");
  ASSERT_TRUE(store->save());
  EXPECT_TRUE(fs::is_regular_file(dir.path / "home" / ".config" / "trv810" / "settings.conf"));
}

TEST(SettingsPosix, ABadFileGivesNoValuesAndAnUnwritableFolderKeepsThemForTheRun) {
  TempDir dir;
  const std::string place = dir.file("trv810");
  fs::create_directory(place);
  const std::string file = place + "/settings.conf";
  const struct {
    const char* what;
    std::string content;
  } corrupt[] = {
      {"binary", std::string("\x7f" "ELF\0\x01port=COM3\n", 16)},
      {"a bad escape", "port=COM3\nfolder=C:\\temp\n"},
      {"a key twice", "port=COM3\nport=COM4\n"},
      {"a text and a list", "port=COM3\nport[]=COM4\n"},
      {"a line without a value", "port=COM3\nport\n"},
      {"an oversized file", "port=COM3\nx=" + std::string(70000, 'a') + "\n"},
  };
  for (const auto& [what, content] : corrupt) {
    dir.write("trv810/settings.conf", content);
    EXPECT_EQ(openSettingsAt(place)->text("port", "default"), "default") << what;
  }
  fs::remove(file);
  ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);  // would block a plain open
  EXPECT_EQ(openSettingsAt(place)->text("port", "default"), "default");
  fs::remove(file);
  fs::create_directory(file);
  EXPECT_EQ(openSettingsAt(place)->text("port", "default"), "default");
  fs::remove(file);

  // A folder that takes no file, or a file where the folder should be: no save, no
  // complaint, and the values stay for the run.
  auto store = openSettingsAt(place);
  {
    const trv810::tests::ReadOnlyFolder readOnly(place);
    if (readOnly.effective()) {
      store->setText("port", "COM3");
      EXPECT_FALSE(store->save());
      EXPECT_EQ(store->text("port"), "COM3");
    }
  }
  dir.write("blocked", "a file");
  auto blocked = openSettingsAt(dir.file("blocked") + "/trv810");
  blocked->setText("port", "COM3");
  EXPECT_FALSE(blocked->save());
  EXPECT_EQ(blocked->text("port"), "COM3");
}
