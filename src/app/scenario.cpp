#include "app/scenario.h"

#include <filesystem>
#include <fstream>

#include "app/port_dialog.h"
#include "app/shell_state.h"
#include "app/texts.h"
#include "config/control_ids.h"
#include "config/cp1252.h"
#include "config/signal_box.h"
#include "config/texts.h"
#include "firmware/texts.h"
#include "firmware/update_window.h"

namespace trv810::app {

namespace {

namespace ids = config::ids;
namespace fw = firmware::ids;
using window::alt;
using window::Answer;
using window::Key;
using window::key;
using window::ScenarioDriver;
using window::Step;
using Check = std::function<std::string(ScenarioDriver&)>;

/// The Windows-1252 bytes a control shows for the UTF-8 `text`.
std::string shown(std::string_view utf8) { return config::utf8ToCp1252(utf8).bytes; }

std::string inQuotes(std::string_view text) { return "\"" + std::string(text) + "\""; }

Check textIs(int id, std::string utf8) {
  return [id, utf8](ScenarioDriver& d) {
    const std::string now = d.controls().text(id);
    return now == shown(utf8) ? std::string() : "Feld " + std::to_string(id) + " zeigt " + inQuotes(config::cp1252ToUtf8(now)) + ", erwartet " + inQuotes(utf8);
  };
}

Check enabled(int id, bool on) {
  return [id, on](ScenarioDriver& d) {
    return d.controls().enabled(id) == on ? std::string()
                                          : "Feld " + std::to_string(id) + (on ? " gesperrt" : " bedienbar");
  };
}

/// A message box whose text contains `part` is open.
Check boxWith(std::string part) {
  return [part](ScenarioDriver& d) {
    const std::optional<std::string> text = d.box();
    if (!text) return "keine Meldung offen, erwartet " + inQuotes(part);
    return text->find(part) != std::string::npos ? std::string() : "Meldung " + inQuotes(*text) + ", erwartet " + inQuotes(part);
  };
}

Check noBox() {
  return [](ScenarioDriver& d) {
    const std::optional<std::string> text = d.box();
    return text ? "Meldung offen: " + inQuotes(*text) : std::string();
  };
}

/// Every check holds (the first reason otherwise).
Check all(std::vector<Check> checks) {
  return [checks](ScenarioDriver& d) {
    for (const Check& c : checks)
      if (std::string why = c(d); !why.empty()) return why;
    return std::string();
  };
}

Check fileDialogOpen(bool open) {
  return [open](ScenarioDriver& d) {
    return d.fileDialog() == open ? std::string() : open ? "kein Dateidialog offen" : "Dateidialog offen";
  };
}

Check dialogOpen(bool open) {
  return [open](ScenarioDriver& d) {
    return d.dialogOpen() == open ? std::string() : open ? "kein Dialog offen" : "Dialog offen";
  };
}

Check childOpen(bool open) {
  return [open](ScenarioDriver& d) {
    return d.childOpen() == open ? std::string() : open ? "kein Fenster offen" : "Fenster offen";
  };
}

Check focusOn(int id) {
  return [id](ScenarioDriver& d) {
    const int now = d.focus();
    return now == id ? std::string() : "Fokus auf " + std::to_string(now) + ", erwartet " + std::to_string(id);
  };
}

Step picture(std::string name, bool mainWindow = false) {
  return {"Bild " + name, [name, mainWindow](ScenarioDriver& d) { d.capture(name, mainWindow); }, {}, {}};
}

Step pressing(std::string what, Key k, Check check = {}) {
  return {std::move(what), [k](ScenarioDriver& d) { d.press(k); }, std::move(check)};
}

/// Writes a small firmware image: 4 KiB of a pattern.
void writeImage(const std::filesystem::path& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (int i = 0; i < 4096; ++i) out.put(static_cast<char>((i * 31 + 7) & 0xFF));
}

constexpr std::chrono::seconds kTransfer{20};

void mainWindowSteps(window::Scenario& s) {
  s.add(picture("main-window", true));
  s.add({"Info", [](ScenarioDriver& d) { d.menu(kCommandInfo); }, boxWith(std::string(texts::kInfoVersion))});
  s.add(picture("info-box"));
  s.add(pressing("Enter schließt die Info", key(Key::Enter), noBox()));

  // The port dialog by keyboard: the arrows select, Enter is OK.
  constexpr int com1 = PortDialog::kFirstPortId;
  s.add({"Port-Dialog", [](ScenarioDriver& d) { d.menu(kCommandPort); },
         all({dialogOpen(true), [com1](ScenarioDriver& d) {
                return d.controls().checked(com1) ? std::string() : "COM 1 nicht gewählt";
              }, focusOn(com1)})});
  s.add(picture("port-dialog"));
  // The ports stand in two columns: below COM 1 is COM 3.
  s.add(pressing("Pfeil nach unten wählt COM 3", key(Key::Down), all({focusOn(com1 + 2), [com1](ScenarioDriver& d) {
                   return d.controls().checked(com1 + 2) && !d.controls().checked(com1) ? std::string()
                                                                                       : "COM 3 nicht gewählt";
                 }})));
  s.add(pressing("Pfeil nach oben wählt COM 1", key(Key::Up), focusOn(com1)));
  // "Netzwerk": typing the address selects it; OK refuses an address without a port
  // and leaves it selected for correcting.
  constexpr int network = PortDialog::kNetworkId;
  constexpr int address = PortDialog::kAddressId;
  s.add({"Adresse ohne Port", [](ScenarioDriver& d) { d.type(address, "socket://127.0.0.1"); },
         [](ScenarioDriver& d) { return d.controls().checked(network) ? std::string() : "Netzwerk nicht gewählt"; }});
  s.add(pressing("Enter lehnt sie ab", key(Key::Enter), boxWith("Die Portnummer fehlt")));
  s.add(pressing("Enter schließt die Meldung", key(Key::Enter), all({noBox(), dialogOpen(true), focusOn(address)})));
  s.add(pressing("x ersetzt die Adresse", key('x'), textIs(address, "x")));
  s.add({"Adresse mit Port", [](ScenarioDriver& d) { d.type(address, "socket://127.0.0.1:4001"); },
         textIs(address, "socket://127.0.0.1:4001")});
  s.add(picture("port-dialog-network"));
  s.add({"COM 1 wählen", [](ScenarioDriver& d) { d.click(com1); },
         [](ScenarioDriver& d) { return d.controls().checked(com1) ? std::string() : "COM 1 nicht gewählt"; }});
  s.add(pressing("Enter ist OK", key(Key::Enter), dialogOpen(false)));
}

void configurationSteps(window::Scenario& s, const std::string& kfg) {
  s.add({"Konfiguration öffnen", [](ScenarioDriver& d) { d.menu(kCommandConfiguration); },
         all({childOpen(true), focusOn(ids::active(0))})});
  // A plain letter is no command: "a" would be "TRV &auslesen" with Alt.
  s.add(pressing("Buchstabe ohne Alt", key('a'), all({noBox(), enabled(ids::kRead, true), enabled(ids::kCancel, false)})));
  s.add({"TRV auslesen", [](ScenarioDriver& d) { d.press(alt('a')); }, boxWith(std::string(config::texts::kReadDone)),
         kTransfer});
  s.add(picture("configuration-read-box"));
  s.add(pressing("Enter schließt die Meldung", key(Key::Enter), all({noBox(), enabled(ids::kRead, true)})));
  s.add(picture("configuration-window", true));

  // Edits: the largest switch-on time, an ident of 16 characters (a 17th is not taken).
  s.add({"Einschaltzeit 65000 s", [](ScenarioDriver& d) { d.type(ids::switchOnTime(0), "65000"); },
         textIs(ids::switchOnTime(0), "65000")});
  s.add({"Ident-Nr. mit 16 Zeichen", [](ScenarioDriver& d) { d.type(ids::kIdent, "Wache Süd Nord 1"); },
         textIs(ids::kIdent, "Wache Süd Nord 1")});
  s.add(pressing("ein 17. Zeichen", key('x'), textIs(ids::kIdent, "Wache Süd Nord 1")));

  // A form error: the box names the field; after it the field has the focus with its
  // text selected, so the next digit replaces the value.
  s.add({"Totzeit 0", [](ScenarioDriver& d) { d.type(ids::kDeadTime, "0"); }, textIs(ids::kDeadTime, "0")});
  s.add({"TRV programmieren mit Fehler", [](ScenarioDriver& d) { d.press(alt('p')); },
         boxWith(std::string(config::texts::kDeadTimeError))});
  s.add(picture("configuration-form-error", true));
  s.add(picture("configuration-form-error-box"));
  s.add(pressing("Enter schließt die Meldung", key(Key::Enter), all({noBox(), focusOn(ids::kDeadTime)})));
  s.add(pressing("5 ersetzt den Wert", key('5'), textIs(ids::kDeadTime, "5")));

  s.add({"TRV programmieren", [](ScenarioDriver& d) { d.press(alt('p')); },
         boxWith(std::string(config::texts::kProgrammed)), kTransfer});
  s.add(pressing("Enter schließt die Meldung", key(Key::Enter), all({noBox(), enabled(ids::kProgram, true)})));

  // Save, then an edit, and loading asks first: Enter is "Nein" and keeps the edit.
  s.add({"In Datei sichern", [](ScenarioDriver& d) { d.press(alt('s')); }, fileDialogOpen(true)});
  s.add(picture("file-dialog"));
  s.add({"Datei wählen", [kfg](ScenarioDriver& d) { d.chooseFile(kfg); }, all({fileDialogOpen(false), noBox()})});
  s.add({"Totzeit 99", [](ScenarioDriver& d) { d.type(ids::kDeadTime, "99"); }, textIs(ids::kDeadTime, "99")});
  s.add({"Datei laden fragt", [](ScenarioDriver& d) { d.press(alt('l')); },
         boxWith(std::string(config::texts::kLoadQuestion))});
  s.add(pressing("Enter ist Nein", key(Key::Enter), all({noBox(), fileDialogOpen(false), textIs(ids::kDeadTime, "99")})));
  s.add({"Datei laden", [](ScenarioDriver& d) { d.press(alt('l')); }, boxWith(std::string(config::texts::kLoadQuestion))});
  s.add({"Ja", [](ScenarioDriver& d) { d.answer(Answer::Yes); }, fileDialogOpen(true)});
  s.add({"gesicherte Datei wählen", [kfg](ScenarioDriver& d) { d.chooseFile(kfg); },
         all({fileDialogOpen(false), noBox(), textIs(ids::kDeadTime, "5"), textIs(ids::switchOnTime(0), "65000"),
              textIs(ids::kIdent, "Wache Süd Nord 1")})});

  // The signal-sequence dialog of the manual alarm.
  s.add({"Doppelklick auf die Signalfolge", [](ScenarioDriver& d) { d.doubleClick(ids::kManualSequence); },
         all({dialogOpen(true), focusOn(config::SignalBox::kEdit)})});
  s.add(picture("signal-box"));
  s.add({"Signalfolge eingeben", [](ScenarioDriver& d) { d.type(config::SignalBox::kEdit, "ON05,OFF10"); },
         textIs(config::SignalBox::kEdit, "ON05,OFF10")});
  s.add({"OK", [](ScenarioDriver& d) { d.click(config::SignalBox::kOk); },
         all({dialogOpen(false), textIs(ids::kManualSequence, "ON05,OFF10")})});

  // Closing with an edit not saved asks; Enter is "Nein".
  s.add({"Schließen fragt", [](ScenarioDriver& d) { d.closeChild(); }, boxWith(std::string(config::texts::kUnsavedQuestion))});
  s.add(picture("configuration-close-question"));
  s.add(pressing("Enter ist Nein", key(Key::Enter), all({noBox(), childOpen(true)})));
  s.add({"Schließen", [](ScenarioDriver& d) { d.closeChild(); }, boxWith(std::string(config::texts::kUnsavedQuestion))});
  s.add({"Ja", [](ScenarioDriver& d) { d.answer(Answer::Yes); }, all({noBox(), childOpen(false)})});
}

void flashSteps(window::Scenario& s, const std::string& image) {
  s.add({"Flash-Update öffnen", [image](ScenarioDriver& d) {
           writeImage(std::filesystem::path(std::u8string(image.begin(), image.end())));
           d.menu(kCommandFlashUpdate);
         },
         all({childOpen(true), textIs(fw::kFileName, std::string(firmware::texts::kNoFile)), enabled(fw::kProgram, false)})});
  s.add({"Hex-Datei", [](ScenarioDriver& d) { d.press(alt('h')); }, fileDialogOpen(true)});
  s.add({"Abbild wählen", [image](ScenarioDriver& d) { d.chooseFile(image); },
         all({fileDialogOpen(false), noBox(), enabled(fw::kProgram, true), textIs(fw::kFileName, image)})});
  // The focus stays on "Hex-Datei": a plain "p" must not program the unit.
  s.add(pressing("Buchstabe ohne Alt", key('p'), all({noBox(), enabled(fw::kStop, false), enabled(fw::kProgram, true)})));
  s.add({"Programmieren", [](ScenarioDriver& d) { d.press(alt('p')); }, all({enabled(fw::kStop, true), focusOn(fw::kStop)})});
  s.add(picture("flash-update-window", true));
  // Closing while the unit is programmed asks; Enter is "Nein" and it goes on.
  s.add({"Schließen fragt", [](ScenarioDriver& d) { d.closeChild(); },
         boxWith(std::string(firmware::texts::kCloseWhileProgramming))});
  s.add(pressing("Enter ist Nein", key(Key::Enter), all({noBox(), childOpen(true), enabled(fw::kStop, true)})));
  s.add({"Stop", [](ScenarioDriver& d) { d.press(alt('s')); },
         all({enabled(fw::kStop, false), enabled(fw::kProgram, true), [](ScenarioDriver& d) {
                const std::string status = config::cp1252ToUtf8(d.controls().text(fw::kStatus));
                return status.find(firmware::texts::kFirmwareIncomplete) != std::string::npos
                           ? std::string()
                           : "Status " + inQuotes(status);
              }}),
         kTransfer});
  s.add(picture("flash-update-stopped", true));
  s.add({"Schließen", [](ScenarioDriver& d) { d.closeChild(); }, all({noBox(), childOpen(false)})});
}

}  // namespace

window::Scenario desktopScenario(const std::string& folder) {
  window::Scenario s;
  mainWindowSteps(s);
  // Paths as the system writes them (a file dialog may not take another separator).
  const std::filesystem::path base(std::u8string(folder.begin(), folder.end()));
  const auto inFolder = [&base](const char* name) {
    const std::u8string path = (base / name).u8string();
    return std::string(path.begin(), path.end());
  };
  configurationSteps(s, inFolder("Anlage.kfg"));
  flashSteps(s, inFolder("TRV810-Firmware-V1.30.bin"));
  return s;
}

}  // namespace trv810::app
