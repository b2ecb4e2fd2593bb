#include "ui/qt/screenshots.h"

#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QFile>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

#include "app/texts.h"
#include "config/control_ids.h"
#include "config/signal_box.h"
#include "config/config_window.h"
#include "firmware/update_window.h"
#include "ui/qt/child_windows.h"
#include "ui/qt/layout_dialog.h"
#include "ui/qt/main_window_widget.h"
#include "ui/qt/text.h"

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

/// A form error in row 20 while rows 1 to 8 are in view: the table scrolls to it and
/// the box says what is allowed. Pictures of the window behind the box and of the box.
bool formErrorPictures(MainWindowWidget& window, WindowContent& content, const QDir& dir) {
  config::ConfigWindow& logic = *content.logicAs<config::ConfigWindow>();
  namespace ids = config::ids;
  logic.onScroll(config::ScrollRequest::Thumb, 16);
  if (!logic.form().image().active(19)) logic.onCommand(ids::active(3));
  if (auto* edit = qobject_cast<QLineEdit*>(content.controls().widget(ids::address(3)))) edit->setText("7");
  logic.onScroll(config::ScrollRequest::Thumb, 0);
  auto shown = std::make_shared<bool>(false);
  whenShown<QMessageBox>([shown, dir, &window](QMessageBox* box) {
    *shown = save(window, dir, QStringLiteral("configuration-form-error.png"));
    *shown = save(*box, dir, QStringLiteral("configuration-form-error-box.png")) && *shown;
    box->accept();
  });
  logic.onCommand(ids::kProgram);
  return *shown;
}

/// The configuration window after "TRV auslesen" from the unit on COM1 (the
/// simulator), its closing message box, and the signal-sequence dialog of the first
/// sequence edit that takes input.
bool configurationPictures(MainWindowWidget& window, const QDir& dir) {
  window.logic().onCommand(app::kCommandConfiguration, false);
  settle();
  ChildWindow* child = window.child();
  auto* content = child ? dynamic_cast<WindowContent*>(child->content()) : nullptr;
  if (!content || !content->logicAs<config::ConfigWindow>()) return false;
  config::ConfigWindow& logic = *content->logicAs<config::ConfigWindow>();

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
  ok = formErrorPictures(window, *content, dir) && ok;

  // The file dialog, in German; the form error's edit is not saved, so "Datei laden"
  // asks first.
  auto fileDialog = std::make_shared<bool>(false);
  whenShown<QMessageBox>([fileDialog, dir](QMessageBox* box) {
    whenShown<QFileDialog>([fileDialog, dir](QFileDialog* dialog) {
      *fileDialog = save(*dialog, dir, QStringLiteral("file-dialog.png"));
      dialog->reject();
    });
    box->button(QMessageBox::Yes)->click();
  });
  logic.onCommand(config::ids::kLoad);
  ok = ok && *fileDialog;

  // The edits are not saved: closing asks first.
  auto question = std::make_shared<bool>(false);
  whenShown<QMessageBox>([question, dir](QMessageBox* box) {
    *question = save(*box, dir, QStringLiteral("configuration-close-question.png"));
    box->button(QMessageBox::Yes)->click();
  });
  child->closeWindow();
  settle();
  return ok && *question;
}

/// Whether the selected port leads somewhere: it is given by the environment (as the
/// screenshot script gives the simulator) and opens. Without it "Programmieren" would
/// show a modal box that nobody closes.
bool unitAttached(app::Application& application) {
  const link::PortEntry& entry = application.shell().selectedEntry();
  if (!entry.fromEnvironment || !application.link().openPort(entry.device)) return false;
  application.link().closePort();
  return true;
}

/// Starts programming a made-up firmware image and returns once the progress bar has
/// passed 40 % (or 20 s have gone), so the picture shows a transfer under way.
void programDemoImage(WindowContent& content, const QDir& scratch) {
  firmware::UpdateWindow& logic = *content.logicAs<firmware::UpdateWindow>();
  QFile file(scratch.filePath(QStringLiteral("TRV810-Firmware-V1.30.bin")));
  if (!file.open(QIODevice::WriteOnly)) return;
  QByteArray image(24000, '\0');
  for (qsizetype i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 31 + 7);
  file.write(image);
  file.close();
  logic.onFileChosen(toUtf8(file.fileName()));
  logic.onCommand(firmware::ids::kProgram);
  const QProgressBar* bar = content.controls().progressBar();
  QDeadlineTimer deadline(20000);
  while (logic.transferRunning() && bar->value() * 5 < bar->maximum() * 2 && !deadline.hasExpired())
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
}

bool flashUpdatePicture(MainWindowWidget& window, const QDir& dir) {
  window.logic().onCommand(app::kCommandFlashUpdate, false);
  settle();
  QTemporaryDir scratch;
  auto* content = window.child() ? dynamic_cast<WindowContent*>(window.child()->content()) : nullptr;
  if (content && !content->logicAs<firmware::UpdateWindow>()) content = nullptr;
  if (content && scratch.isValid() && unitAttached(window.application()))
    programDemoImage(*content, QDir(scratch.path()));
  bool ok = save(window, dir, QStringLiteral("flash-update-window.png"));
  if (content && content->logicAs<firmware::UpdateWindow>()->transferRunning()) {
    // "Stop": the status line says what is left in the unit.
    content->logicAs<firmware::UpdateWindow>()->onCommand(firmware::ids::kStop);
    ok = save(window, dir, QStringLiteral("flash-update-stopped.png")) && ok;
  }
  if (ChildWindow* child = window.child()) child->closeWindow();
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
  ok = flashUpdatePicture(window, dir) && ok;
  return ok;
}

}  // namespace trv810::ui
