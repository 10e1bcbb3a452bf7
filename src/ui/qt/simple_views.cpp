#include "ui/qt/simple_views.h"

#include <QFontMetrics>

#include "ui/qt/units.h"

namespace korvanta::ui::qt {

LabelView::LabelView(ui::Label& label, QWidget* parent, RenderContext& context)
    : ControlView(label, new QLabel(parent), context), label_(static_cast<QLabel*>(widget())) {
  label_->setTextFormat(Qt::PlainText);
  label_->setWordWrap(label.word_wrap);
  if (label.on_click && !label.drags_window) label_->setCursor(Qt::PointingHandCursor);
  WatchMouse(label_);
}

void LabelView::SyncCaption() {
  const ui::Control& c = *control();
  const ui::Appearance& a = c.appearance();
  QString text = QString::fromStdString(c.caption());
  // Text on a coloured bar keeps off its edge.
  bool filled = label_->autoFillBackground() || a.border;
  int indent = filled && a.align != ui::Align::kCenter ? 4 : 0;
  label_->setIndent(indent > 0 ? indent : -1);
  // A label one line high shows its line in the middle, cut short with an
  // ellipsis where it does not fit (a long path in the title bar); a taller one
  // wraps from its top, as a paragraph does.
  QFontMetrics metrics(label_->font());
  QRect box = ToPixels(c.rect());
  bool one_line = box.height() < 2 * metrics.lineSpacing();
  label_->setWordWrap(!one_line && static_cast<const ui::Label&>(c).word_wrap);
  label_->setAlignment(Horizontal(a.align) | (one_line ? Qt::AlignVCenter : Qt::AlignTop));
  int room = box.width() - 2 * indent - 2 * label_->frameWidth();
  elided_ = false;
  if (one_line && metrics.horizontalAdvance(text) > room) {
    // Both ends of a right-aligned text stay: "计算机：/home/…/machine".
    Qt::TextElideMode mode = a.align == ui::Align::kLeft ? Qt::ElideRight : Qt::ElideMiddle;
    text = metrics.elidedText(text, mode, room);
    elided_ = true;
  }
  label_->setText(text);
  SyncToolTip();
}

void LabelView::SyncToolTip() {
  // What an ellipsis hides shows as the tip, unless the label has its own.
  const ui::Control& c = *control();
  std::string tip = c.tool_tip().empty() && elided_ ? c.caption() : c.tool_tip();
  label_->setToolTip(QString::fromStdString(tip));
}

void LabelView::SyncRect() {
  ControlView::SyncRect();
  SyncCaption();
}

void LabelView::SyncAppearance() {
  ControlView::SyncAppearance();
  label_->setFrameStyle(control()->appearance().border ? QFrame::Panel | QFrame::Sunken
                                                       : QFrame::NoFrame);
}

CommandButtonView::CommandButtonView(ui::CommandButton& button, QWidget* parent,
                                     RenderContext& context)
    : ControlView(button, new QPushButton(parent), context),
      button_(static_cast<QPushButton*>(widget())) {
  // Enter and Esc are the window's (see FormWindow), as in a Windows form.
  button_->setAutoDefault(false);
  button_->setDefault(button.is_default);
  QObject::connect(button_, &QPushButton::clicked, this, [this] { UserClicked(); });
}

void CommandButtonView::SyncCaption() {
  button_->setText(QString::fromStdString(control()->caption()));
}

CheckBoxView::CheckBoxView(ui::CheckBox& box, QWidget* parent, RenderContext& context)
    : ControlView(box, new QCheckBox(parent), context),
      box_(box),
      widget_(static_cast<QCheckBox*>(widget())) {
  QObject::connect(widget_, &QCheckBox::clicked, this, [this] { UserClicked(); });
}

void CheckBoxView::SyncCaption() {
  widget_->setText(QString::fromStdString(box_.caption()));
}

void CheckBoxView::SyncValue() {
  widget_->setChecked(box_.ticked());
}

OptionButtonView::OptionButtonView(ui::OptionButton& option, QWidget* parent,
                                   RenderContext& context)
    : ControlView(option, new QRadioButton(parent), context),
      option_(option),
      widget_(static_cast<QRadioButton*>(widget())) {
  // The model decides which buttons form a group (their container, or a group
  // name across containers); Qt's grouping by parent widget would disagree.
  widget_->setAutoExclusive(false);
  QObject::connect(widget_, &QRadioButton::clicked, this, [this] { UserClicked(); });
}

void OptionButtonView::SyncCaption() {
  widget_->setText(QString::fromStdString(option_.caption()));
}

void OptionButtonView::SyncValue() {
  widget_->setChecked(option_.selected());
}

SliderView::SliderView(ui::Slider& slider, QWidget* parent, RenderContext& context)
    : ControlView(slider, new QSlider(parent), context),
      slider_(slider),
      widget_(static_cast<QSlider*>(widget())) {
  QObject::connect(widget_, &QSlider::valueChanged, this, [this](int value) {
    if (syncing()) return;
    Act([value](ui::Control& c) { static_cast<ui::Slider&>(c).UserSlide(value); });
  });
}

void SliderView::SyncRect() {
  ControlView::SyncRect();
  const ui::Rect& r = slider_.rect();
  bool vertical = r.height > r.width;
  widget_->setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
  widget_->setTickPosition(vertical ? QSlider::TicksRight : QSlider::TicksBelow);
}

void SliderView::SyncRange() {
  widget_->setRange(slider_.min(), slider_.max());
  widget_->setSingleStep(slider_.small_change());
  widget_->setPageStep(slider_.large_change());
  widget_->setTickInterval(slider_.tick_frequency());
}

void SliderView::SyncValue() {
  widget_->setValue(slider_.value());
}

TimerView::TimerView(ui::Timer& timer, QObject* parent, RenderContext& context)
    : ControlView(timer, nullptr, context, parent), model_(timer), timer_(this) {
  timer_.setObjectName(QString::fromStdString(timer.id()));
  QObject::connect(&timer_, &QTimer::timeout, this,
                   [this] { Act([](ui::Control& c) { static_cast<ui::Timer&>(c).Fire(); }); });
}

void TimerView::Detach() {
  timer_.stop();
  ControlView::Detach();
}

void TimerView::SyncRange() {
  timer_.setInterval(model_.interval());
}

void TimerView::SyncValue() {
  if (model_.running() && model_.interval() > 0) {
    if (!timer_.isActive()) timer_.start();
  } else {
    timer_.stop();
  }
}

}  // namespace korvanta::ui::qt
