#include "ui/qt/main_window_widget.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include "app/menu.h"
#include "app/texts.h"
#include "ui/qt/child_windows.h"
#include "ui/qt/layout_dialog.h"
#include "ui/qt/text.h"

namespace trv810::ui {

namespace {

// The work area of each screen there is now.
std::vector<window::Rect> screenAreas() {
  std::vector<window::Rect> areas;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect area = screen->availableGeometry();
    areas.push_back({area.x(), area.y(), area.width(), area.height()});
  }
  return areas;
}

}  // namespace

QAction* MenuTable::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second.data();
}

std::string MenuTable::text(int id) const {
  QAction* a = action(id);
  return a ? toCp1252(a->text()) : std::string();
}

void MenuTable::setText(int id, std::string_view text) {
  if (QAction* a = action(id)) a->setText(fromCp1252(text));
}

bool MenuTable::enabled(int id) const {
  QAction* a = action(id);
  return a && a->isEnabled();
}

void MenuTable::setEnabled(int id, bool enabled) {
  if (QAction* a = action(id)) a->setEnabled(enabled);
}

MainWindowWidget::MainWindowWidget(app::Application& application, window::CellSize cell)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      application_(application),
      frame_(app::MainWindow::frameFor(cell)),
      client_(new QWidget(this)),
      host_(this, client_, [this](const QString& title) { setWindowTitle(title); }, nullptr, [this] { close(); }),
      logic_(application.shell(), menu_, host_, *this, [&application] { application.closePort(); }) {
  setWindowTitle(fromUtf8(app::texts::kMainTitle));
  client_->setAutoFillBackground(true);
  QPalette white = client_->palette();
  white.setColor(QPalette::Window, Qt::white);
  client_->setPalette(white);
  client_->installEventFilter(this);
  setCentralWidget(client_);
  buildMenu();
  frame_ = logic_.onCreate(cell, screenAreas());
  applyFrame();
}

MainWindowWidget::~MainWindowWidget() {
  logic_.onExit();
  delete child_.data();
}

void MainWindowWidget::buildMenu() {
  for (const app::MenuEntry& entry : app::mainMenu()) {
    if (entry.items.empty()) {
      QAction* action = menuBar()->addAction(fromUtf8(entry.text));
      menu_.add(entry.id, action);
      connect(action, &QAction::triggered, this, [this, id = entry.id] { logic_.onCommand(id, false); });
      continue;
    }
    QMenu* popup = menuBar()->addMenu(fromUtf8(entry.text));
    for (const app::MenuItem& item : entry.items) {
      QAction* action = popup->addAction(fromUtf8(item.text));
      menu_.add(item.id, action);
      connect(action, &QAction::triggered, this, [this, id = item.id] { logic_.onCommand(id, false); });
    }
  }
}

void MainWindowWidget::applyFrame() {
  // The frame is the outer size; what the window system adds around the widget is
  // only known once the window is shown, and is taken off then.
  const QSize decoration = isVisible() ? frameGeometry().size() - geometry().size() : QSize(0, 0);
  setFixedSize(frame_.w - decoration.width(), frame_.h - decoration.height());
  move(frame_.x, frame_.y);
}

void MainWindowWidget::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  QTimer::singleShot(0, this, [this] { applyFrame(); });
}

bool MainWindowWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize)
    logic_.onSize(client_->width(), client_->height());
  return QMainWindow::eventFilter(watched, event);
}

void MainWindowWidget::closeEvent(QCloseEvent* event) {
  // The port (receiver and any transfer) stops before the child window and the rest
  // of the program go. The child's own close handling does that, and so its logic
  // also drops a result the transfer still had queued: no box pops up on the way out.
  // A child that has something to lose asks first; "No" keeps the program running.
  if (child_ && !child_->closeWindow()) {
    event->ignore();
    return;
  }
  if (!isMinimized()) logic_.onClosing({x(), y()});
  logic_.onExit();
  QMainWindow::closeEvent(event);
}

bool MainWindowWidget::createChild(app::ChildKind kind) {
  ChildWindow* window = createChildWindow(kind, client_, application_);
  if (!window) return false;
  window->setClosedHandler([this] { logic_.onChildClosed(); });
  child_ = window;
  return true;
}


}  // namespace trv810::ui
