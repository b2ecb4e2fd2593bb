// The flash-update window's logic over controls in memory, with a unit that never
// answers: layout, the three button states, loading, starting, stopping, the port.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firmware/texts.h"
#include "hex_files.h"
#include "update_fixture.h"

namespace trv810::firmware {
namespace {

using window::ControlKind;
using window::Icon;
using test::rawImage;
using test::TempDir;
using test::UpdateFixture;

transfer::Notification note(unsigned message, uint32_t wParam) {
  transfer::Notification n;
  n.message = message;
  n.wParam = wParam;
  return n;
}

TEST(UpdateWindowLayout, SixControlsInCellsCentredOneCellBelowTheTop) {
  const window::WindowSpec s = UpdateWindow::layout({8, 16}, 817);
  EXPECT_EQ(s.title, "Flash-Update");
  EXPECT_EQ(s.frame, (window::Rect{408 - 200, 16, 400, 176}));
  struct Expected {
    ControlKind kind;
    int id;
    const char* text;
    window::Rect r;
  };
  // Ordinary buttons and tab stops: none of them could take the focus, so nothing in
  // the window was reached from the keyboard, and all three were drawn as the default.
  const std::vector<Expected> expected{
      {ControlKind::Button, 60, "&Hex-Datei", {8, 16, 120, 28}},
      {ControlKind::Static, ids::kFileName, "----------", {136, 16, 240, 28}},
      {ControlKind::Button, 61, "&Programmieren", {8, 48, 120, 28}},
      {ControlKind::Button, 62, "&Stop", {136, 48, 120, 28}},
      {ControlKind::Static, ids::kStatus, "-", {8, 80, 384, 32}},
      {ControlKind::ProgressBar, -1, "", {8, 112, 360, 28}},
  };
  ASSERT_EQ(s.controls.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(s.controls[i].kind, expected[i].kind);
    EXPECT_EQ(s.controls[i].id, expected[i].id);
    EXPECT_EQ(s.controls[i].text, expected[i].text);
    EXPECT_EQ(s.controls[i].rect(), expected[i].r);
    EXPECT_EQ(s.controls[i].centred, expected[i].kind == ControlKind::Static);
    EXPECT_EQ(s.controls[i].tabStop, expected[i].kind == ControlKind::Button);
  }
  // 7h/4 is truncated: 7 * 15 / 4 = 26.
  EXPECT_EQ(UpdateWindow::layout({7, 15}, 700).controls[0].h, 26);
}

TEST(UpdateWindow, OpensIdleWithoutAFile) {
  UpdateFixture f;
  EXPECT_EQ(f.host.title, "Flash-Update");
  EXPECT_TRUE(f.buttons(true, false, false));
  EXPECT_EQ(f.status(), "-");
  EXPECT_EQ(f.controls.text(ids::kFileName), "----------");
  EXPECT_EQ(f.host.progress, 0);
}

TEST(UpdateWindow, TheFileDialogOffersFirmwareFilesFirstAndCancellingTheFirstEmptiesTheLabel) {
  UpdateFixture f;
  f.window.onCommand(ids::kHexFile);
  ASSERT_EQ(f.host.dialogs.size(), 1u);
  const window::FileDialogRequest& r = f.host.dialogs[0];
  EXPECT_EQ(r.filterPatterns, "*.hex *.HEX *.bin *.BIN");
  ASSERT_EQ(r.moreFilters.size(), 1u);
  EXPECT_EQ(r.moreFilters[0].patterns, "*.kfg");
  EXPECT_EQ(r.startPath, "");
  EXPECT_EQ(f.controls.text(ids::kFileName), "");
  EXPECT_TRUE(f.buttons(true, false, false));
  EXPECT_EQ(f.host.waitCursors, 0);
}

TEST(UpdateWindow, ALoadedFileEnablesProgrammingAndShowsItsFullPath) {
  TempDir dir;
  UpdateFixture f;
  const std::string file = dir.write("Gerät.bin", rawImage(1000));
  f.load(file);
  EXPECT_TRUE(f.host.boxes.empty());
  EXPECT_EQ(f.image.length(), 1000u);
  EXPECT_TRUE(f.buttons(true, true, false));
  EXPECT_EQ(platform::cp1252ToUtf8(f.controls.text(ids::kFileName)), file);
  EXPECT_EQ(f.path, file);
  EXPECT_EQ(f.host.waitCursors, 1);
  EXPECT_FALSE(f.host.waiting);

  // A cancelled dialog starts from that path and leaves everything as it was.
  f.host.chosenPath.reset();
  f.window.onCommand(ids::kHexFile);
  EXPECT_EQ(f.host.dialogs.back().startPath, file);
  EXPECT_EQ(f.path, file);
  EXPECT_TRUE(f.buttons(true, true, false));

  // A .bin that holds HEX text is sent as it is; the status line warns of it.
  f.load(dir.write("fw.bin", ":0400000001020300F6\r\n:00000001FF\r\n"));
  EXPECT_TRUE(f.buttons(true, true, false));
  EXPECT_EQ(platform::cp1252ToUtf8(f.controls.text(ids::kStatus)),
            "Warnung: die Binärdatei enthält HEX-Text und wird unverändert gesendet !");
}

// After a failed load the label was empty and the status line still told the last
// transfer's result, as if that file were loaded.
TEST(UpdateWindow, AFailedLoadEmptiesThePathShowsTheEmptyStatesAndDisablesProgramming) {
  TempDir dir;
  UpdateFixture f;
  f.load(dir.write("good.bin", rawImage(64)));
  f.window.onCommand(ids::kProgram);
  f.window.onNotification(note(transfer::WM_TRANSFER_RESULT, transfer::RESULT_PROGRAMMED));
  ASSERT_EQ(f.status(), "Programmierung beendet.");
  f.host.boxes.clear();
  f.load(dir.write("bad.hex", ":10000000zz\r\n"));
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].text, "Ungültiges Dateiformat!\n\nZeile 1, Spalte 10: 'z' ist keine Hex-Ziffer (erlaubt: 0-9 und A-F, groß)");
  EXPECT_EQ(f.host.boxes[0].caption, "TRV810-Update");
  EXPECT_EQ(f.host.boxes[0].icon, Icon::Error);
  EXPECT_EQ(f.host.boxes[0].statusShown, "-");
  EXPECT_EQ(f.path, "");
  EXPECT_EQ(f.controls.text(ids::kFileName), "----------");
  EXPECT_TRUE(f.buttons(true, false, false));
  EXPECT_FALSE(f.host.waiting);
  // Programmieren is disabled, so a click that reaches the window anyway does nothing.
  f.window.onCommand(ids::kProgram);
  EXPECT_FALSE(f.link.isOpen());
}

