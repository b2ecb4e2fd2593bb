#include "window/layout.h"

#include <gtest/gtest.h>

namespace trv810::window {
namespace {

TEST(Layout, CellFractionsDropTheRemainder) {
  EXPECT_EQ(cells(45, 2, 16), 360);
  EXPECT_EQ(cells(7, 6, 16), 18);  // 112 / 6 = 18.67
  EXPECT_EQ(cells(7, 4, 15), 26);  // 105 / 4 = 26.25
  EXPECT_EQ(cells(93, 2, 7), 325);
  EXPECT_EQ(cells(0, 3, 16), 0);
}

TEST(Layout, DialogUnitsUseAQuarterWidthAndAnEighthHeight) {
  const CellSize cell{8, 16};
  EXPECT_EQ(dialogX(84, cell), 168);
  EXPECT_EQ(dialogY(132, cell), 264);
  EXPECT_EQ(dialogX(35, CellSize{7, 13}), 61);  // 245 / 4
  EXPECT_EQ(dialogY(11, CellSize{7, 13}), 17);  // 143 / 8
}

TEST(Layout, FindControlByIdAndNotTheUnnamedOnes) {
  std::vector<ControlSpec> layout;
  layout.push_back(control(ControlKind::GroupBox, -1, "Port", 0, 0, 10, 10).centre());
  layout.push_back(control(ControlKind::Edit, 115, "", 4, 5, 76, 22).bordered().tabbed().limit(127));
  ASSERT_TRUE(findControl(layout, 115));
  const ControlSpec edit = *findControl(layout, 115);
  EXPECT_EQ(edit.rect(), (Rect{4, 5, 76, 22}));
  EXPECT_TRUE(edit.border && edit.tabStop && !edit.centred && !edit.horizontalScroll);
  EXPECT_EQ(edit.maxLength, 127);
  EXPECT_TRUE(layout[0].centred);
  EXPECT_FALSE(findControl(layout, 116));
  EXPECT_FALSE(findControl(layout, -1));
}

}  // namespace
}  // namespace trv810::window
