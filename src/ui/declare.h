#pragma once
// Declaring controls: one line per control with its name, place, caption and tip.

#include <string>

#include "ui/control.h"

namespace korvanta::ui {

// Adds a control of type T to parent at rect (twips) with its caption and tool tip.
template <typename T>
T& Place(Control& parent, std::string name, Rect rect, std::string caption = {},
         std::string tool_tip = {}) {
  T& c = parent.Add<T>(std::move(name));
  c.set_rect(rect);
  c.set_caption(std::move(caption));
  c.set_tool_tip(std::move(tool_tip));
  return c;
}

// The same for member index of a control array.
template <typename T>
T& PlaceAt(Control& parent, std::string name, int index, Rect rect, std::string caption = {},
           std::string tool_tip = {}) {
  T& c = parent.Add<T>(std::move(name), index);
  c.set_rect(rect);
  c.set_caption(std::move(caption));
  c.set_tool_tip(std::move(tool_tip));
  return c;
}

}  // namespace korvanta::ui
