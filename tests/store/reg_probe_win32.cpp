// A Windows program that makes registry calls through advapi32 under Wine and
// prints what they return, so tests can compare the portable registry with the
// real thing. Each argument is one command; fields are separated by commas and
// texts (paths, names, data) are hex bytes in the ANSI code page:
//   open,ROOT,PATH[,ACCESS]        create,ROOT,PATH        delkey,ROOT,PATH
//   set,ROOT,PATH,NAME,TYPE,DATA[,ACCESS]    setw,ROOT,PATH,NAME,TYPE,UTF16DATA
//   query,ROOT,PATH,NAME[,ACCESS]  delval,ROOT,PATH,NAME   enumval,ROOT,PATH
//   enumkey,ROOT,PATH              echo,TEXT (prints TEXT, to mark parts of the output)
// ROOT, TYPE and ACCESS are hex numbers; NAME "null" passes no name. Value
// commands open the key first and print "<command> open <status>" when that
// fails. Output: "<command> <status> [<name hex>] [<type> <data hex>]", "-" for
// no bytes. Built with mingw-w64; not part of the program.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Unhex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
  }
  return out;
}

std::string Hex(const void* data, std::size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    out.push_back(kDigits[bytes[i] >> 4]);
    out.push_back(kDigits[bytes[i] & 15]);
  }
  return out.empty() ? "-" : out;
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

DWORD Number(const std::string& field, DWORD fallback) {
  return field.empty() ? fallback : std::strtoul(field.c_str(), nullptr, 16);
}

void Run(const std::string& command) {
  static BYTE data[1 << 20];
  static char name[32768];
  const auto f = Fields(command);
  const std::string& op = f[0];
  if (op == "echo") {
    std::printf("%s\n", f[1].c_str());
    return;
  }
  const HKEY root = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(Number(f[1], 0)));
  const std::string path = Unhex(f[2]);
  HKEY key = nullptr;
  LONG rc;
  if (op == "open") {
    rc = RegOpenKeyExA(root, path.c_str(), 0, Number(f[3], KEY_READ), &key);
    std::printf("open %ld\n", rc);
  } else if (op == "create") {
    rc = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    std::printf("create %ld\n", rc);
  } else if (op == "delkey") {
    std::printf("delkey %ld\n", RegDeleteKeyA(root, path.c_str()));
  } else {
    const DWORD access = Number(op == "set" ? f[6] : op == "query" ? f[4] : "", KEY_ALL_ACCESS);
    rc = RegOpenKeyExA(root, path.c_str(), 0, access, &key);
    if (rc != ERROR_SUCCESS) {
      std::printf("%s open %ld\n", op.c_str(), rc);
      return;
    }
    const std::string value_name = Unhex(f[3]);
    const char* value = f[3] == "null" ? nullptr : value_name.c_str();
    if (op == "set" || op == "setw") {
      // Two zero bytes after the data, as after any C string.
      std::string bytes = Unhex(f[5]);
      const DWORD size = static_cast<DWORD>(bytes.size());
      bytes.append(2, '\0');
      const DWORD type = Number(f[4], REG_NONE);
      if (op == "set") {
        rc = RegSetValueExA(key, value, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), size);
      } else {
        std::wstring wide(value_name.size() + 1, L'\0');
        MultiByteToWideChar(CP_ACP, 0, value_name.c_str(), -1, &wide[0],
                            static_cast<int>(wide.size()));
        rc = RegSetValueExW(key, wide.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                            size);
      }
      std::printf("%s %ld\n", op.c_str(), rc);
    } else if (op == "query") {
      DWORD type = 0, size = sizeof data;
      rc = RegQueryValueExA(key, value, nullptr, &type, data, &size);
      std::printf("query %ld %lu %s\n", rc, type, rc ? "-" : Hex(data, size).c_str());
    } else if (op == "delval") {
      std::printf("delval %ld\n", RegDeleteValueA(key, value));
    } else if (op == "enumval") {
      for (DWORD i = 0;; ++i) {
        DWORD name_size = sizeof name, type = 0, size = sizeof data;
        rc = RegEnumValueA(key, i, name, &name_size, nullptr, &type, data, &size);
        if (rc != ERROR_SUCCESS) {
          std::printf("enumval %ld\n", rc);
          break;
        }
        std::printf("enumval 0 %s %lu %s\n", Hex(name, name_size).c_str(), type,
                    Hex(data, size).c_str());
      }
    } else if (op == "enumkey") {
      for (DWORD i = 0;; ++i) {
        DWORD name_size = sizeof name;
        rc = RegEnumKeyExA(key, i, name, &name_size, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) {
          std::printf("enumkey %ld\n", rc);
          break;
        }
        std::printf("enumkey 0 %s\n", Hex(name, name_size).c_str());
      }
    } else {
      std::printf("%s unknown\n", op.c_str());
    }
  }
  if (key) RegCloseKey(key);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) Run(argv[i]);
  return 0;
}
