#include "ui/qt/units.h"

#include <QApplication>

namespace korvanta::ui::qt {

int ToPixels(int twips) {
  return ui::TwipsToPixels(twips);
}

int ToTwips(int pixels) {
  return ui::PixelsToTwips(pixels);
}

QRect ToPixels(const ui::Rect& rect) {
  ui::PixelRect r = ui::ToPixels(rect, ui::kBaseDpi);
  return {r.left, r.top, r.width, r.height};
}

Qt::Alignment Horizontal(ui::Align align) {
  switch (align) {
    case ui::Align::kCenter:
      return Qt::AlignHCenter;
    case ui::Align::kRight:
      return Qt::AlignRight;
    case ui::Align::kLeft:
      break;
  }
  return Qt::AlignLeft;
}

QPalette::ColorRole SystemColorRole(int index) {
  switch (index) {
    case 0:  // scroll bar: the grey of a scroll bar's track
      return QPalette::Midlight;
    case 1:   // desktop
    case 12:  // application workspace
      return QPalette::Mid;
    case 2:   // active caption
    case 13:  // highlight
      return QPalette::Highlight;
    case 9:   // caption text
    case 14:  // highlighted text
      return QPalette::HighlightedText;
    case 4:  // menu: the grey of a dialog, as classic Windows paints menus
      return QPalette::Window;
    case 5:  // window: the white of an edit box
      return QPalette::Base;
    case 6:   // window frame
    case 21:  // 3D dark shadow
      return QPalette::Shadow;
    case 7:  // menu text
    case 8:  // window text
      return QPalette::Text;
    case 15:  // button face
      return QPalette::Button;
    case 16:  // button shadow
      return QPalette::Dark;
    case 17:  // grey text
      return QPalette::PlaceholderText;
    case 18:  // button text
      return QPalette::ButtonText;
    case 20:  // 3D highlight
      return QPalette::Light;
    case 22:  // 3D light
      return QPalette::Midlight;
    case 23:  // tool tip text
      return QPalette::ToolTipText;
    case 24:  // tool tip background
      return QPalette::ToolTipBase;
    default:
      return QPalette::Window;
  }
}

std::optional<QColor> ToQColor(const ui::Color& color) {
  switch (color.type) {
    case ui::Color::Type::kDefault:
      return std::nullopt;
    case ui::Color::Type::kRgb:
      return QColor((color.value >> 16) & 0xff, (color.value >> 8) & 0xff, color.value & 0xff);
    case ui::Color::Type::kSystem:
      return QApplication::palette().color(SystemColorRole(static_cast<int>(color.value)));
  }
  return std::nullopt;
}

}  // namespace korvanta::ui::qt
