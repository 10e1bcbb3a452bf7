// The settings-table engine on a real machine (a fresh prefix in the Linux
// build, the Wine machine itself in the Windows build): its load and apply
// rules, and the load order of pages.

#include "services/settings_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "services/page.h"
#include "store/machine.h"
#include "support/test_support.h"
#include "ui/controls.h"
#include "ui/declare.h"

#ifdef _WIN32
#include "store/win32/machine_win32.h"
#else
#include "store/portable/machine_portable.h"
#endif

namespace korvanta::app {
namespace {

constexpr auto kHkcu = RegRoot::kCurrentUser;
constexpr const char* kKey = "Software\\KorvantaTableTest";

class SettingsTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    machine_ = std::make_unique<Machine>(OpenLiveMachine(dir_.path().string()));
#else
    machine_ = std::make_unique<Machine>(OpenMachineFolder(test::CopyFreshPrefix(dir_.path())));
#endif
    reg().DeleteValue(kHkcu, kKey, "v");
    reg().DeleteValue(kHkcu, kKey, "caption");
    form_.set_visible(true);  // what a user can click
    ui::Place<ui::CheckBox>(form_, "Check1", {});
    ui::Place<ui::TextBox>(form_, "Text1", {});
    ui::Place<ui::Slider>(form_, "Slider1", {}).set_range(0, 1000, 1, 10, 100);
    ui::Place<ui::Label>(form_, "Label1", {});
    ui::Place<ui::OptionButton>(form_, "Option1", {});
    ui::Place<ui::OptionButton>(form_, "Option2", {});
  }
  void TearDown() override {
    reg().DeleteKey(kHkcu, kKey);
  }

  Registry& reg() {
    return machine_->reg();
  }
  ui::CheckBox& box() {
    return *form_.Get<ui::CheckBox>("Check1");
  }
  ui::TextBox& text() {
    return *form_.Get<ui::TextBox>("Text1");
  }
  // The stored value as its type and bytes, or nothing when absent.
  std::optional<RegData> Stored(const std::string& name = "v") {
    RegistryBackend& backend = machine_->backend().registry();
    KeyHandle key;
    if (backend.OpenKey(kHkcu, kKey, kKeyRead, key) != kSuccess) return std::nullopt;
    RegData data;
    Status s = backend.QueryValue(key, name, data);
    backend.CloseKey(key);
    if (s != kSuccess) return std::nullopt;
    return data;
  }
  void Store(std::uint32_t type, std::string bytes) {
    ASSERT_EQ(reg().SetRawValue(kHkcu, kKey, "v", type, bytes), kSuccess);
  }
  SettingsTable Table(std::vector<SettingRow> rows) {
    return {reg(), form_, std::move(rows)};
  }

  test::TempDir dir_;
  std::unique_ptr<Machine> machine_;
  ui::Form form_{"Formtest"};
};

CheckRow Row() {
  CheckRow row;
  row.control = "Check1";
  row.value = {kHkcu, kKey, "v"};
  return row;
}

