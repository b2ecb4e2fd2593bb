#include <gtest/gtest.h>

#include <string>

#include "config/config_window.h"
#include "config/control_ids.h"
#include "config/signal_box.h"
#include "platform/cp1252.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace trv810 {
namespace {

namespace ids = config::ids;
using config::ScrollRequest;
using window::Icon;
using testing::WindowFixture;
using transfer::Notification;

Notification result(uint32_t code) { return {transfer::WM_TRANSFER_RESULT, code, 0, {}}; }
Notification progress(uint32_t blocks) { return {transfer::WM_TRANSFER_PROGRESS, blocks, 0, {}}; }

// --- creation, scrolling, toggles, focus -------------------------------------------

TEST(ConfigWindow, StartsWithAnEmptyFormAndOnlyTheActiveTogglesUsable) {
  WindowFixture f;
  f.image.setAddress(3, 1234);  // left from an earlier window
  f.window.onCreate();
  EXPECT_EQ(f.image, config::ConfigImage{});
  EXPECT_EQ(f.host.title, "TRV810-Konfiguration");
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(f.controls.text(ids::rowNumber(k)), std::to_string(k + 1));
    EXPECT_TRUE(f.controls.enabled(ids::active(k)));
    EXPECT_FALSE(f.controls.checked(ids::active(k)));
    for (int id : {ids::address(k), ids::function(k), ids::siren(k), ids::sequence(k), ids::relay(0, k), ids::relay(7, k)})
      EXPECT_FALSE(f.controls.enabled(id)) << id;
    EXPECT_EQ(f.controls.selection(ids::function(k)), 0);
    EXPECT_EQ(f.controls.text(ids::address(k)), "");
  }
  EXPECT_EQ(f.controls.selection(ids::kBaudRate), 1);  // "1200"
  for (int id : {ids::switchOnTime(0), ids::kManualSequence, ids::kDeadTime, ids::kAlarmInterval, ids::kIdent})
    EXPECT_EQ(f.controls.text(id), "");
  EXPECT_TRUE(f.buttonsIdle());
  EXPECT_EQ(f.host.progress, 0);
  EXPECT_EQ(f.controls.selection(ids::kScrollBar), 0);
  EXPECT_TRUE(f.host.boxes.empty());
}

TEST(ConfigWindow, ScrollsByLinesAndThumbWithinZeroTo24) {
  WindowFixture f;
  f.window.onScroll(ScrollRequest::LineUp);
  EXPECT_EQ(f.window.form().topRow(), 0);
  EXPECT_EQ(f.controls.selection(ids::kScrollBar), 0);
  f.window.onScroll(ScrollRequest::Thumb, 24);
  EXPECT_EQ(f.controls.text(ids::rowNumber(0)), "25");
  f.window.onScroll(ScrollRequest::LineDown);
  EXPECT_EQ(f.window.form().topRow(), 24);
  EXPECT_EQ(f.controls.selection(ids::kScrollBar), 24);
  EXPECT_EQ(f.controls.text(ids::rowNumber(7)), "32");
  f.window.onScroll(ScrollRequest::LineUp);
  EXPECT_EQ(f.window.form().topRow(), 23);
  EXPECT_EQ(f.controls.selection(ids::kScrollBar), 23);
  for (ScrollRequest r : {ScrollRequest::PageUp, ScrollRequest::PageDown, ScrollRequest::Top, ScrollRequest::Bottom,
                          ScrollRequest::EndScroll}) {
    f.controls.setSelection(ids::kScrollBar, -1);
    f.window.onScroll(r, 5);
    EXPECT_EQ(f.window.form().topRow(), 23);
    EXPECT_EQ(f.controls.selection(ids::kScrollBar), -1);
  }
}

TEST(ConfigWindow, KeepsTypedRowsWhileTheyAreScrolledAway) {
  WindowFixture f;
  f.window.onCommand(ids::active(2));
  f.controls.setText(ids::address(2), "1234567");
  f.window.onScroll(ScrollRequest::PageDown);  // changes nothing, stores nothing
  for (int i = 0; i < 12; ++i) f.window.onScroll(ScrollRequest::LineDown);
  EXPECT_NE(f.controls.text(ids::address(2)), "1234567");
  for (int i = 0; i < 12; ++i) f.window.onScroll(ScrollRequest::LineUp);
  EXPECT_EQ(f.controls.text(ids::address(2)), "1234567");
}

