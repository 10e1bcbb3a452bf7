// Scenarios on plain profile files: parsing, lookups, buffers, writing, encodings.

#include <string>

#include "diff/profile_scenarios.h"

namespace korvanta::test {
namespace {

using namespace std::string_literals;

const std::string kDir = std::string(kScenarioDir) + "\\";
constexpr std::nullopt_t kNull = std::nullopt;

ProfileScenario CommentsAndBlanks() {
  std::string f = kDir + "comments.ini";
  return {
      "comments-and-blanks",
      {{f,
        "; top comment\n"
        "top=1\n"
        "[Main]\n"
        "; comment = not a key\n"
        "  key1  =  value one  \n"
        "\tkey2\t=\tv2\t\n"
        "#hash=3\n"
        "key3=\x1a\n"
        "\n\n"
        "[ Spaced ]\n"
        " a = b \n"}},
      {},
      {Get("Main", "key1", "d", 100, f), Get("Main", "key2", "d", 100, f),
       Get("Main", "#hash", "d", 100, f), Get("Main", "key3", "d", 100, f),
       Get("Main", "; comment", "d", 100, f), Get("Main", kNull, "d", 100, f),
       Get("", "top", "d", 100, f), Get("", kNull, "d", 100, f), Get("Spaced", "a", "d", 100, f),
       Get(" Spaced ", kNull, "untrimmed", 100, f), Get(" main ", "\tKEY1 ", "d", 100, f),
       Get(kNull, kNull, "d", 100, f), Write("Main", "key2", "new", f)}};
}

ProfileScenario Quotes() {
  std::string f = kDir + "quotes.ini";
  std::vector<ProfileCall> calls;
  for (const char* key : {"dq", "sq", "mixed", "one", "two", "single", "inner", "lead"}) {
    calls.push_back(Get("q", key, "d", 100, f));
  }
  for (std::uint32_t cap : {1u, 2u, 3u, 4u, 5u, 6u}) calls.push_back(Get("q", "dq", "d", cap, f));
  for (std::uint32_t cap : {1u, 2u, 3u}) calls.push_back(Get("q", "single", "d", cap, f));
  for (std::uint32_t cap : {1u, 2u, 3u}) calls.push_back(Get("q", "two", "d", cap, f));
  calls.push_back(Get("q", "none", "\"dflt\"", 100, f));
  calls.push_back(Get("q", "none", "\"dflt\"", 6, f));
  calls.push_back(Get("q", "none", "'x", 100, f));
  calls.push_back(Get("q", "none", "\"dflt\"  ", 100, f));
  calls.push_back(Get("nosection", kNull, "\"list\"", 100, f));
  calls.push_back(Get("q", "gbk", "d", 100, f));
  calls.push_back(Get("q", "gbk", "d", 5, f));
  return {"quotes",
          {{f,
            "[q]\r\ndq=\"abc\"\r\nsq='abc'\r\nmixed=\"abc'\r\none=\"\r\ntwo=\"\"\r\n"
            "single=\"a\"\r\ninner=a\"b\"\r\nlead=\" x \"\r\n" +
                Ansi("gbk=\"中文\"\r\n")}},
          {},
          calls};
}

ProfileScenario Duplicates() {
  std::string f = kDir + "dup.ini";
  return {"duplicates",
          {{f,
            "[dup]\r\nk=first\r\nk=second\r\nonly1=x\r\n[other]\r\na=1\r\n"
            "[DUP]\r\nk=third\r\nonly2=y\r\n"}},
          {},
          {Get("dup", "k", "d", 100, f), Get("dup", "only2", "d", 100, f),
           Get("Dup", kNull, "d", 100, f), Get(kNull, kNull, "d", 100, f),
           Write("dup", "only2", "new", f), Get("dup", "only2", "d", 100, f),
           Write("dup", "k", kNull, f), Get("dup", "k", "d", 100, f),
           Write("DUP", "only2", kNull, f), Get("dup", "only2", "d", 100, f),
           Write("dup", "only2", kNull, f), Write("dup", kNull, kNull, f),
           Get("dup", "k", "d", 100, f), Get(kNull, kNull, "d", 100, f)}};
}

ProfileScenario MissingFiles() {
  std::string none = kDir + "none.ini", fresh = kDir + "fresh.ini";
  std::string nofolder = kDir + "nofolder\\x.ini", folder = kDir + "folder.ini";
  return {
      "missing-files",
      {{folder + "\\inside.ini", "[s]\r\nk=1\r\n"}},
      {},
      {Get("s", "k", "d", 100, none), Get("s", kNull, "\"d\"", 100, none),
       Get(kNull, kNull, "d", 100, none), Write("s", "k", kNull, none),
       Write("s", kNull, kNull, none), WriteSection("s", kNull, none), WriteSection("s", ""s, none),
       Get("s", "k", "\"q\"", 100, nofolder), Get("s", kNull, "\"q\"", 100, nofolder),
       Get(kNull, kNull, "d", 100, nofolder), Write("s", "k", "v", nofolder),
       WriteSection("s", "a=1\0"s, nofolder), Write("s", kNull, kNull, nofolder),
       Get("s", "k", "\"q\"", 100, folder), Get(kNull, kNull, "d", 100, folder),
       Write("s", "k", "v", folder), Write("s", "k", "v", fresh), Get("s", "k", "d", 100, fresh)}};
}

ProfileScenario SmallBuffers() {
  std::string f = kDir + "small.ini";
  std::vector<ProfileCall> calls;
  for (std::uint32_t cap : {0u, 1u, 2u, 3u, 6u, 7u, 8u}) {
    calls.push_back(Get("s", "ascii", "d", cap, f));
  }
  for (std::uint32_t cap : {1u, 2u, 3u, 4u, 5u, 6u, 8u, 9u}) {
    calls.push_back(Get("s", "gbk", "d", cap, f));
  }
  for (std::uint32_t cap : {2u, 3u, 4u, 5u}) calls.push_back(Get("s", "mix", "d", cap, f));
  for (std::uint32_t cap : {1u, 2u, 3u, 4u, 5u, 6u, 8u, 9u, 13u, 20u}) {
    calls.push_back(Get("s", kNull, "d", cap, f));
  }
  for (std::uint32_t cap : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 10u, 14u, 30u}) {
    calls.push_back(Get(kNull, kNull, "d", cap, f));
  }
  for (std::uint32_t cap : {2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
    calls.push_back(Get(Ansi("键"), kNull, "d", cap, f));
  }
  calls.push_back(Get("s", "none", "default", 4, f));
  calls.push_back(Get("s", "none", Ansi("默认值"), 4, f));
  calls.push_back(Get("nosection", kNull, "default", 3, f));
  calls.push_back(Get("empty", kNull, "dflt", 100, f));
  calls.push_back(Get("empty", kNull, "dflt", 2, f));
  return {"small-buffers",
          {{f, "[s]\r\nascii=abcdef\r\n" + Ansi("gbk=中文字符\r\nmix=a中b\r\n") +
                   Ansi("[长名字节]\r\nx=1\r\n[键]\r\n中文=1\r\n字=2\r\n") + "[empty]\r\n"}},
          {},
          calls};
}

ProfileScenario Deletion() {
  std::string f = kDir + "del.ini", same = kDir + "del-nothing.ini";
  std::string lf_file = "pre=0\n=nameless\n[a]\nk1=1\nk2=2\n[b]\nx=1\n[c]\ny=2\n[d]\nz=3\n";
  return {"deletion",
          {{f, lf_file}, {same, lf_file}},
          {},
          {// Nothing matches: the file keeps its LF line ends, so it was not rewritten.
           Write("a", "missing", kNull, same), Write("zz", kNull, kNull, same),
           Write(" a ", "k1", kNull, same), Write("a", " k1 ", kNull, same),
           WriteSection("zz", kNull, same), WriteSection("zz", ""s, same),
           // Real deletions.
           Write("a", "k1", kNull, f), Get("a", kNull, "d", 100, f), Write("", "pre", kNull, f),
           Get("", "pre", "d", 100, f), WriteSection("b", kNull, f), Write("C", kNull, kNull, f),
           WriteSection("d", ""s, f), Get(kNull, kNull, "d", 100, f), Write("", kNull, kNull, f),
           Get("", "", "d", 100, f)}};
}

ProfileScenario GbkText() {
  std::string f = kDir + "gbk.ini";
  return {
      "gbk-text",
      {{f,
        Ansi("[设置]\r\n名字=张三\r\n路径=C:\\程序\\软件\r\nideo=　x　\r\n[Ａ]\r\nk=fullwidth\r\n"
             "[Д]\r\nk=cyrillic\r\n[Ω]\r\nk=greek\r\n[Section]\r\nk=ascii\r\n") +
            "bad=\x81\x30x\r\nlone=x\x81\r\n"}},
      {},
      {Get(Ansi("设置"), Ansi("名字"), "d", 100, f), Get(Ansi("设置"), Ansi("路径"), "d", 100, f),
       Get(Ansi("设置"), "ideo", "d", 100, f), Get(Ansi("ａ"), "k", "d", 100, f),
       Get(Ansi("д"), "k", "d", 100, f), Get(Ansi("ω"), "k", "d", 100, f),
       Get(Ansi("Ａ"), "k", "d", 100, f), Get("SECTION", "k", "d", 100, f),
       Get("section", "bad", "d", 100, f), Get("section", "lone", "d", 100, f),
       Get(Ansi("设置"), kNull, "d", 100, f), Get(kNull, kNull, "d", 100, f),
       Get(Ansi("　设置　"), Ansi("名字"), "d", 100, f),
       Write(Ansi("设置"), Ansi("新键"), Ansi("　值　"), f),
       Write(Ansi("新节"), Ansi("键"), Ansi("值"), f), Get(Ansi("新节"), Ansi("键"), "d", 100, f),
       Get(Ansi("设置"), Ansi("新键"), "d", 100, f)}};
}

ProfileScenario Bom(const std::string& name, const std::string& bytes) {
  std::string f = kDir + name + ".ini";
  return {name,
          {{f, bytes}},
          {},
          {Get("u", "k", "d", 100, f), Get("u", "h", "d", 100, f), Get("u", "h", "d", 2, f),
           Get(Ansi("节"), Ansi("键"), "d", 100, f), Get("u", kNull, "d", 100, f),
           Write("u", "new", Ansi("值é"), f), Write(Ansi("节"), "k2", "v", f),
           Get("u", "new", "d", 100, f)}};
}

// Malformed UTF-8 after a UTF-8 mark: what the reads give and a rewrite keeps.
ProfileScenario BrokenUtf8() {
  std::string f = kDir + "broken.ini";
  return {
      "bom-utf8-malformed",
      {{f,
        "\xef\xbb\xbf[u]\r\nbad=a\xc3(b\xe4\xb8z\xff\xf0\x9f\x98\r\nlong=\xc0\xaf\xed\xa0\x80\r\n"
        "emoji=\xf0\x9f\x98\x80\r\nhigh=\xf4\x90\x80\x80\xe0\x9f\xbf\xf0\x8f\xbf\xbf\xc2\xa9\r\n"
        "cut=\xe4\xb8"}},
      {},
      {Get("u", "bad", "d", 100, f), Get("u", "long", "d", 100, f), Get("u", "emoji", "d", 100, f),
       Get("u", "high", "d", 100, f), Get("u", "cut", "d", 100, f), Write("u", "new", "1", f)}};
}

ProfileScenario NoEquals() {
  std::string f = kDir + "noeq.ini";
  return {
      "no-equals",
      {{f,
        "[n]\r\nlonely\r\nk=v\r\n=empty name\r\n=dropped\r\nafter\r\n=kept\r\n[abc\r\n"
        "[m]\r\n=first\r\n"}},
      {},
      {Get("n", "lonely", "d", 100, f), Get("n", "", "d", 100, f), Get("n", "[abc", "d", 100, f),
       Get("n", "after", "d", 100, f), Get("n", kNull, "d", 100, f), Get("m", kNull, "d", 100, f),
       Get("m", "", "d", 100, f), Write("n", "lonely", "now", f), Write("n", "after", kNull, f),
       Write("n", "", "set", f)}};
}

ProfileScenario EmptyValues() {
  std::string f = kDir + "empty.ini", fresh = kDir + "empty-new.ini";
  return {"empty-values",
          {{f, "[e]\nempty=\nspaces=   \nk=v\n"}},
          {},
          {Get("e", "empty", "d", 100, f), Get("e", "spaces", "d", 100, f),
           Get("e", "none", "d", 100, f), Get("e", kNull, "d", 100, f),
           // Unchanged values write nothing: the LF line ends stay.
           Write("e", "k", "v", f), Write("e", "K", "  v", f), Write("e", "empty", "", f),
           Write("e", "empty", "\t ", f), Write("e", "new", "", fresh),
           Write("e", "blank", "   ", fresh), Get("e", "new", "d", 100, fresh),
           Get("e", kNull, "d", 100, fresh)}};
}

ProfileScenario SectionWrites() {
  std::string f = kDir + "sections.ini";
  return {"section-writes",
          {{f,
            "[keep]\r\na=1\r\n[target]\r\nold1=x\r\nold2=y\r\n[target]\r\ndup=z\r\n"
            "[tail]\r\nt=1\r\n"}},
          {},
          {WriteSection("target", " n1=1\0 n2= 2\0noequals\0n1=again\0=v\0"s, f),
           Get("target", kNull, "d", 100, f), Get("target", "n1", "d", 100, f),
           Get("target", "n2", "d", 100, f), WriteSection("brandnew", "x=1\0"s, f),
           WriteSection("keep", ""s, f), WriteSection("absent", ""s, f),
           WriteSection(" tail ", "t=2\0"s, f), Get("tail", "t", "d", 100, f),
           WriteSection(Ansi("节"), Ansi("键=值\0"s), f)}};
}

ProfileScenario LinesAndHeaders() {
  std::string f = kDir + "lines.ini";
  return {"lines-and-headers",
          {{f,
            "lead=0\r\r\n\n[a]b]\rk=1\n\n\r[ x ] trailing\x0b\x0c\r\nk=2\r\n[]\r\nk=3\r\n"
            "[abc\r\nnul=ab\0cd\r\n\x1a\r\n  [y]  \r\nk=4\x1a"s}},
          {},
          {Get(kNull, kNull, "d", 100, f), Get("a]b", "k", "d", 100, f), Get("x", "k", "d", 100, f),
           Get("", "k", "d", 100, f), Get("x", "[abc", "d", 100, f), Get("x", "nul", "d", 100, f),
           Get("y", "k", "d", 100, f), Get("", kNull, "d", 100, f), Write("a]b", "k", "2", f)}};
}

ProfileScenario Arguments() {
  // Names written with blanks around them show in the file only until the next
  // rewrite reads it back trimmed: new-name.ini and new-key.ini get one write each.
  std::string f = kDir + "args.ini", new_name = kDir + "new-name.ini";
  std::string new_key = kDir + "new-key.ini";
  return {"arguments-and-defaults",
          {{f, "[sec]\r\nkey=val\r\n"}, {new_key, "[sec]\r\nkey=val\r\n"}},
          {},
          {Get(" sec ", " key ", "d", 100, f),
           Get("\tsec\t", "key", "d", 100, f),
           Get("sec", "none", kNull, 100, f),
           Get("sec", "none", "abc   ", 100, f),
           Get("sec", "none", "   ", 100, f),
           Get("sec", "none", "a\t ", 100, f),
           Get("sec", "none", "", 100, f),
           Get("nosec", kNull, "abc  ", 100, f),
           Get("nosec", kNull, kNull, 100, f),
           Get("sec", "key", "d", 0, f),
           Get("sec", "key", "d", 100, kDir + "sub\\..\\.\\args.ini"),
           Get("sec", "key", "d", 100, kDir + "args.ini. "),
           Get("sec", "key", "d", 100, std::string(kScenarioDir) + "/args.ini"),
           Write(" new ", " k ", "  v  ", new_name),
           Write(" SEC ", " k2 ", " v ", new_key),
           Write("SEC", "KEY", "val", f),
           Get("sec", kNull, "d", 100, f),
           Write(" sec ", "key", kNull, f),
           Write("sec", " key ", kNull, f),
           Write("SEC", "KEY", "VAL", f),
           Write("sec", "tab", "\tv", f)}};
}

ProfileScenario BareNames() {
  // Bare names live in the Windows folder; the system's own win.ini is mapped.
  return {
      "bare-names",
      {{"kvdiff-bare.ini", "[b]\r\nk=1\r\n"}, {"win.ini", "[mail]\r\nmapi=1\r\n"}},
      {Absent(store::RegRoot::kCurrentUser,
              "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows")},
      {Get("b", "k", "d", 100, "kvdiff-bare.ini"), Write("b", "k2", "2", "kvdiff-bare.ini"),
       Get(kNull, kNull, "d", 100, "kvdiff-bare.ini"), Get("mail", "mapi", "d", 100, "win.ini"),
       Write("windows", "load", "bare.exe", "win.ini"), Get("windows", "load", "d", 100, "WIN.INI"),
       Write("kvdiff", "k", "v", "win.ini"), Get(kNull, kNull, "d", 200, "win.ini")}};
}

}  // namespace

std::vector<ProfileScenario> FileScenarios() {
  const std::string bom_text = "[u]\r\nk=中文\r\nh=한\r\n[节]\r\n键=值\r\n";
  return {CommentsAndBlanks(),
          Quotes(),
          Duplicates(),
          MissingFiles(),
          SmallBuffers(),
          Deletion(),
          GbkText(),
          Bom("bom-utf8", "\xef\xbb\xbf" + bom_text),
          Bom("bom-utf16le", Utf16File(bom_text, false)),
          Bom("bom-utf16be", Utf16File(bom_text, true)),
          BrokenUtf8(),
          NoEquals(),
          EmptyValues(),
          SectionWrites(),
          LinesAndHeaders(),
          Arguments(),
          BareNames()};
}

}  // namespace korvanta::test
