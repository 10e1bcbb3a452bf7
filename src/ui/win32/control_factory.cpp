// One window object per kind of control.

#include "ui/controls.h"
#include "ui/list_view.h"
#include "ui/lists.h"
#include "ui/win32/button_windows.h"
#include "ui/win32/form_window.h"
#include "ui/win32/frame_window.h"
#include "ui/win32/label_window.h"
#include "ui/win32/list_view_window.h"
#include "ui/win32/list_windows.h"
#include "ui/win32/picture_box_window.h"
#include "ui/win32/slider_window.h"
#include "ui/win32/status_bar_window.h"
#include "ui/win32/tab_strip_window.h"
#include "ui/win32/text_box_window.h"
#include "ui/win32/timer_control.h"

namespace korvanta::ui::win32 {

std::unique_ptr<ControlWindow> MakeControlWindow(FormWindow& form, Control& c) {
  switch (c.kind()) {
    case Kind::kLabel:
      return std::make_unique<LabelWindow>(form, static_cast<Label&>(c));
    case Kind::kCommandButton:
      return std::make_unique<CommandButtonWindow>(form, static_cast<CommandButton&>(c));
    case Kind::kCheckBox:
      return std::make_unique<StateButtonWindow>(form, static_cast<CheckBox&>(c));
    case Kind::kOptionButton:
      return std::make_unique<StateButtonWindow>(form, static_cast<OptionButton&>(c));
    case Kind::kTextBox:
      return std::make_unique<TextBoxWindow>(form, static_cast<TextBox&>(c));
    case Kind::kComboBox:
      return std::make_unique<ComboBoxWindow>(form, static_cast<ComboBox&>(c));
    case Kind::kListBox:
      return std::make_unique<ListBoxWindow>(form, static_cast<ListBox&>(c));
    case Kind::kListView:
      return std::make_unique<ListViewWindow>(form, static_cast<ListView&>(c));
    case Kind::kSlider:
      return std::make_unique<SliderWindow>(form, static_cast<Slider&>(c));
    case Kind::kFrame:
      return std::make_unique<FrameWindow>(form, static_cast<Frame&>(c));
    case Kind::kTabStrip:
      return std::make_unique<TabStripWindow>(form, static_cast<TabStrip&>(c));
    case Kind::kStatusBar:
      return std::make_unique<StatusBarWindow>(form, static_cast<StatusBar&>(c));
    case Kind::kPictureBox:
      return std::make_unique<PictureBoxWindow>(form, static_cast<PictureBox&>(c));
    case Kind::kTimer:
      return std::make_unique<TimerControl>(form, static_cast<Timer&>(c));
    case Kind::kForm:
      break;
  }
  return nullptr;
}

}  // namespace korvanta::ui::win32
