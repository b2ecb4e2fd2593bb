#include "ui/qt/main_window_widget.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

#include "config/config_file.h"
#include "config/control_ids.h"
#include "firmware/update_window.h"
#include "modal.h"
#include "support/temp_dir.h"
#include "ui/qt/child_windows.h"

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

TEST_F(MainWindowWidgetTest, OpensAFileGivenToItAndOneDroppedOnIt) {
  tests::TempDir dir;
  config::ConfigImage image;
  image.setAddress(0, 1234567);
  const std::string kfg = dir.file("Anlage.KFG");
  ASSERT_TRUE(config::saveConfigFile(kfg, image));
  const std::string hex = dir.write("fw.HEX", ":0400000001020304F2\r\n:00000001FF\r\n");
  auto widget = [this](int id) {
    return dynamic_cast<WindowContent*>(window.child()->content())->controls().widget(id);
  };

  window.openFile(QString::fromStdString(kfg));
  ASSERT_NE(window.child(), nullptr);
  EXPECT_EQ(window.child()->title(), "TRV810-Konfiguration");
  EXPECT_EQ(qobject_cast<QLineEdit*>(widget(config::ids::address(0)))->text(), "1234567");
  QTest::mouseClick(window.child()->closeBox(), Qt::LeftButton);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(window.child(), nullptr);

  QMimeData dragged;
  dragged.setUrls({QUrl::fromLocalFile(QString::fromStdString(hex))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  QApplication::processEvents();
  ASSERT_NE(window.child(), nullptr);
  EXPECT_EQ(window.child()->title(), "Flash-Update");
  EXPECT_EQ(qobject_cast<QLabel*>(widget(firmware::ids::kFileName))->text().toStdString(), hex);
  EXPECT_TRUE(widget(firmware::ids::kProgram)->isEnabled());
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

// Run on a screen of 1024 x 600 (QtFace.SmallScreen): the window fits it, and the
// configuration window's lowest controls, below the screen at first, come into view
// when they take the focus.
TEST(QtSmallScreen, WindowFitsTheScreenAndScrollsToTheFocus) {
  app::Application application{link::PortTable::defaults()};
  // A large font's cell: the window is wider and lower than the screen.
  MainWindowWidget window{application, window::CellSize{10, 20}};
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QApplication::processEvents();
  const QRect screen = window.screen()->availableGeometry();
  ASSERT_LT(screen.height(), 46 * 20) << "needs a screen lower than the window";
  EXPECT_TRUE(screen.contains(window.frameGeometry()));
  // The layouts are those of the whole window.
  EXPECT_EQ(application.shell().clientWidth, window.clientArea()->width());
  EXPECT_GT(application.shell().clientHeight, window.clientView()->viewport()->height());

  window.menuAction(app::kCommandConfiguration)->trigger();
  ASSERT_NE(window.child(), nullptr);
  const ControlSet& controls = dynamic_cast<WindowContent*>(window.child()->content())->controls();
  QWidget* viewport = window.clientView()->viewport();
  auto inView = [&](QWidget* control) {
    const QRect shown(viewport->mapToGlobal(QPoint(0, 0)), viewport->size());
    const QRect at(control->mapToGlobal(QPoint(0, 0)), control->size());
    return shown.contains(at) && screen.contains(at);
  };
  auto focus = [&](int id) {
    controls.widget(id)->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    return controls.widget(id);
  };
  EXPECT_TRUE(inView(focus(config::ids::address(0))));
  EXPECT_FALSE(inView(controls.widget(config::ids::kSave)));  // the screen is too low for both
  EXPECT_TRUE(inView(focus(config::ids::kSave)));
}

}  // namespace
}  // namespace trv810::ui
