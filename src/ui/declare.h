#pragma once
// Declaring controls: one line per control with its name, place, caption and tip.

#include <string>

#include "ui/control.h"

namespace korvanta::ui {

// Adds member index of a control array of type T to parent at rect (twips) with
// its caption and tool tip.
template <typename T>
T& PlaceAt(Control& parent, std::string name, int index, Rect rect, std::string caption = {},
           std::string tool_tip = {}) {
  T& c = parent.Add<T>(std::move(name), index);
  c.set_rect(rect);
  c.set_caption(std::move(caption));
  c.set_tool_tip(std::move(tool_tip));
  return c;
}

// The same for a control that is not in a control array.
template <typename T>
T& Place(Control& parent, std::string name, Rect rect, std::string caption = {},
         std::string tool_tip = {}) {
  return PlaceAt<T>(parent, std::move(name), -1, rect, std::move(caption), std::move(tool_tip));
}

}  // namespace korvanta::ui