TEST(ConfigWindow, TogglesChangeTheImageAtOnceAndOtherIdsNothing) {
  WindowFixture f;
  f.window.onScroll(ScrollRequest::Thumb, 5);
  f.window.onCommand(ids::active(1));
  EXPECT_TRUE(f.image.active(6));
  EXPECT_TRUE(f.controls.checked(ids::active(1)));
  EXPECT_TRUE(f.controls.enabled(ids::address(1)));
  f.window.onCommand(ids::siren(1));
  EXPECT_TRUE(f.image.siren(6));
  EXPECT_TRUE(f.controls.enabled(ids::sequence(1)));
  f.window.onCommand(ids::relay(2, 1));
  EXPECT_TRUE(f.image.relayOn(2, 6));
  f.window.onCommand(ids::manualRelay(3));
  EXPECT_EQ(f.image.flags(), 1u << 11);
  f.window.onCommand(ids::manualRelay(3));
  EXPECT_EQ(f.image.flags(), 0u);
  const config::ConfigImage before = f.image;
  for (int id : {ids::rowNumber(0), ids::address(1), ids::kScrollBar, ids::kIdent, 140, 155})
    f.window.onCommand(id);
  EXPECT_EQ(f.image, before);
  EXPECT_TRUE(f.host.boxes.empty());
}

TEST(ConfigWindow, APressFocusesFormControlsButNotTogglesOrButtons) {
  WindowFixture f;
  f.window.onLeftButtonDown(ids::address(0), true);
  EXPECT_EQ(f.host.focused, ids::address(0));
  f.window.onLeftButtonDown(ids::kScrollBar, true);
  EXPECT_EQ(f.host.focused, ids::kScrollBar);
  for (int id : {ids::active(0), ids::relay(7, 7), ids::manualRelay(0), ids::kProgram}) {
    f.window.onLeftButtonDown(id, true);
    EXPECT_EQ(f.host.focused, ids::kScrollBar) << id;
  }
  f.window.onLeftButtonDown(ids::kIdent, false);  // another button or a modifier key is down
  EXPECT_EQ(f.host.focused, ids::kScrollBar);
}

// --- commands that fail before a transfer ------------------------------------------

TEST(ConfigWindow, ProgrammingAFreshWindowReportsTheFirstSwitchOnTime) {
  WindowFixture f;
  f.window.onCommand(ids::kProgram);
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].text, "Fehler: Einschaltzeit K3\nErlaubt sind 1 bis 65000 s.");
  EXPECT_EQ(f.host.boxes[0].caption, "TRV810 Konfiguration");
  EXPECT_EQ(f.host.boxes[0].icon, Icon::Error);
  EXPECT_EQ(f.host.focused, ids::switchOnTime(0));
  EXPECT_FALSE(f.link.isOpen());
  EXPECT_TRUE(f.buttonsIdle());
}

// A form error named a row the user could not see, and left the focus where it was.
TEST(ConfigWindow, AFormErrorScrollsToItsRowFocusesItsFieldAndSaysWhatIsAllowed) {
  WindowFixture f;
  f.fillValidGeneral();
  f.window.onScroll(ScrollRequest::Thumb, 16);
  f.window.onCommand(ids::active(3));  // row 20
  f.controls.setText(ids::address(3), "7");
  f.window.onCommand(ids::siren(3));
  f.window.onScroll(ScrollRequest::Thumb, 0);
  f.window.onCommand(ids::kProgram);
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].text, "Adress-Fehler bei Adresse 20\nErlaubt sind Adressen von 8 bis 2047993 (nur Ziffern).");
  EXPECT_EQ(f.window.form().topRow(), 19);
  EXPECT_EQ(f.controls.selection(ids::kScrollBar), 19);
  EXPECT_EQ(f.host.focused, ids::address(0));
  EXPECT_TRUE(f.host.selected);  // selected whole: the next digit replaces "7", not "78"
  // A row in view is not scrolled; the sequence error names its elements.
  f.controls.setText(ids::address(0), "8");
  f.window.onScroll(ScrollRequest::Thumb, 15);
  f.window.onCommand(ids::kSave);
  ASSERT_EQ(f.host.boxes.size(), 2u);
  EXPECT_EQ(f.host.boxes[1].text.rfind("Syntaxfehler der Signalfolge bei Adresse 20\nErlaubt sind ONnn, OFFnn", 0), 0u)
      << f.host.boxes[1].text;
  EXPECT_EQ(f.window.form().topRow(), 15);
  EXPECT_EQ(f.host.focused, ids::sequence(4));
  EXPECT_TRUE(f.host.dialogStarts.empty());  // nothing is saved
  f.controls.setText(ids::sequence(4), "ON05");
  f.controls.setText(ids::kDeadTime, "255");
  f.window.onCommand(ids::kSave);
  EXPECT_EQ(f.host.boxes.back().text, "Fehler: Totzeit\nErlaubt sind 1 bis 254 s.");
  EXPECT_EQ(f.host.focused, ids::kDeadTime);
}

TEST(ConfigWindow, TheWheelScrollsTheRowsAsTheScrollBarDoes) {
  WindowFixture f;
  f.window.onCommand(ids::active(0));
  f.controls.setText(ids::address(0), "1234567");
  f.window.onWheel(3);
  EXPECT_EQ(f.window.form().topRow(), 3);
  EXPECT_EQ(f.controls.selection(ids::kScrollBar), 3);
  EXPECT_EQ(f.controls.text(ids::rowNumber(0)), "4");
  f.window.onWheel(30);
  EXPECT_EQ(f.window.form().topRow(), 24);
  f.window.onWheel(-30);
  EXPECT_EQ(f.window.form().topRow(), 0);
  EXPECT_EQ(f.controls.text(ids::address(0)), "1234567");  // stored before it scrolled away
}

