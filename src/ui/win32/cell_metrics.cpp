#include "ui/win32/cell_metrics.h"

#include "ui/win32/text.h"

namespace trv810::ui::win32 {

namespace {

constexpr int kSmallestHeight = 9;  // pixels; below this a font is no longer read

template <typename Measure>
auto withFont(HFONT font, Measure measure) {
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  auto result = measure(dc);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return result;
}

bool fits(HFONT font, const std::vector<window::ControlSpec>& layout) {
  for (const window::ControlSpec& control : layout) {
    if (control.kind == window::ControlKind::Static && textWidth(font, widen(control.text)) > control.w)
      return false;
    if (control.kind == window::ControlKind::DigitEdit && !control.widest.empty() &&
        textWidth(font, widen(control.widest)) > editTextWidth(control))
      return false;
  }
  return true;
}

}  // namespace

window::CellSize measureSystemCell() {
  return withFont(static_cast<HFONT>(::GetStockObject(SYSTEM_FIXED_FONT)), [](HDC dc) {
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    return window::CellSize{metrics.tmAveCharWidth, metrics.tmHeight + metrics.tmExternalLeading};
  });
}

window::CellSize measureDialogBase(HFONT font) {
  return withFont(font, [](HDC dc) {
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    SIZE letters{};
    ::GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    return window::CellSize{static_cast<int>((letters.cx / 26 + 1) / 2), static_cast<int>(metrics.tmHeight)};
  });
}

int editTextWidth(const window::ControlSpec& control) {
  // A bordered edit has a sunken edge on each side; the control set gives every edit
  // a margin of one pixel each side, and the caret takes one more.
  const int edge = control.border ? 2 * ::GetSystemMetrics(SM_CXEDGE) : 0;
  return control.w - edge - 3;
}

int textWidth(HFONT font, const std::wstring& text) {
  return withFont(font, [&text](HDC dc) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  });
}

HFONT createControlFont(const std::vector<window::ControlSpec>& layout) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTW font{};
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    font = metrics.lfMessageFont;
  else
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  if (font.lfHeight == 0) font.lfHeight = -12;
  HFONT created = ::CreateFontIndirectW(&font);
  const int sign = font.lfHeight < 0 ? -1 : 1;
  while (!fits(created, layout) && sign * font.lfHeight > kSmallestHeight) {
    ::DeleteObject(created);
    font.lfHeight -= sign;
    created = ::CreateFontIndirectW(&font);
  }
  return created;
}

}  // namespace trv810::ui::win32
