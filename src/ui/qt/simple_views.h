#pragma once
// Views of the simple kinds: labels, command buttons, check boxes, option
// buttons, sliders and timers.

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include "ui/controls.h"
#include "ui/qt/control_view.h"

namespace korvanta::ui::qt {

class LabelView final : public ControlView {
 public:
  LabelView(ui::Label& label, QWidget* parent, RenderContext& context);

 protected:
  void SyncCaption() override;
  void SyncAppearance() override;
  void SyncRect() override;
  void SyncToolTip() override;

 private:
  QLabel* label_;
  bool elided_ = false;
};

class CommandButtonView final : public ControlView {
 public:
  CommandButtonView(ui::CommandButton& button, QWidget* parent, RenderContext& context);

 protected:
  void SyncCaption() override;
  QPalette::ColorRole BackRole() const override { return QPalette::Button; }
  QPalette::ColorRole ForeRole() const override { return QPalette::ButtonText; }

 private:
  QPushButton* button_;
};

class CheckBoxView final : public ControlView {
 public:
  CheckBoxView(ui::CheckBox& box, QWidget* parent, RenderContext& context);

 protected:
  void SyncCaption() override;
  void SyncValue() override;

 private:
  ui::CheckBox& box_;
  QCheckBox* widget_;
};

class OptionButtonView final : public ControlView {
 public:
  OptionButtonView(ui::OptionButton& option, QWidget* parent, RenderContext& context);

 protected:
  void SyncCaption() override;
  void SyncValue() override;

 private:
  ui::OptionButton& option_;
  QRadioButton* widget_;
};

class SliderView final : public ControlView {
 public:
  SliderView(ui::Slider& slider, QWidget* parent, RenderContext& context);

 protected:
  void SyncRect() override;
  void SyncRange() override;
  void SyncValue() override;

 private:
  ui::Slider& slider_;
  QSlider* widget_;
};

// A timer shows nothing: it raises Timer every interval while it runs.
class TimerView final : public ControlView {
 public:
  TimerView(ui::Timer& timer, QObject* parent, RenderContext& context);
  void Detach() override;

 protected:
  void SyncRange() override;
  void SyncValue() override;
  void SyncVisible() override {}

 private:
  ui::Timer& model_;
  QTimer timer_;
};

}  // namespace korvanta::ui::qt
