#include "app/program.h"

#include <algorithm>

#include "app/formmain.h"
#include "app/forms.h"
#include "app/password_forms.h"

namespace korvanta::app {

Program::Program(Machine& machine, Host& host, const Clock& clock)
    : machine_(machine), host_(host), log_(machine, clock) {}

Program::~Program() = default;

void Program::Start() {
  Show("Formqd");
}

void Program::OpenMainWindow() {
  if (ui::Form* splash = Loaded("Formqd")) Unload(*splash);
  Show("Formmain");
  if (!StoredPassword(*this).empty()) Show("Formpass");
}

ui::Form* Program::Loaded(std::string_view name) const {
  for (const auto& f : forms_) {
    if (f->name() == name) return f.get();
  }
  return nullptr;
}

bool Program::IsFormName(std::string_view name) {
  return FormFactories().count(name) > 0;
}

ui::Form* Program::Load(std::string_view name) {
  if (ended_) return nullptr;
  if (ui::Form* form = Loaded(name)) return form;
  auto it = FormFactories().find(name);
  if (it == FormFactories().end() || !it->second) return nullptr;
  std::unique_ptr<ui::Form> form = it->second(*this);
  if (!form) return nullptr;
  ui::Form* raw = form.get();
  forms_.push_back(std::move(form));
  if (raw->topmost) host_.MakeTopmost(*raw);
  if (raw->on_load) raw->on_load();
  return Loaded(name) == raw ? raw : nullptr;  // its Load may have unloaded it again
}

ui::Form* Program::Show(std::string_view name) {
  ui::Form* form = Load(name);
  if (form) Show(*form);
  return form;
}

void Program::Show(ui::Form& form) {
  if (ended_) return;
  form.set_visible(true);
  host_.Show(form);
}

void Program::Unload(ui::Form& form) {
  auto it =
      std::find_if(forms_.begin(), forms_.end(), [&](const auto& f) { return f.get() == &form; });
  if (it == forms_.end()) return;
  std::unique_ptr<ui::Form> owned = std::move(*it);
  forms_.erase(it);
  if (owned->on_unload) owned->on_unload();
  owned->set_visible(false);
  host_.Unloaded(*owned);
  // The form's own handler may be running: destroy it after the current action.
  unloaded_.push_back(std::move(owned));
}

std::vector<ui::Form*> Program::loaded() const {
  std::vector<ui::Form*> list;
  for (const auto& f : forms_) list.push_back(f.get());
  return list;
}

void Program::Close(ui::Form& form) {
  if (ui::Control* close = form.Find("Labelend")) {
    close->UserClick();
  } else {
    Unload(form);
  }
}

void Program::CloseRequested(ui::Form& form) {
  if (Formmain* window = main(); window == &form) {
    window->Exit();
    return;
  }
  Close(form);
  if (forms_.empty()) End();
}

Formmain* Program::main() const {
  return static_cast<Formmain*>(Loaded(Formmain::kName));
}

void Program::End() {
  if (ended_) return;
  ended_ = true;  // nothing loads or shows from here on
  while (!forms_.empty()) Unload(*forms_.back());
  posted_.clear();
  host_.Ended();
}

void Program::Post(std::function<void()> task) {
  if (!ended_) posted_.push_back(std::move(task));
}

void Program::RunPosted() {
  while (!posted_.empty() && !ended_) {
    auto task = std::move(posted_.front());
    posted_.pop_front();
    task();
  }
  // A write the machine refused (a running Wine owns the registry) is told once
  // the action is over; the action itself went on as if nothing happened.
  std::string refused = machine_.TakeWriteError();
  if (!refused.empty() && !ended_) {
    dialogs().MessageBox(main(), "警告", refused, ui::MessageIcon::kExclamation,
                         ui::MessageButtons::kOk);
  }
  unloaded_.clear();
}

void Program::LaunchProgramFile(std::string_view verb, std::string_view name,
                                const ui::Form* owner) {
  host_.Launch(
      {std::string(verb), machine_.paths().ProgramFolder() + "\\" + std::string(name), "", owner});
}

}  // namespace korvanta::app
