#pragma once
// The port table with Linux's devices on every platform, so that texts naming a
// port's device read the same in the Linux and the Windows runs of a test.

#include <string>

#include "link/port_table.h"

namespace trv810::tests {

inline link::PortTable linuxPortTable() {
  static const char* const kNodes[3] = {"/dev/ttyS", "/dev/ttyUSB", "/dev/ttyACM"};
  link::PortTable table = link::PortTable::defaults();
  for (int i = 0; i < link::PortTable::kCount; ++i) table.setDevice(i, kNodes[i / 4] + std::to_string(i % 4));
  return table;
}

}  // namespace trv810::tests
