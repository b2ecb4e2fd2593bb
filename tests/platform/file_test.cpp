#include "platform/file.h"
#include "support/read_only_folder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

using namespace trv810::platform;
namespace fs = std::filesystem;

namespace {
using trv810::tests::TempDir;
std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
}  // namespace

TEST(File, ReplacingWritesTheWholeContentAndLeavesNoTemporary) {
  TempDir dir;
  const auto target = dir.path / "a.bin";
  std::ofstream(target) << "old";
  const std::vector<uint8_t> bytes{'n', 'e', 'w', '!'};
  ASSERT_TRUE(writeFileReplacing(target.string(), bytes));
  EXPECT_EQ(slurp(target), "new!");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 1);
}

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

TEST(File, ReadUpToReportsTruncation) {
  TempDir dir;
  const auto target = dir.path / "a.bin";
  std::ofstream(target) << "abcdef";
  std::vector<uint8_t> out;
  bool truncated = true;
  ASSERT_TRUE(readFileUpTo(target.string(), 10, out, &truncated));
  EXPECT_EQ(out.size(), 6u);
  EXPECT_FALSE(truncated);
  ASSERT_TRUE(readFileUpTo(target.string(), 4, out, &truncated));
  EXPECT_EQ(out.size(), 4u);
  EXPECT_TRUE(truncated);
  EXPECT_FALSE(readFileUpTo((dir.path / "missing").string(), 4, out));
}

TEST(File, AReplaceThatCannotRenameRemovesItsTemporary) {
  TempDir dir;
  const auto target = dir.path / "taken";
  fs::create_directories(target / "inside");  // a rename over a non-empty folder fails
  const std::vector<uint8_t> bytes{'x'};
  EXPECT_FALSE(writeFileReplacing(target.string(), bytes));
  EXPECT_TRUE(fs::is_directory(target / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 1);
}