// Both faces once decided this each in its own way: what the wheel does is the
// window's. Over the rows a turn of whole notches scrolls them; a fine wheel's parts
// add up to notches; the scroll bar and the area outside the table are not the rows'.
TEST(ConfigWindow, TheWheelOverTheTableScrollsByWholeNotchesAndNowhereElse) {
  WindowFixture f;
  const window::WindowSpec layout = config::ConfigWindow::layout({8, 16}, 100 * 8, 40 * 16);
  f.window.useLayout(layout);
  const window::ControlInput input = f.window.input();
  const window::Rect table = layout.controls.front().rect();
  const window::Point inside{table.x + 10, table.y + 10};
  const window::Point below{table.x + 10, table.y + table.h + 5};
  EXPECT_FALSE(input.wheel(-1, below, -window::kWheelNotch, 3));
  EXPECT_FALSE(input.wheel(ids::kScrollBar, inside, -window::kWheelNotch, 3));
  EXPECT_EQ(f.window.form().topRow(), 0);
  EXPECT_TRUE(input.wheel(ids::function(0), inside, -window::kWheelNotch / 2, 3));
  EXPECT_EQ(f.window.form().topRow(), 0);  // half a notch: not yet
  EXPECT_TRUE(input.wheel(-1, inside, -window::kWheelNotch / 2, 3));
  EXPECT_EQ(f.window.form().topRow(), 3);  // towards the user: the rows below
  EXPECT_EQ(f.controls.selection(ids::kScrollBar), 3);
  EXPECT_TRUE(input.wheel(-1, inside, window::kWheelNotch, 2));
  EXPECT_EQ(f.window.form().topRow(), 1);
}

// Closing threw away unsaved edits without a word; the last file was forgotten. Then
// "TRV auslesen" and "Datei laden" still replaced them unasked (a typed dead time 99
// became 30), and Enter in the question answered "Ja".
TEST(ConfigWindow, ClosingReadingAndLoadingAskWhenTheFormDiffersFromWhatWasLastReadLoadedSavedOrProgrammed) {
  tests::TempDir dir;
  WindowFixture f;
  EXPECT_TRUE(f.window.onCloseRequest());  // a fresh form: nothing to lose
  EXPECT_TRUE(f.host.boxes.empty());
  f.fillValidGeneral();
  EXPECT_FALSE(f.window.onCloseRequest());  // answered No
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].text, "Die Änderungen sind nicht gespeichert. Fenster trotzdem schließen ?");
  EXPECT_EQ(f.host.boxes[0].caption, "TRV810-Konfiguration");
  EXPECT_EQ(f.host.boxes[0].buttons, window::Buttons::YesNo);
  EXPECT_EQ(f.host.boxes[0].defaultAnswer, window::Answer::No);
  f.host.answers.push_back(window::Answer::Yes);
  EXPECT_TRUE(f.window.onCloseRequest());

  const std::string file = dir.file("a.kfg");
  f.host.chosenPath = file;
  f.window.onCommand(ids::kSave);
  EXPECT_EQ(f.lastPath, file);
  EXPECT_TRUE(f.window.onCloseRequest());  // saved
  f.window.onCommand(ids::manualRelay(2));  // a toggle changes the form too
  EXPECT_FALSE(f.window.onCloseRequest());
  f.window.onCommand(ids::manualRelay(2));
  EXPECT_TRUE(f.window.onCloseRequest());  // back as saved
  f.window.onCommand(ids::active(4));
  f.controls.setText(ids::address(4), "77");
  f.window.onWheel(10);  // typed, then scrolled out of sight: still a change
  EXPECT_FALSE(f.window.onCloseRequest());

  // Programmed: the unit holds what the form showed when the download started.
  f.window.onCommand(ids::kProgram);
  ASSERT_TRUE(f.window.transferRunning());
  f.window.onNotification(result(transfer::RESULT_PROGRAMMED));
  EXPECT_EQ(f.host.boxes.back().text, "Programmierung erfolgreich !");
  EXPECT_TRUE(f.window.onCloseRequest());
  f.controls.setText(ids::kDeadTime, "99");
  f.window.onCommand(ids::kProgram);
  f.window.onNotification(result(transfer::RESULT_BLOCK_FAILED));  // not programmed
  EXPECT_FALSE(f.window.onCloseRequest());

  // A read or a load would replace the edits: each asks first, "Nein" answers.
  const std::size_t dialogs = f.host.dialogStarts.size();
  f.window.onCommand(ids::kRead);
  EXPECT_EQ(f.host.boxes.back().text, "Die Änderungen sind nicht gespeichert. Konfiguration trotzdem auslesen ?");
  EXPECT_EQ(f.host.boxes.back().defaultAnswer, window::Answer::No);
  EXPECT_FALSE(f.window.transferRunning());
  f.window.onCommand(ids::kLoad);
  EXPECT_EQ(f.host.boxes.back().text, "Die Änderungen sind nicht gespeichert. Datei trotzdem laden ?");
  EXPECT_EQ(f.host.boxes.back().defaultAnswer, window::Answer::No);
  EXPECT_EQ(f.host.dialogStarts.size(), dialogs);
  EXPECT_EQ(f.controls.text(ids::kDeadTime), "99");

  // Loaded after "Ja": the form shows the file. A window opened anew starts its dialog
  // at the file chosen last.
  f.host.answers.push_back(window::Answer::Yes);
  f.window.onCommand(ids::kLoad);
  EXPECT_EQ(f.controls.text(ids::kDeadTime), "5");
  EXPECT_TRUE(f.window.onCloseRequest());
  f.window.onClose();
  WindowFixture g;
  g.window.onCommand(ids::kLoad);  // cancelled: no path chosen
  EXPECT_EQ(g.host.dialogStarts, (std::vector<std::string>{""}));
  config::ConfigWindow again{g.image, g.staging, f.lastPath, g.transfer, {g.ports, g.selectedPort},
                             g.controls, g.host, g.sink};
  again.onCreate();
  again.onCommand(ids::kLoad);
  EXPECT_EQ(g.host.dialogStarts.back(), file);
}

