#pragma once
// Context-menu commands of the user's own: numbered shell verbs for folders and
// for all files, each a menu text and a command line.

#include "services/small_window.h"
#include "ui/list_view.h"

namespace korvanta::tools {

class Formyjgn final : public services::SmallWindow {
 public:
  static constexpr std::string_view kName = "Formyjgn";
  // Entries are looked for up to this number; higher ones are neither listed,
  // deleted nor given out.
  static constexpr int kLastEntry = 100;

  explicit Formyjgn(services::Program& program);
  ui::Label& Label1;
  ui::ListView& ListView1;
  ui::Label& Label2;
  ui::TextBox& Textname;
  ui::Label& Label3;
  ui::TextBox& Textfile;
  ui::CommandButton& Commandfile;
  ui::CommandButton& Commandtj;
  ui::CommandButton& Commandsc;
  ui::CommandButton& Commandend;

 private:
  void Load();
  void Add();
  void Delete();
  std::string Entry(int number, bool command);
};

// Refuses an entry with an empty menu text or command.
class Formqjcw final : public services::MessageWindow {
 public:
  static constexpr std::string_view kName = "Formqjcw";
  explicit Formqjcw(services::Program& program);
};

}  // namespace korvanta::tools
