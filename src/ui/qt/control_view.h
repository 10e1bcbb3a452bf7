#pragma once
// One native widget mirroring one control: it observes the control and sets the
// widget from it, and turns the user's input on the widget into the control's
// User... operations. Setting the widget from the model never reads back as a
// user's action.

#include <QObject>
#include <QPalette>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "ui/control.h"
#include "ui/qt/render_context.h"

namespace korvanta::ui::qt {

class ControlView : public QObject, public ui::ControlObserver {
 public:
  // widget may be null for a control that shows nothing (a timer); the view is
  // owned by its widget, else by parent.
  ControlView(ui::Control& control, QWidget* widget, RenderContext& context,
              QObject* parent = nullptr);
  ~ControlView() override;

  // Null once the control is gone (its form unloaded).
  ui::Control* control() const { return control_; }
  QWidget* widget() const { return widget_; }
  // Where the control's children go (containers only).
  virtual QWidget* container() { return widget_; }

  // Sets the whole widget from the control.
  void SyncAll();
  // Forgets the control: it is about to be destroyed.
  virtual void Detach();

  void Changed(ui::Control& control, ui::Property what, int first, int count) override;

  // The view of a control, when a renderer shows it.
  static ControlView* Of(const ui::Control* control);

 protected:
  virtual void SyncCaption() {}
  virtual void SyncValue() {}
  virtual void SyncItems() {}
  virtual void SyncRows(ui::Property, int, int) {}
  virtual void SyncPicture() {}
  virtual void SyncRange() {}
  virtual void SyncRect();
  virtual void SyncVisible();
  virtual void SyncEnabled();
  virtual void SyncToolTip();
  virtual void SyncAppearance();
  // What a user's action may have left out of step: by default caption and value.
  virtual void SyncAfterAction();

  // The palette roles a control's colours paint, and whether a default back
  // colour still fills the widget (containers hide what is behind them).
  virtual QPalette::ColorRole BackRole() const { return QPalette::Window; }
  virtual QPalette::ColorRole ForeRole() const { return QPalette::WindowText; }
  virtual bool FillsDefaultBack() const { return false; }
  // The widget's font: the window's, at the control's size and weight.
  QFont ControlFont() const;

  // Runs a user's action on the control, then sets the widget from the model
  // again, in case the model refused it (a disabled control ignores clicks).
  void Act(const std::function<void(ui::Control&)>& action);
  // Act with the user's click.
  void UserClicked();
  // True while the widget is being set from the model: its signals are no user's.
  bool syncing() const { return syncing_ > 0; }

  // Raw mouse input for the kinds that have no click of their own: press is
  // MouseDown, release over the widget is Click; a window-dragging control moves
  // its window. A widget that takes no mouse input itself (a label) keeps it from
  // its container, whose click it is not; an editor still gets it.
  void WatchMouse(QWidget* target, bool widget_uses_mouse = false);
  bool eventFilter(QObject* watched, QEvent* event) override;

  RenderContext& context_;

  class Syncing {
   public:
    explicit Syncing(ControlView& view) : view_(view) { ++view_.syncing_; }
    ~Syncing() { --view_.syncing_; }
    Syncing(const Syncing&) = delete;
    Syncing& operator=(const Syncing&) = delete;

   private:
    ControlView& view_;
  };

 private:
  void MoveWindow(QPoint global);

  ui::Control* control_;
  QPointer<QWidget> widget_;
  int syncing_ = 0;
  bool pressed_ = false;
  bool consume_mouse_ = true;
  bool dragging_ = false;  // moving the window ourselves (no window manager help)
  bool window_moved_ = false;
  QPoint drag_start_;    // global position of the press
  QPoint window_start_;  // the window's position then
};

}  // namespace korvanta::ui::qt
