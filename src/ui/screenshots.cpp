#include "ui/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>

#include "app/texts.h"
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

bool childPicture(MainWindowWidget& window, int command, const QDir& dir, const QString& name) {
  window.logic().onCommand(command, false);
  settle();
  const bool ok = save(window, dir, name);
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

  ok = childPicture(window, app::kCommandConfiguration, dir, QStringLiteral("configuration-window.png")) && ok;
  ok = childPicture(window, app::kCommandFlashUpdate, dir, QStringLiteral("flash-update-window.png")) && ok;
  return ok;
}

}  // namespace trv810::ui
