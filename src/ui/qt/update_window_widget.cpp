#include "ui/qt/update_window_widget.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>

namespace trv810::ui {

namespace {

/// Paints a label whose text is wider than the label with its start elided, so a long
/// path still shows the file's name; the whole text is then its tool tip. The label's
/// text itself stays whole, as the logic reads it back.
class ElideStart : public QObject {
 public:
  explicit ElideStart(QLabel* label) : QObject(label), label_(label) { label->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != label_ || event->type() != QEvent::Paint) return false;
    const QRect area = label_->contentsRect();
    const QString text = label_->text();
    if (label_->fontMetrics().horizontalAdvance(text) <= area.width()) {
      label_->setToolTip(QString());
      return false;  // fits: the label paints itself
    }
    label_->setToolTip(text);
    QPainter painter(label_);
    painter.setPen(label_->palette().color(label_->foregroundRole()));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     label_->fontMetrics().elidedText(text, Qt::ElideLeft, area.width()));
    return true;
  }

 private:
  QLabel* label_;
};

std::unique_ptr<ControlSet> buildControls(ChildWindow& window, const app::ShellState& shell,
                                          std::function<void(int)> command) {
  ControlInput input;
  input.command = std::move(command);
  return std::make_unique<ControlSet>(
      window.client(), firmware::UpdateWindow::layout(shell.cell, shell.clientWidth).controls, std::move(input));
}

}  // namespace

UpdateWindowContent::UpdateWindowContent(ChildWindow& window, app::Application& application)
    : sink_([this](const transfer::Notification& n) { logic_.onNotification(n); }),
      set_(buildControls(window, application.shell(), [this](int id) { logic_.onCommand(id); })),
      table_(*set_),
      host_(&window, [&window](const QString& title) { window.setTitle(title); }, set_->progressBar(),
            [&window] { window.closeWindow(); }, set_.get(), [this] { logic_.onTick(); }),
      logic_(application.flash(), application.firmwarePath(), application.transfer(),
             {application.shell().ports, application.shell().selectedPort}, table_, host_, sink_) {
  if (auto* label = qobject_cast<QLabel*>(set_->widget(firmware::ids::kFileName))) new ElideStart(label);
  logic_.onCreate();
}

}  // namespace trv810::ui
