// The words chosen for what the link reports.

#include "transfer/texts.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace trv810::transfer {
namespace {

using link::OpenFailure;
using link::OpenFailureKind;

TEST(LinkTexts, EachOpenFailureSaysWhyAndWhatToDo) {
  EXPECT_EQ(texts::openFailureReason({OpenFailureKind::Missing, ENOENT, "/dev/ttyUSB0", ""}),
            "Das Gerät /dev/ttyUSB0 gibt es nicht.");
  EXPECT_EQ(texts::openFailureReason({OpenFailureKind::Missing, EIO, "/dev/ttyS3", ""}),
            "Hinter /dev/ttyS3 steht keine serielle Schnittstelle.");
  EXPECT_EQ(texts::openFailureReason({OpenFailureKind::PermissionDenied, EACCES, "/dev/ttyUSB0", "dialout"}),
            "Keine Berechtigung für /dev/ttyUSB0: treten Sie der Gruppe dialout bei "
            "(sudo usermod -aG dialout $USER, danach neu anmelden).");
  EXPECT_EQ(texts::openFailureReason({OpenFailureKind::InUse, EBUSY, "/dev/pts/3", ""}),
            "/dev/pts/3 wird von einem anderen Programm benutzt.");
  EXPECT_EQ(texts::openFailureReason({}), "");
  // The port and its device, or the path alone where the port was given as one.
  EXPECT_EQ(texts::noAnswerAdvice("COM5", "/dev/ttyUSB0"),
            "Keine Antwort vom TRV810 an COM5 (/dev/ttyUSB0): prüfen Sie das Kabel, die Stromversorgung des "
            "TRV810 und ob der richtige Port gewählt ist.");
  EXPECT_EQ(texts::deviceGone("/dev/pts/3", "/dev/pts/3"),
            "Das Gerät an /dev/pts/3 ist während der Übertragung verschwunden: Kabel oder USB-Adapter abgezogen ?");
}

}  // namespace
}  // namespace trv810::transfer
