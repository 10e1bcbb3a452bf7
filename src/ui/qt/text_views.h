#pragma once
// Views of the kinds that hold text the user types: text boxes and combo boxes.

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "ui/controls.h"
#include "ui/lists.h"
#include "ui/qt/control_view.h"

namespace korvanta::ui::qt {

// A single-line box is a QLineEdit, a multi-line one a QPlainTextEdit.
class TextBoxView final : public ControlView {
 public:
  TextBoxView(ui::TextBox& box, QWidget* parent, RenderContext& context);

 protected:
  void SyncCaption() override;
  void SyncAppearance() override;
  QPalette::ColorRole BackRole() const override { return QPalette::Base; }
  QPalette::ColorRole ForeRole() const override { return QPalette::Text; }

 private:
  ui::TextBox& box_;
  QLineEdit* line_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
};

class ComboBoxView final : public ControlView {
 public:
  ComboBoxView(ui::ComboBox& combo, QWidget* parent, RenderContext& context);

 protected:
  void SyncItems() override;
  void SyncCaption() override;
  void SyncValue() override;
  QPalette::ColorRole BackRole() const override { return QPalette::Base; }
  QPalette::ColorRole ForeRole() const override { return QPalette::Text; }

 private:
  ui::ComboBox& combo_;
  QComboBox* widget_;
};

}  // namespace korvanta::ui::qt
