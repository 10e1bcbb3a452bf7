#include "ui/form.h"

#include <algorithm>

namespace korvanta::ui {
namespace {

constexpr std::pair<MessageIcon, std::string_view> kMessageIcons[] = {
    {MessageIcon::kInformation, "icon-information"},
    {MessageIcon::kCritical, "icon-critical"},
    {MessageIcon::kExclamation, "icon-exclamation"},
    {MessageIcon::kQuestion, "icon-question"},
};

}  // namespace

std::string_view MessageIconResource(MessageIcon icon) {
  for (const auto& [known, name] : kMessageIcons) {
    if (known == icon) return name;
  }
  return {};
}

std::optional<MessageIcon> MessageIconOfResource(std::string_view name) {
  for (const auto& [icon, known] : kMessageIcons) {
    if (known == name) return icon;
  }
  return std::nullopt;
}

Form::Form(std::string name) : Control(Kind::kForm, std::move(name), -1) {
  set_visible(false);
}

Form::~Form() = default;

void Form::Register(Control& control) {
  all_.push_back(&control);
  by_name_.emplace(control.name(), &control);
}

Control* Form::Find(std::string_view name, int index) const {
  auto [first, last] = by_name_.equal_range(name);
  for (auto it = first; it != last; ++it) {
    if (it->second->index() == index) return it->second;
  }
  return nullptr;
}

Control* Form::FindById(std::string_view id) const {
  if (!id.empty() && id.back() == ')') {
    std::size_t open = id.find('(');
    if (open != std::string_view::npos && open > 0) {
      std::string_view digits = id.substr(open + 1, id.size() - open - 2);
      if (digits.empty() || digits.size() > 6) return nullptr;
      int index = 0;
      for (char c : digits) {
        if (c < '0' || c > '9') return nullptr;
        index = index * 10 + (c - '0');
      }
      return Find(id.substr(0, open), index);
    }
  }
  return Find(id);
}

std::vector<Control*> Form::Array(std::string_view name) const {
  std::vector<Control*> members;
  auto [first, last] = by_name_.equal_range(name);
  for (auto it = first; it != last; ++it) {
    if (it->second->index() >= 0) members.push_back(it->second);
  }
  std::sort(members.begin(), members.end(),
            [](const Control* a, const Control* b) { return a->index() < b->index(); });
  return members;
}

Control* Form::FindByCaption(std::string_view text, const Control* scope) const {
  if (!scope) scope = this;
  // Depth first, front-most children first.
  for (Control* child : scope->children()) {
    if (child->kind() != Kind::kTextBox && child->kind() != Kind::kComboBox &&
        child->caption() == text) {
      return child;
    }
    if (Control* found = FindByCaption(text, child)) return found;
  }
  return nullptr;
}

void Form::set_minimized(bool minimized) {
  if (minimized == minimized_) return;
  minimized_ = minimized;
  Notify(Property::kValue);
}

void Form::Resize(int width, int height) {
  Rect r = rect();
  r.width = width;
  r.height = height;
  set_rect(r);
  if (on_resize) on_resize();
}

}  // namespace korvanta::ui
