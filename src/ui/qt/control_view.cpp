#include "ui/qt/control_view.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>

#include "ui/qt/units.h"

namespace korvanta::ui::qt {

void RenderContext::Act(const std::function<void()>& action) {
  if (run_action) {
    run_action(action);
  } else {
    action();
  }
}

ControlView::ControlView(ui::Control& control, QWidget* widget, RenderContext& context,
                         QObject* parent)
    : QObject(widget ? widget : parent), context_(context), control_(&control), widget_(widget) {
  control.set_observer(this);
  if (widget) widget->setObjectName(QString::fromStdString(control.id()));
  setObjectName(QString::fromStdString(control.id()));
}

// The model may be gone already (a program destroyed with its windows still
// up): only Detach touches it.
ControlView::~ControlView() = default;

void ControlView::Detach() {
  if (control_ && control_->observer() == this) control_->set_observer(nullptr);
  control_ = nullptr;
}

ControlView* ControlView::Of(const ui::Control* control) {
  return control ? dynamic_cast<ControlView*>(control->observer()) : nullptr;
}

void ControlView::SyncAll() {
  if (!control_) return;
  Syncing s(*this);
  SyncAppearance();
  SyncRect();
  SyncRange();
  SyncItems();
  SyncCaption();
  SyncValue();
  SyncRows(ui::Property::kRows, 0, 0);
  SyncPicture();
  SyncToolTip();
  SyncEnabled();
  SyncVisible();
}

void ControlView::Changed(ui::Control&, ui::Property what, int first, int count) {
  if (!control_) return;
  Syncing s(*this);
  switch (what) {
    case ui::Property::kCaption:
      SyncCaption();
      break;
    case ui::Property::kEnabled:
      SyncEnabled();
      break;
    case ui::Property::kVisible:
      SyncVisible();
      break;
    case ui::Property::kToolTip:
      SyncToolTip();
      break;
    case ui::Property::kRect:
      SyncRect();
      break;
    case ui::Property::kZOrder:
      // Children are declared front-first; Qt stacks later siblings on top.
      if (ui::Control* parent = control_->parent()) {
        const auto& siblings = parent->children();
        for (auto it = siblings.rbegin(); it != siblings.rend(); ++it) {
          if (ControlView* v = Of(*it); v && v->widget()) v->widget()->raise();
        }
        if (ControlView* p = Of(parent)) p->SyncRect();  // overlays stay on top
      }
      break;
    case ui::Property::kAppearance:
      SyncAppearance();
      SyncCaption();  // alignment and fill depend on both
      break;
    case ui::Property::kValue:
      SyncValue();
      break;
    case ui::Property::kItems:
      SyncItems();
      SyncValue();
      break;
    case ui::Property::kRows:
    case ui::Property::kRowsInserted:
    case ui::Property::kRowsRemoved:
    case ui::Property::kRowChanged:
      SyncRows(what, first, count);
      break;
    case ui::Property::kPicture:
      SyncPicture();
      break;
    case ui::Property::kRange:
      SyncRange();
      SyncValue();
      break;
  }
}

void ControlView::SyncRect() {
  if (widget_) widget_->setGeometry(ToPixels(control_->rect()));
}

void ControlView::SyncVisible() {
  if (widget_) widget_->setVisible(control_->visible());
}

void ControlView::SyncEnabled() {
  if (widget_) widget_->setEnabled(control_->enabled());
}

void ControlView::SyncToolTip() {
  if (widget_) widget_->setToolTip(QString::fromStdString(control_->tool_tip()));
}

QFont ControlView::ControlFont() const {
  QFont font = QApplication::font();
  const ui::Appearance& a = control_->appearance();
  if (a.font_size > 0) font.setPointSize(a.font_size);
  font.setBold(a.bold);
  return font;
}

void ControlView::SyncAppearance() {
  if (!widget_) return;
  const ui::Appearance& a = control_->appearance();
  widget_->setFont(ControlFont());
  QWidget* parent = widget_->parentWidget();
  QPalette palette = parent ? parent->palette() : QApplication::palette(widget_);
  std::optional<QColor> back = ToQColor(a.back);
  if (!back && FillsDefaultBack()) back = QApplication::palette().color(BackRole());
  if (back) {
    palette.setColor(BackRole(), *back);
    if (BackRole() != QPalette::Window) palette.setColor(QPalette::Window, *back);
  }
  if (std::optional<QColor> fore = ToQColor(a.fore)) {
    // Disabled text keeps the style's grey, as a disabled control's does.
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
      palette.setColor(group, ForeRole(), *fore);
      if (ForeRole() != QPalette::WindowText) palette.setColor(group, QPalette::WindowText, *fore);
    }
  }
  widget_->setPalette(palette);
  widget_->setAutoFillBackground(back.has_value() && !a.transparent);
}

void ControlView::Act(const std::function<void(ui::Control&)>& action) {
  if (!control_ || syncing()) return;
  context_.Act([&] {
    if (control_) action(*control_);
  });
  // The action may have unloaded the window: then the control is gone.
  if (control_) {
    Syncing s(*this);
    SyncAfterAction();
  }
}

void ControlView::UserClicked() {
  Act([](ui::Control& c) { c.UserClick(); });
}

void ControlView::SyncAfterAction() {
  SyncCaption();
  SyncValue();
}

void ControlView::WatchMouse(QWidget* target, bool widget_uses_mouse) {
  consume_mouse_ = !widget_uses_mouse;
  target->installEventFilter(this);
}

namespace {

int VbButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return 1;
    case Qt::RightButton:
      return 2;
    case Qt::MiddleButton:
      return 4;
    default:
      return 0;
  }
}

}  // namespace

bool ControlView::eventFilter(QObject* watched, QEvent* event) {
  if (!control_ || !watched->isWidgetType()) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* e = static_cast<QMouseEvent*>(event);
      QPoint at = e->position().toPoint();
      pressed_ = true;
      Act([&](ui::Control& c) {
        c.UserMouseDown(VbButton(e->button()), ToTwips(at.x()), ToTwips(at.y()));
      });
      if (control_ && control_->drags_window && e->button() == Qt::LeftButton && widget_) {
        QWidget* window = widget_->window();
        // The window manager moves the window when it can; without one (a bare X
        // server) the window follows the mouse here.
        bool system = window->windowHandle() && window->windowHandle()->startSystemMove();
        if (!system) {
          dragging_ = true;
          window_moved_ = false;
          drag_start_ = e->globalPosition().toPoint();
          window_start_ = window->pos();
        } else {
          pressed_ = false;
        }
      }
      return consume_mouse_;
    }
    case QEvent::MouseMove:
      if (dragging_) MoveWindow(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
      return consume_mouse_ && (dragging_ || pressed_);
    case QEvent::MouseButtonRelease: {
      auto* e = static_cast<QMouseEvent*>(event);
      bool was_pressed = pressed_, was_dragging = dragging_;
      pressed_ = dragging_ = false;
      // The window is where the last move put it; a drag is no click.
      if (was_dragging && window_moved_) return consume_mouse_;
      auto* target = static_cast<QWidget*>(watched);
      if (was_pressed && target->rect().contains(e->position().toPoint())) {
        UserClicked();
      }
      return consume_mouse_;
    }
    default:
      return QObject::eventFilter(watched, event);
  }
}

void ControlView::MoveWindow(QPoint global) {
  if (!widget_ || global == drag_start_) return;
  window_moved_ = true;
  widget_->window()->move(window_start_ + (global - drag_start_));
}

}  // namespace korvanta::ui::qt
