// The flash-update window on Qt's offscreen platform: opened from the menu, its
// controls in their cells, a file chosen in the dialog, and closing during a transfer.

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <fstream>
#include <string>

#include "firmware/update_window.h"
#include "modal.h"
#include "platform/pseudo_terminal.h"
#include "ui/qt/main_window_widget.h"
#include "firmware/update_window.h"
#include "ui/qt/child_windows.h"

namespace trv810::ui {
namespace {

namespace ids = firmware::ids;

struct UpdateWindowWidgetTest : ::testing::Test {
  std::optional<platform::PseudoTerminal> unit = platform::PseudoTerminal::create();  // never answers
  app::Application application{link::PortTable::defaults()};
  MainWindowWidget window{application, window::CellSize{8, 16}};

  void SetUp() override {
    ASSERT_TRUE(unit);
    application.shell().ports.setDevice(0, unit->slavePath());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
    window.menuAction(app::kCommandFlashUpdate)->trigger();
    ASSERT_NE(window.child(), nullptr);
    content = dynamic_cast<WindowContent*>(window.child()->content());
    ASSERT_NE(content, nullptr);
  }

  QWidget* widget(int id) const { return content->controls().widget(id); }
  bool enabled(int id) const { return widget(id)->isEnabled(); }

  WindowContent* content = nullptr;
};

TEST_F(UpdateWindowWidgetTest, OpensFromTheMenuWithItsControlsInTheirCells) {
  EXPECT_EQ(window.child()->title(), "Flash-Update");
  const window::WindowSpec layout = firmware::UpdateWindow::layout({8, 16}, window.clientArea()->width());
  ASSERT_EQ(content->controls().all().size(), 6u);
  for (const auto& [control, w] : content->controls().all()) {
    SCOPED_TRACE(control.text);
    EXPECT_EQ(w->parentWidget(), window.child()->client());
    EXPECT_EQ(w->geometry(), QRect(control.x, control.y, control.w, control.h));
    EXPECT_TRUE(w->isVisible());
  }
  EXPECT_EQ(qobject_cast<QPushButton*>(widget(ids::kHexFile))->text(), "&Hex-Datei");
  EXPECT_EQ(qobject_cast<QPushButton*>(widget(ids::kProgram))->text(), "&Programmieren");
  EXPECT_EQ(qobject_cast<QPushButton*>(widget(ids::kStop))->text(), "&Stop");
  EXPECT_EQ(qobject_cast<QLabel*>(widget(ids::kFileName))->text(), "----------");
  EXPECT_EQ(qobject_cast<QLabel*>(widget(ids::kStatus))->text(), "-");
  ASSERT_NE(content->controls().progressBar(), nullptr);
  EXPECT_EQ(content->controls().progressBar()->value(), 0);
  EXPECT_TRUE(enabled(ids::kHexFile));
  EXPECT_FALSE(enabled(ids::kProgram));
  EXPECT_FALSE(enabled(ids::kStop));
  // The client area holds the lowest control.
  EXPECT_GE(window.child()->client()->height(), layout.controls.back().y + layout.controls.back().h);
}

TEST_F(UpdateWindowWidgetTest, ClosingDuringATransferStopsItAndEnablesTheMenu) {
  const std::string path = ::testing::TempDir() + "update_widget_fw.bin";
  std::ofstream(path, std::ios::binary) << std::string(800, '\x5A');
  test::whenShown<QFileDialog>([&](QFileDialog* dialog) {
    dialog->selectFile(QString::fromStdString(path));
    static_cast<QDialog*>(dialog)->accept();
  });
  QTest::mouseClick(widget(ids::kHexFile), Qt::LeftButton);
  EXPECT_EQ(qobject_cast<QLabel*>(widget(ids::kFileName))->text().toStdString(), path);
  ASSERT_TRUE(enabled(ids::kProgram));

  QTest::mouseClick(widget(ids::kProgram), Qt::LeftButton);
  ASSERT_TRUE(content->logicAs<firmware::UpdateWindow>()->transferRunning());
  EXPECT_TRUE(application.link().isOpen());
  EXPECT_EQ(content->controls().progressBar()->maximum(), 100);
  EXPECT_FALSE(enabled(ids::kHexFile));
  EXPECT_FALSE(enabled(ids::kProgram));
  EXPECT_TRUE(enabled(ids::kStop));
  auto* status = qobject_cast<QLabel*>(widget(ids::kStatus));
  EXPECT_TRUE(QTest::qWaitFor([&] { return status->text().startsWith(QString::fromUtf8("Flash löschen...")); }, 5000));
  // The keyboard reaches "Stop", and the focus shows though no Tab put it there.
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  ASSERT_EQ(QApplication::focusWidget(), widget(ids::kStop));
  const QImage focused = widget(ids::kStop)->grab().toImage();
  widget(ids::kStop)->clearFocus();
  EXPECT_NE(widget(ids::kStop)->grab().toImage(), focused);
  widget(ids::kStop)->setFocus();

  // Closing asks first; Enter answers "Nein", so a reflexive Enter does not break the
  // programming off.
  test::whenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
  QTest::mouseClick(window.child()->closeBox(), Qt::LeftButton);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_NE(window.child(), nullptr);
  EXPECT_TRUE(content->logicAs<firmware::UpdateWindow>()->transferRunning());

  // It is in German down to Qt's own buttons, and as wide as its caption.
  QString yes, no;
  int boxWidth = 0, captionWidth = 0;
  test::whenShown<QMessageBox>([&](QMessageBox* box) {
    yes = box->button(QMessageBox::Yes)->text();
    no = box->button(QMessageBox::No)->text();
    box->adjustSize();
    boxWidth = box->width();
    captionWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
    box->button(QMessageBox::Yes)->click();
  });
  QTest::mouseClick(window.child()->closeBox(), Qt::LeftButton);
  EXPECT_EQ(yes, "&Ja");
  EXPECT_EQ(no, "&Nein");
  EXPECT_GT(boxWidth, captionWidth);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QApplication::processEvents();
  EXPECT_EQ(window.child(), nullptr);
  EXPECT_FALSE(application.link().isOpen());
  EXPECT_TRUE(window.menuAction(app::kCommandFlashUpdate)->isEnabled());
  EXPECT_TRUE(window.menuAction(app::kCommandConfiguration)->isEnabled());
  EXPECT_EQ(application.firmwarePath(), path);  // for the next file dialog
  std::remove(path.c_str());
}

}  // namespace
}  // namespace trv810::ui
