#include "link/port_table.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <stdexcept>

#include "platform/serial_device.h"

using namespace trv810::link;
using trv810::platform::defaultPortDevice;

namespace {

void setVariable(const char* name, const char* value) {
#ifdef _WIN32
  ::_putenv_s(name, value);
#else
  ::setenv(name, value, 1);
#endif
}

}  // namespace

TEST(PortTable, TwelveNamesMapToThisPlatformsDevices) {
  const PortTable table = PortTable::defaults();
  EXPECT_EQ(table.entry(0).name, "COM1");
  EXPECT_EQ(table.entry(0).device, defaultPortDevice(0));
  EXPECT_EQ(table.entry(9).name, "COM10");
  EXPECT_EQ(table.entry(9).device, defaultPortDevice(9));
  EXPECT_EQ(table.entry(11).name, "COM12");
  EXPECT_EQ(PortTable::indexOf("com10"), 9);
  EXPECT_EQ(PortTable::indexOf("COM12"), 11);
  EXPECT_EQ(PortTable::indexOf("COM0"), std::nullopt);
  EXPECT_EQ(PortTable::indexOf("COM13"), std::nullopt);
  EXPECT_EQ(PortTable::indexOf("COM01"), std::nullopt);
}

// A typed address is one more entry, named by the address itself, so that messages
// show it where they show a port's name; the twelve stay as they are.
TEST(PortTable, ATypedNetworkAddressIsItsOwnName) {
  PortTable table = PortTable::defaults();
  table.setNetworkAddress("rfc2217://mast-3:4001");
  const PortEntry& entry = table.entry(PortTable::kNetworkIndex);
  EXPECT_EQ(entry.name, "rfc2217://mast-3:4001");
  EXPECT_EQ(entry.device, "rfc2217://mast-3:4001");
  EXPECT_EQ(table.entry(11).name, "COM12");
  EXPECT_THROW(table.setDevice(PortTable::kNetworkIndex, "/dev/pts/1"), std::out_of_range);
}

TEST(PortTable, EnvironmentReplacesSingleEntries) {
  setVariable("TRV810_COM10", "/dev/pts/42");
  setVariable("TRV810_COM2", "");  // empty: ignored
  const PortTable table = PortTable::fromEnvironment();
  setVariable("TRV810_COM10", "");
  setVariable("TRV810_COM2", "");
  EXPECT_EQ(table.entry(9).name, "COM10");
  EXPECT_EQ(table.entry(9).device, "/dev/pts/42");
  EXPECT_TRUE(table.entry(9).fromEnvironment);
  EXPECT_EQ(table.entry(1).device, defaultPortDevice(1));
  EXPECT_FALSE(table.entry(1).fromEnvironment);
}
