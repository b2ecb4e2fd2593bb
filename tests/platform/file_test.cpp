#include "platform/file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace trv810::platform;
namespace fs = std::filesystem;

using trv810::tests::slurp;
using trv810::tests::TempDir;

TEST(File, ReplacingWritesTheWholeContentAndLeavesNoTemporary) {
  TempDir dir;
  const auto target = dir.path / "a.bin";
  std::ofstream(target) << "old";
  const std::vector<uint8_t> bytes{'n', 'e', 'w', '!'};
  ASSERT_TRUE(writeFileReplacing(target.string(), bytes));
  EXPECT_EQ(slurp(target), "new!");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 1);
}

// Names are UTF-8 inside the program; on Windows they must reach the system as
// UTF-16, or "ü" would become a different name in the ANSI code page.
TEST(File, NamesWithUmlautsAreWrittenAndReadUnderThatName) {
  TempDir dir;
  const std::string name = "Prüfstand-Größe.kfg";
  const std::u8string folder = dir.path.u8string();
  const std::string path = std::string(folder.begin(), folder.end()) + "/" + name;
  const std::vector<uint8_t> bytes{1, 2, 3};
  ASSERT_TRUE(writeFileReplacing(path, bytes));
  std::vector<uint8_t> back;
  ASSERT_TRUE(readFileUpTo(path, 10, back));
  EXPECT_EQ(back, bytes);
  EXPECT_TRUE(fs::exists(dir.path / fs::path(std::u8string(name.begin(), name.end()))));
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
