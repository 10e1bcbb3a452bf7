#include "ui/qt/renderer.h"

#include "ui/list_view.h"
#include "ui/qt/container_views.h"
#include "ui/qt/list_view_view.h"
#include "ui/qt/list_views.h"
#include "ui/qt/simple_views.h"
#include "ui/qt/text_views.h"

namespace korvanta::ui::qt {
namespace {

ControlView* CreateView(ui::Control& c, QWidget* parent, RenderContext& context) {
  switch (c.kind()) {
    case ui::Kind::kLabel:
      return new LabelView(static_cast<ui::Label&>(c), parent, context);
    case ui::Kind::kCommandButton:
      return new CommandButtonView(static_cast<ui::CommandButton&>(c), parent, context);
    case ui::Kind::kCheckBox:
      return new CheckBoxView(static_cast<ui::CheckBox&>(c), parent, context);
    case ui::Kind::kOptionButton:
      return new OptionButtonView(static_cast<ui::OptionButton&>(c), parent, context);
    case ui::Kind::kTextBox:
      return new TextBoxView(static_cast<ui::TextBox&>(c), parent, context);
    case ui::Kind::kComboBox:
      return new ComboBoxView(static_cast<ui::ComboBox&>(c), parent, context);
    case ui::Kind::kListBox:
      return new ListBoxView(static_cast<ui::ListBox&>(c), parent, context);
    case ui::Kind::kListView:
      return new ListViewView(static_cast<ui::ListView&>(c), parent, context);
    case ui::Kind::kSlider:
      return new SliderView(static_cast<ui::Slider&>(c), parent, context);
    case ui::Kind::kFrame:
      return new FrameView(static_cast<ui::Frame&>(c), parent, context);
    case ui::Kind::kTabStrip:
      return new TabStripView(static_cast<ui::TabStrip&>(c), parent, context);
    case ui::Kind::kStatusBar:
      return new StatusBarView(static_cast<ui::StatusBar&>(c), parent, context);
    case ui::Kind::kPictureBox:
      return new PictureBoxView(static_cast<ui::PictureBox&>(c), parent, context);
    case ui::Kind::kTimer:
      return new TimerView(static_cast<ui::Timer&>(c), parent, context);
    case ui::Kind::kForm:
      break;
  }
  return nullptr;
}

}  // namespace

Renderer::~Renderer() {
  for (auto& [form, window] : windows_) delete window.data();
}

FormWindow* Renderer::Find(const ui::Form& form) const {
  auto it = windows_.find(&form);
  return it == windows_.end() ? nullptr : it->second.data();
}

FormWindow& Renderer::WindowFor(ui::Form& form) {
  if (FormWindow* existing = Find(form)) return *existing;
  auto* window = new FormWindow;
  windows_[&form] = window;
  auto* view = new FormView(form, window, context_);
  view->SyncAll();
  // Children are declared front-first and Qt stacks later siblings on top: the
  // back-most is made first.
  for (auto it = form.children().rbegin(); it != form.children().rend(); ++it) {
    Build(**it, window);
  }
  window->RaiseOutline();
  // Tab goes through the controls in the order they were declared.
  QWidget* previous = nullptr;
  for (ui::Control* c : form.all()) {
    ControlView* v = ControlView::Of(c);
    QWidget* w = v ? v->widget() : nullptr;
    if (!w || w->focusPolicy() == Qt::NoFocus) continue;
    if (previous) QWidget::setTabOrder(previous, w);
    previous = w;
  }
  return *window;
}

void Renderer::Build(ui::Control& control, QWidget* parent) {
  ControlView* view = CreateView(control, parent, context_);
  if (!view) return;
  view->SyncAll();
  QWidget* container = view->container();
  if (!container) return;
  for (auto it = control.children().rbegin(); it != control.children().rend(); ++it) {
    Build(**it, container);
  }
}

void Renderer::Destroy(ui::Form& form) {
  auto it = windows_.find(&form);
  if (it == windows_.end()) return;
  for (ui::Control* c : form.all()) {
    if (ControlView* v = ControlView::Of(c)) v->Detach();
  }
  if (ControlView* v = ControlView::Of(&form)) v->Detach();
  if (FormWindow* window = it->second.data()) {
    window->set_view(nullptr);
    window->hide();
    // Its own handler may be on the stack (a close label's click).
    window->deleteLater();
  }
  windows_.erase(it);
}

}  // namespace korvanta::ui::qt
