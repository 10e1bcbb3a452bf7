#include "drive/scenario.h"

#include <charconv>
#include <chrono>
#include <optional>
#include <thread>

#include "app/formmain.h"
#include "app/forms.h"
#include "services/change_history.h"
#include "ui/controls.h"
#include "ui/list_view.h"
#include "ui/lists.h"

namespace korvanta::drive {
namespace {

constexpr std::string_view kOpenQuote = "«", kCloseQuote = "»";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// Splits off the first word and the one blank after it; a «...» word may hold
// spaces.
std::string_view NextWord(std::string_view& rest) {
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  std::size_t end;
  if (rest.substr(0, kOpenQuote.size()) == kOpenQuote) {
    std::size_t close = rest.find(kCloseQuote);
    end = close == std::string_view::npos ? rest.size() : close + kCloseQuote.size();
  } else {
    end = rest.find(' ');
    if (end == std::string_view::npos) end = rest.size();
  }
  std::string_view word = rest.substr(0, end);
  rest = rest.substr(end);
  if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  return word;
}

// Splits off the last word.
std::string_view LastWord(std::string_view& rest) {
  rest = Trim(rest);
  std::size_t space = rest.rfind(' ');
  std::string_view word = space == std::string_view::npos ? rest : rest.substr(space + 1);
  rest = space == std::string_view::npos ? std::string_view() : Trim(rest.substr(0, space));
  return word;
}

std::optional<int> Number(std::string_view text) {
  int value = 0;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || p != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<bool> OnOff(std::string_view word) {
  if (word == "on") return true;
  if (word == "off") return false;
  return std::nullopt;
}

std::string Quoted(std::string_view text) {
  return std::string(kOpenQuote) + OneLine(text) + std::string(kCloseQuote);
}

// What print shows of a control: its state, then whether it is disabled or hidden.
std::string State(const ui::Control& c) {
  std::string s;
  switch (c.kind()) {
    case ui::Kind::kCheckBox:
      s = static_cast<const ui::CheckBox&>(c).ticked() ? "ticked" : "unticked";
      break;
    case ui::Kind::kOptionButton:
      s = static_cast<const ui::OptionButton&>(c).selected() ? "selected" : "unselected";
      break;
    case ui::Kind::kSlider:
      s = std::to_string(static_cast<const ui::Slider&>(c).value());
      break;
    case ui::Kind::kTabStrip:
      s = std::to_string(static_cast<const ui::TabStrip&>(c).selected());
      break;
    case ui::Kind::kListView:
      s = std::to_string(static_cast<const ui::ListView&>(c).count());
      break;
    case ui::Kind::kListBox:
      s = std::to_string(static_cast<const ui::ListBox&>(c).count());
      break;
    case ui::Kind::kStatusBar: {
      const auto& bar = static_cast<const ui::StatusBar&>(c);
      for (std::size_t i = 0; i < bar.panels().size(); ++i) {
        if (i) s += " | ";
        s += Quoted(bar.panels()[i].text);
      }
      break;
    }
    case ui::Kind::kTimer:
      s = static_cast<const ui::Timer&>(c).running() ? "running" : "stopped";
      break;
    case ui::Kind::kPictureBox: {
      s = Quoted(c.caption());
      const ui::Picture& picture = static_cast<const ui::PictureBox&>(c).picture();
      if (picture.type == ui::Picture::Type::kFile) s += " [file " + picture.source + "]";
      if (picture.type == ui::Picture::Type::kResource) s += " [resource " + picture.source + "]";
      if (picture.type == ui::Picture::Type::kIcon) {
        s += " [icon " + picture.source + "," + std::to_string(picture.icon_index) + "]";
      }
      break;
    }
    default:
      s = Quoted(c.caption());
      break;
  }
  if (!c.enabled()) s += " (disabled)";
  if (!c.visible()) s += " (hidden)";
  return s;
}

// One command line as its command sees it: the words after the command's name,
// the program and the host it drives, the output, and the error it fails with.
struct Line {
  services::Program& program;
  DriveHost& host;
  std::ostream& out;
  std::string_view rest;
  std::string_view usage;
  std::string& error;

  bool Fail(std::string message) {
    error = std::move(message);
    return false;
  }
  bool Usage() { return Fail(std::string(usage)); }
  bool WrongKind(const ui::Control& c, std::string_view what) {
    return Fail(c.id() + " is a " + std::string(ui::KindName(c.kind())) + ", not " +
                std::string(what));
  }

  ui::Form* FrontWindow() const { return host.recent().empty() ? nullptr : host.recent().back(); }

  // On the front window when it is not the main one, else on the main window's
  // current page first.
  ui::Control* ResolveCaption(std::string_view caption) const {
    app::Formmain* main = app::MainWindow(program);
    ui::Form* front = FrontWindow();
    if (front && front != main) {
      if (ui::Control* c = front->FindByCaption(caption)) return c;
    }
    if (!main) return nullptr;
    if (ui::Control* c = main->FindByCaption(caption, main->Picture1[main->current_page()]))
      return c;
    return main->FindByCaption(caption);
  }

  // A control by NAME, NAME(i) or «caption», in the window shown last first;
  // nullptr when there is none.
  ui::Control* Resolve(std::string_view name) const {
    if (name.size() > kOpenQuote.size() + kCloseQuote.size() &&
        name.substr(0, kOpenQuote.size()) == kOpenQuote &&
        name.substr(name.size() - kCloseQuote.size()) == kCloseQuote) {
      return ResolveCaption(
          name.substr(kOpenQuote.size(), name.size() - kOpenQuote.size() - kCloseQuote.size()));
    }
    const auto& recent = host.recent();
    for (auto it = recent.rbegin(); it != recent.rend(); ++it) {
      if (ui::Control* c = (*it)->FindById(name)) return c;
    }
    if (ui::Form* main = program.main()) return main->FindById(name);
    return nullptr;
  }

  ui::Control* Control(std::string_view name) {
    ui::Control* c = Resolve(name);
    if (!c) Fail("no control " + std::string(name));
    return c;
  }
};

// --- the program and its windows -------------------------------------------------

bool Start(Line& line) {
  if (!Trim(line.rest).empty()) return line.Usage();
  app::OpenMainWindow(line.program);
  // The message loop raises the timers the load set running (the clock
  // measurement of the inventory): the scenario goes on once each has run.
  for (ui::Form* form : line.program.loaded()) {
    for (ui::Control* c : form->all()) {
      if (c->kind() != ui::Kind::kTimer) continue;
      auto& timer = static_cast<ui::Timer&>(*c);
      if (!timer.running()) continue;
      std::this_thread::sleep_for(std::chrono::milliseconds(timer.interval()));
      line.program.Act([&timer] { timer.Fire(); });
    }
  }
  return true;
}

bool Exit(Line& line) {
  app::Formmain* main = app::MainWindow(line.program);
  if (!main) return line.Fail("the main window is not loaded");
  main->Commandend.UserClick();
  return true;
}

bool Open(Line& line) {
  std::string form(Trim(line.rest));
  if (!line.program.IsFormName(form)) return line.Fail("no window " + form);
  line.program.Show(form);
  return true;
}

bool Close(Line& line) {
  std::string form(Trim(line.rest));
  if (!line.program.IsFormName(form)) return line.Fail("no window " + form);
  if (ui::Form* f = line.program.Loaded(form)) line.program.Close(*f);
  return true;
}

// --- answers for the dialogs to come ---------------------------------------------

bool Answer(Line& line) {
  std::string_view word = Trim(line.rest);
  if (word == "OK")
    line.host.QueueAnswer(ui::MessageAnswer::kOk);
  else if (word == "Cancel")
    line.host.QueueAnswer(ui::MessageAnswer::kCancel);
  else
    return line.Usage();
  return true;
}

// A path for the folder or file dialog to come, or "cancel".
bool QueuePath(Line& line, void (DriveHost::*queue)(std::optional<std::string>)) {
  std::string_view value = Trim(line.rest);
  if (value.empty()) return line.Usage();
  std::optional<std::string> answer;
  if (value != "cancel") answer = std::string(value);
  (line.host.*queue)(std::move(answer));
  return true;
}

bool Folder(Line& line) {
  return QueuePath(line, &DriveHost::QueueFolder);
}

bool File(Line& line) {
  return QueuePath(line, &DriveHost::QueueFile);
}

bool Icon(Line& line) {
  if (Trim(line.rest) == "cancel" || Trim(line.rest) == "unavailable") {
    line.host.QueueIcon({std::nullopt, Trim(line.rest) == "unavailable"});
    return true;
  }
  std::optional<int> n = Number(LastWord(line.rest));
  if (!n || line.rest.empty()) return line.Usage();
  line.host.QueueIcon({ui::IconChoice{std::string(line.rest), *n}});
  return true;
}

// --- what the user does to controls ----------------------------------------------

bool Click(Line& line) {
  std::string_view name = Trim(line.rest);
  if (ui::Control* c = line.Resolve(name)) {
    c->UserClick();
    return true;
  }
  // A tab of a tab strip: TabStrip1(i), tabs numbered from 1.
  std::size_t open = name.find('(');
  if (open != std::string_view::npos && name.back() == ')') {
    ui::Control* strip = line.Resolve(name.substr(0, open));
    std::optional<int> tab = Number(name.substr(open + 1, name.size() - open - 2));
    if (strip && strip->kind() == ui::Kind::kTabStrip && tab) {
      auto& tabs = static_cast<ui::TabStrip&>(*strip);
      if (*tab < 1 || *tab > static_cast<int>(tabs.tabs().size()))
        return line.Fail("no tab " + std::string(name));
      tabs.UserSelectTab(*tab);
      return true;
    }
  }
  return line.Fail("no control " + std::string(name));
}

bool Set(Line& line) {
  std::optional<bool> on = OnOff(LastWord(line.rest));
  if (!on) return line.Usage();
  ui::Control* c = line.Control(Trim(line.rest));
  if (!c) return false;
  if (c->kind() == ui::Kind::kCheckBox) {
    if (static_cast<ui::CheckBox*>(c)->ticked() != *on) c->UserClick();
  } else if (c->kind() == ui::Kind::kOptionButton) {
    auto* option = static_cast<ui::OptionButton*>(c);
    if (*on && !option->selected()) option->UserClick();
    if (!*on && option->selected()) option->set_selected(false);
  } else {
    return line.WrongKind(*c, "a check box or option button");
  }
  return true;
}

// What type types: the line as written, each ¶ one line break (CR LF) of a
// multi-line text box.
std::string TypedText(std::string_view written) {
  static constexpr std::string_view kLineBreak = "¶";
  std::string text;
  for (std::size_t at; (at = written.find(kLineBreak)) != std::string_view::npos;) {
    text.append(written.substr(0, at)).append("\r\n");
    written.remove_prefix(at + kLineBreak.size());
  }
  return text.append(written);
}

bool Type(Line& line) {
  ui::Control* c = line.Control(NextWord(line.rest));
  if (!c) return false;
  std::string text = TypedText(line.rest);
  if (c->kind() == ui::Kind::kTextBox)
    static_cast<ui::TextBox*>(c)->UserType(text);
  else if (c->kind() == ui::Kind::kComboBox)
    static_cast<ui::ComboBox*>(c)->UserType(text);
  else
    return line.WrongKind(*c, "a text box or combo box");
  return true;
}

bool Slide(Line& line) {
  std::optional<int> n = Number(LastWord(line.rest));
  if (!n) return line.Usage();
  ui::Control* c = line.Control(Trim(line.rest));
  if (!c) return false;
  if (c->kind() != ui::Kind::kSlider) return line.WrongKind(*c, "a slider");
  static_cast<ui::Slider*>(c)->UserSlide(*n);
  return true;
}

// The list view the rest of the line names, when it has row r (from 1).
ui::ListView* ListWithRow(Line& line, int r) {
  ui::Control* c = line.Control(Trim(line.rest));
  if (!c) return nullptr;
  if (c->kind() != ui::Kind::kListView) {
    line.WrongKind(*c, "a list view");
    return nullptr;
  }
  auto* list = static_cast<ui::ListView*>(c);
  if (r < 1 || r > list->count()) {
    line.Fail("no row " + std::to_string(r));
    return nullptr;
  }
  return list;
}

bool Row(Line& line) {
  std::optional<bool> on = OnOff(LastWord(line.rest));
  std::optional<int> r = Number(LastWord(line.rest));
  if (!on || !r) return line.Usage();
  ui::ListView* list = ListWithRow(line, *r);
  if (!list) return false;
  list->UserCheckRow(*r - 1, *on);
  return true;
}

bool RowClick(Line& line) {
  std::optional<int> r = Number(LastWord(line.rest));
  if (!r) return line.Usage();
  ui::ListView* list = ListWithRow(line, *r);
  if (!list) return false;
  list->UserClickRow(*r - 1);
  return true;
}

// The index of the item of list that reads text; -1, failing, when there is none.
int ItemOf(Line& line, const ui::ListBox& list, const std::string& text) {
  int i = list.Find(text);
  if (i < 0) line.Fail("no item " + text);
  return i;
}

bool Item(Line& line) {
  std::optional<bool> on = OnOff(LastWord(line.rest));
  if (!on) return line.Usage();
  ui::Control* c = line.Control(NextWord(line.rest));
  if (!c) return false;
  if (c->kind() != ui::Kind::kListBox) return line.WrongKind(*c, "a list box");
  auto* list = static_cast<ui::ListBox*>(c);
  int i = ItemOf(line, *list, std::string(Trim(line.rest)));
  if (i < 0) return false;
  list->UserSetItem(i, *on);
  return true;
}

bool Pick(Line& line) {
  ui::Control* c = line.Control(NextWord(line.rest));
  if (!c) return false;
  std::string text(line.rest);
  if (c->kind() == ui::Kind::kListBox) {
    auto* list = static_cast<ui::ListBox*>(c);
    int i = ItemOf(line, *list, text);
    if (i < 0) return false;
    list->UserClickItem(i);
  } else if (c->kind() == ui::Kind::kComboBox) {
    if (!static_cast<ui::ComboBox*>(c)->UserPick(text)) return line.Fail("no entry " + text);
  } else {
    return line.WrongKind(*c, "a combo box or list box");
  }
  return true;
}

// A timer's work to its end: fires it, as time passing would, until it stops.
bool Wait(Line& line) {
  ui::Control* c = line.Control(Trim(line.rest));
  if (!c) return false;
  if (c->kind() != ui::Kind::kTimer) return line.WrongKind(*c, "a timer");
  auto& timer = static_cast<ui::Timer&>(*c);
  for (int i = 0; i < 1000000 && timer.running() && !line.program.ended(); ++i) {
    timer.Fire();
    line.program.RunPosted();
  }
  if (timer.running()) return line.Fail(std::string(Trim(line.rest)) + " never stops");
  return true;
}

// --- what the scenario checks ----------------------------------------------------

bool Print(Line& line) {
  std::string_view name = Trim(line.rest);
  if (ui::Form* form = line.program.Loaded(name)) {
    line.out << name << " = " << State(*form) << '\n' << std::flush;
    return true;
  }
  ui::Control* c = line.Control(name);
  if (!c) return false;
  line.out << name << " = " << State(*c) << '\n' << std::flush;
  return true;
}

bool Rows(Line& line) {
  std::string_view name = Trim(line.rest);
  ui::Control* c = line.Control(name);
  if (!c) return false;
  auto row = [&](int r, bool mark, const std::string& text) {
    line.out << name << '[' << r << "] = " << (mark ? "[x] " : "[ ] ") << text << '\n';
  };
  if (c->kind() == ui::Kind::kListView) {
    const auto& list = static_cast<const ui::ListView&>(*c);
    for (int i = 0; i < list.count(); ++i) {
      std::string cells;
      for (std::size_t k = 0; k < list.row(i).cell_count(); ++k) {
        if (k) cells += " | ";
        cells += OneLine(list.row(i).cell(k));
      }
      row(i + 1, list.row(i).checked, cells);
    }
  } else if (c->kind() == ui::Kind::kListBox) {
    const auto& list = static_cast<const ui::ListBox&>(*c);
    for (int i = 0; i < list.count(); ++i) {
      row(i + 1, list.selected(i), OneLine(list.items()[static_cast<std::size_t>(i)].text));
    }
  } else if (c->kind() == ui::Kind::kComboBox) {
    const auto& combo = static_cast<const ui::ComboBox&>(*c);
    for (std::size_t i = 0; i < combo.items().size(); ++i) {
      row(static_cast<int>(i) + 1, combo.list_index() == static_cast<int>(i),
          OneLine(combo.items()[i]));
    }
  } else {
    return line.WrongKind(*c, "a list view, list box or combo box");
  }
  line.out << std::flush;
  return true;
}

// The change journal: "history" lists the actions newest first, "history N"
// shows action N's changes, "undo N" undoes it.
std::optional<store::JournalRecord> Action(Line& line, services::ChangeHistory& history) {
  std::string_view word = Trim(line.rest);
  int n = 0;
  if (word.empty() || word.find_first_not_of("0123456789") != std::string_view::npos ||
      (n = std::stoi(std::string(word))) < 1) {
    line.Usage();
    return std::nullopt;
  }
  std::vector<store::JournalRecord> actions = history.Actions();
  if (static_cast<std::size_t>(n) > actions.size()) {
    line.Fail("no action " + std::string(word));
    return std::nullopt;
  }
  return actions[static_cast<std::size_t>(n) - 1];
}

bool History(Line& line) {
  services::ChangeHistory history(line.program);
  if (Trim(line.rest).empty()) {
    int n = 0;
    for (const store::JournalRecord& action : history.Actions())
      line.out << services::ChangeHistory::Summary(action, ++n) << '\n';
    line.out << std::flush;
    return true;
  }
  std::optional<store::JournalRecord> action = Action(line, history);
  if (!action) return false;
  for (const std::string& change : services::ChangeHistory::Changes(*action))
    line.out << OneLine(change) << '\n';
  line.out << std::flush;
  return true;
}

bool Undo(Line& line) {
  services::ChangeHistory history(line.program);
  std::optional<store::JournalRecord> action = Action(line, history);
  if (!action) return false;
  history.Undo(*action);
  return true;
}

// The command language. A command is a row: its name, what a line whose words do
// not fit reports (empty when any words will do), its function, and whether the
// program then runs what it posted, as it would after a real event.
struct Command {
  std::string_view name;
  std::string_view usage;
  bool (*run)(Line& line);
  bool settles;
};

constexpr Command kCommands[] = {
    {"start", "start takes nothing", Start, true},
    {"exit", "", Exit, true},
    {"open", "", Open, true},
    {"close", "", Close, true},
    {"answer", "answer OK or Cancel", Answer, false},
    {"folder", "folder needs a path or cancel", Folder, false},
    {"file", "file needs a path or cancel", File, false},
    {"icon", "icon FILE INDEX, icon cancel or icon unavailable", Icon, false},
    {"click", "", Click, true},
    {"set", "set NAME on|off", Set, true},
    {"type", "", Type, true},
    {"slide", "slide NAME N", Slide, true},
    {"row", "row NAME R on|off", Row, true},
    {"rowclick", "rowclick NAME R", RowClick, true},
    {"item", "item NAME TEXT on|off", Item, true},
    {"pick", "", Pick, true},
    {"wait", "", Wait, true},
    {"print", "", Print, false},
    {"rows", "", Rows, false},
    {"history", "history or history N", History, false},
    {"undo", "undo N", Undo, true},
};

}  // namespace

int ScenarioRunner::Run(std::istream& in) {
  std::string line;
  while (std::getline(in, line)) {
    std::string error;
    // Each line is one user action, as a host runs it.
    bool ok = true;
    program_.Act([&] { ok = RunLine(line, error); });
    if (!ok) {
      out_ << "error: " << error << '\n' << std::flush;
      return 2;
    }
  }
  return 0;
}

bool ScenarioRunner::RunLine(std::string_view raw, std::string& error) {
  // Only the line end goes: the text a "type" or "pick" ends with may end in blanks.
  std::string_view text = raw;
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  if (text.empty() || text.front() == '#') return true;
  std::string_view rest = text;
  std::string_view name = NextWord(rest);
  for (const Command& command : kCommands) {
    if (command.name != name) continue;
    Line line{program_, host_, out_, rest, command.usage, error};
    if (!command.run(line)) return false;
    if (command.settles) program_.RunPosted();
    return true;
  }
  error = "unknown command " + std::string(name);
  return false;
}

}  // namespace korvanta::drive