TEST(ConfigWindow, NamesThePortThatCannotBeOpenedWithTheReason) {
  WindowFixture f(platform::makeSerialDeviceOpener());
  f.ports.setDevice(0, "/nonexistent/trv810-test-port");
  f.ports.setDevice(9, "/nonexistent/trv810-test-port");
  f.fillValidGeneral();
  f.host.answers = {window::Answer::Yes, window::Answer::Yes};  // read over the edits
  f.window.onCommand(ids::kRead);
  f.window.onCommand(ids::kProgram);
  f.selectedPort = 9;
  f.window.onCommand(ids::kRead);
  std::erase_if(f.host.boxes, [](const auto& box) { return box.buttons == window::Buttons::YesNo; });
  ASSERT_EQ(f.host.boxes.size(), 3u);
  const std::string com1 = "Port COM1 konnte nicht geöffnet werden !\n\n";
  EXPECT_EQ(f.host.boxes[0].text.substr(0, com1.size()), com1);
  EXPECT_GT(f.host.boxes[0].text.size(), com1.size());  // the reason follows
  EXPECT_EQ(f.host.boxes[1].text, f.host.boxes[0].text);
  EXPECT_EQ(f.host.boxes[2].text.rfind("Port COM10 konnte nicht geöffnet werden !\n\n", 0), 0u);
  for (const auto& box : f.host.boxes) {
    EXPECT_EQ(box.caption, "TRV810-Konfiguration");
    EXPECT_EQ(box.icon, Icon::Error);
  }
  EXPECT_FALSE(f.link.isOpen());
  EXPECT_TRUE(f.buttonsIdle());
  EXPECT_FALSE(f.window.transferRunning());
}

// --- transfers against a unit that never answers -----------------------------------

TEST(ConfigWindow, ReadFillsTheRecordAndLocksTheCommands) {
  WindowFixture f;
  f.transfer.formatIndex() = 1;  // from an earlier read
  f.window.onCommand(ids::kRead);
  ASSERT_TRUE(f.window.transferRunning());
  const auto& r = f.transfer.record();
  EXPECT_EQ(r.openCommand, 0x2C);
  EXPECT_EQ(r.unitAddress, 0);
  EXPECT_EQ(r.formatIndex, 3);
  EXPECT_EQ(r.blockLength, 8);
  EXPECT_EQ(r.image, f.staging.data());
  EXPECT_EQ(r.requestParams[0], 0);
  EXPECT_EQ(f.transfer.formatIndex().load(), 3);
  for (int id = ids::kProgram; id <= ids::kSave; ++id) EXPECT_FALSE(f.controls.enabled(id));
  EXPECT_TRUE(f.controls.enabled(ids::kCancel));
  EXPECT_EQ(std::make_pair(f.host.progressMin, f.host.progressMax), std::make_pair(0, 112));
  EXPECT_TRUE(f.transfer.active().load());
  f.window.onNotification(progress(7));
  EXPECT_EQ(f.host.progress, 7);
}

