// The settings-table engine on a real machine (a fresh prefix in the Linux
// build, the Wine machine itself in the Windows build): the loose comparisons
// of its load, the empty-box rule of its apply, its orders, and the load order
// of pages. What each row kind writes is checked by the pages' scenarios.

#include "services/settings_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "services/page.h"
#include "store/machine.h"
#include "support/test_machine.h"
#include "ui/controls.h"
#include "ui/declare.h"

namespace korvanta::services {
namespace {

constexpr auto kHkcu = store::RegRoot::kCurrentUser;
constexpr const char* kKey = "Software\\KorvantaTableTest";

class SettingsTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_ = test::OpenTestMachine(dir_);
    reg().DeleteValue(kHkcu, kKey, "v");
    reg().DeleteValue(kHkcu, kKey, "caption");
    ui::Place<ui::CheckBox>(form_, "Check1", {});
    ui::Place<ui::TextBox>(form_, "Text1", {});
  }
  void TearDown() override { reg().DeleteKey(kHkcu, kKey); }

  store::Registry& reg() { return machine_->reg(); }
  ui::CheckBox& box() { return *form_.Get<ui::CheckBox>("Check1"); }
  ui::TextBox& text() { return *form_.Get<ui::TextBox>("Text1"); }
  // The stored value as its type and bytes, or nothing when absent.
  std::optional<store::RegData> Stored(const std::string& name = "v") {
    store::RegistryBackend& backend = machine_->backend().registry();
    store::KeyHandle key;
    if (backend.OpenKey(kHkcu, kKey, store::kKeyRead, key) != store::kSuccess) return std::nullopt;
    store::RegData data;
    store::Status s = backend.QueryValue(key, name, data);
    backend.CloseKey(key);
    if (s != store::kSuccess) return std::nullopt;
    return data;
  }
  void Store(std::uint32_t type, std::string bytes) {
    ASSERT_EQ(reg().SetRawValue(kHkcu, kKey, "v", type, bytes), store::kSuccess);
  }
  SettingsTable Table(std::vector<SettingRow> rows) { return {reg(), form_, std::move(rows)}; }

  test::TempDir dir_;
  std::unique_ptr<store::Machine> machine_;
  ui::Form form_{"Formtest"};
};

CheckRow Row() {
  CheckRow row;
  row.at = {.load = 1, .apply = 1};
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
    store::Variant start, match;
    bool when_equal;
    bool ticked;
  };
  const std::string kOne("\x01\0\0\0", 4), kZero("\0\0\0\0", 4);
  const Case cases[] = {
      {"dword 1 ticks", store::kRegDword, kOne, false, {}, 1, true, true},
      {"the text 1 equals the number",
       store::kRegSz,
       std::string("1\0", 2),
       false,
       {},
       1,
       true,
       true},
      {"the text 1.0 equals the number",
       store::kRegSz,
       std::string("1.0\0", 4),
       false,
       {},
       1,
       true,
       true},
      {"a binary 0 equals 0", store::kRegBinary, kZero, false, 1, 0, true, true},
      {"a binary 1 is not 0", store::kRegBinary, kOne, false, 1, 0, true, false},
      {"absent: the start 1 is not 0", store::kRegNone, "", false, 1, 0, true, false},
      {"absent: an empty start equals 0", store::kRegNone, "", false, {}, 0, true, true},
      {"absent: an empty start equals \"\"",
       store::kRegNone,
       "",
       true,
       {},
       store::Variant(""),
       true,
       false},
      {"a text differs from \"\"",
       store::kRegSz,
       std::string("x\0", 2),
       false,
       {},
       store::Variant(""),
       false,
       true},
      {"the text 0 differs from \"\"",
       store::kRegSz,
       std::string("0\0", 2),
       false,
       {},
       store::Variant(""),
       false,
       true},
      {"the text abc is not 0", store::kRegSz, std::string("abc\0", 4), false, {}, 0, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reg().DeleteValue(kHkcu, kKey, "v");
    if (c.type != store::kRegNone) Store(c.type, c.bytes);
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

TEST_F(SettingsTableTest, AnEmptyBoxNeverCreatesAnAbsentValue) {
  CheckRow row = Row();
  row.text_box = "Text1";
  row.type = store::kRegSz;
  row.unticked = RowAction::kNothing;
  row.companion = "caption";
  row.companion_data = store::Variant("警告");
  box().set_ticked(true);
  text().set_text("");
  Table({row}).Apply();
  EXPECT_FALSE(Stored());
  EXPECT_FALSE(Stored("caption"));
  // A value that is there is emptied as the user asked.
  ASSERT_EQ(reg().SetValue(kHkcu, kKey, "v", store::kRegSz, store::Variant("旧")), store::kSuccess);
  Table({row}).Apply();
  ASSERT_TRUE(Stored());
  store::Variant read;
  reg().QueryValue(kHkcu, kKey, "v", read);
  EXPECT_EQ(read.ToText(), "");
}

TEST_F(SettingsTableTest, RowsRunByTheirPlacesAndLookupsRefuseOtherKinds) {
  std::vector<std::string> ran;
  auto hook = [&](std::string name, Places at) {
    return HookRow{.at = at,
                   .name = name,
                   .load = [&ran, name] { ran.push_back("load " + name); },
                   .apply = [&ran, name] { ran.push_back("apply " + name); }};
  };
  SettingsTable table =
      Table({hook("a", {.load = 2, .apply = 2}), hook("b", {.load = 1, .apply = kNever}),
             hook("c", {.load = 0, .apply = 1})});
  table.Load(1);
  table.Apply();
  table.Load(0, 0);
  EXPECT_EQ(ran, (std::vector<std::string>{"load b", "load a", "apply c", "apply a", "load c"}));
  EXPECT_EQ(table.Misplaced(), std::vector<std::string>{});
  // A row left out of an order, or sharing its place, is named once per order.
  EXPECT_EQ(Table({hook("a", {.load = 1, .apply = 1}), hook("b", {.load = 1, .apply = kNever}),
                   hook("c", {.apply = 2})})
                .Misplaced(),
            (std::vector<std::string>{"a", "b", "c"}));

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
}  // namespace korvanta::services
