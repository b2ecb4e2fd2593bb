#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

#include "config/config_window.h"
#include "config/signal_box.h"

namespace trv810 {
namespace {

using config::ConfigWindow;
using window::ControlKind;
using window::findControl;
using window::Rect;

// An odd cell, so that every fraction of a cell drops a remainder.
constexpr window::CellSize kCell{7, 15};

TEST(ConfigWindowLayout, CreatesEveryFormIdOnceInAscendingOrderThenTheButtons) {
  const auto windowLayout = ConfigWindow::layout(kCell, 700, 600);
  EXPECT_EQ(windowLayout.title, "TRV810-Konfiguration");
  EXPECT_EQ(windowLayout.frame, (Rect{0, 0, 700, 600}));
  EXPECT_EQ(windowLayout.controls.size(), 187u);
  std::vector<int> ids;
  for (const auto& c : windowLayout.controls)
    if (c.id >= 0) ids.push_back(c.id);
  std::vector<int> expected;
  for (int id = 0; id <= 133; ++id) expected.push_back(id);
  for (int id = 150; id <= 154; ++id) expected.push_back(id);
  expected.push_back(160);  // the status line
  EXPECT_EQ(ids, expected);
  // The table's frames, headings and labels come first within their groups.
  EXPECT_EQ(windowLayout.controls.front().text, "Adressen/Auslösungen");
  EXPECT_EQ(windowLayout.controls[13].text, "K10");
  EXPECT_EQ(windowLayout.controls.end()[-2].kind, ControlKind::ProgressBar);
}

TEST(ConfigWindowLayout, PlacesControlsInCellFractions) {
  const auto layout = ConfigWindow::layout(kCell, 700, 600).controls;
  auto rect = [&](int id) { return findControl(layout, id)->rect(); };
  EXPECT_EQ(layout[0].rect(), (Rect{3, 7, 700, 300}));                 // group, 1/2 cell in
  EXPECT_EQ(rect(3), (Rect{28, 150, 14, 17}));                         // row number, line 3
  EXPECT_EQ(rect(16 + 2 * 3), (Rect{126, 150, 56, 22}));               // address edit, line 3
  EXPECT_EQ(rect(17), (Rect{182, 60, 28, 90}));                        // function list, open height 6
  EXPECT_EQ(rect(40 + 7), (Rect{294, 270, 112, 22}));                  // sequence edit, line 7
  EXPECT_EQ(rect(48 + 8 * 7 + 7), (Rect{616, 270, 14, 17}));           // K10 of line 7
  EXPECT_EQ(rect(112), (Rect{658, 60, 21, 240}));                      // scroll bar
  EXPECT_EQ(rect(113), (Rect{126, 337, 56, 90}));                      // baud list at 45/2
  EXPECT_EQ(rect(118), (Rect{301, 375, 35, 22}));                      // K7: second column
  EXPECT_EQ(rect(121), (Rect{301, 465, 35, 22}));                      // K10
  EXPECT_EQ(rect(122), (Rect{196, 510, 112, 22}));                     // manual sequence
  EXPECT_EQ(rect(125), (Rect{325, 517, 14, 17}));                      // 46.5 cells, 69/2
  EXPECT_EQ(rect(126), (Rect{353, 517, 14, 17}));                      // 46.5 + 4 cells
  EXPECT_EQ(rect(133), (Rect{301, 337, 140, 22}));                     // ident
  EXPECT_EQ(rect(150), (Rect{560, 330, 140, 26}));                     // buttons at 22 + 5i/2
  EXPECT_EQ(rect(151), (Rect{560, 367, 140, 26}));
  EXPECT_EQ(rect(154), (Rect{560, 480, 140, 26}));
  EXPECT_EQ(layout.end()[-2].rect(), (Rect{7, 585, 350, 22}));          // progress bar
  EXPECT_EQ(rect(160), (Rect{364, 581, 336, 30}));                     // status beside it, same middle
}

TEST(ConfigWindowLayout, GivesEachControlItsKindAndBehaviour) {
  const auto layout = ConfigWindow::layout(kCell, 700, 600).controls;
  auto at = [&](int id) { return *findControl(layout, id); };
  EXPECT_EQ(at(0).kind, ControlKind::Static);
  EXPECT_EQ(at(0).text, "1");
  EXPECT_TRUE(at(0).centred);
  for (int id : {8, 15, 32, 39, 48, 111, 125, 132}) EXPECT_EQ(at(id).kind, ControlKind::Toggle) << id;
  for (int id : {16, 30, 114, 121, 123, 124}) EXPECT_EQ(at(id).kind, ControlKind::DigitEdit) << id;
  for (int id : {40, 47, 122}) {
    EXPECT_EQ(at(id).kind, ControlKind::Edit) << id;
    EXPECT_TRUE(at(id).horizontalScroll) << id;
  }
  EXPECT_FALSE(at(133).horizontalScroll);
  EXPECT_TRUE(at(133).border && at(133).tabStop);
  EXPECT_EQ(at(17).entries, (std::vector<std::string>{"A", "B", "C", "D"}));
  EXPECT_EQ(at(17).selected, 0);
  EXPECT_EQ(at(113).entries, (std::vector<std::string>{"512", "1200"}));
  EXPECT_EQ(at(113).selected, 1);
  EXPECT_EQ(at(112).kind, ControlKind::ScrollBar);
  const auto bar = at(112);
  EXPECT_EQ(std::make_tuple(bar.minimum, bar.maximum, bar.position), std::make_tuple(0, 24, 0));
  const char* buttons[] = {"TRV &programmieren", "TRV &auslesen", "Datei &laden", "In Datei &sichern", "A&bbrechen"};
  // Enter presses only the focused button: none is drawn as the default, so the focus
  // is what shows which one Space or Enter presses.
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(at(150 + i).text, buttons[i]);
    EXPECT_EQ(at(150 + i).kind, ControlKind::Button);
  }
  EXPECT_EQ(at(160).kind, ControlKind::Static);
  const auto label = std::find_if(layout.begin(), layout.end(),
                                  [](const auto& c) { return c.text == "Einschaltzeit K7"; });
  ASSERT_NE(label, layout.end());
  EXPECT_EQ(label->rect(), (Rect{189, 375, 105, 22}));
  EXPECT_EQ((label + 1)->id, 118);
  EXPECT_EQ((label + 2)->text, "s");
}

// Tab reached the edits only, and the edits took what fitted their pixels.
TEST(ConfigWindowLayout, TabReachesEveryControlInReadingOrderAndEditsHoldTheirFieldsWidth) {
  const window::WindowSpec windowLayout = ConfigWindow::layout(kCell, 700, 600);
  std::vector<int> reachable;
  for (const auto& c : windowLayout.controls) {
    if (c.kind == ControlKind::Static || c.kind == ControlKind::GroupBox || c.kind == ControlKind::ProgressBar) continue;
    EXPECT_TRUE(c.tabStop) << c.id;
    reachable.push_back(c.id);
  }
  std::vector<int> order = windowLayout.tabOrder;
  ASSERT_EQ(order.size(), reachable.size());
  // Line 0 from its active toggle to K10, then line 1; the general settings top down;
  // the commands last.
  EXPECT_EQ(std::vector<int>(order.begin(), order.begin() + 14),
            (std::vector<int>{8, 16, 17, 32, 40, 48, 56, 64, 72, 80, 88, 96, 104, 9}));
  const auto pos = [&order](int id) { return std::find(order.begin(), order.end(), id) - order.begin(); };
  EXPECT_LT(pos(111), pos(112));
  EXPECT_LT(pos(112), pos(113));
  EXPECT_LT(pos(113), pos(133));
  EXPECT_LT(pos(133), pos(114));
  EXPECT_LT(pos(121), pos(122));
  EXPECT_LT(pos(132), pos(123));
  EXPECT_EQ(std::vector<int>(order.end() - 5, order.end()), (std::vector<int>{150, 151, 152, 153, 154}));
  std::sort(order.begin(), order.end());
  std::sort(reachable.begin(), reachable.end());
  EXPECT_EQ(order, reachable);

  // The commands' accelerators: five letters, none twice, none of the menu's T, K, I.
  std::string letters;
  for (int id = 150; id <= 154; ++id) {
    const std::string text = findControl(windowLayout.controls, id)->text;
    ASSERT_NE(text.find('&'), std::string::npos) << text;
    letters += static_cast<char>(std::tolower(static_cast<unsigned char>(text[text.find('&') + 1])));
  }
  EXPECT_EQ(std::set<char>(letters.begin(), letters.end()).size(), 5u) << letters;
  EXPECT_EQ(letters.find_first_of("tki"), std::string::npos) << letters;

  auto at = [&](int id) { return *findControl(windowLayout.controls, id); };
  EXPECT_EQ(std::make_pair(at(16).maxLength, at(16).widest), std::make_pair(7, std::string("2047993")));
  EXPECT_EQ(std::make_pair(at(121).maxLength, at(121).widest), std::make_pair(5, std::string("65000")));
  EXPECT_EQ(std::make_pair(at(123).maxLength, at(124).maxLength), std::make_pair(3, 3));
  EXPECT_EQ(std::make_pair(at(133).maxLength, at(133).widest), std::make_pair(16, std::string(16, 'W')));
  EXPECT_EQ(std::make_pair(at(40).maxLength, at(122).maxLength), std::make_pair(126, 127));
}

TEST(SignalBoxLayout, IsTheTemplateInDialogUnits) {
  const auto windowLayout = config::SignalBox::layout({8, 16});
  EXPECT_EQ(windowLayout.title, "Taktfolge...");
  EXPECT_TRUE(windowLayout.clientSize);
  EXPECT_EQ(windowLayout.frame, (Rect{120, 80, 800, 80}));
  ASSERT_EQ(windowLayout.controls.size(), 4u);
  EXPECT_EQ(windowLayout.controls[0].id, 117);
  EXPECT_EQ(windowLayout.controls[0].rect(), (Rect{8, 24, 760, 20}));
  EXPECT_EQ(windowLayout.controls[0].maxLength, 127);
  EXPECT_EQ(windowLayout.controls[1].id, 115);
  EXPECT_EQ(windowLayout.controls[1].text, "OK");
  EXPECT_EQ(windowLayout.controls[1].rect(), (Rect{4, 56, 76, 22}));
  EXPECT_EQ(windowLayout.controls[2].id, 116);
  EXPECT_EQ(windowLayout.controls[2].text, "CANCEL");
  EXPECT_EQ(windowLayout.controls[2].rect(), (Rect{100, 56, 76, 22}));
  EXPECT_EQ(windowLayout.controls[3].id, 118);  // why a paste was refused
  EXPECT_EQ(windowLayout.controls[3].rect(), (Rect{192, 56, 576, 22}));
  for (const auto& c : windowLayout.controls) EXPECT_NE(c.kind, ControlKind::DefaultButton);
}

}  // namespace
}  // namespace trv810
