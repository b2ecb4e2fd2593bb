#pragma once
// The main window's menu "Menue_TRV810" as data: a popup "&TRV810" with the two child
// windows, then two top-level commands. The toolkit builds it as it stands; '&' marks
// the accelerator letter.

#include <string>
#include <vector>

namespace trv810::app {

struct MenuItem {
  int id = -1;
  std::string text;
};

/// A top-level entry: a popup with `items` (id -1) or a command of its own (no items).
struct MenuEntry {
  int id = -1;
  std::string text;
  std::vector<MenuItem> items;
};

/// The menu bar, left to right.
std::vector<MenuEntry> mainMenu();

/// Every command id of the menu, in menu order.
std::vector<int> menuCommandIds();

}  // namespace trv810::app
