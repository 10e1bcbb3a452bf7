#pragma once
// Views of list boxes, tab strips and status bars.

#include <QListWidget>
#include <QMouseEvent>
#include <QTabBar>
#include <QWidget>

#include "ui/lists.h"
#include "ui/qt/control_view.h"

namespace korvanta::ui::qt {

class ListBoxView final : public ControlView {
 public:
  ListBoxView(ui::ListBox& list, QWidget* parent, RenderContext& context);

 protected:
  void SyncItems() override;
  void SyncValue() override;
  QPalette::ColorRole BackRole() const override { return QPalette::Base; }
  QPalette::ColorRole ForeRole() const override { return QPalette::Text; }

 private:
  void SelectionChanged();

  ui::ListBox& list_;
  QListWidget* widget_;
};

// A tab strip: the tabs along its top and a frame around the area below, where
// the panels it switches between lie (they are its siblings, in front of it).
class TabStripWidget final : public QWidget {
 public:
  explicit TabStripWidget(QWidget* parent);
  QTabBar* tabs() const { return tabs_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // A press on the panel area is nobody's click (not the container's).
  void mousePressEvent(QMouseEvent* event) override { event->accept(); }
  void resizeEvent(QResizeEvent* event) override;

 private:
  QTabBar* tabs_;
};

class TabStripView final : public ControlView {
 public:
  TabStripView(ui::TabStrip& strip, QWidget* parent, RenderContext& context);

 protected:
  void SyncItems() override;
  void SyncValue() override;

 private:
  ui::TabStrip& strip_;
  TabStripWidget* widget_;
};

// Panels side by side, each a sunken box with its text; a panel of width 0 takes
// what the others leave.
class StatusBarWidget final : public QWidget {
 public:
  explicit StatusBarWidget(QWidget* parent) : QWidget(parent) {}
  struct Panel {
    QString text;
    int width = 0;  // pixels
  };
  void set_panels(std::vector<Panel> panels);
  const std::vector<Panel>& panels() const { return panels_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<Panel> panels_;
};

class StatusBarView final : public ControlView {
 public:
  StatusBarView(ui::StatusBar& bar, QWidget* parent, RenderContext& context);

 protected:
  void SyncItems() override;

 private:
  ui::StatusBar& bar_;
  StatusBarWidget* widget_;
};

}  // namespace korvanta::ui::qt
