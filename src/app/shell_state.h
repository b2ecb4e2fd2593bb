#pragma once
// The shell state: what the main window knows and the other windows read. One
// instance, owned by the Application. What lasts beyond the run (the port chosen
// last among it) is kept by `remembered`.

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "link/port_table.h"
#include "window/layout.h"

namespace trv810::app {

/// Menu command ids.
inline constexpr int kCommandFlashUpdate = 10;
inline constexpr int kCommandConfiguration = 14;
inline constexpr int kCommandPort = 30;
inline constexpr int kCommandInfo = 50;

/// The menu list a child window greys while it exists: command ids ended by 0xFF.
inline constexpr std::array<uint8_t, 3> kMenuList{kCommandFlashUpdate, kCommandConfiguration, 0xFF};
inline constexpr uint8_t kMenuListEnd = 0xFF;

/// The main window's size in character cells (outer size, frame included).
inline constexpr int kMainWidthCells = 104;
inline constexpr int kMainHeightCells = 46;

enum class ChildKind { None, FlashUpdate, Configuration };

class Remembered;

struct ShellState {
  explicit ShellState(link::PortTable table) : ports(std::move(table)) {}

  link::PortTable ports;
  int selectedPort = 0;  ///< 0..11, "COM1".."COM12", or PortTable::kNetworkIndex for a typed address
  window::CellSize cell;
  int clientWidth = 0;   ///< the main window's client area, from its latest size change
  int clientHeight = 0;
  ChildKind child = ChildKind::None;  ///< the child window open now
  Remembered* remembered = nullptr;   ///< what lasts beyond the run; null: nothing does

  /// The selected port's name ("COM1".."COM12") and device.
  const link::PortEntry& selectedEntry() const { return ports.entry(selectedPort); }
  bool childOpen() const { return child != ChildKind::None; }
};

}  // namespace trv810::app
