#include "ui/screenshots.h"

#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

#include "app/texts.h"
#include "config/control_ids.h"
#include "config/signal_box.h"
#include "ui/configuration_window.h"
#include "ui/layout_dialog.h"
#include "ui/main_window_widget.h"
#include "ui/text.h"

namespace trv810::ui {

namespace {

void settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

bool save(QWidget& widget, const QDir& dir, const QString& name) {
  settle();
  return widget.grab().save(dir.filePath(name), "PNG");
}

/// Once a visible top-level widget of type W shows (checked every 20 ms, for at most
/// `attempts` times), runs `act` on it. Modal boxes and dialogs are answered this way
/// from inside their own event loops.
template <class W>
void whenShown(std::function<void(W*)> act, int attempts = 1000) {
  QTimer::singleShot(20, [act, attempts] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* wanted = dynamic_cast<W*>(widget); wanted && wanted->isVisible()) {
        act(wanted);
        return;
      }
    }
    if (attempts > 0) whenShown<W>(act, attempts - 1);
  });
}

bool childPicture(MainWindowWidget& window, int command, const QDir& dir, const QString& name) {
  window.logic().onCommand(command, false);
  settle();
  const bool ok = save(window, dir, name);
  if (ChildWindow* child = window.child()) child->closeWindow();
  settle();
  return ok;
}

/// The configuration window after "TRV auslesen" from the unit on COM1 (the
/// simulator), its closing message box, and the signal-sequence dialog of the first
/// sequence edit that takes input.
bool configurationPictures(MainWindowWidget& window, const QDir& dir) {
  window.logic().onCommand(app::kCommandConfiguration, false);
  settle();
  ChildWindow* child = window.child();
  auto* content = child ? dynamic_cast<ConfigurationWindow*>(child->content()) : nullptr;
  if (!content) return false;
  config::ConfigWindow& logic = content->logic();

  // What the answers to the modal boxes found; shared, as an answer still waiting
  // when this function has given up must not reach its locals.
  struct Shown {
    bool box = false;
    bool dialog = false;
    bool saved = true;
  };
  auto shown = std::make_shared<Shown>();
  whenShown<QMessageBox>([shown, dir](QMessageBox* box) {
    shown->box = true;
    shown->saved = save(*box, dir, QStringLiteral("configuration-read-box.png")) && shown->saved;
    box->accept();
  });
  logic.onCommand(config::ids::kRead);
  QDeadlineTimer deadline(30000);
  while ((logic.transferRunning() || !shown->box) && !deadline.hasExpired())
    QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
  bool ok = shown->box && !logic.transferRunning();
  ok = save(window, dir, QStringLiteral("configuration-window.png")) && ok;

  int sequenceEdit = config::ids::kManualSequence;
  for (int k = 0; k < config::ids::kVisibleLines; ++k) {
    const int id = config::ids::sequence(k);
    if (content->controls().widget(id)->isEnabled()) {
      sequenceEdit = id;
      break;
    }
  }
  whenShown<LayoutDialog>([shown, dir](LayoutDialog* dialog) {
    shown->dialog = true;
    shown->saved = save(*dialog, dir, QStringLiteral("signal-box.png")) && shown->saved;
    if (QWidget* cancel = dialog->controlSet().widget(config::SignalBox::kCancel))
      static_cast<QAbstractButton*>(cancel)->click();
  });
  logic.onDoubleClick(sequenceEdit);
  ok = ok && shown->dialog && shown->saved;

  child->closeWindow();
  settle();
  return ok;
}

}  // namespace

bool writeScreenshots(MainWindowWidget& window, const QString& directory) {
  QDir dir(directory);
  if (!dir.mkpath(QStringLiteral("."))) return false;
  window.show();
  bool ok = save(window, dir, QStringLiteral("main-window.png"));

  app::PortDialog logic(window.application().shell());
  std::unique_ptr<LayoutDialog> portDialog = window.buildPortDialog(logic);
  portDialog->show();
  ok = save(*portDialog, dir, QStringLiteral("port-dialog.png")) && ok;
  portDialog.reset();

  QMessageBox info(QMessageBox::Information, fromUtf8(app::texts::kShellCaption),
                   fromUtf8(app::MainWindow::infoText()), QMessageBox::Ok, &window);
  info.show();
  ok = save(info, dir, QStringLiteral("info-box.png")) && ok;
  info.hide();

  ok = configurationPictures(window, dir) && ok;
  ok = childPicture(window, app::kCommandFlashUpdate, dir, QStringLiteral("flash-update-window.png")) && ok;
  return ok;
}

}  // namespace trv810::ui
