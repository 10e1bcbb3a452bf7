#pragma once
// The control model: the headless state of every control a window is declared
// with. Page logic reads and writes controls only through this model, so it runs
// the same with a Win32 window, a Qt window or no window at all (korvanta-drive).
//
// Setting state from code never raises events; the User... operations do what a
// user's action does: change the state and raise the control's events.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::ui {

enum class Kind {
  kForm,
  kLabel,
  kCommandButton,
  kCheckBox,
  kOptionButton,
  kTextBox,
  kComboBox,
  kListBox,
  kListView,
  kSlider,
  kFrame,
  kTabStrip,
  kStatusBar,
  kPictureBox,
  kTimer,
};
std::string_view KindName(Kind kind);

// Position and size in twips (1/1440 inch; 15 twips to a pixel at 96 DPI).
struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool operator==(const Rect&) const = default;
};
inline constexpr int kTwipsPerPixel = 15;

// A colour: an RGB value, or one of the system's colours by index
// (GetSysColor: 0 scroll bar, 4 menu, 5 window, 15 button face, ...).
struct Color {
  enum class Type : std::uint8_t { kDefault, kRgb, kSystem } type = Type::kDefault;
  std::uint32_t value = 0;  // 0xRRGGBB, or the system colour index
  static Color Rgb(std::uint32_t rgb) { return {Type::kRgb, rgb}; }
  static Color System(int index) { return {Type::kSystem, static_cast<std::uint32_t>(index)}; }
  bool operator==(const Color&) const = default;
};

enum class Align : std::uint8_t { kLeft, kCenter, kRight };

// What changed, for the renderer that mirrors the control.
enum class Property {
  kCaption,  // caption of labels, buttons, frames, forms; text of text and combo boxes
  kEnabled,
  kVisible,
  kToolTip,
  kRect,
  kZOrder,
  kAppearance,  // colours, font, alignment
  kValue,       // ticked, selected, slider position, tab, list index
  kItems,       // combo and list box entries, tabs, panels, columns
  kRows,        // list view rows: all of them
  kRowsInserted,
  kRowsRemoved,
  kRowChanged,
  kPicture,
  kRange,  // slider range and steps, timer interval
};

class Control;
class Form;

// Told of every change of the controls it watches; one per control (the renderer).
class ControlObserver {
 public:
  virtual ~ControlObserver() = default;
  // first/count give the rows for the row notifications, else 0.
  virtual void Changed(Control& control, Property what, int first, int count) = 0;
};

struct Appearance {
  Color fore;
  Color back;
  int font_size = 0;  // points; 0 is the window's font
  bool bold = false;
  Align align = Align::kLeft;
  bool border = false;       // a sunken border (text boxes have one by nature)
  bool transparent = false;  // labels drawn over their container's background
  bool operator==(const Appearance&) const = default;
};

class Control {
 public:
  Control(Kind kind, std::string name, int index);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Kind kind() const { return kind_; }
  // The name of the control, as "Label3"; index() is its place in its control
  // array, or -1 for a control that is not in one.
  const std::string& name() const { return name_; }
  int index() const { return index_; }
  // "Label3(4)" or "Checkcj": the stable id in the model, Qt and korvanta-drive.
  std::string id() const;

  Control* parent() const { return parent_; }
  Form* form() const;
  const std::vector<Control*>& children() const { return children_; }

  const std::string& caption() const { return caption_; }
  void set_caption(std::string caption);
  bool enabled() const { return enabled_; }
  void set_enabled(bool enabled);
  bool visible() const { return visible_; }
  void set_visible(bool visible);
  // Visible and every container up to the form visible too.
  bool shown() const;
  const std::string& tool_tip() const { return tool_tip_; }
  void set_tool_tip(std::string tip);
  const Rect& rect() const { return rect_; }
  void set_rect(Rect rect);
  void Move(int left, int top);
  const Appearance& appearance() const { return appearance_; }
  void set_appearance(Appearance appearance);
  void set_back_color(Color color);

  // Brings the control in front of its siblings (ZOrder 0).
  void BringToFront();
  // Front-most first among siblings: a higher number is further back.
  int z_order() const;

  // Pressing the mouse on this control moves its window (a title label).
  bool drags_window = false;

  // Events every kind can raise.
  std::function<void()> on_click;
  std::function<void(int button, int x, int y)> on_mouse_down;

  // A user's click: what happens depends on the kind (a check box toggles, an
  // option button is selected, ...); disabled or hidden controls ignore it.
  virtual void UserClick();
  void UserMouseDown(int button, int x, int y);

  void set_observer(ControlObserver* observer) { observer_ = observer; }
  ControlObserver* observer() const { return observer_; }

  // Adds a child control (containers: forms, frames, picture boxes).
  template <typename T, typename... Args>
  T& Add(Args&&... args) {
    auto child = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *child;
    Adopt(std::move(child));
    return ref;
  }

 protected:
  void Notify(Property what, int first = 0, int count = 0);
  // Enabled and shown, up to the form: what a user can click.
  bool Interactive() const;

 private:
  void Adopt(std::unique_ptr<Control> child);
  friend class Form;

  Kind kind_;
  std::string name_;
  int index_;
  Control* parent_ = nullptr;
  std::vector<Control*> children_;  // in z-order, front first
  std::vector<std::unique_ptr<Control>> owned_;
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string tool_tip_;
  Rect rect_;
  Appearance appearance_;
  ControlObserver* observer_ = nullptr;
};

}  // namespace korvanta::ui
