#include "store/portable/prefix_configs.h"

#include <sys/stat.h>

#include <fstream>

#include "store/utf.h"

namespace korvanta::store {
namespace fs = std::filesystem;

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// A YAML scalar as these programs write it: plain, 'single' or "double" quoted,
// perhaps followed by a comment.
std::optional<std::string> YamlScalar(std::string_view raw) {
  raw = Trim(raw);
  std::string out;
  if (!raw.empty() && (raw.front() == '\'' || raw.front() == '"')) {
    const char quote = raw.front();
    std::size_t i = 1;
    for (; i < raw.size(); ++i) {
      if (quote == '\'' && raw[i] == '\'') {
        if (i + 1 < raw.size() && raw[i + 1] == '\'') {
          ++i;  // '' is one quote
        } else {
          break;
        }
      } else if (quote == '"' && raw[i] == '"') {
        break;
      } else if (quote == '"' && raw[i] == '\\' && i + 1 < raw.size()) {
        ++i;
      }
      out += raw[i];
    }
    if (i >= raw.size()) return std::nullopt;  // unclosed
  } else {
    if (std::size_t hash = raw.find(" #"); hash != std::string_view::npos) {
      raw = Trim(raw.substr(0, hash));
    }
    if (raw == "~" || raw == "null") return std::nullopt;
    out = raw;
  }
  if (out.empty()) return std::nullopt;
  return out;
}

template <typename Fn>
void ForEachLine(std::string_view text, Fn fn) {
  while (!text.empty()) {
    std::size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    if (!fn(line)) return;
    if (eol == std::string_view::npos) return;
    text.remove_prefix(eol + 1);
  }
}

// "key: rest" → rest, when line (without its indent) starts so.
std::optional<std::string_view> AfterKey(std::string_view line, std::string_view key) {
  if (!line.starts_with(key) || line.size() == key.size() || line[key.size()] != ':') {
    return std::nullopt;
  }
  return line.substr(key.size() + 1);
}

// The quoted strings and braces of a Valve KeyValues file, in order.
std::vector<std::string> VdfTokens(std::string_view text) {
  std::vector<std::string> tokens;
  for (std::size_t i = 0; i < text.size();) {
    char c = text[i];
    if (c == '{' || c == '}') {
      tokens.emplace_back(1, c);
      ++i;
    } else if (c == '"') {
      std::string token;
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) ++i;
        token += text[i];
      }
      if (i >= text.size()) break;  // an unclosed string ends what can be read
      tokens.push_back(std::move(token));
      ++i;
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      i = text.find('\n', i);
      if (i == std::string_view::npos) break;
    } else {
      ++i;
    }
  }
  return tokens;
}

bool IsBrace(const std::string& token) {
  return token == "{" || token == "}";
}

