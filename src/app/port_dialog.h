#pragma once
// The port-selection dialog "Com-Port ?": twelve radio buttons "COM 1".."COM 12"
// (ids 103..114), "OK" (115) and "CANCEL" (116), and below the twelve a radio button
// "Netzwerk" (117) with an edit for a network address (118). The radio buttons are
// plain: the logic marks them. A click on one selects that port at once, as typing in
// the address does for "Netzwerk"; "OK" ends the dialog with 1, "CANCEL" with 0, and
// nothing else ends it. "OK" on "Netzwerk" with an address that does not parse is
// refused with what is wrong with it, and the address is selected for correcting. The
// main window puts the remembered port back when the result is 0, so CANCEL undoes
// every click.
//
// Beside each radio button a label shows the device the name maps to on this machine
// and whether it is present; the tool tip of both gives the whole path and what is
// behind it. The dialog starts with the focus on the selected port; the arrow keys
// move between the ports, selecting each, Enter is OK, Escape and the window's close
// button are CANCEL.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/shell_state.h"
#include "window/controls.h"
#include "window/dialog.h"
#include "window/layout.h"
#include "platform/serial_device.h"

namespace trv810::app {

class PortDialog : public window::Dialog {
 public:
  static constexpr int kFirstPortId = 103;  ///< port i has id 103 + i
  static constexpr int kLastPortId = 114;
  static constexpr int kOkId = 115;
  static constexpr int kCancelId = 116;
  static constexpr int kNetworkId = 117;  ///< "Netzwerk": the address in kAddressId
  static constexpr int kAddressId = 118;
  /// Characters the address edit takes: a host name of 253 and what frames it.
  static constexpr int kAddressChars = 280;
  /// Characters of a device path shown beside its port before it is shortened.
  static constexpr std::size_t kDeviceChars = 10;

  explicit PortDialog(ShellState& shell) : shell_(shell) {}

  using PresenceOf = std::function<platform::DevicePresence(const std::string& device)>;

  /// The dialog's caption, frame (client size, relative to its owner) and controls in
  /// pixels for `cell`, with the devices of `ports` beside the radio buttons and
  /// whether `presenceOf` finds each; their tool tips say what is behind them from the
  /// serial devices `present`.
  static window::WindowSpec layout(window::CellSize cell, const link::PortTable& ports,
                                     const std::vector<platform::SerialDeviceInfo>& present,
                                     const PresenceOf& presenceOf = platform::portPresence);
  /// The text shown for `device`: the path without "/dev/", shortened with "…".
  static std::string deviceLabel(const std::string& device);
  /// The layout with the ports and the serial devices present now: adapters come and
  /// go, so they are looked at each time the dialog opens.
  window::WindowSpec dialogLayout(window::CellSize dialogBase) const override;

  void attachHost(window::WindowHost& host) override { host_ = &host; }
  /// Dialog start: marks the radio button of the selected port, unmarks the others,
  /// and shows the network address chosen last.
  void onInit(window::ControlTable& controls) override;
  /// Typing in the address selects "Netzwerk".
  void onEdited(int id, window::ControlTable& controls) override;
  /// A button was clicked. Returns the dialog's result when this ends it.
  std::optional<int> onCommand(int id, window::ControlTable& controls) override;
  /// The control that has the focus when the dialog starts: the selected port.
  int focusId() const override;
  /// An arrow key on control `id`: on a port, selects the neighbouring port in that
  /// direction (none at the edges) and returns its id, which takes the focus.
  int onArrow(int id, window::Arrow arrow, window::ControlTable& controls) override;

 private:
  void mark(int port, window::ControlTable& controls);
  // "OK": true when the selection may stand; a network address that does not parse
  // is told and selected in its edit.
  bool acceptAddress(window::ControlTable& controls);

  ShellState& shell_;
  window::WindowHost* host_ = nullptr;
};

}  // namespace trv810::app
