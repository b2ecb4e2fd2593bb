#pragma once
// A flash-update window over controls in memory, with a host that records what the
// window shows and a link whose port opener the test chooses (a unit that never
// answers by default; the real serial devices for the simulator or a missing port).

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "firmware/update_window.h"
#include "link/port_table.h"
#include "link/serial_link.h"
#include "window/controls.h"
#include "platform/cp1252.h"
#include "support/pump.h"
#include "support/silent_unit.h"
#include "transfer/notification_queue.h"
#include "transfer/transfer.h"
#include "support/linux_ports.h"

namespace trv810::firmware::test {

// A raw image of `size` bytes that are not all alike.
inline std::string rawImage(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 1);
  return bytes;
}


/// Controls in memory that also keep every text the status line was given.
struct StatusRecordingControls : window::MemoryControlTable {
  std::vector<std::string> statusTexts;  ///< UTF-8
  void setText(int id, std::string_view text) override {
    if (id == ids::kStatus) statusTexts.push_back(platform::cp1252ToUtf8(text));
    MemoryControlTable::setText(id, text);
  }
};

struct UpdateHost : window::WindowHost {
  struct Box {
    std::string text;
    std::string caption;
    window::Icon icon;
    std::string statusShown;  ///< the status line while the box was up
    int progressShown;
    window::Answer defaultAnswer;
  };
  explicit UpdateHost(const window::ControlTable& c) : controls(c) {}

  const window::ControlTable& controls;
  std::vector<Box> boxes;
  std::deque<window::Answer> answers;  ///< to questions; No when none is left
  std::string title;
  int progressMin = -1, progressMax = -1, progress = -1;
  std::vector<int> positions;
  std::optional<std::string> chosenPath;
  std::vector<window::FileDialogRequest> dialogs;
  int waitCursors = 0;
  bool waiting = false;
  int focused = -1;
  bool ticking = false;
  Clock::time_point clock{};  ///< what now() says; the test moves it

  window::Answer messageBox(std::string_view text, std::string_view caption, window::Icon icon,
                              window::Buttons buttons, window::Answer defaultAnswer) override {
    boxes.push_back({std::string(text), std::string(caption), icon,
                     platform::cp1252ToUtf8(controls.text(ids::kStatus)), progress, defaultAnswer});
    if (buttons == window::Buttons::Ok) return window::Answer::Ok;
    const window::Answer answer = answers.empty() ? window::Answer::No : answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  int runDialog(window::Dialog&, int) override { return 0; }
  void setTitle(std::string_view t) override { title = t; }
  void setProgressRange(int lo, int hi) override {
    progressMin = lo;
    progressMax = hi;
  }
  void setProgressPosition(int p) override {
    progress = p;
    positions.push_back(p);
  }
  std::optional<std::string> chooseOpenFile(const window::FileDialogRequest& r) override {
    dialogs.push_back(r);
    return chosenPath;
  }
  std::optional<std::string> chooseSaveFile(const window::FileDialogRequest&) override { return std::nullopt; }
  void setWaitCursor(bool wait) override {
    if (wait && !waiting) ++waitCursors;
    waiting = wait;
  }
  void requestClose() override {}
  void setFocus(int id, bool) override { focused = id; }
  int focus() const override { return focused; }
  void setTicking(bool on) override { ticking = on; }
  Clock::time_point now() override { return clock; }
};

struct UpdateFixture {
  explicit UpdateFixture(std::unique_ptr<platform::SerialDeviceOpener> opener = std::make_unique<tests::SilentOpener>())
      : link(events, std::move(opener)) {
    window.onCreate();
  }

  /// Hands every queued notification to the window until a transfer result has ended
  /// the transfer (or `limit` has passed); false on time-out.
  bool pumpUntilIdle(std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    return tests::pumpUntilIdle(window, sink, limit);
  }

  /// Loads `path` through "Hex-Datei".
  void load(const std::string& path) {
    host.chosenPath = path;
    window.onCommand(ids::kHexFile);
  }

  /// "Hex-Datei", "Programmieren", "Stop" enabled as given.
  bool buttons(bool hexFile, bool program, bool stop) const {
    return controls.enabled(ids::kHexFile) == hexFile && controls.enabled(ids::kProgram) == program &&
           controls.enabled(ids::kStop) == stop;
  }
  std::string status() const { return platform::cp1252ToUtf8(controls.text(ids::kStatus)); }

  link::LinkEvents events;
  link::SerialLink link;
  transfer::Transfer transfer{link};
  link::PortTable ports = tests::linuxPortTable();
  int selectedPort = 0;
  FlashImage image;
  std::string path;
  StatusRecordingControls controls;
  UpdateHost host{controls};
  transfer::NotificationQueue sink;
  UpdateWindow window{image, path, transfer, {ports, selectedPort}, controls, host, sink};
};

}  // namespace trv810::firmware::test
