#include "config/signal_box.h"

#include "config/cp1252.h"
#include "config/form.h"
#include "config/texts.h"

namespace trv810::config {

window::WindowSpec SignalBox::layout(window::CellSize base) {
  using window::ControlKind;
  using window::dialogX;
  using window::dialogY;
  auto at = [base](ControlKind kind, int id, std::string_view text, int x, int y, int w, int h) {
    return window::control(kind, id, std::string(text), dialogX(x, base), dialogY(y, base),
                             dialogX(w, base), dialogY(h, base));
  };
  window::WindowSpec windowLayout;
  windowLayout.title = std::string(texts::kSignalBoxTitle);
  windowLayout.frame = {dialogX(60, base), dialogY(40, base), dialogX(400, base), dialogY(40, base)};
  windowLayout.clientSize = true;
  // The edit scrolls, so a sequence of 18 items (107 characters) can be seen whole
  // whatever the font; the 127-character limit of the buffer stays.
  windowLayout.controls.push_back(at(ControlKind::Edit, kEdit, "", 4, 12, 380, 10)
                              .bordered()
                              .tabbed()
                              .scrolling()
                              .windows1252()
                              .limit(static_cast<int>(kBufferChars)));
  windowLayout.controls.push_back(at(ControlKind::Button, kOk, texts::kSignalBoxOk, 2, 28, 38, 11).tabbed());
  windowLayout.controls.push_back(at(ControlKind::Button, kCancel, texts::kSignalBoxCancel, 50, 28, 38, 11).tabbed());
  // Beside the buttons: why a paste was refused.
  windowLayout.controls.push_back(at(ControlKind::Static, kNotice, "", 96, 28, 288, 11));
  // The window's close button is CANCEL; Enter and Escape still end nothing.
  windowLayout.closeCommand = kCancel;
  return windowLayout;
}

void SignalBox::onInit(window::ControlTable& controls) { controls.setText(kEdit, buffer_); }

bool SignalBox::onPaste(const window::ControlSpec& edit, std::string_view utf8,
                        window::ControlTable& controls) {
  const std::string why = pasteRefusal(edit, utf8);
  controls.setText(kNotice, utf8ToCp1252(why).bytes);
  return why.empty();
}

std::optional<int> SignalBox::onCommand(int id, window::ControlTable& controls) {
  if (id == kOk) {
    buffer_ = firstChars(controls.text(kEdit), kBufferChars);
    return 1;
  }
  if (id == kCancel) return 0;
  return std::nullopt;
}

}  // namespace trv810::config