TEST(UpdateWindow, ProgrammingAnnouncesTheBlocksAndOnlyStopIsUsableWhileItRuns) {
  TempDir dir;
  UpdateFixture f;
  f.transfer.record().requestParams[2] = 0x03;  // left by an earlier configuration write
  f.load(dir.write("fw.bin", rawImage(1000)));
  f.window.onCommand(ids::kProgram);
  ASSERT_TRUE(f.window.transferRunning());
  EXPECT_TRUE(f.buttons(false, false, true));
  EXPECT_EQ(f.host.progressMax, 125);
  const transfer::TransferRecord& r = f.transfer.record();
  EXPECT_EQ(r.openCommand, 0x30);
  EXPECT_EQ(r.blockCommand, 0x31);
  EXPECT_EQ(r.formatIndex, 0xFF);
  EXPECT_EQ(r.imageLength, 1000u);
  EXPECT_EQ(r.blockLength, 8);
  EXPECT_EQ(r.requestParams[0], 0x7D);
  EXPECT_EQ(r.requestParams[1], 0x00);
  EXPECT_EQ(r.requestParams[2], 0x03);

  f.window.onNotification(note(transfer::WM_TRANSFER_STARTED, 1));
  EXPECT_EQ(f.status(), "Flash löschen...\nseit 0:00");
  EXPECT_EQ(f.controls.text(ids::kStatus), "Flash l\xF6schen...\nseit 0:00");  // Windows-1252 in the control
  f.window.onNotification(note(transfer::WM_TRANSFER_PROGRESS, 1));
  EXPECT_EQ(f.status(), "1 von 125 Blöcken programmiert !\n0 %");
  EXPECT_EQ(f.host.progress, 1);

  // Stop: no box, the file stays loaded, the port is closed.
  f.window.onCommand(ids::kStop);
  EXPECT_FALSE(f.window.transferRunning());
  EXPECT_FALSE(f.link.isOpen());
  EXPECT_TRUE(f.host.boxes.empty());
  EXPECT_EQ(f.status(), "Programmierung abgebrochen !\nFirmware unvollständig: vor Gebrauch neu flashen !");
  EXPECT_EQ(f.host.progress, 0);
  EXPECT_TRUE(f.buttons(true, true, false));

  // Notices the thread posted before it was stopped change nothing any more.
  f.window.onNotification(note(transfer::WM_TRANSFER_PROGRESS, 2));
  f.window.onNotification(note(transfer::WM_TRANSFER_STARTED, 1));
  EXPECT_EQ(f.status(), "Programmierung abgebrochen !\nFirmware unvollständig: vor Gebrauch neu flashen !");
  EXPECT_EQ(f.host.progress, 0);
}

