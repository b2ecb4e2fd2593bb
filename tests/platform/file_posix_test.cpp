#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file.h"
#include "support/read_only_folder.h"
#include "support/temp_dir.h"

using namespace trv810::platform;
namespace fs = std::filesystem;

namespace {
using trv810::tests::TempDir;
std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
}  // namespace

TEST(File, AFailedReplaceKeepsTheOldFile) {
  TempDir dir;
  const auto target = dir.path / "a.bin";
  std::ofstream(target) << "old";
  const trv810::tests::ReadOnlyFolder readOnly(dir.path);
  if (!readOnly.effective()) GTEST_SKIP() << "this file system lets root write into any folder";
  const std::vector<uint8_t> bytes{'x'};
  const FileResult r = writeFileReplacing(target.string(), bytes);
  EXPECT_FALSE(r);
  EXPECT_NE(r.error, 0);
  EXPECT_EQ(slurp(target), "old");
}
