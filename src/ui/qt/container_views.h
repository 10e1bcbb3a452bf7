#pragma once
// Views of the containers inside a window: picture boxes and frames.

#include <QGroupBox>
#include <QPixmap>
#include <QWidget>

#include "ui/controls.h"
#include "ui/qt/control_view.h"

namespace korvanta::ui::qt {

// A picture box: a panel that paints its picture from its top-left corner (one
// larger than the box is scaled down to fit) and holds child controls.
class PictureWidget final : public QWidget {
 public:
  explicit PictureWidget(QWidget* parent) : QWidget(parent) {}
  void set_picture(QPixmap picture);
  const QPixmap& picture() const { return picture_; }
  void set_sunken(bool sunken);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
  bool sunken_ = false;
};

class PictureBoxView final : public ControlView {
 public:
  PictureBoxView(ui::PictureBox& box, QWidget* parent, RenderContext& context);

 protected:
  void SyncPicture() override;
  void SyncAppearance() override;
  // A panel hides what lies behind it; a box that only shows a picture (an
  // image, such as a message window's icon) lets its container show around it.
  bool FillsDefaultBack() const override { return !box_.children().empty(); }

 private:
  ui::PictureBox& box_;
  PictureWidget* widget_;
};

class FrameView final : public ControlView {
 public:
  FrameView(ui::Frame& frame, QWidget* parent, RenderContext& context);

 protected:
  void SyncCaption() override;

 private:
  QGroupBox* widget_;
};

}  // namespace korvanta::ui::qt
