#include "ui/control.h"

#include <algorithm>

#include "ui/form.h"

namespace korvanta::ui {

std::string_view KindName(Kind kind) {
  switch (kind) {
    case Kind::kForm:
      return "form";
    case Kind::kLabel:
      return "label";
    case Kind::kCommandButton:
      return "command button";
    case Kind::kCheckBox:
      return "check box";
    case Kind::kOptionButton:
      return "option button";
    case Kind::kTextBox:
      return "text box";
    case Kind::kComboBox:
      return "combo box";
    case Kind::kListBox:
      return "list box";
    case Kind::kListView:
      return "list view";
    case Kind::kSlider:
      return "slider";
    case Kind::kFrame:
      return "frame";
    case Kind::kTabStrip:
      return "tab strip";
    case Kind::kStatusBar:
      return "status bar";
    case Kind::kPictureBox:
      return "picture box";
    case Kind::kTimer:
      return "timer";
  }
  return "control";
}

Control::Control(Kind kind, std::string name, int index)
    : kind_(kind), name_(std::move(name)), index_(index) {}

Control::~Control() = default;

std::string Control::id() const {
  return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

Form* Control::form() const {
  const Control* c = this;
  while (c->parent_) c = c->parent_;
  return c->kind_ == Kind::kForm ? const_cast<Form*>(static_cast<const Form*>(c)) : nullptr;
}

void Control::Adopt(std::unique_ptr<Control> child) {
  child->parent_ = this;
  // A new control goes in front of the ones before it.
  children_.insert(children_.begin(), child.get());
  Control* raw = child.get();
  owned_.push_back(std::move(child));
  if (Form* f = form()) f->Register(*raw);
}

void Control::set_caption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Notify(Property::kCaption);
}

void Control::set_enabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Notify(Property::kEnabled);
}

void Control::set_visible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Notify(Property::kVisible);
}

bool Control::shown() const {
  for (const Control* c = this; c; c = c->parent_) {
    if (!c->visible_) return false;
  }
  return true;
}

bool Control::Interactive() const {
  for (const Control* c = this; c; c = c->parent_) {
    if (!c->visible_ || !c->enabled_) return false;
  }
  return true;
}

void Control::set_tool_tip(std::string tip) {
  if (tip == tool_tip_) return;
  tool_tip_ = std::move(tip);
  Notify(Property::kToolTip);
}

void Control::set_rect(Rect rect) {
  if (rect == rect_) return;
  rect_ = rect;
  Notify(Property::kRect);
}

void Control::Move(int left, int top) {
  set_rect({left, top, rect_.width, rect_.height});
}

void Control::set_appearance(Appearance appearance) {
  if (appearance == appearance_) return;
  appearance_ = appearance;
  Notify(Property::kAppearance);
}

void Control::set_back_color(Color color) {
  Appearance a = appearance_;
  a.back = color;
  set_appearance(a);
}

void Control::BringToFront() {
  if (!parent_) return;
  auto& siblings = parent_->children_;
  auto it = std::find(siblings.begin(), siblings.end(), this);
  if (it == siblings.begin()) return;
  std::rotate(siblings.begin(), it, it + 1);
  Notify(Property::kZOrder);
}

int Control::z_order() const {
  if (!parent_) return 0;
  const auto& siblings = parent_->children_;
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

void Control::UserClick() {
  if (!Interactive()) return;
  if (on_click) on_click();
}

void Control::UserMouseDown(int button, int x, int y) {
  if (!Interactive()) return;
  if (on_mouse_down) on_mouse_down(button, x, y);
}

void Control::Notify(Property what, int first, int count) {
  if (observer_) observer_->Changed(*this, what, first, count);
}

}  // namespace korvanta::ui
