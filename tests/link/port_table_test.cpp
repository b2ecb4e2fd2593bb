#include "link/port_table.h"

#include <gtest/gtest.h>
#include <stdlib.h>

using namespace trv810::link;

TEST(PortTable, TwelveNamesMapToTheThreeDeviceFamilies) {
  const PortTable table = PortTable::defaults();
  EXPECT_EQ(table.entry(0).name, "COM1");
  EXPECT_EQ(table.entry(0).device, "/dev/ttyS0");
  EXPECT_EQ(table.entry(9).name, "COM10");
  EXPECT_EQ(table.entry(9).device, "/dev/ttyACM1");
  EXPECT_EQ(table.entry(11).name, "COM12");
  EXPECT_EQ(PortTable::indexOf("com10"), 9);
  EXPECT_EQ(PortTable::indexOf("COM12"), 11);
  EXPECT_EQ(PortTable::indexOf("COM0"), std::nullopt);
  EXPECT_EQ(PortTable::indexOf("COM13"), std::nullopt);
  EXPECT_EQ(PortTable::indexOf("COM01"), std::nullopt);
}

TEST(PortTable, EnvironmentReplacesSingleEntries) {
  ::setenv("TRV810_COM10", "/dev/pts/42", 1);
  ::setenv("TRV810_COM2", "", 1);  // empty: ignored
  const PortTable table = PortTable::fromEnvironment();
  ::unsetenv("TRV810_COM10");
  ::unsetenv("TRV810_COM2");
  EXPECT_EQ(table.entry(9).name, "COM10");
  EXPECT_EQ(table.entry(9).device, "/dev/pts/42");
  EXPECT_TRUE(table.entry(9).fromEnvironment);
  EXPECT_EQ(table.entry(1).device, "/dev/ttyS1");
  EXPECT_FALSE(table.entry(1).fromEnvironment);
}
