#include "ui/qt/control_set.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QWheelEvent>

#include "ui/qt/edit_validator.h"
#include "ui/qt/text.h"

namespace trv810::ui {

using window::ControlKind;
using window::ControlSpec;

namespace {

constexpr char kPositionProperty[] = "trv810Position";

/// A frame in the highlight colour around a control that has the focus, for controls
/// whose style shows none: a scroll bar, a radio mark without a caption.
void paintFocusFrame(QWidget* widget, QRect around) {
  if (!widget->hasFocus()) return;
  QPainter painter(widget);
  painter.setPen(QPen(widget->palette().color(QPalette::Highlight), 2));
  painter.drawRect(around.adjusted(1, 1, -1, -1));
}

/// A radio button that a click does not mark: the logic marks it. Without a caption
/// the focus shows as a frame around its mark.
class ManualRadioButton : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  void nextCheckState() override {}
  void paintEvent(QPaintEvent* event) override {
    QRadioButton::paintEvent(event);
    if (text().isEmpty()) paintFocusFrame(this, rect());
  }
};

/// A scroll bar that shows when it has the focus (the arrow keys then move the rows).
class FocusScrollBar : public QScrollBar {
 public:
  using QScrollBar::QScrollBar;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QScrollBar::paintEvent(event);
    paintFocusFrame(this, rect());
  }
};

/// Lets a paste into an edit in only as a whole and only when `pasted` takes the text
/// it would make: the paste key, the context menu's entry and the middle button's
/// paste of the selection all come here; dropping text is off. A refused paste leaves
/// the edit as it was (the logic says why), where the edit would have cut the text to
/// its length and so kept a value the user never gave.
class PasteGuard : public QObject {
 public:
  PasteGuard(QLineEdit* edit, ControlSpec control, std::shared_ptr<ControlInput> input)
      : QObject(edit), edit_(edit), control_(std::move(control)), input_(std::move(input)) {
    edit->setAcceptDrops(false);
    edit->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
        if (!static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) return false;
        paste(QClipboard::Clipboard);
        return true;
      case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::MiddleButton ||
            !QApplication::clipboard()->supportsSelection())
          return false;
        paste(QClipboard::Selection);
        return true;
      case QEvent::ContextMenu: {
        std::unique_ptr<QMenu> menu(edit_->createStandardContextMenu());
        for (QAction* action : menu->actions()) {
          if (action->objectName() != QLatin1String("edit-paste")) continue;
          action->disconnect();
          QObject::connect(action, &QAction::triggered, this, [this] { paste(QClipboard::Clipboard); });
        }
        menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
      }
      default:
        return false;
    }
  }

 private:
  void paste(QClipboard::Mode mode) {
    if (!edit_->isEnabled() || edit_->isReadOnly()) return;
    const QString line = fromUtf8(window::pastedLine(toUtf8(QApplication::clipboard()->text(mode))));
    QString result = edit_->text();
    if (edit_->hasSelectedText())
      result.replace(edit_->selectionStart(), edit_->selectedText().size(), line);
    else
      result.insert(edit_->cursorPosition(), line);
    const std::string utf8 = toUtf8(result);
    if (input_->pasted ? !input_->pasted(control_, utf8) : window::refusalOf(control_, utf8) != window::Refusal::None) {
      QApplication::beep();
      return;
    }
    edit_->insert(line);  // in whole: the logic took the text, so it fits the edit's length
  }

  QLineEdit* edit_;
  ControlSpec control_;
  std::shared_ptr<ControlInput> input_;
};

/// Reports presses of the left button (and whether it went down alone, without another
/// button or a modifier key) and turns of the wheel on the widgets it watches, with
/// the id of each; the press goes on as usual, the wheel only when the window did not
/// take it. `client` is where the wheel's position is measured.
class PointerFilter : public QObject {
 public:
  PointerFilter(QWidget* client, std::shared_ptr<ControlInput> input)
      : QObject(client), client_(client), input_(std::move(input)) {}

  void watch(QWidget* widget, int id) {
    ids_[widget] = id;
    widget->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto it = ids_.find(watched);
    if (it == ids_.end()) return false;
    if (event->type() == QEvent::MouseButtonPress) {
      const auto* press = static_cast<QMouseEvent*>(event);
      if (press->button() == Qt::LeftButton && it->second >= 0 && input_->pressed)
        input_->pressed(it->second, press->buttons() == Qt::LeftButton && press->modifiers() == Qt::NoModifier);
    } else if (event->type() == QEvent::Wheel && input_->wheel) {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      const QPoint at = static_cast<QWidget*>(watched)->mapTo(client_, wheel->position().toPoint());
      return input_->wheel(it->second, {at.x(), at.y()}, wheel->angleDelta().y(), QApplication::wheelScrollLines());
    }
    return false;
  }

