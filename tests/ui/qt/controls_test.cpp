#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include "ui/qt/control_set.h"
#include "ui/qt/edit_validator.h"
#include "ui/qt/qt_control_table.h"
#include "ui/qt/qt_window_host.h"

namespace trv810::ui {
namespace {

using window::ControlKind;
using window::control;

/// Types `text` into `widget` key by key, as a keyboard with any layout would.
void type(QWidget* widget, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &release);
  }
}

enum Id { kToggle = 8, kDigits = 16, kList = 17, kSequence = 40, kScroll = 112, kIdent = 133, kNarrow = 7, kWide = 6 };

struct ControlsTest : ::testing::Test {
  QWidget client;
  std::vector<int> commands, doubleClicks, edits;
  std::vector<std::pair<window::ScrollRequest, int>> scrolls;
  std::vector<std::pair<int, int>> choices;
  std::unique_ptr<ControlSet> set;
  std::unique_ptr<QtControlTable> table;

  void SetUp() override {
    std::vector<window::ControlSpec> layout;
    layout.push_back(control(ControlKind::Toggle, kToggle, "", 10, 10, 14, 18));
    layout.push_back(control(ControlKind::DigitEdit, kDigits, "", 30, 10, 200, 24).bordered().tabbed());
    layout.push_back(control(ControlKind::List, kList, "", 30, 40, 60, 90).list({"A", "B", "C", "D"}, 0));
    layout.push_back(control(ControlKind::Edit, kSequence, "", 30, 70, 60, 24).bordered().scrolling());
    layout.push_back(control(ControlKind::ScrollBar, kScroll, "", 300, 10, 20, 200).range(0, 24, 0));
    layout.push_back(control(ControlKind::Edit, kIdent, "", 30, 100, 200, 24).bordered().windows1252());
    // Too narrow for its five digits, and narrower still for 16 "W"s.
    layout.push_back(control(ControlKind::DigitEdit, kNarrow, "", 30, 130, 20, 24).bordered().holds(5, "65000"));
    layout.push_back(control(ControlKind::Edit, kWide, "", 30, 160, 40, 24).bordered().holds(16, std::string(16, 'W')));
    ControlInput input;
    input.command = [this](int id) { commands.push_back(id); };
    input.doubleClicked = [this](int id) { doubleClicks.push_back(id); };
    input.edited = [this](int id) { edits.push_back(id); };
    input.listChosen = [this](int id, int index) { choices.emplace_back(id, index); };
    input.scrolled = [this](int, window::ScrollRequest action, int position) {
      scrolls.emplace_back(action, position);
      // Acts like the configuration window: lines and the thumb move, pages do not.
      const int top = table->selection(kScroll);
      if (action == window::ScrollRequest::LineDown) table->setSelection(kScroll, std::min(top + 1, 24));
      if (action == window::ScrollRequest::LineUp) table->setSelection(kScroll, std::max(top - 1, 0));
      if (action == window::ScrollRequest::Thumb) table->setSelection(kScroll, position);
    };
    set = std::make_unique<ControlSet>(&client, layout, input);
    table = std::make_unique<QtControlTable>(*set);
    client.resize(400, 300);
    client.show();
  }

  QLineEdit* edit(int id) { return dynamic_cast<QLineEdit*>(set->widget(id)); }
  QScrollBar* scrollBar() { return dynamic_cast<QScrollBar*>(set->widget(kScroll)); }
};

TEST_F(ControlsTest, ToggleClickReachesTheLogicWithoutMarkingIt) {
  QTest::mouseClick(set->widget(kToggle), Qt::LeftButton);
  EXPECT_EQ(commands, (std::vector<int>{kToggle}));
  EXPECT_FALSE(table->checked(kToggle));
  table->setChecked(kToggle, true);
  QTest::mouseClick(set->widget(kToggle), Qt::LeftButton);
  EXPECT_TRUE(table->checked(kToggle));
  EXPECT_GE(set->widget(kToggle)->width(), 14);  // never narrower than the layout
}

TEST_F(ControlsTest, DigitEditAdmitsDigitsOnly) {
  edit(kDigits)->setFocus();
  QTest::keyClicks(edit(kDigits), "12a3-4 ");
  EXPECT_EQ(table->text(kDigits), "1234");
  EXPECT_FALSE(edits.empty());
  EXPECT_EQ(edits.front(), kDigits);
}

