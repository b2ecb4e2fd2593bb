#include "platform/error_text.h"

#include <cerrno>
#include <cstring>

namespace trv810::platform {

std::string errorText(int error) {
  switch (error) {
    case ENOENT: return "Datei oder Verzeichnis nicht vorhanden";
    case EACCES:
    case EPERM: return "Keine Berechtigung";
    case EISDIR: return "Ist ein Verzeichnis";
    case ENOTDIR: return "Ein Teil des Pfads ist kein Verzeichnis";
    case ENOSPC: return "Kein Platz mehr auf dem Datenträger";
#ifdef EDQUOT
    case EDQUOT: return "Speicherkontingent überschritten";
#endif
    case EROFS: return "Dateisystem ist nur lesbar";
    case EEXIST: return "Datei existiert bereits";
    case ENAMETOOLONG: return "Dateiname zu lang";
#ifdef ELOOP
    case ELOOP: return "Zu viele symbolische Verknüpfungen";
#endif
    case EMFILE:
    case ENFILE: return "Zu viele offene Dateien";
    case EIO: return "Ein- und Ausgabefehler";
    case EBUSY: return "Gerät oder Ressource belegt";
    case ENXIO: return "Gerät oder Adresse nicht vorhanden";
    case ENODEV: return "Gerät nicht vorhanden";
    case EFBIG: return "Datei zu groß";
    case ENOMEM: return "Nicht genügend Speicher";
    case EINVAL: return "Ungültiges Argument";
    case EAGAIN: return "Ressource vorübergehend nicht verfügbar";
    case ECONNREFUSED: return "Verbindung abgelehnt";
    case ECONNRESET: return "Verbindung vom Gegenüber zurückgesetzt";
    case ECONNABORTED: return "Verbindung abgebrochen";
    case EPIPE: return "Verbindung getrennt";
    case ETIMEDOUT: return "Zeitüberschreitung";
    case EHOSTUNREACH: return "Rechner nicht erreichbar";
    case ENETUNREACH: return "Netz nicht erreichbar";
    case ENETDOWN: return "Netz ausgefallen";
#ifdef EHOSTDOWN
    case EHOSTDOWN: return "Rechner ausgeschaltet";
#endif
#ifdef ETXTBSY
    case ETXTBSY: return "Datei wird gerade benutzt";
#endif
    default: break;
  }
  return "Systemfehler " + std::to_string(error) + " (" + std::strerror(error) + ")";
}

std::string readOnlyText() { return "Datei ist schreibgeschützt"; }

std::string notRegularText(FileType type) {
  const std::string notAFile = "keine gewöhnliche Datei";
  switch (type) {
    case FileType::Directory: return notAFile + ", sondern ein Verzeichnis";
    case FileType::Fifo: return notAFile + ", sondern eine benannte Pipe (FIFO)";
    case FileType::Socket: return notAFile + ", sondern ein Socket";
    case FileType::CharacterDevice: return notAFile + ", sondern ein zeichenorientiertes Gerät";
    case FileType::BlockDevice: return notAFile + ", sondern ein blockorientiertes Gerät";
    case FileType::Regular:
    case FileType::Other: break;
  }
  return notAFile;
}

}  // namespace trv810::platform
