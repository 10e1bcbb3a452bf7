#pragma once
// The OEM information editor: the maker's name, model, support text and logo that
// the system-properties page shows from oeminfo.ini and oemlogo.bmp in the
// system folder.

#include <optional>
#include <string>

#include "services/small_window.h"

namespace korvanta::tools {

class Formoem final : public services::SmallWindow {
 public:
  static constexpr std::string_view kName = "Formoem";
  explicit Formoem(services::Program& program);
  ui::PictureBox& Picture1;
  ui::Label& Label1;  // the size advice
  ui::Label& Label2;
  ui::TextBox& Text1;
  ui::Label& Label3;
  ui::TextBox& Text2;
  ui::Label& Label4;
  ui::TextBox& Text3;
  ui::CommandButton& Commandxztp;
  ui::CommandButton& Commandsctp;
  ui::CommandButton& Commandsc;
  ui::CommandButton& Commandqd;

 private:
  std::string InfoFile();
  std::string LogoFile();
  void Load();
  void ShowLogo(const std::string& path);
  void Save();
  // Removes the support lines numbered above last, which the system would go on
  // showing after a shorter text was saved.
  void RemoveLinesAfter(int last);

  std::optional<std::string> chosen_picture_;  // what the open-file dialog returned last
};

}  // namespace korvanta::tools
