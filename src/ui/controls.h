#pragma once
// The simple control kinds. Lists, tabs and the status bar are in lists.h, the
// report list view in list_view.h.

#include <string>

#include "ui/control.h"

namespace korvanta::ui {

class Label final : public Control {
 public:
  explicit Label(std::string name, int index = -1)
      : Control(Kind::kLabel, std::move(name), index) {}
  bool word_wrap = true;
};

class CommandButton final : public Control {
 public:
  explicit CommandButton(std::string name, int index = -1)
      : Control(Kind::kCommandButton, std::move(name), index) {}
  bool is_default = false;  // pressed by Enter
  bool is_cancel = false;   // pressed by Esc
};

class CheckBox final : public Control {
 public:
  explicit CheckBox(std::string name, int index = -1)
      : Control(Kind::kCheckBox, std::move(name), index) {}
  bool ticked() const { return ticked_; }
  void set_ticked(bool ticked);
  // Toggles, then raises Click.
  void UserClick() override;

 private:
  bool ticked_ = false;
};

// Option buttons of one group exclude each other; the group is their container
// unless a group name is given.
class OptionButton final : public Control {
 public:
  explicit OptionButton(std::string name, int index = -1)
      : Control(Kind::kOptionButton, std::move(name), index) {}
  bool selected() const { return selected_; }
  // Selecting one deselects the others of its group.
  void set_selected(bool selected);
  // Selects, then raises Click (also when it was selected already).
  void UserClick() override;
  std::string group;

 private:
  bool SameGroup(const OptionButton& other) const;
  bool selected_ = false;
};

class Frame final : public Control {
 public:
  explicit Frame(std::string name, int index = -1)
      : Control(Kind::kFrame, std::move(name), index) {}
};

// A picture: nothing, a picture of the program's own, a picture file of the
// machine, or one icon of a file of the machine.
struct Picture {
  enum class Type { kNone, kResource, kFile, kIcon } type = Type::kNone;
  std::string source;  // resource name or Windows path
  int icon_index = 0;
  bool operator==(const Picture&) const = default;
};

class PictureBox final : public Control {
 public:
  explicit PictureBox(std::string name, int index = -1)
      : Control(Kind::kPictureBox, std::move(name), index) {}
  const Picture& picture() const { return picture_; }
  void set_picture(Picture picture);
  void Clear() { set_picture({}); }

 private:
  Picture picture_;
};

class Timer final : public Control {
 public:
  explicit Timer(std::string name, int index = -1) : Control(Kind::kTimer, std::move(name), index) {
    set_visible(false);
  }
  int interval() const { return interval_; }
  void set_interval(int ms);
  bool running() const { return running_; }
  void set_running(bool running);
  std::function<void()> on_timer;
  // The interval passed: raises Timer while the timer runs.
  void Fire();

 private:
  int interval_ = 0;
  bool running_ = false;
};

class TextBox final : public Control {
 public:
  explicit TextBox(std::string name, int index = -1)
      : Control(Kind::kTextBox, std::move(name), index) {
    Appearance a;
    a.border = true;
    set_appearance(a);
  }
  const std::string& text() const { return caption(); }
  void set_text(std::string text) { set_caption(std::move(text)); }
  bool multi_line = false;
  bool locked = false;     // read-only
  char password_char = 0;  // shown instead of each character when set
  std::function<void()> on_change;
  // Replaces the text as typing would, then raises Change.
  void UserType(std::string text);
};

class Slider final : public Control {
 public:
  explicit Slider(std::string name, int index = -1)
      : Control(Kind::kSlider, std::move(name), index) {}
  int min() const { return min_; }
  int max() const { return max_; }
  int value() const { return value_; }
  int small_change() const { return small_change_; }
  int large_change() const { return large_change_; }
  int tick_frequency() const { return tick_frequency_; }
  void set_range(int min, int max, int small_change, int large_change, int tick_frequency);
  // Sets the position, kept within the range.
  void set_value(int value);
  std::function<void()> on_scroll;
  std::function<void()> on_change;
  // Moves the slider as dragging would: raises Scroll, then Change.
  void UserSlide(int value);

 private:
  int min_ = 0, max_ = 10, value_ = 0, small_change_ = 1, large_change_ = 5, tick_frequency_ = 1;
};

}  // namespace korvanta::ui
