#pragma once
// The application object: one of each thing the program has once, created at
// start-up and destroyed at exit, handed down by reference. Members are declared in
// the order they depend on each other, so they are destroyed the other way round:
// the link (and with it any transfer thread) goes before the events and the images
// it uses. The destructor closes the port first all the same.

#include <memory>
#include <string>

#include "app/remembered.h"
#include "app/shell_state.h"
#include "config/config_image.h"
#include "firmware/flash_image.h"
#include "link/port_table.h"
#include "link/serial_link.h"
#include "platform/serial_device.h"
#include "platform/settings.h"
#include "transfer/transfer.h"

namespace trv810::app {

class Application {
 public:
  /// Start-up: shell state with `ports` (no child window) and the three link events,
  /// stop event manual-reset, the other two automatic. What the program remembers is
  /// kept in `settings` (loaded); the port chosen last comes back when the port dialog
  /// can show it (one of COM1..COM12, or a network address), else COM1 is selected.
  Application(link::PortTable ports, std::unique_ptr<platform::SettingsStore> settings);
  /// The same with settings kept in memory only (tests, and runs that must leave the
  /// user's settings alone).
  explicit Application(link::PortTable ports);
  /// The same with `opener` for the serial devices (tests that need no real port).
  Application(link::PortTable ports, std::unique_ptr<platform::SerialDeviceOpener> opener);
  /// Exit: closes the port (stopping the receiver and any transfer) before the rest
  /// is released.
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  ShellState& shell() { return shell_; }
  link::LinkEvents& events() { return events_; }
  link::SerialLink& link() { return link_; }
  transfer::Transfer& transfer() { return transfer_; }
  firmware::FlashImage& flash() { return flash_; }
  /// The firmware file chosen last in the flash-update window; kept for the run, so
  /// the file dialog starts from it when the window is opened again.
  std::string& firmwarePath() { return firmwarePath_; }
  /// The configuration file chosen last in the configuration window, kept for the run
  /// in the same way.
  std::string& configPath() { return configPath_; }
  Remembered& remembered() { return remembered_; }
  /// The file dialogs' memory of configuration files and of firmware files.
  RememberedFiles& configFiles() { return configFiles_; }
  RememberedFiles& firmwareFiles() { return firmwareFiles_; }
  /// The one ConfigImage the configuration window edits.
  config::ConfigImage& configImage() { return configImage_; }
  /// Where a configuration read from the unit arrives before it is accepted.
  config::StagingBuffer& staging() { return staging_; }

  /// Stops a running transfer and the receiver and closes the port; safe when closed.
  void closePort();

 private:
  Application(link::PortTable ports, std::unique_ptr<platform::SettingsStore> settings,
              std::unique_ptr<platform::SerialDeviceOpener> opener);

  std::unique_ptr<platform::SettingsStore> settings_;
  Remembered remembered_{*settings_};
  RememberedFiles configFiles_{remembered_, FileKind::Configuration};
  RememberedFiles firmwareFiles_{remembered_, FileKind::Firmware};
  ShellState shell_;
  link::LinkEvents events_;
  // The 2 MiB FlashImage; when it cannot be allocated the constructor throws
  // std::bad_alloc, which start-up turns into "Nicht genügend Speicher !". The images
  // and the staging buffer come before the link, so a transfer thread is gone before
  // they are released.
  firmware::FlashImage flash_;
  std::string firmwarePath_;
  std::string configPath_;
  config::ConfigImage configImage_;
  config::StagingBuffer staging_{};
  link::SerialLink link_{events_};
  transfer::Transfer transfer_{link_};
};

}  // namespace trv810::app
