#include "ui/qt/qt_window_host.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLineEdit>
#include <QSpacerItem>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>
#include <QUrl>

#include "ui/qt/cell_metrics.h"
#include "ui/qt/control_set.h"
#include "ui/qt/layout_dialog.h"
#include "window/dialog.h"
#include "ui/qt/text.h"

namespace trv810::ui {

QtWindowHost::QtWindowHost(QWidget* owner, QWidget* client, std::function<void(const QString&)> title,
                           QProgressBar* progress, std::function<void()> close, const ControlSet* controls,
                           std::function<void()> tick)
    : owner_(owner),
      client_(client),
      dialogBase_(measureDialogBase(QApplication::font())),
      title_(std::move(title)), progress_(progress), close_(std::move(close)), controls_(controls) {
  ticks_.setInterval(kTickInterval);
  if (tick) QObject::connect(&ticks_, &QTimer::timeout, &ticks_, std::move(tick));
}

QtWindowHost::~QtWindowHost() { setWaitCursor(false); }

std::unique_ptr<LayoutDialog> QtWindowHost::buildDialog(window::Dialog& dialog, int ownerId) {
  QWidget* owner = controls_ && ownerId >= 0 ? controls_->widget(ownerId) : nullptr;
  return std::make_unique<LayoutDialog>(owner ? owner : owner_.data(), client_, dialog, dialogBase_);
}

int QtWindowHost::runDialog(window::Dialog& dialog, int ownerId) {
  const int result = buildDialog(dialog, ownerId)->exec();
  // A double click that opened the dialog goes on to its owning edit once this returns
  // and would select a word of the new text; the edit shows it unselected instead.
  if (auto* edit = qobject_cast<QLineEdit*>(controls_ && ownerId >= 0 ? controls_->widget(ownerId) : nullptr))
    QTimer::singleShot(0, edit, [edit] { edit->deselect(); });
  return result;
}

window::Answer QtWindowHost::messageBox(std::string_view text, std::string_view caption, window::Icon icon,
                                          window::Buttons buttons, window::Answer defaultAnswer) {
  const bool yesNo = buttons == window::Buttons::YesNo;
  const QMessageBox::Icon shown = icon == window::Icon::Error      ? QMessageBox::Critical
                                  : icon == window::Icon::Question ? QMessageBox::Question
                                                                     : QMessageBox::Information;
  QMessageBox box(shown, fromUtf8(caption), fromUtf8(text), yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                  owner_);
  box.setTextFormat(Qt::PlainText);
  if (yesNo) box.setDefaultButton(defaultAnswer == window::Answer::No ? QMessageBox::No : QMessageBox::Yes);
  keepCaptionWhole(box);
  const int answer = box.exec();
  if (!yesNo) return window::Answer::Ok;
  return answer == QMessageBox::Yes ? window::Answer::Yes : window::Answer::No;
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

QString QtWindowHost::nameFilter(const window::FileDialogRequest& request) {
  const QString name = fromUtf8(request.filterName);
  const QString patterns = fromUtf8(request.filterPatterns);
  if (patterns.isEmpty()) return name;
  const qsizetype open = name.lastIndexOf(u'(');
  if (open >= 0 && name.endsWith(u')')) return name.left(open + 1) + patterns + u')';
  return name + QStringLiteral(" (") + patterns + u')';
}

namespace {

// The folders of the recent files, the most recent first, in the dialog's side bar
// (after its own places) and in its history of folders; Qt's dialog has no list of
// files of its own to put them in.
void offerRecentFiles(QFileDialog& dialog, const std::vector<std::string>& files) {
  QStringList folders;
  for (const std::string& file : files) {
    const QFileInfo info(fromUtf8(file));
    if (info.exists() && !folders.contains(info.absolutePath())) folders << info.absolutePath();
  }
  if (folders.isEmpty()) return;
  QList<QUrl> places = dialog.sidebarUrls();
  for (const QString& folder : folders)
    if (const QUrl url = QUrl::fromLocalFile(folder); !places.contains(url)) places << url;
  dialog.setSidebarUrls(places);
  dialog.setHistory(folders);
}

}  // namespace

std::optional<std::string> QtWindowHost::chooseFile(const window::FileDialogRequest& request, bool save) {
  QFileDialog dialog(owner_);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  QStringList filters{nameFilter(request)};
  for (const window::FileFilter& f : request.moreFilters) {
    window::FileDialogRequest more;
    more.filterName = f.name;
    more.filterPatterns = f.patterns;
    filters << nameFilter(more);
  }
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(fromUtf8(request.defaultSuffix));
  if (save && !request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!request.startPath.empty())
    dialog.selectFile(fromUtf8(request.startPath));
  else if (!request.startFolder.empty() && QFileInfo(fromUtf8(request.startFolder)).isDir())
    dialog.setDirectory(fromUtf8(request.startFolder));
  offerRecentFiles(dialog, request.recentFiles);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return toUtf8(dialog.selectedFiles().constFirst());
}

std::optional<std::string> QtWindowHost::chooseOpenFile(const window::FileDialogRequest& request) {
  return chooseFile(request, false);
}

std::optional<std::string> QtWindowHost::chooseSaveFile(const window::FileDialogRequest& request) {
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