TEST_F(SettingsTableTest, LoadComparesLooselyAndKeepsTheStartForAbsentValues) {
  struct Case {
    const char* what;
    std::uint32_t type;  // kRegNone: the value is absent
    std::string bytes;
    bool starts_ticked;
    Variant start, match;
    bool when_equal;
    bool ticked;
  };
  const std::string kOne("\x01\0\0\0", 4), kZero("\0\0\0\0", 4);
  const Case cases[] = {
      {"dword 1 ticks", kRegDword, kOne, false, {}, 1, true, true},
      {"the text 1 equals the number", kRegSz, std::string("1\0", 2), false, {}, 1, true, true},
      {"the text 1.0 equals the number", kRegSz, std::string("1.0\0", 4), false, {}, 1, true, true},
      {"a binary 0 equals 0", kRegBinary, kZero, false, 1, 0, true, true},
      {"a binary 1 is not 0", kRegBinary, kOne, false, 1, 0, true, false},
      {"absent: the start 1 is not 0", kRegNone, "", false, 1, 0, true, false},
      {"absent: an empty start equals 0", kRegNone, "", false, {}, 0, true, true},
      {"absent: an empty start equals \"\"", kRegNone, "", true, {}, Variant(""), true, false},
      {"a text differs from \"\"",
       kRegSz,
       std::string("x\0", 2),
       false,
       {},
       Variant(""),
       false,
       true},
      {"the text 0 differs from \"\"",
       kRegSz,
       std::string("0\0", 2),
       false,
       {},
       Variant(""),
       false,
       true},
      {"the text abc is not 0", kRegSz, std::string("abc\0", 4), false, {}, 0, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reg().DeleteValue(kHkcu, kKey, "v");
    if (c.type != kRegNone) Store(c.type, c.bytes);
    CheckRow row = Row();
    row.starts_ticked = c.starts_ticked;
    row.start = c.start;
    row.match = c.match;
    row.match_when_equal = c.when_equal;
    box().set_ticked(!c.ticked);
    Table({row}).Load();
    EXPECT_EQ(box().ticked(), c.ticked);
  }
}

TEST_F(SettingsTableTest, TextBoxesFillAlwaysOrOnlyWhenTheValueMatches) {
  CheckRow row = Row();
  row.text_box = "Text1";
  row.type = kRegSz;
  row.start_text = "在此修改";
  row.match = Variant("");
  row.match_when_equal = false;
  row.fill_text = CheckRow::Text::kOnMatch;
  Table({row}).Load();
  EXPECT_FALSE(box().ticked());
  EXPECT_EQ(text().text(), "在此修改") << "an absent value keeps the starting text";
  ASSERT_EQ(reg().SetValue(kHkcu, kKey, "v", kRegSz, Variant("中文")), kSuccess);
  Table({row}).Load();
  EXPECT_TRUE(box().ticked());
  EXPECT_EQ(text().text(), "中文");
  row.fill_text = CheckRow::Text::kAlways;
  row.starts_ticked = true;
  row.match_when_equal = true;
  reg().DeleteValue(kHkcu, kKey, "v");
  Table({row}).Load();
  EXPECT_FALSE(box().ticked()) << "absent reads as \"\"";
  EXPECT_EQ(text().text(), "");
}

TEST_F(SettingsTableTest, ApplyWritesDeletesOrLeavesAlone) {
  CheckRow row = Row();
  row.type = kRegBinary;
  row.width = 4;
  row.ticked_data = 1;
  row.unticked = RowAction::kDeleteValue;
  box().set_ticked(true);
  Table({row}).Apply();
  auto stored = Stored();
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->type, kRegBinary);
  EXPECT_EQ(stored->bytes, std::string("\x01\0\0\0", 4)) << "REG_BINARY of the row's width";

  box().set_ticked(false);
  Table({row}).Apply();
  EXPECT_FALSE(Stored());
  KeyHandle key;
  EXPECT_EQ(reg().OpenKey(kHkcu, kKey, kKeyRead, key), kSuccess) << "the key stays";
  reg().CloseKey(key);

  row.unticked = RowAction::kNothing;
  Store(kRegDword, std::string("\x07\0\0\0", 4));
  Table({row}).Apply();
  EXPECT_EQ(Stored()->bytes, std::string("\x07\0\0\0", 4));

  row.unticked = RowAction::kDeleteKey;
  reg().DeleteValue(kHkcu, kKey, "v");
  Table({row}).Apply();
  EXPECT_EQ(reg().OpenKey(kHkcu, kKey, kKeyRead, key), kFileNotFound);
}

TEST_F(SettingsTableTest, CountedTextAndCompanionValues) {
  CheckRow row = Row();
  row.type = kRegCountedText;
  row.ticked_data = Variant("回收站");
  row.companion = "caption";
  row.companion_data = Variant("警告");
  box().set_ticked(true);
  Table({row}).Apply();
  Variant read, caption;
  EXPECT_EQ(reg().QueryValue(kHkcu, kKey, "v", read), kSuccess);
  EXPECT_EQ(read.ToText(), "回收站");
  ASSERT_TRUE(Stored());
  EXPECT_EQ(Stored()->type, kRegSz);
  EXPECT_EQ(reg().QueryValue(kHkcu, kKey, "caption", caption), kSuccess);
  EXPECT_EQ(caption.ToText(), "警告");
  box().set_ticked(false);
  Table({row}).Apply();
  EXPECT_FALSE(Stored());
  EXPECT_FALSE(Stored("caption")) << "the companion goes with the value";
}

TEST_F(SettingsTableTest, AnEmptyBoxNeverCreatesAnAbsentValue) {
  CheckRow row = Row();
  row.text_box = "Text1";
  row.type = kRegSz;
  row.unticked = RowAction::kNothing;
  row.companion = "caption";
  row.companion_data = Variant("警告");
  box().set_ticked(true);
  text().set_text("");
  Table({row}).Apply();
  EXPECT_FALSE(Stored());
  EXPECT_FALSE(Stored("caption"));
  // A value that is there is emptied as the user asked.
  ASSERT_EQ(reg().SetValue(kHkcu, kKey, "v", kRegSz, Variant("旧")), kSuccess);
  Table({row}).Apply();
  ASSERT_TRUE(Stored());
  Variant read;
  reg().QueryValue(kHkcu, kKey, "v", read);
  EXPECT_EQ(read.ToText(), "");
}

