// Which machine korvanta works on, with real folders: the command line, then
// WINEPREFIX, then ~/.wine, then the demo machine made once from its template.

#include "store/portable/machine_choice.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace korvanta {
namespace {
namespace fs = std::filesystem;

class MachineChoiceTest : public ::testing::Test {
 protected:
  MachineChoiceTest() {
    home_ = dir_.path() / "home";
    fs::create_directories(home_);
    templ_ = dir_.path() / "share" / "machine";
    test::WriteBytes(templ_ / "system.reg", "WINE REGISTRY Version 2\n");
    test::WriteBytes(templ_ / "drive_c" / "WINDOWS" / "win.ini", "[windows]\r\n");
    fs::create_directories(templ_ / "dosdevices");
    fs::create_symlink("../drive_c", templ_ / "dosdevices" / "c:");
    env_.home = home_.string();
  }
  store::MachineChoiceResult Choose(std::optional<fs::path> command_line = std::nullopt) {
    return store::ChooseMachine(command_line, env_, {dir_.path() / "missing", templ_});
  }

  test::TempDir dir_;
  fs::path home_, templ_;
  store::MachineEnvironment env_;
};

TEST_F(MachineChoiceTest, TheFirstRuleThatAppliesWins) {
  fs::path given = dir_.path() / "given";
  fs::path prefix = dir_.path() / "prefix";
  fs::create_directories(given);
  fs::create_directories(prefix);
  fs::create_directories(home_ / ".wine");
  env_.wineprefix = prefix.string();

  store::MachineChoiceResult r = Choose(given);
  ASSERT_TRUE(r.choice) << r.error;
  EXPECT_EQ(r.choice->folder, given);
  EXPECT_EQ(r.choice->source, store::MachineSource::kCommandLine);

  r = Choose();
  ASSERT_TRUE(r.choice) << r.error;
  EXPECT_EQ(r.choice->folder, prefix);
  EXPECT_EQ(r.choice->source, store::MachineSource::kWinePrefix);

  env_.wineprefix.reset();
  r = Choose();
  ASSERT_TRUE(r.choice) << r.error;
  EXPECT_EQ(r.choice->folder, home_ / ".wine");
  EXPECT_EQ(r.choice->source, store::MachineSource::kHomeWine);

  fs::remove(home_ / ".wine");
  r = Choose();
  ASSERT_TRUE(r.choice) << r.error;
  EXPECT_EQ(r.choice->source, store::MachineSource::kDemo);
  EXPECT_FALSE(fs::exists(dir_.path() / "given" / "system.reg")) << "nothing is made elsewhere";
}

TEST_F(MachineChoiceTest, NamedFoldersThatAreNotThereAreErrors) {
  store::MachineChoiceResult r = Choose(dir_.path() / "nowhere");
  EXPECT_FALSE(r.choice);
  EXPECT_NE(r.error.find("nowhere"), std::string::npos);
  env_.wineprefix = (dir_.path() / "no-prefix").string();
  r = Choose();
  EXPECT_FALSE(r.choice) << "a WINEPREFIX that is not there is not silently replaced";
  EXPECT_NE(r.error.find("WINEPREFIX"), std::string::npos);
}

TEST_F(MachineChoiceTest, TheDemoMachineIsMadeOnceFromTheTemplate) {
  store::MachineChoiceResult r = Choose();
  ASSERT_TRUE(r.choice) << r.error;
  fs::path demo = home_ / ".local" / "share" / "korvanta" / "machine";
  EXPECT_EQ(r.choice->folder, demo);
  EXPECT_TRUE(r.choice->created);
  EXPECT_EQ(test::ReadBytes(demo / "drive_c" / "WINDOWS" / "win.ini"), "[windows]\r\n");
  ASSERT_TRUE(fs::is_symlink(demo / "dosdevices" / "c:")) << "links stay links";
  EXPECT_EQ(fs::read_symlink(demo / "dosdevices" / "c:"), "../drive_c");
  EXPECT_TRUE(fs::exists(demo / "dosdevices" / "c:" / "WINDOWS" / "win.ini"));

  // The user's changes stay: the next start uses the machine as it is.
  test::WriteBytes(demo / "system.reg", "changed");
  r = Choose();
  ASSERT_TRUE(r.choice) << r.error;
  EXPECT_FALSE(r.choice->created);
  EXPECT_EQ(test::ReadBytes(demo / "system.reg"), "changed");
  for (const auto& e : fs::directory_iterator(demo.parent_path())) {
    EXPECT_EQ(e.path().filename(), "machine") << "no partial copy left behind";
  }
}

TEST_F(MachineChoiceTest, XdgDataHomeHoldsTheDemoMachineWhenAbsolute) {
  env_.xdg_data_home = (dir_.path() / "data").string();
  EXPECT_EQ(store::DemoMachineFolder(env_), dir_.path() / "data" / "korvanta" / "machine");
  env_.xdg_data_home = "relative/data";
  EXPECT_EQ(store::DemoMachineFolder(env_), home_ / ".local" / "share" / "korvanta" / "machine");
  env_.home.reset();
  EXPECT_FALSE(store::DemoMachineFolder(env_));
  EXPECT_FALSE(Choose().choice);
}

TEST_F(MachineChoiceTest, WithoutATemplateThereIsNoDemoMachine) {
  store::MachineChoiceResult r =
      store::ChooseMachine(std::nullopt, env_, {dir_.path() / "missing"});
  EXPECT_FALSE(r.choice);
  EXPECT_NE(r.error.find("missing"), std::string::npos) << "it says where it looked";
  EXPECT_FALSE(fs::exists(home_ / ".local" / "share" / "korvanta" / "machine"));
}

TEST_F(MachineChoiceTest, TheEnvironmentIsReadAsTheProgramSeesIt) {
  test::ScopedEnv wineprefix("WINEPREFIX", "/some/prefix");
  test::ScopedEnv data_home("XDG_DATA_HOME", "");
  store::MachineEnvironment env = store::MachineEnvironment::FromProcess();
  EXPECT_EQ(env.wineprefix, "/some/prefix");
  EXPECT_FALSE(env.xdg_data_home) << "empty is unset";
  {
    test::ScopedEnv no_wineprefix("WINEPREFIX");
    test::ScopedEnv no_home("HOME");
    env = store::MachineEnvironment::FromProcess();
    EXPECT_FALSE(env.wineprefix);
    EXPECT_TRUE(env.home) << "the password database knows the home folder";
  }
}

}  // namespace
}  // namespace korvanta
