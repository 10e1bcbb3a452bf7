#pragma once
// Builds a form's window from its declaration, one view per control, and takes
// it down when the form unloads.

#include <QPointer>
#include <map>

#include "ui/form.h"
#include "ui/qt/form_window.h"
#include "ui/qt/render_context.h"

namespace korvanta::ui::qt {

class Renderer {
 public:
  explicit Renderer(RenderContext& context) : context_(context) {}
  ~Renderer();
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // The form's window, built (not shown) on first use.
  FormWindow& WindowFor(ui::Form& form);
  FormWindow* Find(const ui::Form& form) const;
  // The form is going: its views forget it and its window goes.
  void Destroy(ui::Form& form);

 private:
  void Build(ui::Control& control, QWidget* parent);

  RenderContext& context_;
  std::map<const ui::Form*, QPointer<FormWindow>> windows_;
};

}  // namespace korvanta::ui::qt