 private:
  QWidget* client_;
  std::shared_ptr<ControlInput> input_;
  std::map<QObject*, int> ids_;
};

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

/// Reports left-button double clicks on the widget it watches.
class DoubleClickFilter : public QObject {
 public:
  DoubleClickFilter(QObject* parent, std::function<void()> onDoubleClick)
      : QObject(parent), onDoubleClick_(std::move(onDoubleClick)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
      onDoubleClick_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> onDoubleClick_;
};

std::optional<window::ScrollRequest> scrollRequest(int action) {
  using window::ScrollRequest;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return ScrollRequest::LineUp;
    case QAbstractSlider::SliderSingleStepAdd: return ScrollRequest::LineDown;
    case QAbstractSlider::SliderPageStepSub: return ScrollRequest::PageUp;
    case QAbstractSlider::SliderPageStepAdd: return ScrollRequest::PageDown;
    case QAbstractSlider::SliderMove: return ScrollRequest::Thumb;
    case QAbstractSlider::SliderToMinimum: return ScrollRequest::Top;
    case QAbstractSlider::SliderToMaximum: return ScrollRequest::Bottom;
    default: return std::nullopt;
  }
}

QWidget* createEdit(QWidget* client, const ControlSpec& control) {
  auto* edit = new QLineEdit(fromUtf8(control.text), client);
  edit->setFrame(control.border);
  if (control.maxLength > 0) edit->setMaxLength(control.maxLength);
  EditValidator::Rules rules;
  rules.digitsOnly = control.kind == ControlKind::DigitEdit;
  rules.windows1252Only = control.windows1252Only;
  edit->setValidator(new EditValidator(edit, rules));
  return edit;
}

// The width an edit needs to show its widest value whole: at least its width in the
// table. Wider only when the font's widest characters need more room than the cells
// give them; the edit then grows to the right.
int editWidth(QWidget* widget, const ControlSpec& control) {
  auto* edit = qobject_cast<QLineEdit*>(widget);
  if (!edit || control.widest.empty()) return control.w;
  edit->resize(control.w, control.h);
  const int missing = edit->fontMetrics().horizontalAdvance(fromUtf8(control.widest)) - EditValidator::textWidth(edit);
  return missing > 0 ? control.w + missing + 1 : control.w;
}

/// Enter on a focused push button presses it, as Space does.
class EnterPresses : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !button->isEnabled()) return false;
    button->click();
    return true;
  }
};

QWidget* createList(QWidget* client, const ControlSpec& control) {
  auto* list = new QComboBox(client);
  for (const std::string& entry : control.entries) list->addItem(fromUtf8(entry));
  list->setCurrentIndex(control.selected >= 0 && control.selected < list->count() ? control.selected : -1);
  return list;
}

QWidget* createScrollBar(QWidget* client, const ControlSpec& control) {
  auto* bar = new FocusScrollBar(Qt::Vertical, client);
  bar->setRange(control.minimum, control.maximum);
  bar->setSingleStep(1);
  bar->setPageStep(1);
  setScrollPosition(bar, control.position);
  return bar;
}

QWidget* createButton(QWidget* client, const ControlSpec& control) {
  auto* button = new QPushButton(fromUtf8(control.text), client);
  // Enter must not press a button the user did not press: a click, Space, or Enter
  // while the button itself has the focus.
  button->setAutoDefault(false);
  button->setDefault(control.kind == ControlKind::DefaultButton);
  button->installEventFilter(new EnterPresses(button));
  return button;
}

