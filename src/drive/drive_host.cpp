#include "drive/drive_host.h"

namespace korvanta::drive {

std::string OneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void DriveHost::Print(const std::string& line) {
  out_ << line << '\n' << std::flush;
}

void DriveHost::PrintMessage(std::string_view title, std::string_view text,
                             ui::MessageAnswer answer) {
  Print("message " + OneLine(title) + ": " + OneLine(text) + " -> " +
        (answer == ui::MessageAnswer::kOk ? "OK" : "Cancel"));
}

ui::MessageAnswer DriveHost::NextAnswer() {
  if (answers_.empty()) return ui::MessageAnswer::kOk;
  ui::MessageAnswer a = answers_.front();
  answers_.pop_front();
  return a;
}

void DriveHost::Show(ui::Form& form) {
  std::erase(recent_, &form);
  recent_.push_back(&form);
  if (!form.message) return;
  // A message window: answered as soon as the action that showed it is over, as a
  // user would click it.
  ui::MessageAnswer answer = NextAnswer();
  ui::Control* button = form.message->ok;
  if (answer == ui::MessageAnswer::kCancel && form.message->cancel) {
    button = form.message->cancel;
  } else {
    answer = ui::MessageAnswer::kOk;
  }
  PrintMessage(form.message->title, form.message->text, answer);
  if (program_ && button) program_->Post([button] { button->UserClick(); });
}

void DriveHost::Unloaded(ui::Form& form) {
  std::erase(recent_, &form);
}

void DriveHost::Launch(const services::LaunchRequest& request) {
  if (request.run_minimized) {
    Print("run " + OneLine(request.file) + " (minimized)");
    return;
  }
  Print("launch " + OneLine(request.parameters.empty() ? request.file
                                                       : request.file + " " + request.parameters));
}

void DriveHost::Restart() {
  Print("restart");
}

void DriveHost::Ended() {
  Print("ended");
}

ui::MessageAnswer DriveHost::MessageBox(const ui::Form*, std::string_view title,
                                        std::string_view text, ui::MessageIcon,
                                        ui::MessageButtons buttons) {
  ui::MessageAnswer answer = NextAnswer();
  if (buttons == ui::MessageButtons::kOk) answer = ui::MessageAnswer::kOk;
  PrintMessage(title, text, answer);
  return answer;
}

std::optional<std::string> DriveHost::BrowseForFolder(const ui::Form*, std::string_view) {
  return PopNext(folders_);
}

std::optional<std::string> DriveHost::OpenFile(const ui::Form*, std::string_view,
                                               std::string_view) {
  return PopNext(files_);
}

ui::IconPick DriveHost::PickIcon(const ui::Form*, const ui::IconChoice&) {
  return PopNext(icons_);
}

}  // namespace korvanta::drive
