#pragma once
// Registry scripts that run both through advapi32 under Wine (the probe built
// from reg_probe_win32.cpp) and through a RegistryBackend, printing the same
// lines, so a test can compare the two answer for answer.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "store/registry_backend.h"

namespace korvanta::test {

using RegScript = std::vector<std::string>;

// Commands; texts are ANSI (code page 936) bytes. A null name is the call
// without a name (the default value); access 0 is the probe's default
// (KEY_READ for open, KEY_ALL_ACCESS otherwise).
std::string OpenCmd(store::RegRoot root, std::string_view path, std::uint32_t access = 0);
std::string CreateCmd(store::RegRoot root, std::string_view path);
std::string DeleteKeyCmd(store::RegRoot root, std::string_view path);
std::string SetCmd(store::RegRoot root, std::string_view path, const char* name, std::uint32_t type,
                   std::string_view data, std::uint32_t access = 0);
std::string SetCmd(store::RegRoot root, std::string_view path, std::string_view name,
                   std::uint32_t type, std::string_view data);
// RegSetValueExW with UTF-16LE data as given (Wine side only).
std::string SetWideCmd(store::RegRoot root, std::string_view path, std::string_view name,
                       std::uint32_t type, std::string_view utf16_data);
std::string QueryCmd(store::RegRoot root, std::string_view path, const char* name,
                     std::uint32_t access = 0);
std::string QueryCmd(store::RegRoot root, std::string_view path, std::string_view name);
std::string DeleteValueCmd(store::RegRoot root, std::string_view path, std::string_view name);
std::string EnumValuesCmd(store::RegRoot root, std::string_view path);
std::string EnumKeysCmd(store::RegRoot root, std::string_view path);
std::string EchoCmd(std::string_view word);

// Runs the script with the probe on prefix (one Wine start).
std::vector<std::string> RunProbe(const std::filesystem::path& prefix, const RegScript& script);
// Runs the script against a back end.
std::vector<std::string> Run(store::RegistryBackend& registry, const RegScript& script);

// The lines after the marker `from` (an EchoCmd("part-...")) up to the next
// marker or the end.
std::vector<std::string> Part(const std::vector<std::string>& output, std::string_view from);

// The text in code page 936.
std::string Gbk(std::string_view utf8);

}  // namespace korvanta::test