QWidget* createLabel(QWidget* client, const ControlSpec& control) {
  auto* label = new QLabel(fromUtf8(control.text), client);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment((control.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
  if (control.showsPath) new ElideStart(label);
  return label;
}

QWidget* createGroup(QWidget* client, const ControlSpec& control) {
  auto* group = new QGroupBox(fromUtf8(control.text), client);
  if (control.centred) group->setAlignment(Qt::AlignHCenter);
  return group;
}

Qt::FocusPolicy focusPolicy(const ControlSpec& control) {
  // A tab stop is reached with Tab and a click; a list also with the wheel, which
  // changes its entry only once it has the focus.
  if (control.tabStop) return Qt::StrongFocus;
  switch (control.kind) {
    case ControlKind::GroupBox:
    case ControlKind::Static:
    case ControlKind::ProgressBar: return Qt::NoFocus;
    default: return Qt::ClickFocus;
  }
}

}  // namespace

void keepWithinLimit(QLineEdit* edit, int limit) {
  edit->setMaxLength(std::max(limit, static_cast<int>(edit->text().size())));
}

void setScrollPosition(QScrollBar* bar, int position) {
  bar->setProperty(kPositionProperty, position);
  bar->setValue(position);
}

ControlSet::ControlSet(QWidget* client, const std::vector<ControlSpec>& layout, ControlInput input,
                       const std::vector<int>& tabOrder)
    : input_(std::make_shared<ControlInput>(std::move(input))) {
  auto* pointer = new PointerFilter(client, input_);
  pointer->watch(client, -1);
  for (const ControlSpec& control : layout) {
    QWidget* widget = create(client, control);
    int width = editWidth(widget, control);
    // A radio mark, or a list's arrow beside its entry, may be wider than the layout
    // allows for; the control grows to the right rather than being cut off.
    if (control.kind == ControlKind::Toggle || control.kind == ControlKind::RadioButton)
      width = std::max(width, widget->sizeHint().width());
    if (control.kind == ControlKind::List) width = std::max(width, widget->minimumSizeHint().width());
    // A list's height in the table includes its opened entries; the closed field
    // takes the height of one line.
    int height = control.h;
    if (control.kind == ControlKind::List) height = std::min(height, widget->sizeHint().height());
    widget->setGeometry(control.x, control.y, width, height);
    widget->setFocusPolicy(focusPolicy(control));
    // As plain text: a tool tip that looks like HTML would otherwise be drawn as such,
    // and device names and adapter strings come from outside.
    if (!control.toolTip.empty()) widget->setToolTip(Qt::convertFromPlainText(fromUtf8(control.toolTip)));
    connect(widget, control);
    pointer->watch(widget, control.id);
    if (control.id >= 0) byId_.emplace(control.id, all_.size());
    all_.emplace_back(control, widget);
    widget->show();
  }
  QWidget* previous = nullptr;
  for (int id : tabOrder) {
    QWidget* next = widget(id);
    if (!next) continue;
    if (previous) QWidget::setTabOrder(previous, next);
    previous = next;
  }
}

QWidget* ControlSet::create(QWidget* client, const ControlSpec& control) {
  switch (control.kind) {
    case ControlKind::GroupBox: return createGroup(client, control);
    case ControlKind::Static: return createLabel(client, control);
    case ControlKind::Toggle:
    case ControlKind::RadioButton: {
      auto* radio = new ManualRadioButton(fromUtf8(control.text), client);
      radio->setAutoExclusive(false);
      return radio;
    }
    case ControlKind::Edit:
    case ControlKind::DigitEdit: return createEdit(client, control);
    case ControlKind::List: return createList(client, control);
    case ControlKind::ScrollBar: return createScrollBar(client, control);
    case ControlKind::Button:
    case ControlKind::DefaultButton: return createButton(client, control);
    case ControlKind::ProgressBar: {
      auto* bar = new QProgressBar(client);
      bar->setTextVisible(false);
      bar->setRange(0, 100);
      bar->setValue(0);
      if (!progress_) progress_ = bar;
      return bar;
    }
  }
  return new QWidget(client);
}

void ControlSet::connect(QWidget* widget, const ControlSpec& control) {
  const int id = control.id;
  std::shared_ptr<ControlInput> in = input_;
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    QObject::connect(button, &QAbstractButton::clicked, button, [in, id] {
      if (in->command) in->command(id);
    });
  } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
    QObject::connect(list, &QComboBox::activated, list, [in, id](int index) {
      if (in->listChosen) in->listChosen(id, index);
    });
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [in, id, edit, limit = control.maxLength] {
      if (limit > 0) keepWithinLimit(edit, limit);
      if (in->edited) in->edited(id);
    });
    new PasteGuard(edit, control, in);
    edit->installEventFilter(new DoubleClickFilter(edit, [in, id] {
      if (in->doubleClicked) in->doubleClicked(id);
    }));
  } else if (auto* bar = qobject_cast<QScrollBar*>(widget)) {
    QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [in, id, bar](int action) {
      // Qt has moved the thumb already; put it back where the logic left it, so only
      // what the logic does with the action moves it.
      const int moved = bar->sliderPosition();
      bar->setSliderPosition(bar->property(kPositionProperty).toInt());
      if (auto what = scrollRequest(action); what && in->scrolled) in->scrolled(id, *what, moved);
    });
  }
}

QWidget* ControlSet::widget(int id) const {
  auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : all_[it->second].second;
}

const ControlSpec* ControlSet::entry(int id) const {
  auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : &all_[it->second].first;
}

}  // namespace trv810::ui
