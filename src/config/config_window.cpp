#include "config/config_window.h"

#include "config/control_ids.h"
#include "config/file_commands.h"
#include "config/general_fields.h"
#include "config/row_columns.h"
#include "config/signal_box.h"
#include "config/texts.h"

// Creation, closing and the user's input: commands, scrolling, presses and double
// clicks on the form's controls. The transfer commands are in config_window_transfer.cpp.

namespace trv810::config {

ConfigWindow::ConfigWindow(ConfigImage& image, StagingBuffer& staging, std::string& lastPath,
                           transfer::Transfer& transfer, PortChoice port, window::ControlTable& controls,
                           window::WindowHost& host, transfer::NotificationSink& sink)
    : image_(image),
      transfer_(transfer),
      port_(port),
      controls_(controls),
      host_(host),
      sink_(sink),
      form_(image, controls),
      read_(transfer, staging),
      write_(transfer),
      lastPath_(lastPath) {}

ConfigWindow::~ConfigWindow() {
  read_.stop();
  write_.stop();
}

void ConfigWindow::onCreate() {
  host_.setTitle(texts::kWindowCaption);
  controls_.setEnabled(ids::kCancel, false);
  host_.setProgressPosition(0);
  image_.clear();
  form_.reset();
  controls_.setSelection(ids::kScrollBar, 0);
  notice_.clear();
  setStatus("");
  saved_ = form_.state();
  host_.setFocus(ids::active(0), false);  // the keyboard starts in the window, at the first row
}

bool ConfigWindow::onCloseRequest() { return mayReplaceForm(texts::kUnsavedQuestion); }

bool ConfigWindow::mayReplaceForm(std::string_view question) {
  if (!unsavedChanges()) return true;
  // "Ja" throws the edits away, so Enter must not give it.
  return host_.messageBox(question, texts::kWindowCaption, window::Icon::Question, window::Buttons::YesNo,
                          window::Answer::No) == window::Answer::Yes;
}

void ConfigWindow::onClose() {
  read_.stop();
  write_.stop();
  running_ = false;
  host_.setTicking(false);
}

void ConfigWindow::openFile(const std::string& path) {
  // "Datei laden" is disabled while a transfer runs; a file from outside is not taken then either.
  if (!controls_.enabled(ids::kLoad) || !mayReplaceForm(texts::kLoadQuestion)) return;
  if (loadConfigurationFile(form_, host_, lastPath_, path, history_)) onLoaded();
}

void ConfigWindow::onLoaded() {
  controls_.setSelection(ids::kScrollBar, 0);
  saved_ = form_.state();
}

void ConfigWindow::onCommand(int id) {
  if (form_.onToggle(id)) return;
  switch (id) {
    case ids::kProgram:
      programUnit();
      break;
    case ids::kRead:
      readUnit();
      break;
    case ids::kLoad:
      if (mayReplaceForm(texts::kLoadQuestion) && loadConfigurationCommand(form_, host_, lastPath_, history_)) {
        onLoaded();
      }
      break;
    case ids::kSave:
      if (validateForm() && saveValidatedConfiguration(form_, host_, lastPath_, history_)) saved_ = form_.state();
      break;
    case ids::kCancel:
      cancelTransfer();
      break;
    default:
      break;
  }
}

void ConfigWindow::onScroll(ScrollRequest request, int thumbPosition) {
  switch (request) {
    case ScrollRequest::LineUp:
      form_.lineUp();
      break;
    case ScrollRequest::LineDown:
      form_.lineDown();
      break;
    case ScrollRequest::Thumb:
      form_.moveTo(thumbPosition);
      break;
    default:
      return;  // page up and down, top, bottom, end of scrolling: nothing
  }
  controls_.setSelection(ids::kScrollBar, form_.topRow());
}

void ConfigWindow::useLayout(const window::WindowSpec& layout) {
  if (!layout.controls.empty()) tableArea_ = layout.controls.front().rect();
}

window::ControlInput ConfigWindow::input() {
  window::ControlInput in;
  in.command = [this](int id) { onCommand(id); };
  in.scrolled = [this](int, window::ScrollRequest request, int position) { onScroll(request, position); };
  in.doubleClicked = [this](int id) { onDoubleClick(id); };
  in.pressed = [this](int id, bool alone) { onLeftButtonDown(id, alone); };
  in.wheel = [this](int id, window::Point at, int delta, int lines) { return onWheelTurn(id, at, delta, lines); };
  in.pasted = [this](const window::ControlSpec& edit, const std::string& utf8) { return onPaste(edit, utf8); };
  return in;
}

bool ConfigWindow::onWheelTurn(int id, window::Point at, int delta, int linesPerNotch) {
  const window::Rect& area = tableArea_;
  if (id == ids::kScrollBar || at.x < area.x || at.y < area.y || at.x >= area.x + area.w || at.y >= area.y + area.h)
    return false;
  // Away from the user (a positive delta) shows the rows above.
  onWheel(-wheel_.add(delta) * linesPerNotch);
  return true;
}

void ConfigWindow::onWheel(int lines) {
  if (lines == 0) return;
  form_.moveTo(form_.topRow() + lines);
  controls_.setSelection(ids::kScrollBar, form_.topRow());
}

bool ConfigWindow::validateForm() {
  form_.storeVisibleRows();
  const FormResult result = form_.readForm();
  if (result.ok()) return true;
  showFormError(result);
  return false;
}

void ConfigWindow::showFormError(FormResult result) {
  // The faulty row comes into view before the message, the focus goes to its field.
  const int field = form_.revealField(result);
  controls_.setSelection(ids::kScrollBar, form_.topRow());
  reportFormResult(host_, result);
  // Selected whole, so the next digit replaces the wrong value rather than adding to it.
  host_.setFocus(field, true);
}

namespace {

/// The line of what number field `id` admits; empty for the texts, whose refusal says
/// all there is (the sequences' line is too long for the status line).
std::string_view allowedValues(int id) {
  const RowCell cell = rowCellOf(id);
  if (cell.column != nullptr && cell.column->kind == ColumnKind::Address) return cell.column->hint;
  const GeneralField* field = fieldOfId(id);
  return field != nullptr && field->kind == FieldKind::Number ? field->hint : std::string_view();
}

}  // namespace

void ConfigWindow::onLeftButtonDown(int id, bool onlyLeftButton) {
  if (id < 0 || id > ids::kLastFieldId || Form::isToggle(id) || !onlyLeftButton) return;
  host_.setFocus(id, false);
}

void ConfigWindow::onDoubleClick(int id) {
  // A disabled edit (inactive row, row without siren relay) takes no clicks.
  if (!controls_.enabled(id)) return;
  const RowCell cell = rowCellOf(id);
  if (cell.column != nullptr && cell.column->kind == ColumnKind::Sequence) {
    // The row's sequenceText takes the edit's text at once, whatever the dialog's end.
    editSequence(id, form_.addressText(form_.topRow() + cell.line).sequenceText);
  } else if (id == ids::kManualSequence) {
    std::string buffer;
    editSequence(id, buffer);
  }
}

bool ConfigWindow::onPaste(const window::ControlSpec& edit, std::string_view utf8) {
  std::string why = pasteRefusal(edit, utf8, allowedValues(edit.id));
  if (why == notice_) return why.empty();
  notice_ = std::move(why);
  showStatus();
  return notice_.empty();
}

void ConfigWindow::editSequence(int id, std::string& buffer) {
  buffer = firstChars(controls_.text(id), SignalBox::kBufferChars);
  SignalBox box(buffer);
  if (host_.runDialog(box, id) == 1) controls_.setText(id, buffer);
}

}  // namespace trv810::config
