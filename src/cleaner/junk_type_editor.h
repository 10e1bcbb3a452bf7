#pragma once
// The junk-type editor: adds user junk types to set.ini, one "添加" each; they
// join the catalogue at the next start, which its exit offers.

#include "services/small_window.h"

namespace korvanta::cleaner {

class Formwjlx final : public services::SmallWindow {
 public:
  static constexpr std::string_view kName = "Formwjlx";
  explicit Formwjlx(services::Program& program);

  ui::Label& Label1;
  ui::TextBox& Textlx;
  ui::Label& Label2;
  ui::TextBox& Textsm;
  ui::CommandButton& Commandtj;  // 添加
  ui::CommandButton& Commandtc;  // 退出
  ui::TextBox& Text1;            // how many user types there are

 private:
  void Add();
  void Exit();
};

}  // namespace korvanta::cleaner
