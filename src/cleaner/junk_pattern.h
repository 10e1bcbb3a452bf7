#pragma once
// A junk type's file-name pattern: the whole name against the pattern, both in
// upper case. "?" is any one character, "*" any run, "#" one decimal digit,
// "[list]" one character of the list (ranges as A-F; "[!list]" one not in it);
// any other character matches itself.

#include <string>
#include <string_view>
#include <vector>

namespace korvanta::cleaner {

class JunkPattern {
 public:
  explicit JunkPattern(std::string_view pattern);

  bool Matches(std::string_view name) const;
  // A pattern with an unclosed "[" matches nothing.
  bool valid() const { return valid_; }
  const std::string& text() const { return text_; }

 private:
  struct Token {
    enum class Kind { kLiteral, kAny, kRun, kDigit, kList } kind = Kind::kLiteral;
    char32_t literal = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;  // for a list
    bool Accepts(char32_t c) const;
  };
  bool MatchFrom(const std::u32string& name) const;

  std::string text_;
  std::vector<Token> tokens_;
  bool valid_ = true;
  // "*" followed by a plain ASCII tail ("*.tmp"): a suffix comparison does.
  bool suffix_only_ = false;
  std::string suffix_;  // upper case
  // A plain ASCII name ("Thumbs.db", "mscreate.dir"): one comparison does.
  bool exact_only_ = false;
};

}  // namespace korvanta::cleaner
