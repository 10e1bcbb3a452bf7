#include "drive/scenario.h"

#include <charconv>

#include "app/formmain.h"
#include "app/forms.h"
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

bool Fail(std::string& error, std::string message) {
  error = std::move(message);
  return false;
}

std::string Quoted(std::string_view text) {
  return std::string(kOpenQuote) + OneLine(text) + std::string(kCloseQuote);
}

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

ui::Form* ScenarioRunner::FrontWindow() const {
  return host_.recent().empty() ? nullptr : host_.recent().back();
}

ui::Control* ScenarioRunner::ResolveCaption(std::string_view caption) {
  app::Formmain* main = dynamic_cast<app::Formmain*>(program_.main());
  auto on_main = [&]() -> ui::Control* {
    if (!main) return nullptr;
    if (ui::Control* c = main->FindByCaption(caption, main->Picture1[main->current_page()]))
      return c;
    return main->FindByCaption(caption);
  };
  ui::Form* front = FrontWindow();
  if (front && front != main) {
    if (ui::Control* c = front->FindByCaption(caption)) return c;
  }
  return on_main();
}

ui::Control* ScenarioRunner::Resolve(std::string_view name) {
  if (name.size() > kOpenQuote.size() + kCloseQuote.size() &&
      name.substr(0, kOpenQuote.size()) == kOpenQuote &&
      name.substr(name.size() - kCloseQuote.size()) == kCloseQuote) {
    return ResolveCaption(
        name.substr(kOpenQuote.size(), name.size() - kOpenQuote.size() - kCloseQuote.size()));
  }
  const auto& recent = host_.recent();
  for (auto it = recent.rbegin(); it != recent.rend(); ++it) {
    if (ui::Control* c = (*it)->FindById(name)) return c;
  }
  if (ui::Form* main = program_.main()) return main->FindById(name);
  return nullptr;
}

std::string ScenarioRunner::State(const ui::Control& c) const {
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
    default:
      s = Quoted(c.caption());
      break;
  }
  if (!c.enabled()) s += " (disabled)";
  if (!c.visible()) s += " (hidden)";
  return s;
}

