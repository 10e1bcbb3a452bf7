#pragma once
// korvanta-drive's host: shows nothing, writes one line per event, and answers
// message boxes, message windows and dialogs from what the scenario queued.

#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "services/host.h"
#include "services/program.h"

namespace korvanta::drive {

class DriveHost final : public services::Host, public ui::Dialogs {
 public:
  explicit DriveHost(std::ostream& out) : out_(out) {}
  void set_program(services::Program* program) { program_ = program; }

  // Answers for what comes next, in order.
  void QueueAnswer(ui::MessageAnswer answer) { answers_.push_back(answer); }
  void QueueFolder(std::optional<std::string> folder) { folders_.push_back(std::move(folder)); }
  void QueueFile(std::optional<std::string> file) { files_.push_back(std::move(file)); }
  void QueueIcon(ui::IconPick icon) { icons_.push_back(std::move(icon)); }

  // Loaded windows, the one most recently shown last.
  const std::vector<ui::Form*>& recent() const { return recent_; }

  // Host
  ui::Dialogs& dialogs() override { return *this; }
  void Show(ui::Form& form) override;
  void Unloaded(ui::Form& form) override;
  void MakeTopmost(ui::Form&) override {}
  void Beep() override {}
  void Launch(const services::LaunchRequest& request) override;
  void Restart() override;
  void Ended() override;

  // Dialogs
  ui::MessageAnswer MessageBox(const ui::Form* owner, std::string_view title, std::string_view text,
                               ui::MessageIcon icon, ui::MessageButtons buttons) override;
  std::optional<std::string> BrowseForFolder(const ui::Form* owner,
                                             std::string_view title) override;
  std::optional<std::string> OpenFile(const ui::Form* owner, std::string_view title,
                                      std::string_view filter) override;
  ui::IconPick PickIcon(const ui::Form* owner, const ui::IconChoice& start) override;

 private:
  ui::MessageAnswer NextAnswer();
  void Print(const std::string& line);
  // "message TITLE: TEXT -> OK|Cancel", for message boxes and message windows alike.
  void PrintMessage(std::string_view title, std::string_view text, ui::MessageAnswer answer);

  std::ostream& out_;
  services::Program* program_ = nullptr;
  std::deque<ui::MessageAnswer> answers_;
  // The next queued answer; nothing (cancelled) when none is queued.
  template <typename T>
  static T PopNext(std::deque<T>& queue) {
    if (queue.empty()) return T{};
    T next = std::move(queue.front());
    queue.pop_front();
    return next;
  }

  std::deque<std::optional<std::string>> folders_;
  std::deque<std::optional<std::string>> files_;
  std::deque<ui::IconPick> icons_;
  std::vector<ui::Form*> recent_;
};

// A text on one line: CR, LF and TAB written as \r, \n and \t.
std::string OneLine(std::string_view text);

}  // namespace korvanta::drive
