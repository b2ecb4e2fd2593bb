#include "config/file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/config_file.h"
#include "form_fixture.h"
#include "recording_host.h"
#include "support/temp_dir.h"

using namespace trv810::config;
using trv810::testing::FormFixture;
using trv810::testing::RecordingHost;
namespace cids = trv810::config::ids;
namespace fs = std::filesystem;

namespace {

using trv810::tests::TempDir;

}  // namespace

TEST(FileCommands, AnInvalidFormShowsItsMessageAndNoDialog) {
  FormFixture f;
  RecordingHost host;
  std::string lastPath;
  EXPECT_FALSE(saveConfigurationCommand(f.form, host, lastPath));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Fehler: Einschaltzeit K3\nErlaubt sind 1 bis 65000 s.");
  EXPECT_EQ(host.boxes[0].caption, "TRV810 Konfiguration");
  EXPECT_TRUE(host.dialogs.empty());
}

TEST(FileCommands, ACancelledSaveWritesNothingButKeepsTheValidatedForm) {
  FormFixture f;
  f.fillValidGeneral();
  RecordingHost host;
  std::string lastPath = "/somewhere/last.kfg";
  EXPECT_FALSE(saveConfigurationCommand(f.form, host, lastPath));
  ASSERT_EQ(host.dialogs.size(), 1u);
  EXPECT_EQ(host.dialogs[0].startPath, "/somewhere/last.kfg");
  EXPECT_EQ(host.dialogs[0].defaultSuffix, "kfg");
  EXPECT_TRUE(host.dialogs[0].confirmOverwrite);
  EXPECT_EQ(f.image.deadTime(), 5);
  EXPECT_EQ(lastPath, "/somewhere/last.kfg");
}

// What is typed into the form comes back from the file, rows in view or not.
TEST(FileCommands, SaveThenLoadGivesTheSameImageAndShowsRowOne) {
  TempDir dir;
  FormFixture f;
  f.fillValidGeneral();
  f.activate(0, "1234");
  f.form.toggleSiren(0);
  f.controls.setText(cids::sequence(0), "ON05,H0512");
  f.activate(30, "2047993");
  f.controls.setText(cids::kIdent,
                     "S\xFC"
                     "d");
  RecordingHost host;
  host.chosenPath = (dir.path / "a.kfg").string();
  std::string lastPath;
  ASSERT_TRUE(saveConfigurationCommand(f.form, host, lastPath));
  EXPECT_EQ(lastPath, *host.chosenPath);
  EXPECT_EQ(fs::file_size(*host.chosenPath), 927u);

  FormFixture g;
  g.form.moveTo(17);
  ASSERT_TRUE(loadConfigurationCommand(g.form, host, lastPath));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(g.image, f.image);
  EXPECT_EQ(g.form.topRow(), 0);
  EXPECT_EQ(g.controls.text(cids::rowNumber(0)), "1");
  EXPECT_EQ(g.controls.text(cids::address(0)), "0001234");
  EXPECT_EQ(g.controls.text(cids::sequence(0)), "ON05,H0512");
  EXPECT_EQ(g.form.addressText(30).addressText, "2047993");
  EXPECT_EQ(g.controls.text(cids::kIdent),
            "S\xFC"
            "d");
  EXPECT_FALSE(host.dialogs.back().confirmOverwrite);
}

TEST(FileCommands, AFailedLoadChangesNeitherImageNorForm) {
  TempDir dir;
  const fs::path path = dir.path / "short.kfg";
  std::ofstream(path, std::ios::binary) << "\x03TRV810-Konfigurationsdatei" << std::string(100, '\0');
  FormFixture f;
  f.form.moveTo(5);
  f.controls.setText(cids::kDeadTime, "42");
  RecordingHost host;
  std::string lastPath;
  EXPECT_FALSE(loadConfigurationCommand(f.form, host, lastPath));  // dialog cancelled
  EXPECT_TRUE(host.boxes.empty());
  host.chosenPath = path.string();
  EXPECT_FALSE(loadConfigurationCommand(f.form, host, lastPath));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Dateifehler");
  EXPECT_EQ(host.boxes[0].caption, "TRV810-Konfiguration");
  EXPECT_EQ(f.image, ConfigImage{});
  EXPECT_EQ(f.form.topRow(), 5);
  EXPECT_EQ(f.controls.text(cids::kDeadTime), "42");
}