bool ScenarioRunner::RunLine(std::string_view raw, std::string& error) {
  // Only the line end goes: the text a "type" or "pick" ends with may end in blanks.
  std::string_view line = raw;
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  if (line.empty() || line.front() == '#') return true;
  std::string_view rest = line;
  std::string command(NextWord(rest));

  auto control = [&](std::string_view name) -> ui::Control* {
    ui::Control* c = Resolve(name);
    if (!c) error = "no control " + std::string(name);
    return c;
  };
  auto wrong_kind = [&](const ui::Control& c, std::string_view what) {
    error = c.id() + " is a " + std::string(ui::KindName(c.kind())) + ", not " + std::string(what);
    return false;
  };
  auto done = [&] {
    program_.RunPosted();
    return true;
  };

  if (command == "start") {
    if (!Trim(rest).empty()) return Fail(error, "start takes nothing");
    app::OpenMainWindow(program_);
    return done();
  }
  if (command == "exit") {
    app::Formmain* main = dynamic_cast<app::Formmain*>(program_.main());
    if (!main) return Fail(error, "the main window is not loaded");
    main->Commandend.UserClick();
    return done();
  }
  if (command == "open" || command == "close") {
    std::string form(Trim(rest));
    if (!program_.IsFormName(form)) return Fail(error, "no window " + form);
    if (command == "open") {
      program_.Show(form);
    } else if (ui::Form* f = program_.Loaded(form)) {
      program_.Close(*f);
    }
    return done();
  }
  if (command == "answer") {
    std::string_view word = Trim(rest);
    if (word == "OK")
      host_.QueueAnswer(ui::MessageAnswer::kOk);
    else if (word == "Cancel")
      host_.QueueAnswer(ui::MessageAnswer::kCancel);
    else
      return Fail(error, "answer OK or Cancel");
    return true;
  }
  if (command == "folder" || command == "file") {
    std::string_view value = Trim(rest);
    if (value.empty()) return Fail(error, command + " needs a path or cancel");
    std::optional<std::string> answer;
    if (value != "cancel") answer = std::string(value);
    if (command == "folder")
      host_.QueueFolder(answer);
    else
      host_.QueueFile(answer);
    return true;
  }
  if (command == "icon") {
    if (Trim(rest) == "cancel") {
      host_.QueueIcon(std::nullopt);
      return true;
    }
    std::string_view index = LastWord(rest);
    std::optional<int> n = Number(index);
    if (!n || rest.empty()) return Fail(error, "icon FILE INDEX or icon cancel");
    host_.QueueIcon(ui::IconChoice{std::string(rest), *n});
    return true;
  }

  if (command == "click") {
    std::string_view name = Trim(rest);
    ui::Control* c = Resolve(name);
    if (!c) {
      // A tab of a tab strip: TabStrip1(i), tabs numbered from 1.
      std::size_t open = name.find('(');
      if (open != std::string_view::npos && name.back() == ')') {
        ui::Control* strip = Resolve(name.substr(0, open));
        std::optional<int> tab = Number(name.substr(open + 1, name.size() - open - 2));
        if (strip && strip->kind() == ui::Kind::kTabStrip && tab) {
          auto& tabs = static_cast<ui::TabStrip&>(*strip);
          if (*tab < 1 || *tab > static_cast<int>(tabs.tabs().size())) {
            return Fail(error, "no tab " + std::string(name));
          }
          tabs.UserSelectTab(*tab);
          return done();
        }
      }
      return Fail(error, "no control " + std::string(name));
    }
    c->UserClick();
    return done();
  }
  if (command == "set") {
    std::optional<bool> on = OnOff(LastWord(rest));
    if (!on) return Fail(error, "set NAME on|off");
    ui::Control* c = control(Trim(rest));
    if (!c) return false;
    if (c->kind() == ui::Kind::kCheckBox) {
      if (static_cast<ui::CheckBox*>(c)->ticked() != *on) c->UserClick();
    } else if (c->kind() == ui::Kind::kOptionButton) {
      auto* option = static_cast<ui::OptionButton*>(c);
      if (*on && !option->selected()) option->UserClick();
      if (!*on && option->selected()) option->set_selected(false);
    } else {
      return wrong_kind(*c, "a check box or option button");
    }
    return done();
  }
  if (command == "type") {
    ui::Control* c = control(NextWord(rest));
    if (!c) return false;
    std::string text(rest);
    if (c->kind() == ui::Kind::kTextBox)
      static_cast<ui::TextBox*>(c)->UserType(text);
    else if (c->kind() == ui::Kind::kComboBox)
      static_cast<ui::ComboBox*>(c)->UserType(text);
    else
      return wrong_kind(*c, "a text box or combo box");
    return done();
  }
  if (command == "slide") {
    std::optional<int> n = Number(LastWord(rest));
    if (!n) return Fail(error, "slide NAME N");
    ui::Control* c = control(Trim(rest));
    if (!c) return false;
    if (c->kind() != ui::Kind::kSlider) return wrong_kind(*c, "a slider");
    static_cast<ui::Slider*>(c)->UserSlide(*n);
    return done();
  }
  if (command == "row" || command == "rowclick") {
    std::optional<bool> on = true;
    if (command == "row") on = OnOff(LastWord(rest));
    std::optional<int> r = Number(LastWord(rest));
    if (!on || !r) return Fail(error, command == "row" ? "row NAME R on|off" : "rowclick NAME R");
    ui::Control* c = control(Trim(rest));
    if (!c) return false;
    if (c->kind() != ui::Kind::kListView) return wrong_kind(*c, "a list view");
    auto* list = static_cast<ui::ListView*>(c);
    if (*r < 1 || *r > list->count()) return Fail(error, "no row " + std::to_string(*r));
    if (command == "row")
      list->UserCheckRow(*r - 1, *on);
    else
      list->UserClickRow(*r - 1);
    return done();
  }
  if (command == "item" || command == "pick") {
    std::optional<bool> on = true;
    if (command == "item") on = OnOff(LastWord(rest));
    if (!on) return Fail(error, "item NAME TEXT on|off");
    ui::Control* c = control(NextWord(rest));
    if (!c) return false;
    std::string text(command == "item" ? Trim(rest) : rest);
    if (c->kind() == ui::Kind::kListBox) {
      auto* list = static_cast<ui::ListBox*>(c);
      int i = list->Find(text);
      if (i < 0) return Fail(error, "no item " + text);
      if (command == "item")
        list->UserSetItem(i, *on);
      else
        list->UserClickItem(i);
    } else if (c->kind() == ui::Kind::kComboBox && command == "pick") {
      if (!static_cast<ui::ComboBox*>(c)->UserPick(text)) return Fail(error, "no entry " + text);
    } else {
      return wrong_kind(*c, command == "item" ? "a list box" : "a combo box or list box");
    }
    return done();
  }
  if (command == "print") {
    std::string_view name = Trim(rest);
    if (ui::Form* form = program_.Loaded(name)) {
      out_ << name << " = " << State(*form) << '\n' << std::flush;
      return true;
    }
    ui::Control* c = control(name);
    if (!c) return false;
    out_ << name << " = " << State(*c) << '\n' << std::flush;
    return true;
  }
  if (command == "rows") {
    std::string_view name = Trim(rest);
    ui::Control* c = control(name);
    if (!c) return false;
    auto row = [&](int r, bool mark, const std::string& text) {
      out_ << name << '[' << r << "] = " << (mark ? "[x] " : "[ ] ") << text << '\n';
    };
    if (c->kind() == ui::Kind::kListView) {
      const auto& list = static_cast<const ui::ListView&>(*c);
      for (int i = 0; i < list.count(); ++i) {
        std::string cells;
        for (std::size_t k = 0; k < list.row(i).cells.size(); ++k) {
          if (k) cells += " | ";
          cells += OneLine(list.row(i).cells[k]);
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
      return wrong_kind(*c, "a list view, list box or combo box");
    }
    out_ << std::flush;
    return true;
  }
  error = "unknown command " + command;
  return false;
}

}  // namespace korvanta::drive
