#pragma once
// The program password: the start-up prompt, the dialog that sets, changes and
// clears it, and their message windows.

#include "services/small_window.h"

namespace korvanta::password {

// The password as the Program Key stores it ("" when none is set).
std::string StoredPassword(services::Program& program);

// Start-up prompt: the main window stays disabled until the password is given.
class Formpass final : public services::SmallWindow {
 public:
  static constexpr std::string_view kName = "Formpass";
  explicit Formpass(services::Program& program);
  ui::Label& Label1;
  ui::TextBox& Textpass;
  ui::Label& Label2;  // "忘记密码"
  ui::CommandButton& Command1;
  ui::CommandButton& Command2;

 private:
  void Check();
};

// The password dialog.
class Formpasssz final : public services::SmallWindow {
 public:
  static constexpr std::string_view kName = "Formpasssz";
  explicit Formpasssz(services::Program& program);
  ui::TextBox& TxtOldPass;
  ui::TextBox& TxtNewPass;
  ui::TextBox& TxtAgainNewPass;
  ui::CommandButton& passqr;
  ui::CommandButton& Command2;

 private:
  void SetNewBoxes(bool enabled, int system_color);
  void CompareOld();
  void Confirm();
};

class Formpasscw final : public services::MessageWindow {
 public:
  static constexpr std::string_view kName = "Formpasscw";
  explicit Formpasscw(services::Program& program);
};

class Formmacw final : public services::MessageWindow {
 public:
  static constexpr std::string_view kName = "Formmacw";
  explicit Formmacw(services::Program& program);
};

class Formmacg final : public services::MessageWindow {
 public:
  static constexpr std::string_view kName = "Formmacg";
  explicit Formmacg(services::Program& program);
};

class Formmaqk final : public services::MessageWindow {
 public:
  static constexpr std::string_view kName = "Formmaqk";
  explicit Formmaqk(services::Program& program);
};

// Shown when the dialog's "确认" is pressed with a password stored and the old
// one not given: nothing is stored then.
class Formjmmcw final : public services::MessageWindow {
 public:
  static constexpr std::string_view kName = "Formjmmcw";
  explicit Formjmmcw(services::Program& program);
};

}  // namespace korvanta::password
