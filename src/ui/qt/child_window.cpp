#include "ui/qt/child_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/qt/texts.h"

namespace trv810::ui {

namespace {
constexpr int kBorder = 1;
}  // namespace

ChildWindow::ChildWindow(QWidget* parentClient, const QString& title) : QFrame(parentClient) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(kBorder);
  // The window's own grey over the main window's white.
  QPalette grey = palette();
  grey.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
  setPalette(grey);
  setAutoFillBackground(true);

  titleBar_ = new QWidget(this);
  titleBar_->setAutoFillBackground(true);
  QPalette captionColours = titleBar_->palette();
  captionColours.setColor(QPalette::Window, captionColours.color(QPalette::Highlight));
  captionColours.setColor(QPalette::WindowText, captionColours.color(QPalette::HighlightedText));
  titleBar_->setPalette(captionColours);

  titleLabel_ = new QLabel(title, titleBar_);
  QFont bold = titleLabel_->font();
  bold.setBold(true);
  titleLabel_->setFont(bold);
  titleLabel_->setTextFormat(Qt::PlainText);

  auto* closeBox = new QToolButton(titleBar_);
  closeBox->setText(QStringLiteral("\u00D7"));  // ×
  closeBox->setFont(bold);
  QPalette boxColours = captionColours;
  boxColours.setColor(QPalette::ButtonText, captionColours.color(QPalette::HighlightedText));
  closeBox->setPalette(boxColours);
  closeBox->setAutoRaise(true);
  closeBox->setFocusPolicy(Qt::NoFocus);
  closeBox->setToolTip(QString::fromUtf8(texts::kCloseBoxToolTip));
  closeBox_ = closeBox;
  connect(closeBox, &QToolButton::clicked, this, [this] { closeWindow(); });
  // Ctrl+F4 closes it from the keyboard, as a child window's close box.
  auto* closeKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4), this);
  closeKey->setContext(Qt::WindowShortcut);  // one child window at a time
  connect(closeKey, &QShortcut::activated, this, [this] { closeWindow(); });

  auto* bar = new QHBoxLayout(titleBar_);
  bar->setContentsMargins(4, 1, 1, 1);
  bar->addWidget(titleLabel_, 1);
  bar->addWidget(closeBox);

  client_ = new QWidget(this);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
  column->setSpacing(0);
  column->addWidget(titleBar_);
  column->addWidget(client_, 1);
}

ChildWindow::~ChildWindow() {
  // The widgets go before the content whose logic their input reaches.
  delete client_;
  client_ = nullptr;
}

QString ChildWindow::title() const { return titleLabel_->text(); }

void ChildWindow::setTitle(const QString& title) { titleLabel_->setText(title); }

void ChildWindow::setFrameRect(window::Rect outer) { setGeometry(outer.x, outer.y, outer.w, outer.h); }

QSize ChildWindow::outerSize(int clientWidth, int clientHeight) const {
  return {clientWidth + 2 * kBorder, clientHeight + titleBar_->sizeHint().height() + 2 * kBorder};
}

bool ChildWindow::closeWindow() {
  if (closing_) return true;
  if (content_ && !content_->mayClose()) return false;
  closing_ = true;
  if (content_) content_->onClose();
  if (closed_) closed_();
  hide();
  deleteLater();
  return true;
}

}  // namespace trv810::ui