TEST(ConfigWindow, ProgramSendsACopyOfTheValidatedImage) {
  WindowFixture f;
  f.fillValidGeneral();
  f.window.onCommand(ids::kProgram);
  ASSERT_TRUE(f.window.transferRunning());
  const auto& r = f.transfer.record();
  EXPECT_EQ(r.openCommand, 0x2A);
  EXPECT_EQ(r.blockCommand, 0x2B);
  EXPECT_EQ(r.unitAddress, 0);
  EXPECT_EQ(r.imageLength, 898u);
  EXPECT_EQ(r.blockLength, 8);
  EXPECT_EQ(r.requestParams[0], 0x03);
  EXPECT_EQ(r.requestParams[1], 0x82);
  EXPECT_EQ(r.requestParams[2], 0x03);
  EXPECT_EQ(f.image.switchOnTime(0), 10);  // readForm wrote the form into the image
  EXPECT_TRUE(std::equal(f.image.bytes().begin(), f.image.bytes().end(), r.image));
  EXPECT_EQ(std::make_pair(f.host.progressMin, f.host.progressMax), std::make_pair(0, 112));
  // The toggles stay usable; the bytes on their way to the unit do not change.
  f.window.onCommand(ids::active(0));
  EXPECT_TRUE(f.image.active(0));
  EXPECT_EQ(r.image[config::ConfigImage::kActiveOffset], 0);
}

constexpr const char* kNoAnswerBox =
    "Verbindung unterbrochen !\n\nKeine Antwort vom TRV810 an COM1 (/dev/ttyS0): prüfen Sie das Kabel, die "
    "Stromversorgung des TRV810 und ob der richtige Port gewählt ist.";

struct ResultCase {
  uint32_t code;
  const char* text;
  const char* caption;
  Icon icon;
  const char* title;
};

class ConfigWindowResult : public ::testing::TestWithParam<ResultCase> {};

TEST_P(ConfigWindowResult, ClosesThePortAndShowsItsMessage) {
  const ResultCase& c = GetParam();
  WindowFixture f;
  f.window.onCommand(ids::kRead);
  f.window.onNotification(progress(30));
  f.window.onNotification(result(c.code));
  EXPECT_FALSE(f.link.isOpen());
  EXPECT_FALSE(f.transfer.active().load());
  EXPECT_TRUE(f.buttonsIdle());
  EXPECT_EQ(f.host.progress, 0);
  EXPECT_EQ(f.host.title, c.title);
  if (c.text == nullptr) {
    EXPECT_TRUE(f.host.boxes.empty());
    return;
  }
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].text, c.text);
  EXPECT_EQ(f.host.boxes[0].caption, c.caption);
  EXPECT_EQ(f.host.boxes[0].icon, c.icon);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCode, ConfigWindowResult,
    ::testing::Values(
        // After a unit that never answered: what to check, with the port and its device.
        ResultCase{0, kNoAnswerBox, "TRV810", Icon::Error, "TRV810 Konfiguration, Firmware ????"},
        ResultCase{1, "Fehler beim Flashlöschen !", "TRV810", Icon::Error, "TRV810-Konfiguration"},
        ResultCase{2, "Fehler beim Konfigurations-Update !", "TRV810", Icon::Error, "TRV810-Konfiguration"},
        ResultCase{3, "Programmierung erfolgreich !", "TRV810", Icon::Information, "TRV810-Konfiguration"},
        ResultCase{4, "TRV810-Firmware nicht kompatibel ! Aktualisieren Sie auf mindestens Version 1.7 !", "TRV810",
                   Icon::Error, "TRV810-Konfiguration"},
        ResultCase{9, nullptr, nullptr, Icon::Error, "TRV810-Konfiguration"}));

// An image as the unit sends it: `image` in `format` followed by its two check bytes.
void stage(config::StagingBuffer& staging, const std::vector<uint8_t>& image, bool goodSum = true) {
  std::copy(image.begin(), image.end(), staging.begin());
  auto check = config::uploadCheckBytes(image);
  if (!goodSum) ++check[0];
  staging[image.size()] = check[0];
  staging[image.size() + 1] = check[1];
}

std::vector<uint8_t> sampleImage() {
  config::ConfigImage image;
  image.setActive(0, true);
  image.setAddress(0, 1234);
  image.setSiren(0, true);
  image.sequence(0)[0] = 0x45;  // ON05
  image.sequence(0)[1] = 0xFF;
  image.setDeadTime(7);
  image.setFlags(config::kFlagBaud1200);
  return {image.bytes().begin(), image.bytes().end()};
}

// "Konfiguration gelesen !" stood over an empty form, which filled only after OK.
TEST(ConfigWindow, ReadDoneAcceptsTheImageAndShowsItFromRowOne) {
  WindowFixture f;
  f.host.whileShown = [&f] { return f.controls.text(ids::address(0)) + " " + f.host.title; };
  f.transfer.record().firmwareVersion = 0x17;
  stage(f.staging, sampleImage());
  f.window.onScroll(ScrollRequest::Thumb, 10);
  f.window.onCommand(ids::kRead);
  f.window.onNotification(result(transfer::RESULT_READ_DONE));
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].text, "Konfiguration gelesen !");
  EXPECT_EQ(f.host.boxes[0].caption, "TRV810-Upload");
  EXPECT_EQ(f.host.boxes[0].icon, Icon::Information);
  EXPECT_EQ(f.host.boxes[0].seen, "0001234 TRV810-Konfiguration, Firmware 01.07");
  EXPECT_EQ(f.host.title, "TRV810-Konfiguration, Firmware 01.07");
  EXPECT_EQ(f.window.form().topRow(), 0);
  EXPECT_EQ(f.controls.selection(ids::kScrollBar), 0);
  EXPECT_EQ(f.controls.text(ids::rowNumber(0)), "1");
  EXPECT_EQ(f.controls.text(ids::address(0)), "0001234");
  EXPECT_EQ(f.controls.text(ids::sequence(0)), "ON05");
  EXPECT_TRUE(f.controls.enabled(ids::sequence(0)));
  EXPECT_EQ(f.controls.text(ids::kDeadTime), "7");
  EXPECT_TRUE(f.buttonsIdle());
}

