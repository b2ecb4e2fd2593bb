#include "config/form.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "config/control_ids.h"
#include "config/signal_sequence.h"
#include "form_fixture.h"
#include "recording_host.h"

using namespace trv810::config;
using trv810::testing::FormFixture;
namespace cids = trv810::config::ids;

namespace {

FormResult code(int c, int row = 0) { return FormResult{c, row}; }

}  // namespace

TEST(Form, ANewFormShowsRowsOneToEightWithOnlyTheActiveTogglesUsable) {
  FormFixture f;
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(f.controls.text(cids::rowNumber(k)), std::to_string(k + 1));
    EXPECT_TRUE(f.controls.enabled(cids::active(k)));
    EXPECT_FALSE(f.controls.checked(cids::active(k)));
    for (int id : {cids::address(k), cids::function(k), cids::siren(k), cids::sequence(k), cids::relay(7, k)})
      EXPECT_FALSE(f.controls.enabled(id)) << id;
    EXPECT_EQ(f.controls.selection(cids::function(k)), 0);
  }
  EXPECT_EQ(f.controls.selection(cids::kBaudRate), 1);
  // Nothing loaded: the empty switch-on time of K3 is the first error.
  EXPECT_EQ(f.form.readForm(), code(4));
  EXPECT_EQ(formResultMessage(f.form.readForm()), "Fehler: Einschaltzeit K3");
}

TEST(Form, FillingFromAClearedImageShowsZerosAnd512) {
  FormFixture f;
  f.form.showImportedImage();
  for (int j = 0; j < kRelayCount; ++j) EXPECT_EQ(f.controls.text(cids::switchOnTime(j)), "0");
  EXPECT_EQ(f.controls.text(cids::kDeadTime), "0");
  EXPECT_EQ(f.controls.text(cids::kAlarmInterval), "0");
  EXPECT_EQ(f.controls.text(cids::kManualSequence), "");
  EXPECT_EQ(f.controls.selection(cids::kBaudRate), 0);
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(f.controls.text(cids::address(k)), "");
    EXPECT_EQ(f.controls.text(cids::sequence(k)), "");
    EXPECT_FALSE(f.controls.checked(cids::active(k)));
  }
}

TEST(Form, FillsEveryFieldFromTheImage) {
  FormFixture f;
  f.image.setAddress(0, 5);
  f.image.setAddress(1, 2047993);
  f.image.setFunctionIndex(1, 2);
  f.image.setActiveMask(0b11);
  f.image.setSirenMask(0b10);
  f.image.setRelayOn(3, 1, true);
  std::ranges::fill(f.image.sequence(1), uint8_t{0xFF});
  f.image.sequence(1)[0] = 0x45;
  f.image.setFlags(0x8101);
  f.image.setSwitchOnTime(7, 65000);
  std::ranges::copy(std::string("0123456789ABCDEF"), f.image.identText().begin());
  f.form.showImportedImage();
  EXPECT_EQ(f.controls.text(cids::address(0)), "0000005");
  EXPECT_EQ(f.controls.text(cids::address(1)), "2047993");
  EXPECT_EQ(f.controls.selection(cids::function(1)), 2);
  EXPECT_EQ(f.controls.text(cids::sequence(1)), "ON05");
  EXPECT_FALSE(f.controls.enabled(cids::sequence(0)));
  EXPECT_TRUE(f.controls.enabled(cids::sequence(1)));
  EXPECT_TRUE(f.controls.checked(cids::relay(3, 1)));
  EXPECT_TRUE(f.controls.checked(cids::manualRelay(0)));
  EXPECT_TRUE(f.controls.checked(cids::manualRelay(7)));
  EXPECT_FALSE(f.controls.checked(cids::manualRelay(1)));
  EXPECT_EQ(f.controls.selection(cids::kBaudRate), 1);
  EXPECT_EQ(f.controls.text(cids::switchOnTime(7)), "65000");
  EXPECT_EQ(f.controls.text(cids::kIdent), "0123456789ABCDEF");
}

TEST(Form, AddressLimits) {
  struct Case {
    const char* text;
    bool valid;
    uint32_t value;
  };
  for (const Case c : {Case{"0000008", true, 8}, Case{"2047993", true, 2047993}, Case{"7", false, 0},
                       Case{"2047994", false, 0}, Case{"", false, 0}, Case{"12a4", false, 0}}) {
    FormFixture f;
    f.fillValidGeneral();
    f.activate(4, c.text);
    const FormResult r = f.form.readForm();
    if (c.valid) {
      EXPECT_TRUE(r.ok()) << c.text;
      EXPECT_EQ(f.image.address(4), c.value);
    } else {
      EXPECT_EQ(r, code(1, 5)) << c.text;
      EXPECT_EQ(formResultMessage(r), "Adress-Fehler bei Adresse 5");
    }
  }
}

