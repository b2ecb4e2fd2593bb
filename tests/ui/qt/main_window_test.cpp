#include "ui/qt/main_window_widget.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>

#include "modal.h"

namespace trv810::ui {
namespace {

struct MainWindowWidgetTest : ::testing::Test {
  app::Application application{link::PortTable::defaults()};
  MainWindowWidget window{application, window::CellSize{8, 16}};

  void SetUp() override {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
  }
};

TEST_F(MainWindowWidgetTest, IsFixedAt104By46CellsAtTheOrigin) {
  EXPECT_EQ(window.windowTitle(), "TRV810-Tool");
  EXPECT_EQ(window.frameGeometry(), QRect(0, 0, 832, 736));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(application.shell().cell, (window::CellSize{8, 16}));
  // The client area below the menu is what child windows are placed in.
  EXPECT_EQ(application.shell().clientWidth, window.clientArea()->width());
  EXPECT_EQ(application.shell().clientHeight, window.clientArea()->height());
  EXPECT_LT(application.shell().clientHeight, 736);
}

TEST_F(MainWindowWidgetTest, MenuEntriesCarryTheirIdsAndAccelerators) {
  const QList<QAction*> bar = window.menuBar()->actions();
  ASSERT_EQ(bar.size(), 3);
  EXPECT_EQ(bar[0]->text(), "&TRV810");
  ASSERT_TRUE(bar[0]->menu());
  const QList<QAction*> popup = bar[0]->menu()->actions();
  ASSERT_EQ(popup.size(), 2);
  EXPECT_EQ(popup[0], window.menuAction(10));
  EXPECT_EQ(popup[0]->text(), "F&lash-Update!");
  EXPECT_EQ(popup[1], window.menuAction(14));
  EXPECT_EQ(popup[1]->text(), "&Konfiguration");
  EXPECT_EQ(bar[1], window.menuAction(30));
  EXPECT_EQ(bar[1]->text(), "&Kommunikations-Port!");
  EXPECT_EQ(bar[2], window.menuAction(50));
  EXPECT_EQ(bar[2]->text(), "&Info");
}

TEST_F(MainWindowWidgetTest, ChildWindowGreysTheMenuListUntilClosed) {
  struct Case {
    int command;
    const char* title;
  };
  for (const Case c : {Case{14, "TRV810-Konfiguration"}, Case{10, "Flash-Update"}}) {
    window.menuAction(c.command)->trigger();
    ASSERT_NE(window.child(), nullptr);
    EXPECT_EQ(window.child()->title(), c.title);
    EXPECT_EQ(window.child()->parentWidget(), window.clientArea());
    EXPECT_FALSE(window.menuAction(10)->isEnabled());
    EXPECT_FALSE(window.menuAction(14)->isEnabled());
    EXPECT_TRUE(window.menuAction(30)->isEnabled());
    EXPECT_TRUE(window.menuAction(50)->isEnabled());

    QTest::mouseClick(window.child()->closeBox(), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window.child(), nullptr);
    EXPECT_TRUE(window.menuAction(10)->isEnabled());
    EXPECT_TRUE(window.menuAction(14)->isEnabled());
  }
}

TEST_F(MainWindowWidgetTest, FlashUpdateWindowSitsCentredOneCellDown) {
  window.menuAction(10)->trigger();
  ASSERT_NE(window.child(), nullptr);
  const int clientWidth = window.clientArea()->width();
  EXPECT_EQ(window.child()->geometry(), QRect(clientWidth / 2 - 200, 16, 400, 176));
}

TEST_F(MainWindowWidgetTest, InfoBoxIsOwnedByTheWindow) {
  test::ShownBox box;
  test::acceptNextBox(box);
  window.menuAction(50)->trigger();
  EXPECT_TRUE(box.text.startsWith("V1.30"));
  EXPECT_EQ(box.caption, "TRV810");
  EXPECT_EQ(box.icon, QMessageBox::Information);
  EXPECT_EQ(box.owner, &window);
}

}  // namespace
}  // namespace trv810::ui
