#include "config/config_window.h"
#include "ui/qt/child_windows.h"

#include <gtest/gtest.h>

#include <thread>

#include <map>
#include <set>

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QScrollBar>
#include <QWheelEvent>
#include <QTest>

#include "config/control_ids.h"
#include "config/signal_box.h"
#include "modal.h"
#include "platform/pseudo_terminal.h"
#include "ui/qt/layout_dialog.h"
#include "ui/qt/main_window_widget.h"

namespace trv810::ui {
namespace {

namespace ids = config::ids;

/// The port table with COM1 standing for `device`.
link::PortTable com1(const std::string& device) {
  link::PortTable ports = link::PortTable::defaults();
  ports.setDevice(0, device);
  return ports;
}

transfer::Notification progress(uint32_t blocks) {
  transfer::Notification n;
  n.message = transfer::WM_TRANSFER_PROGRESS;
  n.wParam = blocks;
  return n;
}

/// The main window with the configuration window open, at a cell of 8 x 16 pixels.
struct ConfigurationWindowTest : ::testing::Test {
  // COM1 is a pseudo-terminal nobody answers on: a transfer runs until it is stopped.
  std::optional<platform::PseudoTerminal> unit = platform::PseudoTerminal::create();
  app::Application application{com1(unit ? unit->slavePath() : "/dev/null")};
  MainWindowWidget window{application, window::CellSize{8, 16}};
  WindowContent* content = nullptr;

  void SetUp() override {
    ASSERT_TRUE(unit);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.menuAction(app::kCommandConfiguration)->trigger();
    ASSERT_NE(window.child(), nullptr);
    content = dynamic_cast<WindowContent*>(window.child()->content());
    ASSERT_NE(content, nullptr);
    QApplication::processEvents();
  }

