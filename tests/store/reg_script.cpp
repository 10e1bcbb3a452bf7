#include "store/reg_script.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "store/portable/cp936.h"
#include "support/test_support.h"

namespace korvanta::test {
namespace {

constexpr std::uint32_t kAllAccess = 0xf003f;

std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out.push_back(kDigits[c >> 4]);
    out.push_back(kDigits[c & 15]);
  }
  return out;
}

std::string Number(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%x", v);
  return buf;
}

std::string Command(std::string_view op, store::RegRoot root, std::string_view path,
                    const std::vector<std::string>& more = {}) {
  std::string out(op);
  out += "," + Number(static_cast<std::uint32_t>(root)) + "," + Hex(path);
  for (const auto& field : more) out += "," + field;
  return out;
}

std::string NameField(const char* name) {
  return name ? Hex(name) : "null";
}

std::string HexOrDash(std::string_view bytes) {
  return bytes.empty() ? "-" : Hex(bytes);
}

std::vector<std::string> Fields(const std::string& command) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = command.find(',', start);
    fields.push_back(command.substr(start, comma == std::string::npos ? comma : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  while (fields.size() < 7) fields.emplace_back();
  return fields;
}

std::string Unhex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
  }
  return out;
}

std::uint32_t Parse(const std::string& field, std::uint32_t fallback) {
  return field.empty() ? fallback
                       : static_cast<std::uint32_t>(std::strtoul(field.c_str(), nullptr, 16));
}

void RunOne(store::RegistryBackend& reg, const std::string& command,
            std::vector<std::string>& out) {
  const auto f = Fields(command);
  const std::string& op = f[0];
  if (op == "echo") {
    out.push_back(f[1]);
    return;
  }
  const auto root = static_cast<store::RegRoot>(Parse(f[1], 0));
  const std::string path = Unhex(f[2]);
  store::KeyHandle key;
  if (op == "open") {
    out.push_back("open " +
                  std::to_string(reg.OpenKey(root, path, Parse(f[3], store::kKeyRead), key)));
  } else if (op == "create") {
    out.push_back("create " + std::to_string(reg.CreateKey(root, path, key)));
  } else if (op == "delkey") {
    out.push_back("delkey " + std::to_string(reg.DeleteKey(root, path)));
  } else {
    const std::uint32_t access = Parse(op == "set" ? f[6] : op == "query" ? f[4] : "", kAllAccess);
    if (store::Status s = reg.OpenKey(root, path, access, key); s != store::kSuccess) {
      out.push_back(op + " open " + std::to_string(s));
      return;
    }
    // No name and an empty name both mean the default value.
    const std::string name = f[3] == "null" ? "" : Unhex(f[3]);
    if (op == "set") {
      out.push_back("set " + std::to_string(reg.SetValue(key, name, Parse(f[4], 0), Unhex(f[5]))));
    } else if (op == "query") {
      store::RegData data;
      const store::Status s = reg.QueryValue(key, name, data);
      out.push_back("query " + std::to_string(s) + " " + std::to_string(s ? 0 : data.type) + " " +
                    (s ? "-" : HexOrDash(data.bytes)));
    } else if (op == "delval") {
      out.push_back("delval " + std::to_string(reg.DeleteValue(key, name)));
    } else if (op == "enumval") {
      for (std::uint32_t i = 0;; ++i) {
        std::string value_name;
        store::RegData data;
        const store::Status s = reg.EnumValue(key, i, value_name, data);
        if (s != store::kSuccess) {
          out.push_back("enumval " + std::to_string(s));
          break;
        }
        out.push_back("enumval 0 " + HexOrDash(value_name) + " " + std::to_string(data.type) + " " +
                      HexOrDash(data.bytes));
      }
    } else if (op == "enumkey") {
      for (std::uint32_t i = 0;; ++i) {
        std::string subkey;
        const store::Status s = reg.EnumKey(key, i, subkey);
        if (s != store::kSuccess) {
          out.push_back("enumkey " + std::to_string(s));
          break;
        }
        out.push_back("enumkey 0 " + HexOrDash(subkey));
      }
    } else {
      out.push_back(op + " unknown");
    }
  }
  if (key) reg.CloseKey(key);
}

}  // namespace

std::string OpenCmd(store::RegRoot root, std::string_view path, std::uint32_t access) {
  return Command("open", root, path, {access ? Number(access) : ""});
}
std::string CreateCmd(store::RegRoot root, std::string_view path) {
  return Command("create", root, path);
}
std::string DeleteKeyCmd(store::RegRoot root, std::string_view path) {
  return Command("delkey", root, path);
}
std::string SetCmd(store::RegRoot root, std::string_view path, const char* name, std::uint32_t type,
                   std::string_view data, std::uint32_t access) {
  return Command("set", root, path,
                 {NameField(name), Number(type), Hex(data), access ? Number(access) : ""});
}
std::string SetCmd(store::RegRoot root, std::string_view path, std::string_view name,
                   std::uint32_t type, std::string_view data) {
  return Command("set", root, path, {Hex(name), Number(type), Hex(data), ""});
}
std::string SetWideCmd(store::RegRoot root, std::string_view path, std::string_view name,
                       std::uint32_t type, std::string_view utf16_data) {
  return Command("setw", root, path, {Hex(name), Number(type), Hex(utf16_data)});
}
std::string QueryCmd(store::RegRoot root, std::string_view path, const char* name,
                     std::uint32_t access) {
  return Command("query", root, path, {NameField(name), access ? Number(access) : ""});
}
std::string QueryCmd(store::RegRoot root, std::string_view path, std::string_view name) {
  return Command("query", root, path, {Hex(name)});
}
std::string DeleteValueCmd(store::RegRoot root, std::string_view path, std::string_view name) {
  return Command("delval", root, path, {Hex(name)});
}
std::string EnumValuesCmd(store::RegRoot root, std::string_view path) {
  return Command("enumval", root, path);
}
std::string EnumKeysCmd(store::RegRoot root, std::string_view path) {
  return Command("enumkey", root, path);
}
std::string EchoCmd(std::string_view word) {
  return "echo," + std::string(word);
}

std::vector<std::string> RunProbe(const std::filesystem::path& prefix, const RegScript& script) {
  std::size_t length = 0;
  for (const auto& c : script) length += c.size() + 3;
  // A Windows command line holds 32767 characters.
  EXPECT_LT(length, 30000u) << "script too long for one command line";
  std::vector<std::string> args{KORVANTA_REG_PROBE};
  args.insert(args.end(), script.begin(), script.end());
  const RunResult result = RunUnderWine(prefix, args);
  EXPECT_EQ(result.status, 0) << result.out;
  std::vector<std::string> lines;
  std::string line;
  for (char c : result.out) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::vector<std::string> Run(store::RegistryBackend& registry, const RegScript& script) {
  std::vector<std::string> out;
  for (const auto& command : script) RunOne(registry, command, out);
  return out;
}

std::vector<std::string> Part(const std::vector<std::string>& output, std::string_view from) {
  std::vector<std::string> part;
  bool inside = false;
  for (const auto& line : output) {
    if (line.find(' ') == std::string::npos && line.rfind("part-", 0) == 0) {
      if (inside) break;
      inside = line == from;
      continue;
    }
    if (inside) part.push_back(line);
  }
  return part;
}

std::string Gbk(std::string_view utf8) {
  return store::Cp936().ToAnsi(utf8);
}

}  // namespace korvanta::test
