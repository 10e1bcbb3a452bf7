// What the network page accepts as a site to block: only a host name reaches
// the hosts file, with blanks around it and a scheme or path typed by mistake
// taken off; what it refuses, it says why.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "panels/network_page.h"

namespace korvanta::panels {
namespace {

struct Case {
  std::string typed;
  std::optional<std::string> site;
  std::string problem;  // what the user is told when it is refused
};

constexpr const char* kAsk = "请输入要屏蔽的网站域名，如 www.example.com";
constexpr const char* kBlank = "网址中间不能有空格，请重新输入！";
constexpr const char* kPort = "网址不能带端口号（如“:8080”），请去掉端口号后重新输入！";
constexpr const char* kDots = "网址格式不正确：不能以“.”开头或结尾，也不能有连续的“.”！";
std::string NotAllowed(const std::string& c) {
  return "网址中有不允许的字符" + c + "，网址只能由字母、数字、“-”和“.”组成！";
}

TEST(SiteToBlock, KeepsOnlyHostNamesAndSaysWhatIsWrong) {
  const std::string longest = std::string(249, 'a') + ".com";  // 253 characters
  const Case cases[] = {
      {"www.example.com", "www.example.com", ""},
      {"Ads-1.Example.NET", "Ads-1.Example.NET", ""},
      {"localhost", "localhost", ""},
      {"http://www.example.com", "www.example.com", ""},
      {"https://www.example.com/path/page.html?q=1", "www.example.com", ""},
      {"www.example.com/", "www.example.com", ""},
      {" example.com", "example.com", ""},
      {"example.com \t", "example.com", ""},
      {"\u3000 http://example.com/ ", "example.com", ""},
      {longest, longest, ""},
      {longest + "x", std::nullopt, "网址太长，域名最多只能有253个字符！"},
      {"", std::nullopt, kAsk},
      {"   ", std::nullopt, kAsk},
      {"http://", std::nullopt, kAsk},
      {"在此输入网址(不带\"http://\")", std::nullopt, kAsk},
      {"bad site.com", std::nullopt, kBlank},
      {"bad\u3000site.com", std::nullopt, kBlank},
      {"example.com\tother.com", std::nullopt, kBlank},
      {"example.com\r\n127.0.0.1 other.com", std::nullopt, NotAllowed("")},
      {"例子.com", std::nullopt, NotAllowed("“例”")},
      {"ex_ample.com", std::nullopt, NotAllowed("“_”")},
      {"example.com:8080", std::nullopt, kPort},
      {"http://example.com:80/x", std::nullopt, kPort},
      {"example.com:abc", std::nullopt, NotAllowed("“:”")},
      {"example..com", std::nullopt, kDots},
      {".example.com", std::nullopt, kDots},
  };
  for (const Case& c : cases) {
    std::string problem;
    EXPECT_EQ(SiteToBlock(c.typed, &problem), c.site) << "typed: " << c.typed;
    EXPECT_EQ(problem, c.problem) << "typed: " << c.typed;
  }
}

}  // namespace
}  // namespace korvanta::panels