TEST(ConfigWindow, ReadDoneInTheOlderFormatWarnsAndConvertsIt) {
  WindowFixture f;
  auto current = sampleImage();
  std::vector<uint8_t> old(568, 0);
  std::copy_n(current.begin(), 200, old.begin());  // rows and masks sit where they did
  old[200] = 0x45;
  old[201] = 0xFF;
  old[546] = 9;  // dead time
  stage(f.staging, old);
  f.window.onCommand(ids::kRead);
  f.transfer.formatIndex() = 2;  // as the upload leaves it after one refusal
  f.window.onNotification(result(transfer::RESULT_READ_DONE));
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].text,
            "Veraltete HBX2-Firmware! Nicht unterstützte Eingabefelder werden mit Defaultdaten geladen.");
  EXPECT_EQ(f.host.boxes[0].caption, "TRV810-Upload");
  EXPECT_EQ(f.host.boxes[0].icon, Icon::Error);
  EXPECT_EQ(f.image.deadTime(), 9);
  EXPECT_EQ(f.controls.text(ids::sequence(0)), "ON05");
  EXPECT_EQ(f.controls.text(ids::kDeadTime), "9");
}

TEST(ConfigWindow, ReadDoneWithWrongCheckBytesKeepsImageAndFormButNamesTheFirmware) {
  WindowFixture f;
  f.transfer.record().firmwareVersion = 0x23;
  stage(f.staging, sampleImage(), false);
  f.window.onCommand(ids::kRead);
  f.window.onNotification(result(transfer::RESULT_READ_DONE));
  ASSERT_EQ(f.host.boxes.size(), 1u);
  EXPECT_EQ(f.host.boxes[0].text, "TRV810-Konfiguration ungültig !");
  EXPECT_EQ(f.host.boxes[0].caption, "TRV810");
  EXPECT_EQ(f.host.boxes[0].icon, Icon::Error);
  EXPECT_EQ(f.host.title, "TRV810-Konfiguration, Firmware 02.03");
  EXPECT_EQ(f.image, config::ConfigImage{});
  EXPECT_EQ(f.controls.text(ids::kDeadTime), "");
}

TEST(ConfigWindow, CancelStopsWithoutAMessageAndDropsWhatArrivesLate) {
  WindowFixture f;
  f.window.onCommand(ids::kRead);
  f.window.onNotification(progress(40));
  f.window.onCommand(ids::kCancel);
  EXPECT_FALSE(f.link.isOpen());
  EXPECT_FALSE(f.window.transferRunning());
  EXPECT_TRUE(f.buttonsIdle());
  EXPECT_EQ(f.host.progress, 0);
  f.window.onNotification(progress(41));
  f.window.onNotification(result(transfer::RESULT_NO_ANSWER));
  EXPECT_EQ(f.host.progress, 0);
  EXPECT_TRUE(f.host.boxes.empty());
  EXPECT_EQ(f.host.title, "TRV810-Konfiguration");
  // The window is idle again: the next command starts a new transfer.
  f.window.onCommand(ids::kRead);
  EXPECT_TRUE(f.window.transferRunning());
}