TEST_F(SettingsTableTest, SlidersRewriteWhatIsThereAndCreateOnlyAwayFromZero) {
  SliderRow row{"Slider1", "Label1", "当前选定值： ", " KB", {kHkcu, kKey, "v"}, 0, std::nullopt};
  BindSliderReadout(form_, row);
  auto& slider = *form_.Get<ui::Slider>("Slider1");
  auto& label = *form_.Get<ui::Label>("Label1");
  Table({row}).Load();
  EXPECT_EQ(slider.value(), 0);
  EXPECT_EQ(label.caption(), "当前选定值：  KB");
  Table({row}).Apply();
  EXPECT_FALSE(Stored()) << "absent and at 0: nothing written";
  slider.UserSlide(100);
  EXPECT_EQ(label.caption(), "当前选定值： 100 KB");
  Table({row}).Apply();
  ASSERT_TRUE(Stored());
  EXPECT_EQ(Stored()->type, kRegDword);

  ASSERT_EQ(reg().SetValue(kHkcu, kKey, "v", kRegSz, Variant("400")), kSuccess);
  Table({row}).Load();
  EXPECT_EQ(slider.value(), 400);
  EXPECT_EQ(label.caption(), "当前选定值： 400 KB");
  Table({row}).Apply();
  EXPECT_EQ(Stored()->type, kRegDword) << "a text is rewritten as the number";
  EXPECT_EQ(Stored()->bytes, std::string("\x90\x01\0\0", 4));
}

TEST_F(SettingsTableTest, OptionButtonsStandForValues) {
  OptionRow row{{{"Option1", Variant(1)}, {"Option2", Variant(3)}}, {kHkcu, kKey, "v"}};
  Store(kRegSz, std::string("3\0", 2));
  Table({row}).Load();
  EXPECT_TRUE(form_.Get<ui::OptionButton>("Option2")->selected());
  form_.Get<ui::OptionButton>("Option1")->UserClick();
  Table({row}).Apply();
  EXPECT_EQ(Stored()->bytes, std::string("\x01\0\0\0", 4));

  // A value no option stands for, or none, leaves the selection as it was.
  auto& first = *form_.Get<ui::OptionButton>("Option1");
  Store(kRegDword, std::string("\x07\0\0\0", 4));
  Table({row}).Load();
  EXPECT_TRUE(first.selected());
  reg().DeleteValue(kHkcu, kKey, "v");
  Table({row}).Load();
  EXPECT_TRUE(first.selected());
  first.set_selected(false);
  Table({row}).Apply();
  EXPECT_FALSE(Stored()) << "no option selected: nothing written";
}

TEST_F(SettingsTableTest, RowsRunInTheOrderGivenAndLookupsRefuseOtherKinds) {
  std::vector<std::string> ran;
  auto hook = [&](std::string name) {
    return HookRow{name, [&ran, name] { ran.push_back("load " + name); },
                   [&ran, name] { ran.push_back("apply " + name); }};
  };
  SettingsTable table = Table({hook("a"), hook("b"), hook("c")});
  constexpr std::string_view kOrder[] = {"c", "a"};
  table.Load();
  table.Apply(kOrder);
  EXPECT_EQ(ran, (std::vector<std::string>{"load a", "load b", "load c", "apply c", "apply a"}));

  EXPECT_EQ(form_.Get<ui::TextBox>("Check1"), nullptr);
  EXPECT_NE(form_.Get<ui::CheckBox>("Check1"), nullptr);
  CheckRow wrong = Row();
  wrong.control = "Text1";
  EXPECT_EQ(Table({wrong}).Unbound(), (std::vector<std::string>{"Text1"}));
}

// A page that notes when it fills.
class NotingPage final : public Page {
 public:
  NotingPage(std::string name, std::vector<LoadStep> steps, std::vector<std::string>& log)
      : name_(std::move(name)), steps_(std::move(steps)), log_(log) {}
  std::vector<LoadStep> steps() const override { return steps_; }
  void Fill(LoadStep step) override {
    log_.push_back(name_ + " " + std::to_string(static_cast<int>(step)));
  }

 private:
  std::string name_;
  std::vector<LoadStep> steps_;
  std::vector<std::string>& log_;
};

TEST(PageFills, RunInTheLoadOrderWhateverTheOrderOfThePages) {
  std::vector<std::string> log;
  NotingPage cleaner("cleaner", {LoadStep::kBackupList, LoadStep::kCleanerSettings}, log);
  NotingPage other("other", {LoadStep::kOtherSettings}, log);
  NotingPage security("security", {LoadStep::kDriveList, LoadStep::kSecurity}, log);
  NotingPage files("sysfiles", {LoadStep::kSystemFiles}, log);
  NotingPage personal("personal", {LoadStep::kPersonalisation, LoadStep::kInventory}, log);
  NotingPage inventory("inventory", {LoadStep::kInventory}, log);
  Page* pages[] = {&cleaner, &other, &security, &files, &personal, &inventory};
  FillPages(pages);
  EXPECT_EQ(log, (std::vector<std::string>{"personal 0", "inventory 0", "personal 1", "security 6",
                                           "security 7", "sysfiles 8", "other 9", "cleaner 10",
                                           "cleaner 11"}));
}

}  // namespace
}  // namespace korvanta::app
