#pragma once
// Twips and colours of the control model in Qt's terms: 15 twips to a logical
// pixel (96 DPI), system colours by index through the palette's roles.

#include <QColor>
#include <QPalette>
#include <QRect>
#include <optional>

#include "ui/units.h"

namespace korvanta::ui::qt {

int ToPixels(int twips);
int ToTwips(int pixels);
QRect ToPixels(const ui::Rect& rect);

// The horizontal alignment of a model alignment.
Qt::Alignment Horizontal(ui::Align align);

// The palette role that stands for a system colour (GetSysColor index).
QPalette::ColorRole SystemColorRole(int index);
// The colour a model colour names; nothing for the default colour.
std::optional<QColor> ToQColor(const ui::Color& color);

}  // namespace korvanta::ui::qt