// Typing 65000 into a switch-on time left 6500 when the edit counted pixels.
TEST_F(ControlsTest, EditsTakeAsManyCharactersAsTheirFieldHoldsWhateverTheirWidth) {
  QTest::keyClicks(edit(kNarrow), "650001");
  EXPECT_EQ(table->text(kNarrow), "65000");
  QTest::keyClicks(edit(kWide), std::string(17, 'W').c_str());
  EXPECT_EQ(table->text(kWide), std::string(16, 'W'));
  edit(kWide)->clear();
  QTest::keyClicks(edit(kWide), std::string(17, 'i').c_str());
  EXPECT_EQ(table->text(kWide), std::string(16, 'i'));
  // The widest value shows whole: the edit grows to the right.
  const QLineEdit* wide = edit(kWide);
  EXPECT_GE(EditValidator::textWidth(wide), wide->fontMetrics().horizontalAdvance(QString(16, u'W')));
  // A longer value the logic puts in (one the unit holds) is never cut, but typing
  // does not make it longer.
  table->setText(kNarrow, "1234567");
  EXPECT_EQ(table->text(kNarrow), "1234567");
  edit(kNarrow)->end(false);
  QTest::keyClick(edit(kNarrow), Qt::Key_Backspace);
  QTest::keyClicks(edit(kNarrow), "89");
  EXPECT_EQ(table->text(kNarrow), "123456");
  QTest::keyClicks(edit(kSequence), "ON05,OFF10,H0512,R03,ON05,OFF10,H0512,R03");
  EXPECT_EQ(table->text(kSequence), "ON05,OFF10,H0512,R03,ON05,OFF10,H0512,R03");
}

TEST_F(ControlsTest, TextsAreWindows1252AtTheTable) {
  table->setText(kIdent, "Stra\xDF" "e \x80 5");
  EXPECT_EQ(edit(kIdent)->text(), QString::fromUtf8("Straße € 5"));
  EXPECT_EQ(table->text(kIdent), "Stra\xDF" "e \x80 5");
  // The ident edit refuses characters Windows-1252 lacks.
  edit(kIdent)->clear();
  type(edit(kIdent), QString::fromUtf8("a€b✓c"));
  EXPECT_EQ(edit(kIdent)->text(), QString::fromUtf8("a€bc"));
}

TEST_F(ControlsTest, DoubleClickOnAnEditIsForwarded) {
  QTest::mouseDClick(edit(kSequence), Qt::LeftButton);
  EXPECT_EQ(doubleClicks, (std::vector<int>{kSequence}));
}

TEST_F(ControlsTest, ListSelectionAndChoice) {
  EXPECT_EQ(table->selection(kList), 0);
  table->setSelection(kList, 3);
  EXPECT_EQ(table->selection(kList), 3);
  EXPECT_EQ(table->text(kList), "D");
  table->setSelection(kList, 4);
  EXPECT_EQ(table->selection(kList), -1);
  auto* list = dynamic_cast<QComboBox*>(set->widget(kList));
  emit list->activated(2);
  EXPECT_EQ(choices, (std::vector<std::pair<int, int>>{{kList, 2}}));
}

TEST_F(ControlsTest, ScrollBarMovesOnlyWhereTheLogicPutsIt) {
  QScrollBar* bar = scrollBar();
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(bar->value(), 1);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(bar->value(), 1);
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(bar->value(), 1);
  bar->setSliderPosition(20);  // dragging the thumb
  EXPECT_EQ(bar->value(), 20);
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(table->selection(kScroll), 19);
  ASSERT_EQ(scrolls.size(), 5u);
  EXPECT_EQ(scrolls[0].first, window::ScrollRequest::LineDown);
  EXPECT_EQ(scrolls[1].first, window::ScrollRequest::PageDown);
  EXPECT_EQ(scrolls[2].first, window::ScrollRequest::Bottom);
  EXPECT_EQ(scrolls[3], std::make_pair(window::ScrollRequest::Thumb, 20));
  EXPECT_EQ(scrolls[4].first, window::ScrollRequest::LineUp);
}

TEST_F(ControlsTest, EnablingAndUnknownIds) {
  table->setEnabled(kDigits, false);
  EXPECT_FALSE(table->enabled(kDigits));
  EXPECT_FALSE(set->widget(kDigits)->isEnabled());
  client.setEnabled(false);
  EXPECT_TRUE(table->enabled(kToggle));  // its own state, not its parent's
  EXPECT_FALSE(table->enabled(99));
  EXPECT_EQ(table->text(99), "");
  EXPECT_EQ(table->selection(99), -1);
  table->setText(99, "x");
}

TEST(QtWindowHost, FilterCarriesTheRequestsPatterns) {
  window::FileDialogRequest request;
  request.filterName = "Konfig.-Files (*.kfg)";
  request.filterPatterns = "*.kfg";
  EXPECT_EQ(QtWindowHost::nameFilter(request), "Konfig.-Files (*.kfg)");
  request.filterName = "Flash Files (*.hex)";
  request.filterPatterns = "*.hex *.HEX *.bin *.BIN";
  EXPECT_EQ(QtWindowHost::nameFilter(request), "Flash Files (*.hex *.HEX *.bin *.BIN)");
  request.filterName = "Alle";
  request.filterPatterns = "*";
  EXPECT_EQ(QtWindowHost::nameFilter(request), "Alle (*)");
}

}  // namespace
}  // namespace trv810::ui
