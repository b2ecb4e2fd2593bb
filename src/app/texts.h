#pragma once
// Every text the application shell shows: the main window's title and menu, the
// port dialog, the Info box and the start-up failure. UTF-8.

#include <string_view>

namespace trv810::app::texts {

inline constexpr std::string_view kMainTitle = "TRV810-Tool";
inline constexpr std::string_view kMenuName = "Menue_TRV810";
inline constexpr std::string_view kMenuPopup = "&TRV810";
inline constexpr std::string_view kMenuFlashUpdate = "F&lash-Update!";
inline constexpr std::string_view kMenuConfiguration = "&Konfiguration";
inline constexpr std::string_view kMenuPort = "&Kommunikations-Port!";
inline constexpr std::string_view kMenuInfo = "&Info";

inline constexpr std::string_view kShellCaption = "TRV810";
inline constexpr std::string_view kOutOfMemory = "Nicht genügend Speicher !";

/// A file handed to the program (on its command line or dropped on its window) that it
/// does not open; the file's path follows on the next line.
inline constexpr std::string_view kUnknownFileKind =
    "Diese Datei kann das Programm nicht öffnen: es lädt Konfigurationen (.kfg) und "
    "Firmware-Dateien (.hex, .bin).";
/// A file handed to the program that is not there; its path follows on the next line.
inline constexpr std::string_view kMissingFile = "Datei nicht vorhanden !";
/// The other window is open: its title, then kCloseFirstEnd, then the file's path.
inline constexpr std::string_view kCloseFirst = "Bitte zuerst das Fenster „";
inline constexpr std::string_view kCloseFirstEnd = "“ schließen, dann die Datei erneut öffnen:";

inline constexpr std::string_view kConfigurationTitle = "TRV810-Konfiguration";
inline constexpr std::string_view kFlashUpdateTitle = "Flash-Update";

inline constexpr std::string_view kPortCaption = "Com-Port ?";
inline constexpr std::string_view kPortGroup = "Port";
inline constexpr std::string_view kOk = "OK";
inline constexpr std::string_view kCancel = "CANCEL";
/// Whether the device of a port is there, beside its name.
inline constexpr std::string_view kDevicePresent = "vorhanden";
inline constexpr std::string_view kDeviceMissing = "fehlt";
inline constexpr std::string_view kNoPortBehind = "kein Port";
inline constexpr std::string_view kNetworkAddress = "Netzwerk";
/// What the address beside "Netzwerk" may be.
inline constexpr std::string_view kAddressTip =
    "Ein TRV810 hinter einem seriellen Geräteserver: socket://HOST:PORT (roh, auch tcp://) oder "
    "rfc2217://HOST:PORT (Telnet mit COM-Port-Steuerung)";

/// What is behind a port's device, in its tool tip (and in trv810ctl ports).
inline constexpr std::string_view kUsbAdapter = "USB-Adapter: ";
inline constexpr std::string_view kSerialNumber = "Seriennummer: ";
inline constexpr std::string_view kDriver = "Treiber: ";
inline constexpr std::string_view kStableName = "Fester Name: ";
inline constexpr std::string_view kNoSerialDevice =
    "Auf diesem Rechner ist kein serielles Gerät vorhanden. TRV810_COM<n>=GERÄT lässt "
    "COM<n> auf jedes andere Gerät zeigen.";

/// The Info box starts with the program version; the rest describes the tool.
inline constexpr std::string_view kInfoVersion = "V1.30";
inline constexpr std::string_view kInfoBody =
    "Servicewerkzeug für die Alarm- und Sirenensteuerung TRV810: Konfiguration "
    "auslesen, bearbeiten, in Dateien sichern und programmieren; Firmware "
    "aktualisieren (Intel-HEX oder .bin).";

}  // namespace trv810::app::texts
