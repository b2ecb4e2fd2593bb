#include <gtest/gtest.h>

#include "platform/serial_device.h"

using namespace trv810::platform;

TEST(PortDevices, ThreeFamiliesOfFourAndPathsAsGiven) {
  EXPECT_EQ(defaultPortDevice(0), "/dev/ttyS0");
  EXPECT_EQ(defaultPortDevice(5), "/dev/ttyUSB1");
  EXPECT_EQ(defaultPortDevice(9), "/dev/ttyACM1");
  EXPECT_EQ(portDeviceFor("/dev/pts/3"), "/dev/pts/3");
  EXPECT_EQ(portDeviceFor("COM13"), "");  // no device stands for it here
}
