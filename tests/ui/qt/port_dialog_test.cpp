#include <gtest/gtest.h>

#include <functional>

#include <QAction>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "modal.h"
#include "ui/qt/layout_dialog.h"
#include "ui/qt/main_window_widget.h"

namespace trv810::ui {
namespace {

struct PortDialogWidgetTest : ::testing::Test {
  app::Application application{link::PortTable::defaults()};
  MainWindowWidget window{application, window::CellSize{8, 16}};

  QAbstractButton* button(LayoutDialog* dialog, int id) {
    return dynamic_cast<QAbstractButton*>(dialog->controlSet().widget(id));
  }
  /// Opens the dialog from the menu, clicks `clicks` in it and returns what the
  /// radio buttons showed when it opened.
  std::vector<int> choose(std::vector<int> clicks) {
    std::vector<int> marked;
    test::whenShown<LayoutDialog>([&, clicks](LayoutDialog* dialog) {
      for (int id = 103; id <= 114; ++id)
        if (button(dialog, id)->isChecked()) marked.push_back(id);
      for (int id : clicks) QTest::mouseClick(button(dialog, id), Qt::LeftButton);
    });
    window.menuAction(30)->trigger();
    return marked;
  }
};

TEST_F(PortDialogWidgetTest, HasItsCaptionButtonsAndIds) {
  test::whenShown<LayoutDialog>([this](LayoutDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Com-Port ?");
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->parentWidget(), &window);
    for (int i = 0; i < 12; ++i) {
      auto* radio = dynamic_cast<QRadioButton*>(dialog->controlSet().widget(103 + i));
      ASSERT_NE(radio, nullptr);
      EXPECT_EQ(radio->text(), QString("COM %1").arg(i + 1));
      EXPECT_FALSE(radio->toolTip().isEmpty());  // the whole device path
    }
    EXPECT_EQ(button(dialog, 115)->text(), "OK");
    EXPECT_EQ(button(dialog, 116)->text(), "CANCEL");
    QTest::mouseClick(button(dialog, 116), Qt::LeftButton);
  });
  window.menuAction(30)->trigger();
}

// The dialog started on CANCEL; ports could not be chosen from the keyboard, and Enter
// and Escape did nothing.
TEST_F(PortDialogWidgetTest, TheKeyboardChoosesThePortEnterIsOkEscapeAndClosingAreCancel) {
  application.shell().selectedPort = 2;
  auto keys = [this](std::function<void(LayoutDialog*)> act) {
    test::whenShown<LayoutDialog>([this, act](LayoutDialog* dialog) {
      EXPECT_EQ(dialog->focusWidget(), button(dialog, 105));  // COM 3, the selected port
      act(dialog);
    });
    window.menuAction(30)->trigger();
  };
  keys([](LayoutDialog* dialog) {
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Down);
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Right);  // COM 6
    EXPECT_EQ(dialog->focusWidget(), dialog->controlSet().widget(108));
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  EXPECT_EQ(application.shell().selectedPort, 2);
  keys([](LayoutDialog* dialog) {
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Down);
    dialog->close();  // the window's close button
  });
  EXPECT_EQ(application.shell().selectedPort, 2);
  keys([](LayoutDialog* dialog) {
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Down);
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
  });
  EXPECT_EQ(application.shell().selectedPort, 4);
}

TEST_F(PortDialogWidgetTest, FreshStartMarksCom1) {
  EXPECT_EQ(choose({116}), (std::vector<int>{103}));
}

TEST_F(PortDialogWidgetTest, CancelKeepsAndOkSelects) {
  choose({107, 116});
  EXPECT_EQ(application.shell().selectedPort, 0);
  choose({112, 107, 115});
  EXPECT_EQ(application.shell().selectedPort, 4);
  EXPECT_EQ(application.shell().selectedEntry().name, "COM5");
  EXPECT_EQ(choose({116}), (std::vector<int>{107}));
}

TEST_F(PortDialogWidgetTest, AClickMarksOnlyTheClickedPort) {
  test::whenShown<LayoutDialog>([this](LayoutDialog* dialog) {
    QTest::mouseClick(button(dialog, 110), Qt::LeftButton);
    QTest::mouseClick(button(dialog, 110), Qt::LeftButton);  // stays marked
    for (int id = 103; id <= 114; ++id) EXPECT_EQ(button(dialog, id)->isChecked(), id == 110) << id;
    QTest::mouseClick(button(dialog, 115), Qt::LeftButton);
  });
  window.menuAction(30)->trigger();
  EXPECT_EQ(application.shell().selectedPort, 7);
}

TEST_F(PortDialogWidgetTest, ToolTipsShowDeviceNamesAsPlainText) {
  // Device paths and adapter names come from outside; markup in them is shown, not obeyed.
  application.shell().ports.setDevice(1, "/tmp/<b>COM2</b>");
  test::whenShown<LayoutDialog>([this](LayoutDialog* dialog) {
    EXPECT_TRUE(button(dialog, 104)->toolTip().contains("/tmp/&lt;b&gt;COM2&lt;/b&gt;"))
        << button(dialog, 104)->toolTip().toStdString();
    QTest::mouseClick(button(dialog, 116), Qt::LeftButton);
  });
  window.menuAction(30)->trigger();
}

}  // namespace
}  // namespace trv810::ui
