#include "ui/controls.h"

#include <algorithm>

#include "ui/form.h"

namespace korvanta::ui {

void CheckBox::set_ticked(bool ticked) {
  if (ticked == ticked_) return;
  ticked_ = ticked;
  Notify(Property::kValue);
}

void CheckBox::UserClick() {
  if (!Interactive()) return;
  set_ticked(!ticked_);
  if (on_click) on_click();
}

bool OptionButton::SameGroup(const OptionButton& other) const {
  if (!group.empty() || !other.group.empty()) return group == other.group;
  return parent() == other.parent();
}

void OptionButton::set_selected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  Notify(Property::kValue);
  if (!selected || !parent()) return;
  // The rest of the group: option buttons among the same container's children,
  // or anywhere on the form when a group name ties them.
  std::vector<Control*> candidates = parent()->children();
  if (!group.empty()) {
    if (Form* f = form()) candidates = f->all();
  }
  for (Control* c : candidates) {
    if (c == this || c->kind() != Kind::kOptionButton) continue;
    auto* other = static_cast<OptionButton*>(c);
    if (SameGroup(*other)) other->set_selected(false);
  }
}

void OptionButton::UserClick() {
  if (!Interactive()) return;
  set_selected(true);
  if (on_click) on_click();
}

void PictureBox::set_picture(Picture picture) {
  if (picture == picture_) return;
  picture_ = std::move(picture);
  Notify(Property::kPicture);
}

void Timer::set_interval(int ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Notify(Property::kRange);
}

void Timer::set_running(bool running) {
  if (running == running_) return;
  running_ = running;
  Notify(Property::kValue);
}

void Timer::Fire() {
  if (running_ && on_timer) on_timer();
}

void TextBox::UserType(std::string text) {
  if (!Interactive() || locked) return;
  set_text(std::move(text));
  if (on_change) on_change();
}

void Slider::set_range(int min, int max, int small_change, int large_change, int tick_frequency) {
  min_ = min;
  max_ = std::max(min, max);
  small_change_ = small_change;
  large_change_ = large_change;
  tick_frequency_ = tick_frequency;
  value_ = std::clamp(value_, min_, max_);
  Notify(Property::kRange);
}

void Slider::set_value(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_) return;
  value_ = value;
  Notify(Property::kValue);
}

void Slider::UserSlide(int value) {
  if (!Interactive()) return;
  set_value(value);
  if (on_scroll) on_scroll();
  if (on_change) on_change();
}

}  // namespace korvanta::ui
