// Scenarios on files the registry maps (IniFileMapping): win.ini's [windows]
// section, and mappings of our own that use every form the mapping key can take.

#include <string>

#include "diff/profile_scenarios.h"

namespace korvanta::test {
namespace {

using namespace std::string_literals;

const std::string kDir = std::string(kScenarioDir) + "\\";
constexpr std::nullopt_t kNull = std::nullopt;
constexpr store::RegRoot kHkcu = store::RegRoot::kCurrentUser;
constexpr store::RegRoot kHklm = store::RegRoot::kLocalMachine;
const std::string kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
const std::string kMapping = "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\";

ProfileScenario WinIniMapped() {
  // Any file named win.ini is mapped, wherever it is.
  std::string f = kDir + "win.ini";
  return {"win-ini-mapped",
          {{f, "[mail]\r\nmapi=1\r\n[windows]\r\nload=fromfile\r\nother=1\r\n"}},
          {Absent(kHkcu, kWindowsKey),
           Without(kHkcu, "Control Panel\\Desktop", {"CursorBlinkRate", "kvdiff"})},
          {Get("windows", "load", "def  ", 100, f),
           Get("windows", kNull, "def", 100, f),
           Get(kNull, kNull, "d", 200, f),
           Get(kNull, kNull, "d", 20, f),
           Write("windows", "load", "a.exe", f),
           Write("windows", "run", "  b.exe c", f),
           Write("windows", "q", "\"quoted\"", f),
           Get("windows", "load", "def", 100, f),
           Get("windows", "run", "def", 5, f),
           Get("windows", "q", "def", 100, f),
           Get("windows", kNull, "def", 100, f),
           Get("windows", kNull, "def", 7, f),
           Get("Windows", "other", "d", 100, kDir + "WIN.INI"),
           Write("windows", "load", kNull, f),
           Write("windows", "load", kNull, f),
           Write("mail", "mapi", "2", f),
           WriteSection("mail", "a=b\0"s, f),
           WriteSection("windows", "load=c.exe\0run=\0noequals\0"s, f),
           Get("windows", "load", "def", 100, f),
           Write("windows", "CursorBlinkRate", "530", f),
           Get("windows", "CursorBlinkRate", "d", 100, f),
           Get("windows", kNull, "def", 100, f),
           Write("desktop", "kvdiff", "1", f),
           Get("desktop", "kvdiff", "d", 100, f),
           Write(" windows", "load", "unmapped", f),
           Write("windows", kNull, kNull, f),
           Get("windows", "load", "d", 100, f)}};
}

ProfileScenario CustomMapping() {
  std::string f = kDir + "kvmap.ini", g = kDir + "kvall.ini";
  const std::string usr = "USR:Software\\Korvanta\\kvmap\\";
  return {
      "custom-mapping",
      {{f, "[usr]\r\na=file\r\n[plain]\r\nk=v\r\n"}, {g, "[s1]\r\nk=file\r\n"}},
      {Exactly(kHklm, kMapping + "kvmap.ini",
               {{"usr", usr + "usr"},
                {"sys", "SYS:Korvanta\\kvmap"},
                {"mod", "!#@" + usr + "mod"},
                {"bad", "XYZ:nowhere"}}),
       Exactly(kHklm, kMapping + "kvmap.ini\\sub",
               {{"", usr + "subdef"}, {"special", usr + "special"}}),
       Exactly(kHklm, kMapping + "kvall.ini", {{"", "USR:Software\\Korvanta\\kvall"}}),
       Absent(kHkcu, "Software\\Korvanta"), Absent(kHkcu, "Software\\Korvanta\\kvmap"),
       Exactly(kHkcu, "Software\\Korvanta\\kvmap\\usr", {{"a", "1"}, {"q", "\"x\""}}),
       Absent(kHkcu, "Software\\Korvanta\\kvmap\\mod"),
       Exactly(kHkcu, "Software\\Korvanta\\kvmap\\subdef", {{"d", "dv"}}),
       Absent(kHkcu, "Software\\Korvanta\\kvmap\\special"),
       Absent(kHkcu, "Software\\Korvanta\\kvall"), Absent(kHkcu, "Software\\Korvanta\\kvall\\s1"),
       Absent(kHklm, "Software\\Korvanta"), Absent(kHklm, "Software\\Korvanta\\kvmap")},
      {Get("usr", "a", "d", 100, f),
       Get("usr", "q", "d", 100, f),
       Get("usr", "q", "d", 3, f),
       Get("usr", "zz", "d  ", 100, f),
       Get("usr", kNull, "d", 100, f),
       Get("usr", kNull, "d", 3, f),
       Get("plain", "k", "d", 100, f),
       Get(kNull, kNull, "d", 100, f),
       Get(kNull, kNull, "d", 10, f),
       Write("sys", "k", "hk", f),
       Get("sys", "k", "d", 100, f),
       Write("mod", "m", "1", f),
       Get("mod", "m", "d", 100, f),
       Write("bad", "k", "v", f),
       Get("bad", "k", "\"d\"", 100, f),
       Get("sub", "d", "x", 100, f),
       Write("sub", "special", "s", f),
       Get("sub", kNull, "x", 100, f),
       WriteSection("sub", "d=new\0special=t\0other=o\0"s, f),
       Get("sub", "other", "x", 100, f),
       WriteSection("plain", "k=1\0"s, f),
       Write("plain", "k", "2", f),
       Get("s1", "k", "d", 100, g),
       Write("s1", "k", "v", g),
       Get("s1", "k", "d", 100, g),
       Get(kNull, kNull, "d", 100, g),
       Get("s1", kNull, "d", 100, g),
       Write("s1", kNull, kNull, g),
       Write("usr", kNull, kNull, f)}};
}

}  // namespace

std::vector<ProfileScenario> MappedScenarios() {
  return {WinIniMapped(), CustomMapping()};
}

}  // namespace korvanta::test
