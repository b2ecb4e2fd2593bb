#include "config/config_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "config/texts.h"
#include "recording_host.h"
#include "support/temp_dir.h"

using namespace trv810::config;
using trv810::window::Answer;
using trv810::window::Buttons;
using trv810::window::Icon;
using trv810::testing::RecordingHost;
namespace fs = std::filesystem;

namespace {

ConfigImage sampleImage() {
  ConfigImage image;
  for (std::size_t i = 0; i < kImageSize; ++i) image.bytes()[i] = static_cast<uint8_t>(i * 13 + 1);
  return image;
}

// A file of any format index with a correct checksum over what precedes it.
std::vector<uint8_t> fileOf(uint8_t format, std::size_t imageBytes, uint8_t fill = 0x5A) {
  std::vector<uint8_t> f(kFileHeaderSize);
  f[0] = format;
  std::copy(kFileMagic.begin(), kFileMagic.end(), f.begin() + 1);
  for (std::size_t i = 0; i < imageBytes; ++i) f.push_back(static_cast<uint8_t>(fill + i));
  const uint16_t sum = fileChecksum(f);
  f.push_back(static_cast<uint8_t>(sum));
  f.push_back(static_cast<uint8_t>(sum >> 8));
  return f;
}

struct Asked {
  int count = 0;
  bool answer;
  ConfirmOlderFormat fn() {
    return [this] {
      ++count;
      return answer;
    };
  }
};

using trv810::tests::TempDir;

std::vector<uint8_t> slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(ConfigFile, BuildsTheCurrentFormatWithItsChecksumLowByteFirst) {
  const ConfigImage image = sampleImage();
  const ConfigFileBytes f = buildConfigFile(image);
  EXPECT_EQ(f.size(), 927u);
  EXPECT_EQ(f[0], 3);
  EXPECT_EQ(std::string(f.begin() + 1, f.begin() + 27), "TRV810-Konfigurationsdatei");
  EXPECT_TRUE(std::ranges::equal(std::span(f).subspan(27, 898), image.bytes()));
  unsigned sum = 0;
  for (std::size_t i = 0; i < 925; ++i) sum += f[i];
  EXPECT_EQ(f[925], sum & 0xFF);
  EXPECT_EQ(f[926], (sum >> 8) & 0xFF);

  ConfigImage loaded;
  Asked asked{0, false};
  EXPECT_EQ(loadConfigFileBytes(f, loaded, asked.fn()), LoadStatus::Loaded);
  EXPECT_EQ(loaded, image);
  EXPECT_EQ(asked.count, 0);
}

TEST(ConfigFile, AnyChangedImageOrChecksumByteIsAChecksumError) {
  const ConfigFileBytes good = buildConfigFile(sampleImage());
  for (std::size_t at :
       {std::size_t{27}, std::size_t{500}, std::size_t{924}, std::size_t{925}, std::size_t{926}}) {
    ConfigFileBytes bad = good;
    bad[at] ^= 0x01;
    ConfigImage image;
    EXPECT_EQ(loadConfigFileBytes(bad, image, nullptr), LoadStatus::BadChecksum) << at;
    EXPECT_EQ(image, ConfigImage{});
  }
}

TEST(ConfigFile, OlderFormatsAskFirstAndLoadOnlyOnYes) {
  const auto f2 = fileOf(2, kFormat2Size);
  ASSERT_EQ(f2.size(), 597u);
  ConfigImage image;
  Asked no{0, false};
  EXPECT_EQ(loadConfigFileBytes(f2, image, no.fn()), LoadStatus::Declined);
  EXPECT_EQ(no.count, 1);
  EXPECT_EQ(image, ConfigImage{});

  Asked yes{0, true};
  EXPECT_EQ(loadConfigFileBytes(f2, image, yes.fn()), LoadStatus::Loaded);
  ConfigImage expected;
  importImage(expected, 2, std::span(f2).subspan(27, kFormat2Size));
  EXPECT_EQ(image, expected);

  const auto f1 = fileOf(1, kFormat1Size);
  ASSERT_EQ(f1.size(), 551u);
  EXPECT_EQ(loadConfigFileBytes(f1, image, yes.fn()), LoadStatus::Loaded);
}

// Each failure in the order the checks run: the first failing one decides.
TEST(ConfigFile, FailuresComeInTheirOrder) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool asks;
    LoadStatus status;
  };
  auto wrongMagic = fileOf(3, kImageSize);
  wrongMagic[5] = 'x';
  auto unknownWrongMagic = fileOf(7, 10);
  unknownWrongMagic[1] = 't';
  auto cutInImage = fileOf(3, kImageSize);
  cutInImage.resize(27 + 897);
  auto cutInChecksum = fileOf(3, kImageSize);
  cutInChecksum.resize(926);
  auto extra = fileOf(3, kImageSize);
  extra.insert(extra.end(), {1, 2, 3});
  const std::vector<Case> cases{
      {"empty", {}, false, LoadStatus::InvalidFile},
      {"only the format byte", {3}, false, LoadStatus::InvalidFile},
      {"short, older format", {2, 'T', 'R'}, true, LoadStatus::InvalidFile},
      {"magic differs", wrongMagic, false, LoadStatus::InvalidFile},
      {"unknown format", fileOf(7, 10), true, LoadStatus::UnknownFormat},
      {"unknown format, magic differs", unknownWrongMagic, true, LoadStatus::InvalidFile},
      {"cut inside the image", cutInImage, false, LoadStatus::ShortImage},
      {"cut inside the checksum", cutInChecksum, false, LoadStatus::BadChecksum},
      {"extra bytes after the checksum", extra, false, LoadStatus::Loaded},
  };
  for (const Case& c : cases) {
    ConfigImage image;
    Asked yes{0, true};
    EXPECT_EQ(loadConfigFileBytes(c.bytes, image, yes.fn()), c.status) << c.what;
    EXPECT_EQ(yes.count, c.asks ? 1 : 0) << c.what;
    if (c.status != LoadStatus::Loaded) {
      EXPECT_EQ(image, ConfigImage{}) << c.what;
    }
  }
}

