#pragma once
// A form's window: frameless, its controls placed in twips, a 1-px outline when
// its appearance has a border, Enter and Esc for its default and cancel buttons.

#include <QWidget>

#include "ui/form.h"
#include "ui/qt/control_view.h"

namespace korvanta::ui::qt {

class FormView;

class FormWindow final : public QWidget {
 public:
  FormWindow();
  void set_view(FormView* view) { view_ = view; }
  // The outline stays above the controls whatever their order.
  void RaiseOutline();
  void set_outlined(bool outlined);
  bool outlined() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  FormView* view_ = nullptr;
  QWidget* outline_;
};

class FormView final : public ControlView {
 public:
  FormView(ui::Form& form, FormWindow* window, RenderContext& context);
  ui::Form* form() const { return static_cast<ui::Form*>(control()); }
  FormWindow* window() const { return window_; }

  // The window's client size became (w, h) pixels.
  void Resized(int width, int height);
  // The window system minimised or restored it.
  void StateChanged(bool minimized);
  // Enter or Esc: presses the form's default or cancel button.
  bool PressKeyButton(bool cancel);
  void CloseRequested();

 protected:
  void SyncCaption() override;
  void SyncRect() override;
  void SyncVisible() override;
  void SyncValue() override;
  void SyncAppearance() override;
  bool FillsDefaultBack() const override { return true; }

 private:
  FormWindow* window_;
  // The size the model last knew of: the window's first size is told to it, later
  // ones only when they differ (the model's own changes come back as resizes).
  std::optional<QSize> told_;
};

}  // namespace korvanta::ui::qt