  QWidget* widget(int id) const { return content->controls().widget(id); }
  QAbstractButton* button(int id) const { return dynamic_cast<QAbstractButton*>(widget(id)); }
  QLineEdit* edit(int id) const { return dynamic_cast<QLineEdit*>(widget(id)); }
  bool idle() const {
    for (int id = ids::kProgram; id <= ids::kSave; ++id)
      if (!widget(id)->isEnabled()) return false;
    return !widget(ids::kCancel)->isEnabled();
  }
};

TEST_F(ConfigurationWindowTest, ControlsCarryTheirIdsAndPlacesInCells) {
  for (int id = 0; id <= ids::kLastFieldId; ++id) EXPECT_NE(widget(id), nullptr) << id;
  for (int id = ids::kProgram; id <= ids::kCancel; ++id) EXPECT_NE(widget(id), nullptr) << id;
  EXPECT_EQ(window.child()->geometry(), QRect(0, 0, window.clientArea()->width(), window.clientArea()->height()));
  EXPECT_EQ(window.child()->title(), "TRV810-Konfiguration");

  EXPECT_EQ(widget(ids::address(0))->geometry(), QRect(18 * 8, 4 * 16, 8 * 8, 6 * 16 / 4));
  EXPECT_EQ(widget(ids::sequence(7))->geometry(), QRect(42 * 8, (4 + 14) * 16, 16 * 8, 6 * 16 / 4));
  EXPECT_EQ(widget(ids::kScrollBar)->geometry(), QRect(94 * 8, 4 * 16, 3 * 8, 16 * 16));
  EXPECT_EQ(widget(ids::kRead)->geometry(), QRect(80 * 8, 22 * 16 + 5 * 16 / 2, 20 * 8, 7 * 16 / 4));
  // 46.5 + 4j cells across, 69/2 down.
  EXPECT_EQ(widget(ids::manualRelay(1))->pos(), QPoint(93 * 8 / 2 + 4 * 8, 69 * 16 / 2));
  EXPECT_EQ(widget(ids::manualRelay(1))->height(), 7 * 16 / 6);
  EXPECT_EQ(widget(ids::function(0))->pos(), QPoint(26 * 8, 4 * 16));

  EXPECT_TRUE(idle());
  EXPECT_FALSE(widget(ids::address(0))->isEnabled());
  EXPECT_EQ(edit(ids::rowNumber(0)), nullptr);  // a static
  EXPECT_EQ(content->controls().progressBar()->value(), 0);
}

TEST_F(ConfigurationWindowTest, ToggleClickFlipsTheImageBit) {
  const config::ConfigImage& image = application.configImage();
  QTest::mouseClick(widget(ids::active(2)), Qt::LeftButton);
  EXPECT_TRUE(image.active(2));
  EXPECT_TRUE(button(ids::active(2))->isChecked());
  EXPECT_TRUE(widget(ids::address(2))->isEnabled());
  QTest::mouseClick(widget(ids::manualRelay(7)), Qt::LeftButton);
  EXPECT_TRUE(image.flags() & (1u << (config::kFlagManualRelayShift + 7)));
  QTest::mouseClick(widget(ids::active(2)), Qt::LeftButton);
  EXPECT_FALSE(image.active(2));
  EXPECT_FALSE(button(ids::active(2))->isChecked());
}

TEST_F(ConfigurationWindowTest, DoubleClickOnASequenceEditOpensTheSignalBox) {
  QTest::mouseClick(widget(ids::active(0)), Qt::LeftButton);
  QTest::mouseClick(widget(ids::siren(0)), Qt::LeftButton);  // the sequence edit takes input
  edit(ids::sequence(0))->setText("ON05");
  QString title, shown;
  QWidget* owner = nullptr;
  bool stillOpenAfterKeys = false;
  test::whenShown<LayoutDialog>([&](LayoutDialog* dialog) {
    title = dialog->windowTitle();
    shown = QString::fromStdString(dialog->controls().text(config::SignalBox::kEdit));
    owner = dialog->parentWidget();
    QTest::keyClick(dialog, Qt::Key_Escape);
    QTest::keyClick(dialog->controlSet().widget(config::SignalBox::kEdit), Qt::Key_Return);
    stillOpenAfterKeys = dialog->isVisible();
    dialog->controls().setText(config::SignalBox::kEdit, "ON05,OFF10,R03");
    QTest::mouseClick(dialog->controlSet().widget(config::SignalBox::kOk), Qt::LeftButton);
  });
  QTest::mouseDClick(widget(ids::sequence(0)), Qt::LeftButton);
  EXPECT_EQ(title, "Taktfolge...");
  EXPECT_EQ(shown, "ON05");
  EXPECT_EQ(owner, widget(ids::sequence(0)));
  EXPECT_TRUE(stillOpenAfterKeys);
  EXPECT_EQ(edit(ids::sequence(0))->text(), "ON05,OFF10,R03");
  EXPECT_EQ(content->logicAs<config::ConfigWindow>()->form().addressText(0).sequenceText, "ON05,OFF10,R03");
}

TEST_F(ConfigurationWindowTest, LateProgressAfterCancelIsIgnoredAndClosingStopsTheTransfer) {
  QProgressBar* bar = content->controls().progressBar();
  button(ids::kRead)->click();
  ASSERT_TRUE(application.link().isOpen());
  EXPECT_FALSE(widget(ids::kRead)->isEnabled());
  EXPECT_TRUE(widget(ids::kCancel)->isEnabled());
  EXPECT_EQ(bar->maximum(), 112);

  std::thread([&] { content->sink().post(progress(50)); }).join();
  QApplication::processEvents();
  EXPECT_EQ(bar->value(), 50);

  // Posted by the transfer thread, still queued when "Abbrechen" closes the port.
  std::thread([&] { content->sink().post(progress(60)); }).join();
  button(ids::kCancel)->click();
  QApplication::processEvents();
  EXPECT_FALSE(application.link().isOpen());
  EXPECT_EQ(bar->value(), 0);
  EXPECT_TRUE(idle());

  button(ids::kRead)->click();
  ASSERT_TRUE(application.link().isOpen());
  QTest::mouseClick(window.child()->closeBox(), Qt::LeftButton);
  EXPECT_FALSE(application.link().isOpen());
  EXPECT_FALSE(content->logicAs<config::ConfigWindow>()->transferRunning());
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(window.child(), nullptr);
  EXPECT_TRUE(window.menuAction(app::kCommandConfiguration)->isEnabled());
}

TEST_F(ConfigurationWindowTest, ClosingTheMainWindowStopsTheTransferFirst) {
  button(ids::kRead)->click();
  ASSERT_TRUE(application.link().isOpen());
  // The result the transfer posts as it is stopped is still queued.
  transfer::Notification result;
  result.message = transfer::WM_TRANSFER_RESULT;
  result.wParam = transfer::RESULT_NO_ANSWER;
  std::thread([&] { content->sink().post(result); }).join();
  window.close();
  EXPECT_FALSE(application.link().isOpen());
  ASSERT_FALSE(content->logicAs<config::ConfigWindow>()->transferRunning());
  QApplication::processEvents();  // the queued result shows no box
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Tab reached the edits only, the wheel over the rows did nothing (over a list it
// changed the entry), and closing threw away what was typed.
TEST_F(ConfigurationWindowTest, TabGoesInReadingOrderTheWheelScrollsTheRowsAndClosingAsksFirst) {
  button(ids::active(0))->click();
  // The control Tab goes to next: the next in the focus chain that takes it.
  const auto next = [](QWidget* w) {
    do w = w->nextInFocusChain();
    while (!((w->focusPolicy() & Qt::TabFocus) && w->isEnabled()));
    return w;
  };
  EXPECT_EQ(next(widget(ids::active(0))), widget(ids::address(0)));
  EXPECT_EQ(next(widget(ids::address(0))), widget(ids::function(0)));
  EXPECT_EQ(next(widget(ids::relay(7, 0))), widget(ids::active(1)));  // line 2 is inactive
  EXPECT_EQ(next(widget(ids::kAlarmInterval)), widget(ids::kProgram));

  QWidget* list = widget(ids::function(0));
  const QPoint at = list->rect().center();
  QWheelEvent down(at, list->mapToGlobal(at), {}, {0, -QWheelEvent::DefaultDeltasPerStep}, Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(list, &down);
  EXPECT_EQ(content->logicAs<config::ConfigWindow>()->form().topRow(), QApplication::wheelScrollLines());
  EXPECT_EQ(dynamic_cast<QScrollBar*>(widget(ids::kScrollBar))->value(), QApplication::wheelScrollLines());
  EXPECT_EQ(edit(ids::address(0))->isEnabled(), false);  // row 1 scrolled away

  edit(ids::kIdent)->setText("NEU");
  test::ShownBox asked;
  test::whenShown<QMessageBox>([&asked](QMessageBox* box) {
    asked = {box->text(), box->windowTitle(), box->icon(), box->parentWidget()};
    box->button(QMessageBox::No)->click();
  });
  QTest::mouseClick(window.child()->closeBox(), Qt::LeftButton);
  EXPECT_EQ(asked.text, QString::fromUtf8("Die Änderungen sind nicht gespeichert. Fenster trotzdem schließen ?"));
  EXPECT_EQ(asked.icon, QMessageBox::Question);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_NE(window.child(), nullptr);  // "Nein": the window and its edits stay
  test::whenShown<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
  window.close();  // the program's end asks the same
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(window.child(), nullptr);
}

// Every command button was a default button, all drawn alike, so Tab onto one changed
// no pixel (and Space on that unseen focus started "TRV programmieren"); the scroll
// bar showed no focus either.
TEST_F(ConfigurationWindowTest, EveryControlTabReachesShowsThatItHasTheFocus) {
  button(ids::active(0))->click();
  button(ids::siren(0))->click();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  if (QApplication::focusWidget()) QApplication::focusWidget()->clearFocus();
  std::map<QWidget*, QImage> unfocused;
  std::map<QWidget*, int> idOf;
  for (const auto& [control, w] : content->controls().all()) {
    if (!(w->focusPolicy() & Qt::TabFocus)) continue;
    unfocused[w] = w->grab().toImage();
    idOf[w] = control.id;
  }
  widget(ids::active(0))->setFocus(Qt::OtherFocusReason);
  std::set<int> shown;
  for (int i = 0; i < 200; ++i) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_TRUE(unfocused.count(focused)) << i;
    const int id = idOf[focused];
    if (!shown.insert(id).second) break;  // once round
    EXPECT_NE(focused->grab().toImage(), unfocused[focused]) << "no focus to see on control " << id;
    QTest::keyClick(focused, Qt::Key_Tab);
  }
  for (int id : {ids::relay(7, 0), ids::kScrollBar, ids::kBaudRate, ids::kProgram, ids::kCancel - 1})
    EXPECT_TRUE(shown.count(id)) << id;
}

// After a form error "5" then "8" gave "58"; a pasted 1000 became 100 in "Totzeit".
TEST_F(ConfigurationWindowTest, AFormErrorSelectsItsFieldAndAPasteGoesInWholeOrNotAtAll) {
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  edit(ids::switchOnTime(0))->setText("0");
  test::ShownBox box;
  test::acceptNextBox(box);
  button(ids::kProgram)->click();
  EXPECT_EQ(box.text.left(24), QString::fromUtf8("Fehler: Einschaltzeit K3"));
  window.activateWindow();  // back from the box (a window manager does this)
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  ASSERT_EQ(QApplication::focusWidget(), widget(ids::switchOnTime(0)));
  EXPECT_EQ(edit(ids::switchOnTime(0))->selectedText(), "0");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_5);
  EXPECT_EQ(edit(ids::switchOnTime(0))->text(), "5");

  QLineEdit* deadTime = edit(ids::kDeadTime);
  deadTime->setText("5");
  deadTime->setFocus();
  deadTime->selectAll();
  QApplication::clipboard()->setText("1000");
  QTest::keyClick(deadTime, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(deadTime->text(), "5");
  EXPECT_EQ(dynamic_cast<QLabel*>(widget(ids::kStatus))->text(),
            QString::fromUtf8("Nicht eingefügt: höchstens 3 Zeichen. Erlaubt sind 1 bis 254 s."));
  QApplication::clipboard()->setText("254\n");
  QTest::keyClick(deadTime, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(deadTime->text(), "254");
  EXPECT_EQ(dynamic_cast<QLabel*>(widget(ids::kStatus))->text(), "");
}

TEST(ConfigurationWindowPort, OpenFailureNamesThePortAndTheReason) {
  app::Application application{com1("/dev/trv810-no-such-port")};
  MainWindowWidget window{application, window::CellSize{8, 16}};
  window.show();
  window.menuAction(app::kCommandConfiguration)->trigger();
  ASSERT_NE(window.child(), nullptr);
  auto* content = dynamic_cast<WindowContent*>(window.child()->content());
  ASSERT_NE(content, nullptr);

  test::ShownBox box;
  test::acceptNextBox(box);
  dynamic_cast<QAbstractButton*>(content->controls().widget(ids::kRead))->click();
  EXPECT_EQ(box.text, QString::fromUtf8("Port COM1 konnte nicht geöffnet werden !\n\n"
                                    "Das Gerät /dev/trv810-no-such-port gibt es nicht."));
  EXPECT_EQ(box.caption, "TRV810-Konfiguration");
  EXPECT_EQ(box.icon, QMessageBox::Critical);
  EXPECT_EQ(box.owner, window.child());
  EXPECT_TRUE(content->controls().widget(ids::kRead)->isEnabled());
}

}  // namespace
}  // namespace trv810::ui
