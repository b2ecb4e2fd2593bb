#pragma once
// A configuration window over controls in memory, with a host that records what the
// window shows and a link whose port opener the test chooses: a silent unit that never
// answers (the transfer thread runs until the port closes), the real serial devices
// (for a port that cannot be opened, or the simulator's pseudo-terminal).

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "config/config_window.h"
#include "config/control_ids.h"
#include "config/general_fields.h"
#include "config/signal_box.h"
#include "link/port_table.h"
#include "link/serial_link.h"
#include "platform/serial_device.h"
#include "support/pump.h"
#include "support/silent_unit.h"
#include "transfer/notification_queue.h"
#include "transfer/transfer.h"
#include "support/linux_ports.h"

namespace trv810::testing {

struct WindowHostRecord : window::WindowHost {
  struct Box {
    std::string text;
    std::string caption;
    window::Icon icon;
    window::Buttons buttons;
    window::Answer defaultAnswer;
    std::string seen;  ///< what `whileShown` read while the box was up
  };
  std::vector<Box> boxes;
  std::function<std::string()> whileShown;  ///< reads the window behind each box
  std::deque<window::Answer> answers;  ///< to questions; No when none is left
  std::vector<std::string> dialogStarts;  ///< where each file dialog started
  std::string title;
  int progressMin = -1, progressMax = -1, progress = -1;
  int focused = -1;
  bool selected = false;  ///< the focused edit's text was selected whole
  bool ticking = false;
  Clock::time_point clock{};  ///< what now() says; the test moves it
  std::optional<std::string> chosenPath;
  /// What the user does in the signal-sequence dialog: works on its controls and
  /// presses buttons through `press`, which returns the dialog's end once it ended.
  std::function<void(window::MemoryControlTable&, const std::function<std::optional<int>(int)>& press)> user;
  int signalBoxOwner = -1;
  std::string signalBoxShown;  ///< the edit's text when the dialog opened

  window::Answer messageBox(std::string_view text, std::string_view caption, window::Icon icon,
                              window::Buttons buttons, window::Answer defaultAnswer) override {
    boxes.push_back({std::string(text), std::string(caption), icon, buttons, defaultAnswer,
                     whileShown ? whileShown() : std::string()});
    if (buttons == window::Buttons::Ok) return window::Answer::Ok;
    const window::Answer answer = answers.empty() ? window::Answer::No : answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  void setTitle(std::string_view t) override { title = t; }
  void setProgressRange(int lo, int hi) override { progressMin = lo, progressMax = hi; }
  void setProgressPosition(int p) override { progress = p; }
  std::optional<std::string> chooseOpenFile(const window::FileDialogRequest& r) override {
    dialogStarts.push_back(r.startPath);
    return chosenPath;
  }
  std::optional<std::string> chooseSaveFile(const window::FileDialogRequest& r) override {
    dialogStarts.push_back(r.startPath);
    return chosenPath;
  }
  void setWaitCursor(bool) override {}
  void requestClose() override {}
  void setFocus(int id, bool selectText) override {
    focused = id;
    selected = selectText;
  }
  int focus() const override { return focused; }
  void setTicking(bool on) override { ticking = on; }
  Clock::time_point now() override { return clock; }

  // Runs the dialog's logic as the toolkit would: init, then the user's presses until
  // one of them ends it.
  int runDialog(window::Dialog& box, int ownerId) override {
    signalBoxOwner = ownerId;
    window::MemoryControlTable dialog;
    box.onInit(dialog);
    signalBoxShown = dialog.text(config::SignalBox::kEdit);
    std::optional<int> end;
    auto press = [&](int id) {
      if (!end) end = box.onCommand(id, dialog);
      return end;
    };
    if (user) user(dialog, press);
    return end.value_or(0);
  }
};

using tests::SilentOpener;

struct WindowFixture {
  explicit WindowFixture(std::unique_ptr<platform::SerialDeviceOpener> opener = std::make_unique<SilentOpener>())
      : link(events, std::move(opener)) {
    controls.defineList(config::ids::kBaudRate, config::ids::kBaudEntries);
    for (int k = 0; k < config::ids::kVisibleLines; ++k)
      controls.defineList(config::ids::function(k), config::ids::kFunctionEntries);
    window.onCreate();
  }

  /// Hands every queued notification to the window until a transfer result has ended
  /// the transfer (or `limit` has passed); false on time-out.
  bool pumpUntilIdle(std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    return tests::pumpUntilIdle(window, sink, limit);
  }

  /// Valid general settings, so that "TRV programmieren" reaches the port.
  /// Every number starts at its smallest allowed value, so a new one needs nothing here.
  void fillValidGeneral() {
    namespace ids = config::ids;
    for (const config::GeneralField& f : config::generalFields())
      if (f.kind == config::FieldKind::Number) controls.setText(f.id, std::to_string(f.min));
    for (int j = 0; j < config::kRelayCount; ++j) controls.setText(ids::switchOnTime(j), "10");
    controls.setText(ids::kManualSequence, "ON05,OFF05");
    controls.setText(ids::kDeadTime, "5");
    controls.setText(ids::kAlarmInterval, "10");
    controls.setText(ids::kIdent, "TRV");
  }

  bool buttonsIdle() const {
    namespace ids = config::ids;
    for (int id = ids::kProgram; id <= ids::kSave; ++id)
      if (!controls.enabled(id)) return false;
    return !controls.enabled(ids::kCancel);
  }

  link::LinkEvents events;
  link::SerialLink link;
  transfer::Transfer transfer{link};
  link::PortTable ports = tests::linuxPortTable();
  int selectedPort = 0;
  config::ConfigImage image;
  config::StagingBuffer staging{};
  std::string lastPath;
  window::MemoryControlTable controls;
  WindowHostRecord host;
  transfer::NotificationQueue sink;
  config::ConfigWindow window{image, staging, lastPath, transfer, {ports, selectedPort}, controls, host, sink};
};

}  // namespace trv810::testing
