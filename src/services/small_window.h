#pragma once
// The small borderless windows every tool and message uses: their own title label
// across the top and a "关闭" close label at its right end.

#include <string>
#include <string_view>

#include "services/program.h"
#include "ui/controls.h"

namespace korvanta::services {

class SmallWindow : public ui::Form {
 public:
  // width and height of the whole window in twips.
  SmallWindow(Program& program, std::string name, std::string title, int width, int height);

  ui::Label& Labelbt;   // the title label
  ui::Label& Labelend;  // "关闭"

 protected:
  Program& program_;
};

// A message window: title, icon, text and one or two buttons; it beeps and stays
// on top. Its buttons and close label run the handlers given (by default they
// unload it).
class MessageWindow : public SmallWindow {
 public:
  struct Spec {
    std::string name;
    std::string title;
    std::string text;
    ui::MessageIcon icon = ui::MessageIcon::kInformation;
    std::string ok_caption = "确定";
    std::string cancel_caption;  // "" for a window with one button
    std::string ok_name = "Command1";
    std::string cancel_name = "Command2";
    int width = 5400;  // twips
    int height = 2250;
  };
  MessageWindow(Program& program, const Spec& spec);

  ui::PictureBox& Image1;  // the icon
  ui::Label& Label1;       // the text
  ui::CommandButton& ok;
  ui::CommandButton* cancel = nullptr;

  // What OK and Cancel do, after the window unloads. The close label answers as
  // Cancel does, or as OK on a window without Cancel.
  std::function<void()> on_ok;
  std::function<void()> on_cancel;

 private:
  void Answer(bool ok_pressed);
};

}  // namespace korvanta::services
