#include "ui/qt/qt_window_host.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLineEdit>
#include <QSpacerItem>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>

#include "ui/qt/control_set.h"
#include "ui/qt/text.h"

namespace trv810::ui {

QtWindowHost::QtWindowHost(QWidget* owner, std::function<void(const QString&)> title, QProgressBar* progress,
                           std::function<void()> close, const ControlSet* controls, std::function<void()> tick)
    : owner_(owner), title_(std::move(title)), progress_(progress), close_(std::move(close)), controls_(controls) {
  ticks_.setInterval(kTickInterval);
  if (tick) QObject::connect(&ticks_, &QTimer::timeout, &ticks_, std::move(tick));
}

QtWindowHost::~QtWindowHost() { setWaitCursor(false); }

platform::Answer QtWindowHost::messageBox(std::string_view text, std::string_view caption, platform::Icon icon,
                                          platform::Buttons buttons, platform::Answer defaultAnswer) {
  const bool yesNo = buttons == platform::Buttons::YesNo;
  const QMessageBox::Icon shown = icon == platform::Icon::Error      ? QMessageBox::Critical
                                  : icon == platform::Icon::Question ? QMessageBox::Question
                                                                     : QMessageBox::Information;
  QMessageBox box(shown, fromUtf8(caption), fromUtf8(text), yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                  owner_);
  box.setTextFormat(Qt::PlainText);
  if (yesNo) box.setDefaultButton(defaultAnswer == platform::Answer::No ? QMessageBox::No : QMessageBox::Yes);
  keepCaptionWhole(box);
  const int answer = box.exec();
  if (!yesNo) return platform::Answer::Ok;
  return answer == QMessageBox::Yes ? platform::Answer::Yes : platform::Answer::No;
}

void QtWindowHost::setTitle(std::string_view title) {
  if (title_) title_(fromUtf8(title));
}

void QtWindowHost::setProgressRange(int minimum, int maximum) {
  if (progress_) progress_->setRange(minimum, maximum);
}

void QtWindowHost::setProgressPosition(int position) {
  if (progress_) progress_->setValue(position);
}

void QtWindowHost::keepCaptionWhole(QMessageBox& box) {
  // A short message makes a narrow box, and the window manager then cuts its caption.
  // A spacer across the box's grid keeps it as wide as the caption in the title bar's
  // font, with room for the window's icon and buttons.
  constexpr int kTitleBarExtra = 120;
  QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
  titleFont.setBold(true);
  const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarExtra;
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

QString QtWindowHost::nameFilter(const platform::FileDialogRequest& request) {
  const QString name = fromUtf8(request.filterName);
  const QString patterns = fromUtf8(request.filterPatterns);
  if (patterns.isEmpty()) return name;
  const qsizetype open = name.lastIndexOf(u'(');
  if (open >= 0 && name.endsWith(u')')) return name.left(open + 1) + patterns + u')';
  return name + QStringLiteral(" (") + patterns + u')';
}

std::optional<std::string> QtWindowHost::chooseFile(const platform::FileDialogRequest& request, bool save) {
  QFileDialog dialog(owner_);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  QStringList filters{nameFilter(request)};
  for (const platform::FileFilter& f : request.moreFilters) {
    platform::FileDialogRequest more;
    more.filterName = f.name;
    more.filterPatterns = f.patterns;
    filters << nameFilter(more);
  }
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(fromUtf8(request.defaultSuffix));
  if (save && !request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!request.startPath.empty()) dialog.selectFile(fromUtf8(request.startPath));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return toUtf8(dialog.selectedFiles().constFirst());
}

std::optional<std::string> QtWindowHost::chooseOpenFile(const platform::FileDialogRequest& request) {
  return chooseFile(request, false);
}

std::optional<std::string> QtWindowHost::chooseSaveFile(const platform::FileDialogRequest& request) {
  return chooseFile(request, true);
}

void QtWindowHost::setWaitCursor(bool wait) {
  if (wait == waitCursor_) return;
  waitCursor_ = wait;
  if (wait)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void QtWindowHost::setFocus(int id, bool selectText) {
  QWidget* widget = controls_ ? controls_->widget(id) : nullptr;
  if (!widget) return;
  // The window moves the focus for the keyboard's sake: it shows, as after Tab.
  widget->window()->setAttribute(Qt::WA_KeyboardFocusChange);
  widget->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(widget); edit && selectText) edit->selectAll();
}

int QtWindowHost::focus() const {
  const QWidget* focused = QApplication::focusWidget();
  if (!controls_ || !focused) return -1;
  for (const auto& [control, widget] : controls_->all())
    if (control.id >= 0 && (widget == focused || widget->isAncestorOf(focused))) return control.id;
  return -1;
}

void QtWindowHost::setTicking(bool on) {
  if (on)
    ticks_.start();
  else
    ticks_.stop();
}

void QtWindowHost::requestClose() {
  // Posted, as the window's own close message would be: the handler that asks for it
  // finishes first.
  if (owner_ && close_) QTimer::singleShot(0, owner_.data(), close_);
}

}  // namespace trv810::ui