// An image under 8 bytes made an empty progress range: an endless busy bar.
TEST(UpdateWindow, AnImageOfNoWholeBlockStillGetsAProgressRange) {
  TempDir dir;
  UpdateFixture f;
  f.load(dir.write("tiny.bin", rawImage(5)));
  f.window.onCommand(ids::kProgram);
  ASSERT_TRUE(f.window.transferRunning());
  EXPECT_EQ(std::make_pair(f.host.progressMin, f.host.progressMax), std::make_pair(0, 1));
}

TEST(UpdateWindow, AResultPostedBeforeTheStopIsStillTold) {
  TempDir dir;
  UpdateFixture f;
  f.load(dir.write("fw.bin", rawImage(16)));
  f.window.onCommand(ids::kProgram);
  f.window.onCommand(ids::kStop);
  f.window.onNotification(note(transfer::WM_TRANSFER_RESULT, transfer::RESULT_PROGRAMMED));
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].text, "Programmierung erfolgreich !");
  EXPECT_EQ(f.status(), "Programmierung beendet.");
  EXPECT_TRUE(f.buttons(true, true, false));
}

// A 512 KiB image takes about 16 minutes, and the window showed neither the share done
// nor the time left, nothing at all while the unit erased or did not answer; after
// the start and after the end the focus was on a disabled button, so no key reached
// the window.
TEST(UpdateWindow, WhileProgrammingTheStatusTellsTheEraseTheShareAndTheTimeLeftAndTheFocusFollows) {
  using namespace std::chrono_literals;
  TempDir dir;
  UpdateFixture f;
  f.load(dir.write("fw.bin", rawImage(1000)));  // 125 blocks
  f.host.focused = ids::kProgram;
  f.window.onCommand(ids::kProgram);
  EXPECT_EQ(f.host.focused, ids::kStop);
  EXPECT_TRUE(f.host.ticking);
  f.window.onNotification(note(transfer::WM_TRANSFER_STARTED, 0));
  f.window.onNotification(note(transfer::WM_TRANSFER_STARTED, 1));
  f.host.clock += 1400ms;
  f.window.onTick();
  EXPECT_EQ(f.status(), "Flash löschen...\nseit 0:01");
  f.host.clock += 1600ms;
  f.window.onNotification(note(transfer::WM_TRANSFER_STARTED, 1));  // no answer: sent again
  EXPECT_EQ(f.status(), "Flash löschen...\nVersuch 2 von 5, seit 0:03");
  // The pace counts from the first block: 25 blocks of 8 bytes in 2 s, 99 blocks left.
  f.window.onNotification(note(transfer::WM_TRANSFER_PROGRESS, 1));
  f.host.clock += 2s;
  f.window.onNotification(note(transfer::WM_TRANSFER_PROGRESS, 26));
  EXPECT_EQ(f.status(), "26 von 125 Blöcken programmiert !\n20 %, noch 0:08");
  f.host.clock += 4s;
  f.window.onTick();  // no block meanwhile: the pace drops, the time left grows
  EXPECT_EQ(f.status(), "26 von 125 Blöcken programmiert !\n20 %, noch 0:24");
  f.window.onNotification(note(transfer::WM_TRANSFER_RESULT, transfer::RESULT_PROGRAMMED));
  EXPECT_EQ(f.host.focused, ids::kProgram);
  EXPECT_FALSE(f.host.ticking);
  f.host.clock += 1s;
  f.window.onTick();
  EXPECT_EQ(f.status(), "Programmierung beendet.");
}

TEST(UpdateWindow, EveryResultEndsTheTransferWithItsBox) {
  struct Case {
    uint32_t code;
    const char* text;  // "" for no box
    Icon icon;
    const char* status;
  };
  // A connection that broke off ended with "Programmierung beendet.", as success did.
  // Every end but success and the unit's refusal leaves the firmware incomplete.
  constexpr const char* kIncomplete = "Programmierung fehlgeschlagen !\nFirmware unvollständig: vor Gebrauch neu flashen !";
  const Case cases[] = {
      {transfer::RESULT_NO_ANSWER,
       "Verbindung unterbrochen !\n\nKeine Antwort vom TRV810 an COM1 (/dev/ttyS0): prüfen Sie das Kabel, die "
       "Stromversorgung des TRV810 und ob der richtige Port gewählt ist.",
       Icon::Error, kIncomplete},
      {transfer::RESULT_ERASE_FAILED, "Fehler beim Flashlöschen !", Icon::Error, kIncomplete},
      {transfer::RESULT_BLOCK_FAILED, "Fehler beim Programm-Update !", Icon::Error, kIncomplete},
      {transfer::RESULT_PROGRAMMED, "Programmierung erfolgreich !", Icon::Information, "Programmierung beendet."},
      {transfer::RESULT_INCOMPATIBLE, texts::kIncompatible.data(), Icon::Error, "Programmierung fehlgeschlagen !"},
      {transfer::RESULT_READ_DONE, "", Icon::Error, kIncomplete},
  };
  TempDir dir;
  const std::string file = dir.write("fw.bin", rawImage(40));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    UpdateFixture f;
    f.load(file);
    f.window.onCommand(ids::kProgram);
    f.window.onNotification(note(transfer::WM_TRANSFER_RESULT, c.code));
    EXPECT_FALSE(f.link.isOpen());
    EXPECT_TRUE(f.buttons(true, true, false));
    EXPECT_EQ(f.status(), c.status);
    if (*c.text == '\0') {
      EXPECT_TRUE(f.host.boxes.empty());
      continue;
    }
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0].text, c.text);
    EXPECT_EQ(f.host.boxes[0].caption, "TRV810-Update");
    EXPECT_EQ(f.host.boxes[0].icon, c.icon);
    EXPECT_EQ(f.host.boxes[0].statusShown, c.status);
    EXPECT_EQ(f.host.boxes[0].progressShown, 0);
  }
}

