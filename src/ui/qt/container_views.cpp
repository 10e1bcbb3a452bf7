#include "ui/qt/container_views.h"

#include <qdrawutil.h>

#include <QPainter>

#include "ui/qt/pictures.h"

namespace korvanta::ui::qt {

void PictureWidget::set_picture(QPixmap picture) {
  picture_ = std::move(picture);
  update();
}

void PictureWidget::set_sunken(bool sunken) {
  sunken_ = sunken;
  update();
}

void PictureWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!picture_.isNull()) {
    QSize size = picture_.deviceIndependentSize().toSize();
    if (size.width() > width() || size.height() > height()) {
      size.scale(this->size(), Qt::KeepAspectRatio);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(QPoint(0, 0), size), picture_);
  }
  if (sunken_) qDrawShadePanel(&painter, rect(), palette(), true, 1);
}

PictureBoxView::PictureBoxView(ui::PictureBox& box, QWidget* parent, RenderContext& context)
    : ControlView(box, new PictureWidget(parent), context),
      box_(box),
      widget_(static_cast<PictureWidget*>(widget())) {
  WatchMouse(widget_);
}

void PictureBoxView::SyncPicture() {
  widget_->set_picture(context_.pictures().Load(box_.picture()));
}

void PictureBoxView::SyncAppearance() {
  ControlView::SyncAppearance();
  widget_->set_sunken(box_.appearance().border);
}

FrameView::FrameView(ui::Frame& frame, QWidget* parent, RenderContext& context)
    : ControlView(frame, new QGroupBox(parent), context),
      widget_(static_cast<QGroupBox*>(widget())) {
  WatchMouse(widget_);
}

void FrameView::SyncCaption() {
  widget_->setTitle(QString::fromStdString(control()->caption()));
}

}  // namespace korvanta::ui::qt
