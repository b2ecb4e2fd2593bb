#include "ui/qt/screenshots.h"

#include <cstdio>
#include <cstdlib>

#include <QDir>
#include <QTemporaryDir>

#include "app/scenario.h"
#include "ui/qt/main_window_widget.h"
#include "ui/qt/scenario_driver.h"
#include "ui/qt/text.h"

namespace trv810::ui {

bool writeScreenshots(MainWindowWidget& window, const QString& directory) {
  QTemporaryDir scratch;
  if (!QDir(directory).mkpath(QStringLiteral(".")) || !scratch.isValid()) return false;
  window.show();
  QtScenarioDriver driver(window, directory);
  window::Scenario scenario = app::desktopScenario(toUtf8(scratch.path()));
  // TRV810_SCENARIO_TRACE=1: each step on standard error as it begins.
  if (const char* trace = std::getenv("TRV810_SCENARIO_TRACE"); trace && *trace == '1')
    scenario.traceTo([](const std::string& step) { std::fprintf(stderr, "%s\n", step.c_str()); });
  if (const std::optional<std::string> failure = scenario.run(driver)) {
    std::fprintf(stderr, "%s\n", failure->c_str());
    return false;
  }
  return true;
}

}  // namespace trv810::ui
