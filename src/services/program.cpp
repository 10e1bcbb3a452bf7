#include "services/program.h"

#include <algorithm>
#include <cstdio>

namespace korvanta::services {

Program::Program(store::Machine& machine, Host& host, const store::Clock& clock,
                 const FormCatalogue& forms)
    : machine_(machine),
      host_(host),
      clock_(clock),
      forms_catalogue_(forms),
      log_(machine, clock) {}

Program::~Program() = default;

void Program::Start() {
  Show("Formqd");
}

ui::Form* Program::Loaded(std::string_view name) const {
  for (const auto& f : forms_) {
    if (f->name() == name) return f.get();
  }
  return nullptr;
}

bool Program::IsFormName(std::string_view name) const {
  return forms_catalogue_.count(name) > 0;
}

ui::Form* Program::Load(std::string_view name) {
  if (ended_) return nullptr;
  if (ui::Form* form = Loaded(name)) return form;
  auto it = forms_catalogue_.find(name);
  if (it == forms_catalogue_.end() || !it->second) return nullptr;
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
  // The main window answers for itself (its exit path), even while disabled.
  if (form.on_close_request) {
    form.on_close_request();
    return;
  }
  Close(form);
  if (forms_.empty()) End();
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

void Program::RunPostedTasks() {
  while (!posted_.empty() && !ended_) {
    auto task = std::move(posted_.front());
    posted_.pop_front();
    task();
  }
}

void Program::Act(const std::function<void()>& action) {
  ++action_depth_;
  {
    // Every write of the action, and of what it posted, is saved together at
    // the end: a page's apply saves each registry file once, or not at all.
    store::Machine::Action transaction = machine_.BeginAction();
    if (action_depth_ == 1) {
      store::LocalTime t = clock_.Now();
      char time[32];
      std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                    t.hour, t.minute, t.second);
      machine_.DescribeAction(Place(), time);
    }
    if (action && !ended_) action();
    RunPostedTasks();
  }
  if (--action_depth_ > 0) return;
  // What could not be written is told once the action is over; the action itself
  // went on with its next statement, as every handler does.
  std::string failed = machine_.TakeWriteError();
  if (!failed.empty() && !ended_) {
    ++action_depth_;  // the message box is part of this action
    dialogs().MessageBox(main(), "警告", failed, ui::MessageIcon::kExclamation,
                         ui::MessageButtons::kOk);
    RunPostedTasks();
    --action_depth_;
  }
  unloaded_.clear();
}

void Program::MachineChanged() {
  for (const auto& form : forms_) {
    if (form->on_machine_changed) form->on_machine_changed();
  }
}

std::string Program::Place() const {
  for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) {
    const ui::Form& form = **it;
    if (form.message || !form.visible()) continue;
    if (form.place) return form.place();
    if (!form.caption().empty()) return form.caption();
  }
  return {};
}

void Program::LaunchProgramFile(std::string_view verb, std::string_view name,
                                const ui::Form* owner) {
  host_.Launch(
      {std::string(verb), machine_.paths().ProgramFolder() + "\\" + std::string(name), "", owner});
}

}  // namespace korvanta::services
