// Saving where POSIX lets a test make a folder refuse new files, even to root.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "config/config_file.h"
#include "recording_host.h"
#include "support/read_only_folder.h"
#include "support/temp_dir.h"

using namespace trv810::config;
using trv810::testing::RecordingHost;
using trv810::tests::TempDir;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

ConfigImage sampleImage() { return ConfigImage{}; }

TEST(ConfigFile, AFailedSaveInAReadOnlyFolderKeepsTheOldFile) {
  TempDir dir;
  const fs::path path = dir.path / "a.kfg";
  std::ofstream(path) << "old";
  const trv810::tests::ReadOnlyFolder readOnly(dir.path);
  if (!readOnly.effective()) GTEST_SKIP() << "this file system lets root write into any folder";
  RecordingHost host;
  EXPECT_FALSE(saveConfigFileShowing(path.string(), sampleImage(), host));
  EXPECT_EQ(slurp(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(host.boxes.size(), 1u);
}

}  // namespace