TEST(Form, AnAddressOfTenDigitsIsShownCutAndNeverPasses) {
  FormFixture f;
  f.fillValidGeneral();
  f.image.setAddress(0, 4294967295u);
  f.image.setActive(0, true);
  f.form.fillForm();
  EXPECT_EQ(f.form.addressText(0).addressText, "429496729");
  EXPECT_EQ(f.form.readForm(), code(1, 1));
}

TEST(Form, AllAddressesAreCheckedBeforeAnySequence) {
  FormFixture f;
  f.fillValidGeneral();
  f.activate(2, "100");
  f.form.toggleSiren(2 - f.form.topRow());
  f.activate(19, "3");
  f.form.addressText(2).sequenceText = "nonsense";
  EXPECT_EQ(f.form.readForm(), code(1, 20));
  f.form.addressText(19).addressText = "300";
  const FormResult r = f.form.readForm();
  EXPECT_EQ(r, code(2, 3));
  EXPECT_EQ(formResultMessage(r), "Syntaxfehler der Signalfolge bei Adresse 3");
}

TEST(Form, InactiveRowsAndRowsWithoutSirenKeepTheirImageFields) {
  FormFixture f;
  f.fillValidGeneral();
  f.image.setAddress(6, 3);  // invalid, but the row is inactive
  f.image.setSiren(6, true);
  f.form.addressText(6).sequenceText = "junk";
  f.activate(9, "1234");
  std::ranges::fill(f.image.sequence(9), uint8_t{0x11});
  f.form.addressText(9).sequenceText = "junk";  // no siren bit: never parsed
  ASSERT_TRUE(f.form.readForm().ok());
  EXPECT_EQ(f.image.address(6), 3u);
  EXPECT_TRUE(std::ranges::all_of(f.image.sequence(9), [](uint8_t b) { return b == 0x11; }));
}

TEST(Form, ManualSequenceIsAlwaysChecked) {
  FormFixture f;
  f.fillValidGeneral();
  f.controls.setText(cids::kManualSequence, "");
  EXPECT_EQ(f.form.readForm(), code(12));
  EXPECT_EQ(formResultMessage(code(12)), "Syntaxfehler der Signalfolge Handauslösung");
  // A slot whose first nine bytes are zero is shown as the empty text.
  f.image.setSwitchOnTime(0, 1);
  std::ranges::fill(f.image.manualSequence(), uint8_t{0xFF});
  std::fill_n(f.image.manualSequence().begin(), 9, uint8_t{0});
  f.form.fillForm();
  EXPECT_EQ(f.controls.text(cids::kManualSequence), "");
}

TEST(Form, NumberFieldLimits) {
  struct Case {
    int id;
    const char* text;
    int errorCode;  // 0: valid
  };
  const Case cases[] = {
      {cids::switchOnTime(0), "65000", 0}, {cids::switchOnTime(0), "65001", 4},
      {cids::switchOnTime(4), "0", 8},     {cids::switchOnTime(7), "", 11},
      {cids::kDeadTime, "254", 0},         {cids::kDeadTime, "255", 13},
      {cids::kDeadTime, "0", 13},          {cids::kDeadTime, "00100", 0},
      {cids::kAlarmInterval, "255", 14},   {cids::kAlarmInterval, "", 14},
  };
  for (const Case& c : cases) {
    FormFixture f;
    f.fillValidGeneral();
    f.controls.setText(c.id, c.text);
    EXPECT_EQ(f.form.readForm().code, c.errorCode) << c.id << " " << c.text;
  }
  FormFixture f;
  f.fillValidGeneral();
  f.controls.setText(cids::kDeadTime, "00100");  // only four characters are read
  ASSERT_TRUE(f.form.readForm().ok());
  EXPECT_EQ(f.image.deadTime(), 10);
  EXPECT_EQ(formResultMessage(code(8)), "Fehler: Einschaltzeit K7");
  EXPECT_EQ(formResultMessage(code(11)), "Fehler: Einschaltzeit K10");
}

TEST(Form, IdentOfSixteenAndSeventeenCharacters) {
  FormFixture f;
  f.fillValidGeneral();
  std::ranges::fill(f.image.identText(), uint8_t{'#'});
  f.controls.setText(cids::kIdent, "0123456789abcdef");
  ASSERT_TRUE(f.form.readForm().ok());
  EXPECT_EQ(std::string(f.image.identText().begin(), f.image.identText().end()), "0123456789abcdef");
  f.controls.setText(cids::kIdent, "0123456789abcdefg");
  EXPECT_EQ(f.form.readForm(), code(15));
  EXPECT_EQ(formResultMessage(code(15)), "Fehler: Ident-Nr.");
  f.controls.setText(cids::kIdent, "");
  ASSERT_TRUE(f.form.readForm().ok());
  EXPECT_EQ(std::string(f.image.identText().begin(), f.image.identText().end()),
            std::string(1, '\0') + "123456789abcdef");
}