TEST(UpdateWindow, ThePortMessageNamesThePortAndNothingStarts) {
  TempDir dir;
  UpdateFixture f(platform::makeSerialDeviceOpener());
  f.ports.setDevice(2, (dir.path / "no-such-tty").string());
  f.selectedPort = 2;
  f.load(dir.write("fw.bin", rawImage(40)));
  f.window.onCommand(ids::kProgram);
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].text.rfind("Port COM3 konnte nicht geöffnet werden !", 0), 0u) << f.host.boxes[0].text;
  EXPECT_EQ(f.host.boxes[0].caption, "TRV810-Update");
  EXPECT_EQ(f.host.boxes[0].icon, Icon::Error);
  EXPECT_FALSE(f.window.transferRunning());
  EXPECT_FALSE(f.transfer.active().load());
  EXPECT_TRUE(f.buttons(true, true, false));
}

TEST(UpdateWindow, AnImageOf65536BlocksIsRefusedBeforeThePortOpens) {
  TempDir dir;
  UpdateFixture f;
  f.load(dir.write("big.bin", rawImage(524288)));
  ASSERT_EQ(f.image.length(), 524288u);
  f.window.onCommand(ids::kProgram);
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_NE(f.host.boxes[0].text.find("524288 Bytes"), std::string::npos) << f.host.boxes[0].text;
  EXPECT_EQ(f.host.boxes[0].caption, "TRV810-Update");
  EXPECT_FALSE(f.link.isOpen());
  EXPECT_FALSE(f.window.transferRunning());
  EXPECT_TRUE(f.buttons(true, true, false));

  // 524,280 bytes are 0xFFFF blocks, the most the count holds.
  f.host.boxes.clear();
  f.load(dir.write("max.bin", rawImage(524280)));
  f.window.onCommand(ids::kProgram);
  EXPECT_TRUE(f.host.boxes.empty());
  EXPECT_TRUE(f.window.transferRunning());
  EXPECT_EQ(f.transfer.record().requestParams[0], 0xFF);
  EXPECT_EQ(f.transfer.record().requestParams[1], 0xFF);
  EXPECT_EQ(f.host.progressMax, 0xFFFF);
}

// Closing during programming stopped it silently, leaving part of a firmware.
TEST(UpdateWindow, ClosingDuringATransferAsksFirstThenStopsItSilently) {
  TempDir dir;
  UpdateFixture f;
  EXPECT_TRUE(f.window.onCloseRequest());  // idle: nothing to ask
  f.load(dir.write("fw.bin", rawImage(40)));
  f.window.onCommand(ids::kProgram);
  ASSERT_TRUE(f.link.isOpen());
  EXPECT_FALSE(f.window.onCloseRequest());  // answered No: programming goes on
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].text,
            "Der TRV810 wird gerade programmiert. Programmierung abbrechen und Fenster schließen ?\n\n"
            "Firmware unvollständig: vor Gebrauch neu flashen !");
  EXPECT_EQ(f.host.boxes[0].caption, "TRV810-Update");
  EXPECT_EQ(f.host.boxes[0].defaultAnswer, window::Answer::No);  // Enter keeps programming
  EXPECT_TRUE(f.link.isOpen());
  f.host.boxes.clear();
  f.host.answers.push_back(window::Answer::Yes);
  EXPECT_TRUE(f.window.onCloseRequest());
  f.host.boxes.clear();
  f.window.onClose();
  EXPECT_FALSE(f.link.isOpen());
  EXPECT_FALSE(f.transfer.active().load());
  EXPECT_FALSE(f.window.transferRunning());
  // A result the thread posted before the close raises no box for a window that is gone.
  f.window.onNotification(note(transfer::WM_TRANSFER_RESULT, transfer::RESULT_NO_ANSWER));
  EXPECT_TRUE(f.host.boxes.empty());
}

}  // namespace
}  // namespace trv810::firmware
