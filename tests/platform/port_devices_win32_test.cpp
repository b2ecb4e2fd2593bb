#include <gtest/gtest.h>

#include "platform/serial_device.h"

using namespace trv810::platform;

TEST(PortDevices, EachComNameIsItsOwnDevice) {
  EXPECT_EQ(defaultPortDevice(0), "\\\\.\\COM1");
  EXPECT_EQ(defaultPortDevice(11), "\\\\.\\COM12");
  EXPECT_EQ(portDeviceFor("COM13"), "\\\\.\\COM13");
  EXPECT_EQ(portDeviceFor("com200"), "\\\\.\\com200");
  EXPECT_EQ(portDeviceFor("\\\\.\\COM7"), "\\\\.\\COM7");
  for (const char* none : {"COM0", "COM01", "COM", "COMX", "LPT1", ""}) EXPECT_EQ(portDeviceFor(none), "") << none;
}
