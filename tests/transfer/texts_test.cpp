// The words chosen for what the link reports.

#include "transfer/texts.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace trv810::transfer {
namespace {

using link::OpenFailure;
using link::OpenFailureKind;

TEST(LinkTexts, EachOpenFailureSaysWhyAndWhatToDo) {
  EXPECT_EQ(texts::openFailureReason({OpenFailureKind::Missing, ENOENT, "/dev/ttyUSB0", "", ""}),
            "Das Gerät /dev/ttyUSB0 gibt es nicht.");
  EXPECT_EQ(texts::openFailureReason({OpenFailureKind::Missing, EIO, "/dev/ttyS3", "", ""}),
            "Hinter /dev/ttyS3 steht keine serielle Schnittstelle.");
  EXPECT_EQ(texts::openFailureReason({OpenFailureKind::PermissionDenied, EACCES, "/dev/ttyUSB0", "dialout", ""}),
            "Keine Berechtigung für /dev/ttyUSB0: treten Sie der Gruppe dialout bei "
            "(sudo usermod -aG dialout $USER, danach neu anmelden).");
  EXPECT_EQ(texts::openFailureReason({OpenFailureKind::InUse, EBUSY, "/dev/pts/3", "", ""}),
            "/dev/pts/3 wird von einem anderen Programm benutzt.");
  EXPECT_EQ(texts::openFailureReason({}), "");
  // The port and its device, or the path alone where the port was given as one.
  EXPECT_EQ(texts::noAnswerAdvice("COM5", "/dev/ttyUSB0"),
            "Keine Antwort vom TRV810 an COM5 (/dev/ttyUSB0): prüfen Sie das Kabel, die Stromversorgung des "
            "TRV810 und ob der richtige Port gewählt ist.");
  EXPECT_EQ(texts::deviceGone("/dev/pts/3", "/dev/pts/3"),
            "Das Gerät an /dev/pts/3 ist während der Übertragung verschwunden: Kabel oder USB-Adapter abgezogen ?");
}

// A network address: the server named by host and port, and what to try.
TEST(LinkTexts, NetworkFailuresNameTheServer) {
  const std::string raw = "socket://10.0.0.5:4001", telnet = "rfc2217://[fe80::1]:4001";
  EXPECT_EQ(texts::openFailureReason({OpenFailureKind::Unreachable, ETIMEDOUT, raw, "", ""}),
            "10.0.0.5:4001 antwortet nicht: prüfen Sie die Adresse, das Netz und die Firewall.");
  EXPECT_EQ(texts::openFailureReason({OpenFailureKind::NotRfc2217, 0, telnet, "", ""}),
            "Der Server unter [fe80::1]:4001 antwortet nicht auf Telnet mit COM-Port-Steuerung (RFC 2217); ist er "
            "ein roher TCP-Server, nehmen Sie socket://[fe80::1]:4001.");
  EXPECT_EQ(texts::openFailureReason({OpenFailureKind::LineRefused, 0, telnet, "", ""}),
            "Der Server unter [fe80::1]:4001 stellt 19200 Baud, 8 Datenbits, keine Parität und 1 Stoppbit ohne "
            "Flusssteuerung nicht ein.");
  EXPECT_EQ(texts::deviceGone("COM3", raw),
            "Die Verbindung zum Server 10.0.0.5, Port 4001 (COM3), ist während der Übertragung abgebrochen: läuft "
            "der Server noch, und ist das Netz in Ordnung ?");
  EXPECT_EQ(texts::noAnswerAdvice(raw, raw),
            "Keine Antwort vom TRV810 an socket://10.0.0.5:4001: prüfen Sie die serielle Schnittstelle des Servers "
            "(19200 Baud, 8N1, ohne Flusssteuerung), das Kabel vom Server zum TRV810 und die Stromversorgung des "
            "TRV810.");
}

}  // namespace
}  // namespace trv810::transfer