// Nothing showed during the unit's erase or while it did not answer, and after a
// start the focus sat on a disabled button, so neither Space nor Enter stopped it.
TEST(ConfigWindow, WhileATransferRunsTheStatusSaysWhatItDoesForHowLongAndAbbrechenHasTheFocus) {
  using namespace std::chrono_literals;
  WindowFixture f;
  const auto status = [&f] { return f.controls.text(ids::kStatus); };
  EXPECT_EQ(status(), "");
  f.fillValidGeneral();
  f.host.focused = ids::kProgram;
  f.window.onCommand(ids::kProgram);
  EXPECT_EQ(f.host.focused, ids::kCancel);
  EXPECT_TRUE(f.host.ticking);
  EXPECT_EQ(status(), "Flash l\xF6schen... 0:00");
  f.window.onNotification({transfer::WM_TRANSFER_STARTED, 1, 0, {}});
  f.host.clock += 1600ms;
  f.window.onTick();
  EXPECT_EQ(status(), "Flash l\xF6schen... 0:02");
  f.window.onNotification({transfer::WM_TRANSFER_STARTED, 1, 0, {}});  // no answer: sent again
  EXPECT_EQ(status(), "Flash l\xF6schen... Versuch 2 von 5, 0:02");
  f.window.onNotification(progress(1));
  EXPECT_EQ(status(), "Konfiguration schreiben... 0:00");
  f.window.onNotification(result(transfer::RESULT_PROGRAMMED));
  EXPECT_EQ(f.host.focused, ids::kProgram);  // back where it was
  EXPECT_FALSE(f.host.ticking);
  EXPECT_EQ(status(), "");

  f.window.onCommand(ids::kRead);
  EXPECT_EQ(f.host.focused, ids::kCancel);
  f.host.clock += 7s;
  f.window.onTick();
  EXPECT_EQ(status(), "Warte auf Antwort des TRV810... 0:07");
  f.window.onNotification({transfer::WM_TRANSFER_ACCEPTED, 0, 0, {}});
  EXPECT_EQ(status(), "Konfiguration lesen... 0:00");
  f.window.onCommand(ids::kCancel);
  EXPECT_EQ(f.host.focused, ids::kRead);
  EXPECT_EQ(status(), "");
  // The user moved the focus elsewhere meanwhile: it stays there.
  f.window.onCommand(ids::kRead);
  f.host.focused = ids::kIdent;
  f.window.onNotification(result(transfer::RESULT_NO_ANSWER));
  EXPECT_EQ(f.host.focused, ids::kIdent);
}

// Pasting 1000 into "Totzeit" gave 100, accepted; a long ident was cut; characters
// Windows-1252 lacks were dropped. A paste is taken whole or refused, with the reason.
TEST(ConfigWindow, APasteThatTheFieldCannotTakeWholeIsRefusedAndTheStatusSaysWhy) {
  WindowFixture f;
  const window::WindowSpec layout = config::ConfigWindow::layout({8, 16}, 800, 700);
  const auto edit = [&layout](int id) { return *window::findControl(layout.controls, id); };
  const auto status = [&f] { return platform::cp1252ToUtf8(f.controls.text(ids::kStatus)); };
  EXPECT_FALSE(f.window.onPaste(edit(ids::kDeadTime), "1000"));
  EXPECT_EQ(status(), "Nicht eingefügt: höchstens 3 Zeichen. Erlaubt sind 1 bis 254 s.");
  EXPECT_FALSE(f.window.onPaste(edit(ids::switchOnTime(0)), "12 s"));
  EXPECT_EQ(status(), "Nicht eingefügt: nur Ziffern. Erlaubt sind 1 bis 65000 s.");
  EXPECT_FALSE(f.window.onPaste(edit(ids::kIdent), "Wache Nord-Ost 12"));  // 17 characters
  EXPECT_EQ(status(), "Nicht eingefügt: höchstens 16 Zeichen.");
  EXPECT_FALSE(f.window.onPaste(edit(ids::kIdent), "Stra\xC3\x9F" "e \xC4\x80"));  // Ā has no byte
  EXPECT_EQ(status(), "Nicht eingefügt: Zeichen, die der TRV810 nicht speichern kann.");
  EXPECT_FALSE(f.window.onPaste(edit(ids::sequence(0)), std::string(127, 'R')));
  EXPECT_EQ(status(), "Nicht eingefügt: höchstens 126 Zeichen.");
  // Sixteen characters of Windows-1252, umlauts counted as one each, go in.
  EXPECT_TRUE(f.window.onPaste(edit(ids::kIdent), "Wache S\xC3\xBC" "d 123456"));
  EXPECT_EQ(status(), "");
  EXPECT_EQ(window::pastedLine("254\r\n"), "254");  // a cell copied from a table
}

TEST(ConfigWindow, ClosingStopsARunningTransferQuietly) {
  WindowFixture f;
  f.fillValidGeneral();
  f.window.onCommand(ids::kProgram);
  ASSERT_TRUE(f.link.isOpen());
  f.window.onClose();
  EXPECT_FALSE(f.link.isOpen());
  EXPECT_FALSE(f.transfer.active().load());
  f.window.onNotification(progress(3));
  EXPECT_NE(f.host.progress, 3);
  EXPECT_TRUE(f.host.boxes.empty());
}

// --- the signal-sequence dialog ----------------------------------------------------

// Shows row `row` in line `line` as active with the siren relay, its sequence `text`.
void prepareSequenceRow(WindowFixture& f, int top, int line, const std::string& text) {
  f.window.onScroll(ScrollRequest::Thumb, top);
  f.window.onCommand(ids::active(line));
  f.window.onCommand(ids::siren(line));
  f.controls.setText(ids::sequence(line), text);
}

auto typeAndPress(std::string text, int button) {
  return [text, button](window::MemoryControlTable& dialog, const auto& press) {
    dialog.setText(config::SignalBox::kEdit, text);
    press(button);
  };
}

