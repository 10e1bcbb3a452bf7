#include "cleaner/junk_pattern.h"

#include "store/utf.h"

namespace korvanta::cleaner {
namespace {

char32_t Upper(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
  // Letters past ASCII compare as the file system compares names.
  return c < 0x10000 ? store::FoldCase(static_cast<char16_t>(c)) : c;
}

std::u32string UpperCodePoints(std::string_view utf8) {
  std::u16string wide = store::Utf8ToUtf16(utf8);
  std::u32string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t c = wide[i];
    if (c >= 0xd800 && c < 0xdc00 && i + 1 < wide.size()) {
      c = 0x10000 + ((c - 0xd800) << 10) + (wide[i + 1] - 0xdc00);
      ++i;
    }
    out.push_back(Upper(c));
  }
  return out;
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsPlain(char32_t c) {
  return c < 0x80 && c != '?' && c != '*' && c != '#' && c != '[';
}

}  // namespace

bool JunkPattern::Token::Accepts(char32_t c) const {
  switch (kind) {
    case Kind::kLiteral:
      return c == literal;
    case Kind::kAny:
      return true;
    case Kind::kDigit:
      return c >= '0' && c <= '9';
    case Kind::kList: {
      bool in = false;
      for (const auto& [low, high] : ranges) in = in || (c >= low && c <= high);
      return in != negated;
    }
    case Kind::kRun:
      break;
  }
  return false;
}

JunkPattern::JunkPattern(std::string_view pattern) : text_(pattern) {
  std::u32string p = UpperCodePoints(pattern);
  for (std::size_t i = 0; i < p.size(); ++i) {
    char32_t c = p[i];
    Token t;
    t.kind = Token::Kind::kLiteral;
    if (c == '?') {
      t.kind = Token::Kind::kAny;
    } else if (c == '*') {
      t.kind = Token::Kind::kRun;
      if (!tokens_.empty() && tokens_.back().kind == Token::Kind::kRun) continue;
    } else if (c == '#') {
      t.kind = Token::Kind::kDigit;
    } else if (c == '[') {
      std::size_t close = p.find(']', i + 1);
      if (close == std::u32string::npos) {
        valid_ = false;
        return;
      }
      // "[]" stands for nothing at all.
      if (close == i + 1) {
        i = close;
        continue;
      }
      t.kind = Token::Kind::kList;
      std::size_t k = i + 1;
      if (p[k] == '!') {
        t.negated = true;
        ++k;
      }
      for (; k < close; ++k) {
        if (k + 2 < close && p[k + 1] == '-') {
          t.ranges.emplace_back(p[k], p[k + 2]);
          k += 2;
        } else {
          t.ranges.emplace_back(p[k], p[k]);
        }
      }
      i = close;
    } else {
      t.literal = c;
    }
    tokens_.push_back(std::move(t));
  }
  // The common shapes ("*.tmp", "Thumbs.db") skip the general matcher.
  bool plain_tail = !tokens_.empty();
  for (std::size_t i = 1; i < tokens_.size(); ++i) {
    plain_tail =
        plain_tail && tokens_[i].kind == Token::Kind::kLiteral && IsPlain(tokens_[i].literal);
  }
  bool first_plain =
      !tokens_.empty() && tokens_[0].kind == Token::Kind::kLiteral && IsPlain(tokens_[0].literal);
  if (plain_tail && (tokens_[0].kind == Token::Kind::kRun || first_plain)) {
    suffix_only_ = tokens_[0].kind == Token::Kind::kRun;
    exact_only_ = !suffix_only_;
    for (std::size_t i = suffix_only_ ? 1 : 0; i < tokens_.size(); ++i)
      suffix_.push_back(static_cast<char>(tokens_[i].literal));
  }
}

bool JunkPattern::Matches(std::string_view name) const {
  if (!valid_) return false;
  if ((suffix_only_ || exact_only_) && IsAscii(name)) {
    if (name.size() < suffix_.size() || (exact_only_ && name.size() != suffix_.size()))
      return false;
    std::string_view tail = name.substr(name.size() - suffix_.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
      if (UpperAscii(tail[i]) != suffix_[i]) return false;
    }
    return true;
  }
  return MatchFrom(UpperCodePoints(name));
}

bool JunkPattern::MatchFrom(const std::u32string& name) const {
  // Backtracking to the last "*" is enough: a later "*" can absorb whatever an
  // earlier one would have.
  std::size_t n = 0, t = 0, star = std::string::npos, mark = 0;
  while (n < name.size()) {
    if (t < tokens_.size() && tokens_[t].kind == Token::Kind::kRun) {
      star = t++;
      mark = n;
    } else if (t < tokens_.size() && tokens_[t].Accepts(name[n])) {
      ++n;
      ++t;
    } else if (star != std::string::npos) {
      t = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (t < tokens_.size() && tokens_[t].kind == Token::Kind::kRun) ++t;
  return t == tokens_.size();
}

}  // namespace korvanta::cleaner
