#include "sim/sim_options.h"

#include <gtest/gtest.h>

namespace trv810::sim {
namespace {

using namespace std::chrono_literals;

TEST(SimOptions, EveryOptionIsRead) {
  SimOptions o;
  std::string error;
  ASSERT_TRUE(parseOptions({"--firmware-version", "0x12", "--formats", "2,1", "--config", "a.kfg",
                            "--bad-checksum", "--incompatible", "--erase-delay-ms=250", "--baud", "0",
                            "--drop", "5%", "--corrupt", "0.25", "--ignore", "10", "--seed", "99", "--silent",
                            "--save-config", "out.kfg", "--save-firmware", "fw.bin", "--trace", "--chatter",
                            "--wrong-block", "--restart-download"},
                           o, error))
      << error;
  EXPECT_EQ(o.unit.firmwareVersion, 0x12);
  EXPECT_EQ(o.unit.formats, (std::vector<int>{2, 1}));
  EXPECT_EQ(o.configFile, "a.kfg");
  EXPECT_TRUE(o.unit.badChecksum && o.unit.incompatible && o.unit.silent && o.trace);
  EXPECT_TRUE(o.unit.chatter && o.unit.wrongBlock && o.unit.restartDownload);
  EXPECT_EQ(o.unit.eraseDelay, 250ms);
  EXPECT_EQ(o.baud, 0u);
  EXPECT_DOUBLE_EQ(o.faults.drop, 0.05);
  EXPECT_DOUBLE_EQ(o.faults.corrupt, 0.25);
  EXPECT_DOUBLE_EQ(o.faults.ignore, 0.10);
  EXPECT_EQ(o.seed, 99u);
  EXPECT_EQ(o.saveConfig, "out.kfg");
  EXPECT_EQ(o.saveFirmware, "fw.bin");
  EXPECT_FALSE(o.help);
}

TEST(SimOptions, DefaultsAndHelp) {
  SimOptions o;
  std::string error;
  ASSERT_TRUE(parseOptions({"--help"}, o, error));
  EXPECT_TRUE(o.help);
  EXPECT_EQ(o.unit.firmwareVersion, 0x17);
  EXPECT_EQ(o.unit.formats, (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(o.baud, 19200u);
  EXPECT_EQ(o.unit.eraseDelay, 1500ms);
}

TEST(SimOptions, BadInputIsAUsageError) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--formats", "4"}, {"--formats", "3,,1"}, {"--formats", ""},
                                             {"--firmware-version", "256"}, {"--baud", "fast"}, {"--drop", "150%"},
                                             {"--drop", "-0.1"}, {"--drop"}, {"--nonsense"}, {"--trace=1"},
                                             {"--seed", "1x"}}) {
    SimOptions o;
    std::string error;
    EXPECT_FALSE(parseOptions(args, o, error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace trv810::sim