TEST(ConfigWindow, DoubleClickEditsTheRowsSequenceInTheDialog) {
  WindowFixture f;
  prepareSequenceRow(f, 10, 3, "ON05");
  EXPECT_EQ(f.controls.text(ids::rowNumber(3)), "14");
  f.host.user = typeAndPress("ON10,OFF10", config::SignalBox::kOk);
  f.window.onDoubleClick(ids::sequence(3));
  EXPECT_EQ(f.host.signalBoxOwner, ids::sequence(3));
  EXPECT_EQ(f.host.signalBoxShown, "ON05");
  EXPECT_EQ(f.controls.text(ids::sequence(3)), "ON10,OFF10");
  EXPECT_EQ(f.window.form().addressText(13).sequenceText, "ON10,OFF10");
}

TEST(ConfigWindow, CancelInTheDialogKeepsTheEditButTheRowHoldsItsText) {
  WindowFixture f;
  prepareSequenceRow(f, 10, 3, "ON05");
  f.controls.setText(ids::sequence(3), "R03");  // typed, not yet stored
  f.host.user = typeAndPress("ON10", config::SignalBox::kCancel);
  f.window.onDoubleClick(ids::sequence(3));
  EXPECT_EQ(f.controls.text(ids::sequence(3)), "R03");
  EXPECT_EQ(f.window.form().addressText(13).sequenceText, "R03");
}

TEST(ConfigWindow, TheDialogCutsLongTextsTo127Characters) {
  WindowFixture f;
  const std::string exact(127, 'R');
  prepareSequenceRow(f, 0, 0, exact);
  f.host.user = [](window::MemoryControlTable&, const auto& press) { press(config::SignalBox::kOk); };
  f.window.onDoubleClick(ids::sequence(0));
  EXPECT_EQ(f.controls.text(ids::sequence(0)), exact);
  f.controls.setText(ids::sequence(0), exact + "ABC");
  f.window.onDoubleClick(ids::sequence(0));
  EXPECT_EQ(f.host.signalBoxShown, exact);
  EXPECT_EQ(f.controls.text(ids::sequence(0)), exact);
  EXPECT_EQ(f.window.form().addressText(0).sequenceText, exact);
  // A longer text typed in the dialog is cut as well.
  f.host.user = typeAndPress(exact + "XYZ", config::SignalBox::kOk);
  f.window.onDoubleClick(ids::sequence(0));
  EXPECT_EQ(f.controls.text(ids::sequence(0)), exact);
}

TEST(ConfigWindow, TheManualTriggerSequenceUsesABufferOfItsOwn) {
  WindowFixture f;
  f.controls.setText(ids::kManualSequence, "ON05");
  f.host.user = typeAndPress("H0512", config::SignalBox::kOk);
  f.window.onDoubleClick(ids::kManualSequence);
  EXPECT_EQ(f.host.signalBoxShown, "ON05");
  EXPECT_EQ(f.controls.text(ids::kManualSequence), "H0512");
  for (int r = 0; r < config::kRowCount; ++r) EXPECT_EQ(f.window.form().addressText(r).sequenceText, "");
}

TEST(ConfigWindow, OtherControlsAndDisabledSequenceEditsOpenNoDialog) {
  WindowFixture f;
  f.window.onCommand(ids::active(0));  // active, but without the siren relay
  for (int id : {ids::address(0), ids::function(0), ids::active(0), ids::sequence(0), ids::sequence(1), ids::kIdent})
    f.window.onDoubleClick(id);
  EXPECT_EQ(f.host.signalBoxOwner, -1);
}

TEST(SignalBox, OnlyItsTwoButtonsEndIt) {
  std::string buffer = "ON05";
  config::SignalBox box(buffer);
  window::MemoryControlTable dialog;
  box.onInit(dialog);
  EXPECT_EQ(dialog.text(config::SignalBox::kEdit), "ON05");
  dialog.setText(config::SignalBox::kEdit, "R01");
  for (int id : {1, 2, 117, 0})  // Enter and Escape come as the default ids 1 and 2
    EXPECT_EQ(box.onCommand(id, dialog), std::nullopt) << id;
  EXPECT_EQ(buffer, "ON05");
  EXPECT_EQ(box.onCommand(config::SignalBox::kCancel, dialog), 0);
  EXPECT_EQ(buffer, "ON05");
  EXPECT_EQ(box.onCommand(config::SignalBox::kOk, dialog), 1);
  EXPECT_EQ(buffer, "R01");
  // A paste the edit would cut to 127 characters is refused whole, and it says why.
  const window::ControlSpec edit =
      *window::findControl(config::SignalBox::layout({8, 16}).controls, config::SignalBox::kEdit);
  EXPECT_FALSE(box.onPaste(edit, std::string(128, 'R'), dialog));
  EXPECT_EQ(dialog.text(config::SignalBox::kNotice), "Nicht eingef\xFCgt: h\xF6" "chstens 127 Zeichen.");
  EXPECT_TRUE(box.onPaste(edit, std::string(127, 'R'), dialog));
  EXPECT_EQ(dialog.text(config::SignalBox::kNotice), "");
}

}  // namespace
}  // namespace trv810
