// trv810: the desktop program. Start-up: the application object (shell state, link
// events, buffers), the character cell from the system's fixed-pitch font, the main
// window; then the event loop. Exit closes the port before anything is released.
//
//   trv810                    the program
//   trv810 FILE               the program with FILE open: a configuration (.kfg) in the
//                             configuration window, a firmware image (.hex, .bin) in the
//                             flash-update window
//   trv810 --screenshot DIR   writes pictures of its windows into DIR and ends

#include <cstdio>
#include <memory>
#include <new>

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include "app/application.h"
#include "app/texts.h"
#include "platform/settings.h"
#include "ui/qt/cell_metrics.h"
#include "ui/qt/language.h"
#include "ui/qt/main_window_widget.h"
#include "ui/qt/screenshots.h"
#include "ui/qt/text.h"

namespace {

using namespace trv810;

// What the program remembers: the user's settings; a picture run starts from the
// defaults and leaves them alone.
std::unique_ptr<platform::SettingsStore> settingsFor(const QStringList& arguments) {
  if (arguments.contains(QStringLiteral("--screenshot"))) return std::make_unique<platform::MemorySettings>();
  return platform::openUserSettings();
}

int run(QApplication& qt) {
  std::unique_ptr<app::Application> application;
  try {
    application = std::make_unique<app::Application>(link::PortTable::fromEnvironment(), settingsFor(qt.arguments()));
  } catch (const std::bad_alloc&) {
    QMessageBox::critical(nullptr, ui::fromUtf8(app::texts::kShellCaption),
                          ui::fromUtf8(app::texts::kOutOfMemory));
    return 0;
  }
  ui::MainWindowWidget window(*application, ui::measureSystemCell());

  const QStringList arguments = qt.arguments();
  const qsizetype screenshot = arguments.indexOf(QStringLiteral("--screenshot"));
  if (screenshot >= 0) {
    const QString directory =
        screenshot + 1 < arguments.size() ? arguments.at(screenshot + 1) : QStringLiteral("screenshots");
    const bool ok = ui::writeScreenshots(window, directory);
    std::fprintf(stderr, "%s %s\n", ok ? "Bilder geschrieben nach" : "Bilder konnten nicht geschrieben werden nach",
                 directory.toLocal8Bit().constData());
    return ok ? 0 : 1;
  }
  window.show();
  // The first argument that is no option is a file to open, once the window is up.
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments.at(i).startsWith(QLatin1Char('-'))) continue;
    const QString file = arguments.at(i);
    QTimer::singleShot(0, &window, [&window, file] { window.openFile(file); });
    break;
  }
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QApplication::setApplicationName(QStringLiteral("trv810"));
  QApplication::setApplicationVersion(QStringLiteral(TRV810_VERSION));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/trv810/trv810.svg")));
  ui::useGerman(qt);
  return run(qt);
}
