// Settings Store conformance: the same expectations of both back ends.

#include <string>

#include "store/conformance.h"

namespace korvanta::test {
namespace {

using ProfileConformance = StoreTest;

TEST_F(ProfileConformance, ReadingAMissingFileGivesNothingAndCreatesNothing) {
  std::string file = File("set.ini");
  EXPECT_EQ(ini().INIReadKey("smset", "Xxsm", file, 100), "");
  EXPECT_FALSE(files().Stat(file).has_value());
}

TEST_F(ProfileConformance, WritesCreateTheFileAndKeepValuesWhole) {
  std::string file = File("filebak.ini");
  // Values used to be cut to 128 characters.
  std::string folder = "D:\\" + std::string(200, 'f') + "\\备份";
  ASSERT_TRUE(ini().INIWriteKey("filepath", "Path1", store::Variant(folder), file));
  ASSERT_TRUE(ini().INIWriteKey("filesum", "Filesum", store::Variant(" 2"), file));
  ASSERT_TRUE(ini().INIWriteKey("filesum", "Empty", store::Variant(""), file));
  EXPECT_EQ(ini().INIReadKey("filepath", "Path1", file, 1000), folder);
  EXPECT_EQ(ini().INIReadKey("filesum", "Filesum", file, 100), "2") << "blanks around values go";
  std::string bytes;
  ASSERT_EQ(files().ReadFile(file, bytes), store::kSuccess);
  EXPECT_NE(bytes.find("\r\nEmpty=\r\n"), std::string::npos) << "an empty value keeps its line";
  EXPECT_EQ(bytes.rfind("[filepath]\r\nPath1=D:\\", 0), 0u) << bytes;
}

TEST_F(ProfileConformance, CapacityLimitsTheBytesRead) {
  std::string file = File("cap.ini");
  ASSERT_TRUE(ini().INIWriteKey("addlx", "Lxsum", store::Variant("12"), file));
  ASSERT_TRUE(ini().INIWriteKey("addlx", "Filesm0", store::Variant("临时文件"), file));
  EXPECT_EQ(ini().INIReadKey("addlx", "Lxsum", file, 2), "1") << "capacity 2 reads one digit";
  EXPECT_EQ(ini().INIReadKey("addlx", "Filesm0", file, 5), "临时");
  // A double-byte character that does not fit whole is not cut in half.
  EXPECT_EQ(ini().INIReadKey("addlx", "Filesm0", file, 4), "临");
}

TEST_F(ProfileConformance, DeletingKeysAndSections) {
  std::string file = File("del.ini");
  ASSERT_TRUE(ini().INIWriteKey("a", "k1", store::Variant("1"), file));
  ASSERT_TRUE(ini().INIWriteKey("a", "k2", store::Variant(2), file));
  ASSERT_TRUE(ini().INIWriteKey("b", "k", store::Variant("x"), file));
  std::string before;
  ASSERT_EQ(files().ReadFile(file, before), store::kSuccess);
  EXPECT_EQ(before, "[a]\r\nk1=1\r\nk2=2\r\n[b]\r\nk=x\r\n");

  EXPECT_EQ(ini().INIDeleteSectionAll("absent", file), 0);
  std::string after;
  ASSERT_EQ(files().ReadFile(file, after), store::kSuccess);
  EXPECT_EQ(after, before) << "deleting a missing section changes nothing";

  EXPECT_EQ(ini().INIDeleteKey("a", "k1", file), 0);
  EXPECT_EQ(ini().INIDeleteSectionAll("b", file), 0);
  ASSERT_EQ(files().ReadFile(file, after), store::kSuccess);
  EXPECT_EQ(after, "[a]\r\nk2=2\r\n");
}

TEST_F(ProfileConformance, WinIniWindowsSectionLivesInTheRegistry) {
  // load and run of win.ini's [windows] are mapped to the user's registry, as on
  // the NT family and in Wine.
  const std::string key = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
  store::Variant saved;
  bool had = reg().QueryValue(store::RegRoot::kCurrentUser, key, "load", saved) == store::kSuccess;

  ASSERT_TRUE(ini().WriteProfileString("windows", "load", std::string_view("C:\\a.exe b.exe")));
  store::Variant v;
  EXPECT_EQ(reg().QueryValue(store::RegRoot::kCurrentUser, key, "load", v), store::kSuccess);
  EXPECT_EQ(v, "C:\\a.exe b.exe");
  std::string text;
  EXPECT_EQ(ini().GetProfileString("windows", "load", "(error)", 255, text), 14u);
  EXPECT_EQ(text, "C:\\a.exe b.exe");

  ini().WriteProfileString("windows", "load", std::nullopt);
  EXPECT_EQ(ini().GetProfileString("windows", "load", "(error)", 255, text), 7u);
  EXPECT_EQ(text, "(error)");

  if (had) reg().SetValue(store::RegRoot::kCurrentUser, key, "load", store::kRegSz, saved);
}

}  // namespace
}  // namespace korvanta::test
