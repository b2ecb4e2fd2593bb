#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/file.h"
#include "support/read_only_folder.h"
#include "support/temp_dir.h"

using namespace trv810::platform;
namespace fs = std::filesystem;

using trv810::tests::slurp;
using trv810::tests::TempDir;

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

// The temporary file was named after the target with a suffix, which a name of the
// 255 bytes a folder takes could not have: such a target could not be saved.
TEST(File, ATargetOfTheLongestNameIsSaved) {
  TempDir dir;
  const auto target = dir.path / (std::string(251, 'k') + ".kfg");
  std::ofstream(target) << "old";
  const std::vector<uint8_t> bytes{'n', 'e', 'w'};
  ASSERT_TRUE(writeFileReplacing(target.string(), bytes));
  EXPECT_EQ(slurp(target), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 1);
}

// A save through a symbolic link replaced the link with a plain file and left its
// target stale, and the new file lost the old one's mode and owner. Now the target is
// replaced (a temporary beside it, renamed over it), keeping mode and, where the
// process may set it, owner; a target that is no regular file is refused untouched.
TEST(File, ASaveReplacesWhatALinkLeadsToAndKeepsModeAndOwner) {
  TempDir dir;
  fs::create_directory(dir.path / "real");
  const auto target = dir.path / "real" / "unit.kfg";
  std::ofstream(target) << "old";
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
  }
  fs::create_symlink("real/unit.kfg", dir.path / "hop.kfg");  // relative, from the link's folder
  fs::create_symlink(dir.path / "hop.kfg", dir.path / "link.kfg");
  const std::vector<uint8_t> bytes{'n', 'e', 'w'};
  ASSERT_TRUE(writeFileReplacing((dir.path / "link.kfg").string(), bytes));
  EXPECT_TRUE(fs::is_symlink(dir.path / "link.kfg"));
  EXPECT_TRUE(fs::is_symlink(dir.path / "hop.kfg"));
  EXPECT_EQ(slurp(target), "new");
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 65534u);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path / "real"), {}), 1);  // no temporary left

  // A link to a file not there yet creates that file.
  fs::create_symlink("real/new.kfg", dir.path / "ahead.kfg");
  ASSERT_TRUE(writeFileReplacing((dir.path / "ahead.kfg").string(), bytes));
  EXPECT_EQ(slurp(dir.path / "real" / "new.kfg"), "new");

  const auto fifo = dir.path / "fifo.kfg";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const FileResult refused = writeFileReplacing(fifo.string(), bytes);
  EXPECT_FALSE(refused);
  EXPECT_EQ(refused.message, fifo.string() + ": keine gewöhnliche Datei, sondern eine benannte Pipe (FIFO)");
  EXPECT_TRUE(fs::is_fifo(fifo));
}
