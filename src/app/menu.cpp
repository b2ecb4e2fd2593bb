#include "app/menu.h"

#include "app/shell_state.h"
#include "app/texts.h"

namespace trv810::app {

std::vector<MenuEntry> mainMenu() {
  std::vector<MenuEntry> menu;
  menu.push_back({-1,
                  std::string(texts::kMenuPopup),
                  {{kCommandFlashUpdate, std::string(texts::kMenuFlashUpdate)},
                   {kCommandConfiguration, std::string(texts::kMenuConfiguration)}}});
  menu.push_back({kCommandPort, std::string(texts::kMenuPort), {}});
  menu.push_back({kCommandInfo, std::string(texts::kMenuInfo), {}});
  return menu;
}

std::vector<int> menuCommandIds() {
  std::vector<int> ids;
  for (const MenuEntry& entry : mainMenu()) {
    if (entry.items.empty()) ids.push_back(entry.id);
    for (const MenuItem& item : entry.items) ids.push_back(item.id);
  }
  return ids;
}

}  // namespace trv810::app
