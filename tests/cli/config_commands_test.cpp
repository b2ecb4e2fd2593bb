// trv810ctl show and check, run as processes on files made here.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/config_file.h"
#include "config/signal_sequence.h"
#include "ctl_process.h"
#include "support/temp_dir.h"

using namespace trv810::config;
namespace fs = std::filesystem;

namespace {

using trv810::tests::Outcome;
using trv810::tests::trv810ctl;

using trv810::tests::TempDir;

// A configuration that passes validation: rows 1 and 3 active, row 6 inactive with data.
ConfigImage validImage() {
  ConfigImage image;
  for (int r = 0; r < kRowCount; ++r) std::ranges::fill(image.sequence(r), uint8_t{0xFF});
  image.setAddress(0, 1234);
  image.setAddress(2, 2047993);
  image.setFunctionIndex(2, 3);
  image.setAddress(5, 77);
  image.setActiveMask(0b101);
  image.setSiren(0, true);
  parseSignalSequence("ON05,OFF10,H0512,R03", image.sequence(0));
  image.setRelayOn(0, 0, true);
  image.setRelayOn(7, 2, true);
  for (int j = 0; j < kRelayCount; ++j) image.setSwitchOnTime(j, static_cast<uint16_t>(10 * (j + 1)));
  parseSignalSequence("ON05", image.manualSequence());
  image.setDeadTime(5);
  image.setAlarmInterval(10);
  image.setFlags(0x0301);
  const std::string ident =
      "S\xFC"
      "d \x80";
  std::ranges::copy(ident, image.identText().begin());
  return image;
}

}  // namespace

TEST(CliConfig, ShowListsRowsAndSettingsInUtf8) {
  TempDir dir;
  const std::string file = dir.write("a.kfg", buildConfigFile(validImage()));
  const Outcome run = trv810ctl("show " + file);
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("Format   3"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("   1  0001234    A   x  .  .  .  .  .  .  .   ja     ON05,OFF10,H0512,R03"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("   3  2047993    D   .  .  .  .  .  .  .  x   nein"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("   6  0000077"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Relais Handauslösung       K3 K4"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Ident-Nr.                  \"Süd €\""), std::string::npos) << run.out;

  // An ident that would repaint the terminal is shown with its control characters
  // escaped; and output that cannot be written is a failure.
  ConfigImage crafted = validImage();
  const std::string ident = "\x1b[2J\x1b]0;x\x07\x9d";
  std::ranges::copy(ident, crafted.identText().begin());
  const std::string craftedFile = dir.write("crafted.kfg", buildConfigFile(crafted));
  const Outcome escaped = trv810ctl("show " + craftedFile);
  EXPECT_NE(escaped.out.find("\"\\x1b[2J\\x1b]0;x\\x07\\x9d\""), std::string::npos) << escaped.out;
  EXPECT_EQ(escaped.out.find('\x1b'), std::string::npos);
  const Outcome full = trv810ctl("--version >/dev/null; { " TRV810_BINARY_DIR "/src/cli/trv810ctl show " + craftedFile +
                                 " >/dev/full; }");
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.out, "Ausgabe konnte nicht geschrieben werden !\nKein Platz mehr auf dem Datenträger\n");
}

TEST(CliConfig, CheckAcceptsAValidFileAndReportsTheFirstError) {
  TempDir dir;
  const Outcome good = trv810ctl("check " + dir.write("good.kfg", buildConfigFile(validImage())));
  EXPECT_EQ(good.status, 0) << good.out;

  ConfigImage image = validImage();
  image.setAddress(2, 3);
  const Outcome bad = trv810ctl("check " + dir.write("bad.kfg", buildConfigFile(image)));
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "Adress-Fehler bei Adresse 3\nErlaubt sind Adressen von 8 bis 2047993 (nur Ziffern).\n");
}

TEST(CliConfig, AnOlderFormatNeedsYes) {
  TempDir dir;
  std::vector<uint8_t> f(27 + kFormat2Size, 0);
  f[0] = 2;
  std::ranges::copy(kFileMagic, f.begin() + 1);
  const uint16_t sum = fileChecksum(f);
  f.push_back(static_cast<uint8_t>(sum));
  f.push_back(static_cast<uint8_t>(sum >> 8));
  const std::string file = dir.write("old.kfg", f);
  const Outcome asked = trv810ctl("show " + file);
  EXPECT_EQ(asked.status, 1);
  EXPECT_EQ(asked.out.find("Veraltete Konfigurationsdatei."), 0u) << asked.out;
  const Outcome yes = trv810ctl("show " + file + " --yes");
  EXPECT_EQ(yes.status, 0) << yes.out;
  EXPECT_NE(yes.out.find("Format   2"), std::string::npos) << yes.out;
}

TEST(CliConfig, LoadFailuresAndUsage) {
  TempDir dir;
  auto bytes = buildConfigFile(validImage());
  bytes[600] ^= 1;
  const Outcome checksum = trv810ctl("check " + dir.write("c.kfg", bytes));
  EXPECT_EQ(checksum.status, 1);
  EXPECT_EQ(checksum.out.rfind("Checksummen Fehler !\n", 0), 0u) << checksum.out;
  const Outcome missing = trv810ctl("show " + (dir.path / "none.kfg").string());
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out.rfind("Datei nicht vorhanden !\n", 0), 0u) << missing.out;
  EXPECT_EQ(trv810ctl("show").status, 2);
  EXPECT_EQ(trv810ctl("check a.kfg b.kfg").status, 2);
  EXPECT_EQ(trv810ctl("check --frobnicate a.kfg").status, 2);
}