TEST(Form, BaudRateSetsBitZeroAndKeepsTheOtherFlags) {
  FormFixture f;
  f.fillValidGeneral();
  f.image.setFlags(0x80FE);
  f.controls.setSelection(cids::kBaudRate, 1);
  ASSERT_TRUE(f.form.readForm().ok());
  EXPECT_EQ(f.image.flags(), 0x80FF);
  f.controls.setSelection(cids::kBaudRate, 0);
  ASSERT_TRUE(f.form.readForm().ok());
  EXPECT_EQ(f.image.flags(), 0x80FE);
  f.controls.setSelection(cids::kBaudRate, -1);
  EXPECT_EQ(f.form.readForm(), code(3));
  EXPECT_EQ(formResultMessage(code(3)), "Baudrate auswählen !");
}

TEST(Form, ScrollingKeepsTypedTexts) {
  FormFixture f;
  f.activate(0, "1111");
  f.form.toggleSiren(0);
  f.controls.setText(cids::sequence(0), "ON05");
  f.form.lineDown();
  EXPECT_EQ(f.controls.text(cids::rowNumber(0)), "2");
  f.form.moveTo(24);
  EXPECT_EQ(f.controls.text(cids::rowNumber(7)), "32");
  f.form.lineUp();
  f.form.moveTo(0);
  EXPECT_EQ(f.controls.text(cids::address(0)), "1111");
  EXPECT_EQ(f.controls.text(cids::sequence(0)), "ON05");
  // Made inactive, the row keeps its texts (stored before the toggle flips).
  f.controls.setText(cids::address(0), "2222");
  f.form.toggleActive(0);
  EXPECT_FALSE(f.controls.enabled(cids::address(0)));
  EXPECT_EQ(f.form.addressText(0).addressText, "2222");
}

TEST(Form, MovingStopsAtTheEnds) {
  FormFixture f;
  f.form.lineUp();
  EXPECT_EQ(f.form.topRow(), 0);
  f.form.moveTo(24);
  f.form.lineDown();
  EXPECT_EQ(f.form.topRow(), 24);
  f.form.moveTo(99);
  EXPECT_EQ(f.form.topRow(), 24);
  f.form.moveTo(-3);
  EXPECT_EQ(f.form.topRow(), 0);
}

TEST(Form, AFunctionIndexAboveThreeShowsNoSelectionAndIsStoredAsA) {
  FormFixture f;
  f.image.setActive(0, true);
  f.image.setFunctionIndex(0, 7);
  f.form.showImportedImage();
  EXPECT_EQ(f.controls.selection(cids::function(0)), -1);
  f.form.storeVisibleRows();
  EXPECT_EQ(f.form.addressText(0).functionIndex, 0);
}

TEST(Form, TogglesChangeTheImageAtOnce) {
  FormFixture f;
  EXPECT_TRUE(f.form.onToggle(cids::active(2)));
  EXPECT_TRUE(f.image.active(2));
  EXPECT_TRUE(f.controls.enabled(cids::siren(2)));
  EXPECT_FALSE(f.controls.enabled(cids::sequence(2)));
  EXPECT_TRUE(f.form.onToggle(cids::siren(2)));
  EXPECT_TRUE(f.image.siren(2));
  EXPECT_TRUE(f.controls.enabled(cids::sequence(2)));
  f.form.moveTo(10);
  EXPECT_TRUE(f.form.onToggle(cids::relay(5, 1)));  // K8 of row 11
  EXPECT_TRUE(f.image.relayOn(5, 11));
  EXPECT_TRUE(f.controls.checked(cids::relay(5, 1)));
  EXPECT_TRUE(f.form.onToggle(cids::manualRelay(2)));
  EXPECT_EQ(f.image.flags(), 0x0400);
  EXPECT_TRUE(f.form.onToggle(cids::manualRelay(2)));
  EXPECT_EQ(f.image.flags(), 0);
  for (int id : {cids::address(0), cids::kScrollBar, cids::kIdent, cids::kSave})
    EXPECT_FALSE(f.form.onToggle(id));
}

TEST(Form, AValidationFailureIsShownWithTheValidationCaption) {
  trv810::testing::RecordingHost host;
  EXPECT_TRUE(reportFormResult(host, code(0)));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_FALSE(reportFormResult(host, code(13)));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Fehler: Totzeit\nErlaubt sind 1 bis 254 s.");
  EXPECT_EQ(host.boxes[0].caption, "TRV810 Konfiguration");
  EXPECT_EQ(formResultMessage(code(14)), "Fehler: Alarmabstand");
}