bool AllDigits(std::string_view s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// A JSON string starting at text[i] == '"'; i ends past it. Nothing when malformed.
std::optional<std::string> JsonString(std::string_view text, std::size_t& i) {
  std::u16string out;
  for (++i; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      ++i;
      return Utf16ToUtf8(out);
    }
    if (c != '\\') {
      // Plain bytes pass as UTF-8: gather the run and convert it whole.
      std::size_t end = text.find_first_of("\"\\", i);
      if (end == std::string_view::npos) return std::nullopt;
      out += Utf8ToUtf16(text.substr(i, end - i));
      i = end - 1;
      continue;
    }
    if (++i >= text.size()) return std::nullopt;
    switch (text[i]) {
      case 'n':
        out += u'\n';
        break;
      case 't':
        out += u'\t';
        break;
      case 'r':
        out += u'\r';
        break;
      case 'b':
        out += u'\b';
        break;
      case 'f':
        out += u'\f';
        break;
      case 'u': {
        if (i + 4 >= text.size()) return std::nullopt;
        unsigned v = 0;
        for (int k = 1; k <= 4; ++k) {
          char h = text[i + static_cast<std::size_t>(k)];
          int d = (h >= '0' && h <= '9')   ? h - '0'
                  : (h >= 'a' && h <= 'f') ? h - 'a' + 10
                  : (h >= 'A' && h <= 'F') ? h - 'A' + 10
                                           : -1;
          if (d < 0) return std::nullopt;
          v = v * 16 + static_cast<unsigned>(d);
        }
        out += static_cast<char16_t>(v);
        i += 4;
        break;
      }
      default:
        out += static_cast<char16_t>(static_cast<unsigned char>(text[i]));
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadSmallFile(const fs::path& file, std::size_t max_bytes) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  if (static_cast<std::uintmax_t>(st.st_size) > max_bytes) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  // The size may have grown since: never more than max_bytes.
  std::string bytes(max_bytes + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  std::size_t got = static_cast<std::size_t>(in.gcount());
  if (got > max_bytes) return std::nullopt;
  bytes.resize(got);
  return bytes;
}

std::optional<std::string> YamlTopValue(std::string_view text, std::string_view key) {
  std::optional<std::string> found;
  ForEachLine(text, [&](std::string_view line) {
    if (auto rest = AfterKey(line, key)) {
      found = YamlScalar(*rest);
      return false;
    }
    return true;
  });
  return found;
}

std::optional<std::string> LutrisPrefix(std::string_view text) {
  std::optional<std::string> found;
  bool in_game = false;
  ForEachLine(text, [&](std::string_view line) {
    std::string_view body = Trim(line);
    if (body.empty() || body.front() == '#') return true;
    if (line.front() != ' ' && line.front() != '\t') {
      in_game = AfterKey(body, "game").has_value();
    } else if (in_game) {
      if (auto rest = AfterKey(body, "prefix")) {
        found = YamlScalar(*rest);
        return false;
      }
    }
    return true;
  });
  return found;
}

std::vector<std::string> SteamLibraryPaths(std::string_view vdf) {
  std::vector<std::string> paths;
  std::vector<std::string> tokens = VdfTokens(vdf);
  for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (IsBrace(tokens[i]) || IsBrace(tokens[i + 1])) continue;
    // New format: "path" "/x" inside each numbered block; old: "1" "/x".
    if (EqualsIgnoreCase(tokens[i], "path") || AllDigits(tokens[i])) {
      if (!tokens[i + 1].empty() && tokens[i + 1].front() == '/') paths.push_back(tokens[i + 1]);
      ++i;
    } else {
      ++i;  // a key and its value: the value is never taken for a key
    }
  }
  return paths;
}

std::optional<std::string> SteamAppName(std::string_view acf) {
  std::vector<std::string> tokens = VdfTokens(acf);
  int depth = 0;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i] == "{") {
      ++depth;
    } else if (tokens[i] == "}") {
      --depth;
    } else if (i + 1 < tokens.size() && !IsBrace(tokens[i + 1])) {
      if (depth == 1 && EqualsIgnoreCase(tokens[i], "name") && !tokens[i + 1].empty()) {
        return tokens[i + 1];
      }
      ++i;
    }
  }
  return std::nullopt;
}

std::vector<std::string> HeroicWinePrefixes(std::string_view json) {
  std::vector<std::string> prefixes;
  constexpr std::string_view kKey = "\"winePrefix\"";
  for (std::size_t at = json.find(kKey); at != std::string_view::npos; at = json.find(kKey, at)) {
    std::size_t i = at + kKey.size();
    while (i < json.size() && (json[i] == ' ' || json[i] == '\t' || json[i] == '\r' ||
                               json[i] == '\n' || json[i] == ':')) {
      ++i;
    }
    if (i < json.size() && json[i] == '"') {
      if (auto value = JsonString(json, i); value && !value->empty()) {
        prefixes.push_back(*value);
      }
    }
    at = std::max(i, at + kKey.size());
  }
  return prefixes;
}

}  // namespace korvanta::store
