// What the network page accepts as a site to block: only a host name reaches
// the hosts file, with a scheme or path typed by mistake taken off.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "panels/network_page.h"

namespace korvanta::panels {
namespace {

struct Case {
  std::string typed;
  std::optional<std::string> site;
};

TEST(SiteToBlock, KeepsOnlyHostNames) {
  const std::string longest = std::string(249, 'a') + ".com";  // 253 characters
  const Case cases[] = {
      {"www.example.com", "www.example.com"},
      {"Ads-1.Example.NET", "Ads-1.Example.NET"},
      {"localhost", "localhost"},
      {"http://www.example.com", "www.example.com"},
      {"https://www.example.com/path/page.html?q=1", "www.example.com"},
      {"www.example.com/", "www.example.com"},
      {longest, longest},
      {longest + "x", std::nullopt},
      {"", std::nullopt},
      {"http://", std::nullopt},
      {"在此输入网址(不带\"http://\")", std::nullopt},
      {"bad site.com", std::nullopt},
      {" example.com", std::nullopt},
      {"example.com\r\n127.0.0.1 other.com", std::nullopt},
      {"example.com\tother.com", std::nullopt},
      {"例子.com", std::nullopt},
      {"example..com", std::nullopt},
      {".example.com", std::nullopt},
      {"example.com:8080", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SiteToBlock(c.typed), c.site) << "typed: " << c.typed;
  }
}

}  // namespace
}  // namespace korvanta::panels
