// The loader where POSIX lets a test make a write fail: a limit on file sizes.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "loader_fixture.h"

using namespace trv810::firmware;
using namespace trv810::firmware::test;

namespace {

TEST_F(Loader, AFailedRawCopyKeepsTheOldBinAndTheLoadSucceeds) {
  dir.write("fw.bin", "old raw copy");
  const std::string path = dir.write("fw.hex", data(0, std::vector<uint8_t>(100, 0x01)) + kEnd);
  // Limit the size of the files this process may write, so the new copy cannot be completed.
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 64;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const LoadResult r = loadFlashImage(image, path, "fw.hex");
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ASSERT_TRUE(r);
  EXPECT_EQ(image.length(), 100u);
  EXPECT_FALSE(r.rawCopy);
  EXPECT_EQ(slurp(dir.path / "fw.bin"), "old raw copy");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 2);  // no temporary left
}

}  // namespace
