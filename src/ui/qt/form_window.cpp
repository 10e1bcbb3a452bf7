#include "ui/qt/form_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include "ui/controls.h"
#include "ui/qt/units.h"

namespace korvanta::ui::qt {
namespace {

// A 1-px frame drawn over the window's edge; clicks go through it.
class Outline final : public QWidget {
 public:
  explicit Outline(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setObjectName(QStringLiteral("outline"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
};

}  // namespace

FormWindow::FormWindow() : outline_(new Outline(this)) {
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  outline_->hide();
}

void FormWindow::RaiseOutline() {
  outline_->setGeometry(rect());
  outline_->raise();
}

void FormWindow::set_outlined(bool outlined) {
  outline_->setVisible(outlined);
  RaiseOutline();
}

bool FormWindow::outlined() const {
  return !outline_->isHidden();
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  bool handled = false;
  if (view_ && event->modifiers() == Qt::NoModifier) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      // A focused button is pressed by Enter, as Windows does; else the default one.
      if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
        button->click();
        handled = true;
      } else {
        handled = view_->PressKeyButton(false);
      }
    } else if (event->key() == Qt::Key_Escape) {
      handled = view_->PressKeyButton(true);
    }
  }
  if (!handled) QWidget::keyPressEvent(event);
}

void FormWindow::closeEvent(QCloseEvent* event) {
  // The window goes only when the program unloads its form.
  event->ignore();
  if (view_) view_->CloseRequested();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  RaiseOutline();
  if (view_) view_->Resized(width(), height());
}

void FormWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && view_) {
    view_->StateChanged(isMinimized());
  }
}

FormView::FormView(ui::Form& form, FormWindow* window, RenderContext& context)
    : ControlView(form, window, context), window_(window) {
  window->set_view(this);
  WatchMouse(window);
}

void FormView::SyncCaption() {
  window_->setWindowTitle(QString::fromStdString(control()->caption()));
}

void FormView::SyncRect() {
  // Where the window goes is the host's choice; its size is the form's.
  QRect r = ToPixels(control()->rect());
  if (told_) told_ = r.size();
  if (window_->size() != r.size()) window_->resize(r.size());
  window_->RaiseOutline();
}

void FormView::SyncVisible() {
  // Showing is the host's (it places the window first); hiding is the model's.
  if (!control()->visible()) window_->hide();
}

void FormView::SyncValue() {
  bool minimized = form()->minimized();
  if (minimized == window_->isMinimized() || !window_->isVisible()) return;
  if (minimized) {
    window_->showMinimized();
  } else {
    window_->showNormal();
  }
}

void FormView::SyncAppearance() {
  ControlView::SyncAppearance();
  window_->set_outlined(control()->appearance().border);
}

void FormView::Resized(int width, int height) {
  if (!control() || syncing()) return;
  if (told_ == QSize(width, height)) return;
  told_ = QSize(width, height);
  int w = ToTwips(width), h = ToTwips(height);
  // The model's own size in twips need not be a whole number of pixels.
  if (ToPixels(control()->rect().width) == width) w = control()->rect().width;
  if (ToPixels(control()->rect().height) == height) h = control()->rect().height;
  context_.Act([&] {
    if (ui::Form* f = form()) f->Resize(w, h);
  });
}

void FormView::StateChanged(bool minimized) {
  if (!control() || syncing()) return;
  Syncing s(*this);
  form()->set_minimized(minimized);
}

bool FormView::PressKeyButton(bool cancel) {
  ui::Form* f = form();
  if (!f) return false;
  for (ui::Control* c : f->all()) {
    if (c->kind() != ui::Kind::kCommandButton || !c->shown() || !c->enabled()) continue;
    auto* button = static_cast<ui::CommandButton*>(c);
    if (!(cancel ? button->is_cancel : button->is_default)) continue;
    if (ControlView* v = Of(c); v && v->widget()) {
      if (auto* push = qobject_cast<QPushButton*>(v->widget())) {
        push->click();
        return true;
      }
    }
  }
  return false;
}

void FormView::CloseRequested() {
  if (ui::Form* f = form(); f && context_.close_requested) {
    context_.Act([&] { context_.close_requested(*f); });
  }
}

}  // namespace korvanta::ui::qt