TEST(ConfigFile, LoadOnAPathShowsEachMessageWithTheWindowCaption) {
  TempDir dir;
  const fs::path bad = dir.path / "bad.kfg";
  std::ofstream(bad, std::ios::binary) << "\x02TRV810-Konfigurationsdatei";
  RecordingHost host;
  host.answers = {Answer::Yes};
  ConfigImage image;
  EXPECT_FALSE(loadConfigFileShowing(bad.string(), image, host));
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0].text, texts::kOlderFileQuestion);
  EXPECT_EQ(host.boxes[0].buttons, Buttons::YesNo);
  EXPECT_EQ(host.boxes[0].icon, Icon::Error);
  EXPECT_EQ(host.boxes[1].text, "Dateifehler");
  EXPECT_EQ(host.boxes[1].caption, "TRV810-Konfiguration");

  host.boxes.clear();
  EXPECT_FALSE(loadConfigFileShowing((dir.path / "missing.kfg").string(), image, host));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Datei nicht vorhanden !");

  host.boxes.clear();
  EXPECT_FALSE(loadConfigFileShowing(bad.string(), image, host));  // answered No: silent
  EXPECT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(image, ConfigImage{});
}

TEST(ConfigFile, SaveAndLoadOnAPathRoundTrip) {
  TempDir dir;
  const fs::path path = dir.path / "a.kfg";
  RecordingHost host;
  ASSERT_TRUE(saveConfigFileShowing(path.string(), sampleImage(), host));
  EXPECT_EQ(fs::file_size(path), 927u);
  ConfigImage loaded;
  EXPECT_TRUE(loadConfigFileShowing(path.string(), loaded, host));
  EXPECT_EQ(loaded, sampleImage());
  EXPECT_TRUE(host.boxes.empty());
}

// A save that cannot complete keeps the previous file and says so, with the reason,
// instead of ending silently with a half-written or missing file. A file marked
// read-only is not replaced, though its folder would let the rename through.
TEST(ConfigFile, AFailedSaveKeepsTheOldFileAndSaysWhy) {
  TempDir dir;
  RecordingHost host;
  const fs::path occupied = dir.path / "occupied.kfg";
  fs::create_directory(occupied);
  std::ofstream(occupied / "inside") << "keep";
  const fs::path readOnly = dir.path / "ro.kfg";
  std::ofstream(readOnly) << "keep";
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string reasons[] = {occupied.string() + ": Ist ein Verzeichnis",
                                 (dir.path / "no" / "a.kfg").string() + ": Datei oder Verzeichnis nicht vorhanden",
                                 readOnly.string() + ": Datei ist schreibgeschützt"};
  for (const std::string& reason : reasons) {
    const std::string path = reason.substr(0, reason.rfind(": "));
    EXPECT_FALSE(saveConfigFileShowing(path, sampleImage(), host));
    ASSERT_FALSE(host.boxes.empty());
    EXPECT_EQ(host.boxes.back().text, "Datei konnte nicht gespeichert werden !\n\n" + reason);
    EXPECT_EQ(host.boxes.back().caption, "TRV810-Konfiguration");
    EXPECT_EQ(host.boxes.back().icon, Icon::Error);
  }
  EXPECT_EQ(host.boxes.size(), 3u);
  EXPECT_EQ(slurp(occupied / "inside"), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
  EXPECT_EQ(slurp(readOnly), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
  fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 2);  // no temporary left
}
