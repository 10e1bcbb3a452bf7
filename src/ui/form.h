#pragma once
// A window: the top of a tree of controls, declared once in code with the names
// and captions pages and korvanta-drive know it by.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control.h"

namespace korvanta::ui {

enum class MessageIcon { kNone, kInformation, kCritical, kExclamation, kQuestion };

// The picture resource that shows a message icon ("icon-critical", ...; empty for
// none), and the icon a resource name shows, if it is one of them.
std::string_view MessageIconResource(MessageIcon icon);
std::optional<MessageIcon> MessageIconOfResource(std::string_view name);

// What a small message window says, so that whatever shows it (a renderer, or
// korvanta-drive answering it) knows its title, text and buttons.
struct MessageWindowInfo {
  std::string title;
  std::string text;
  Control* ok = nullptr;      // the button that answers OK
  Control* cancel = nullptr;  // the one that answers Cancel, if any
};

class Form : public Control {
 public:
  explicit Form(std::string name);
  ~Form() override;

  // The control of that name (and index, for a member of a control array).
  Control* Find(std::string_view name, int index = -1) const;
  // "Label3(4)" or "Checkcj".
  Control* FindById(std::string_view id) const;
  // The members of a control array, by index.
  std::vector<Control*> Array(std::string_view name) const;
  // The first control whose caption is text, searched in the subtree of scope
  // (front-most children first), or in the whole form.
  Control* FindByCaption(std::string_view text, const Control* scope = nullptr) const;
  // Every control of the form, in declaration order.
  const std::vector<Control*>& all() const { return all_; }

  // Window attributes.
  bool topmost = false;  // made topmost (Host::MakeTopmost) as it loads
  std::string icon;      // resource name of the window's icon
  // Where a change made in this window is made, for the change journal; unset,
  // the window's caption.
  std::function<std::string()> place;
  // Set for the small message windows.
  std::optional<MessageWindowInfo> message;

  // Called with the form loaded (before it is first shown) and when it unloads.
  std::function<void()> on_load;
  std::function<void()> on_unload;
  std::function<void()> on_resize;
  // The system asks the window to close (its taskbar menu, Alt+F4); unset, it
  // closes as its close label does.
  std::function<void()> on_close_request;
  // The machine changed under the window (an undo): it shows again what the
  // machine holds now.
  std::function<void()> on_machine_changed;

  // The control of that name (and index) when it is of kind T, else nullptr: a
  // lookup never hands out a control as a kind it is not.
  template <typename T>
  T* Get(std::string_view name, int index = -1) const {
    return dynamic_cast<T*>(Find(name, index));
  }

  bool minimized() const { return minimized_; }
  void set_minimized(bool minimized);

  // The window's size in twips, as the renderer reports it; raises Resize.
  void Resize(int width, int height);

 private:
  friend class Control;
  void Register(Control& control);

  bool minimized_ = false;
  std::vector<Control*> all_;
  std::multimap<std::string, Control*, std::less<>> by_name_;
};

}  // namespace korvanta::ui
