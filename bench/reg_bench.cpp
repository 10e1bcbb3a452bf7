// Load, change one value in and save a Wine registry file, many times, and print
// the throughput of loading and of saving. Usage: reg_bench [system.reg [rounds]]
// Without a file it works on a copy of the system.reg of the wineboot template
// prefix (KORVANTA_PREFIX_TEMPLATE, else build/prefix-template).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "store/portable/atomic_file.h"
#include "store/portable/reg_hive.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double MegabytesPerSecond(std::size_t bytes, int rounds, Clock::duration d) {
  return static_cast<double>(bytes) * rounds / (1024.0 * 1024.0) / Seconds(d);
}

}  // namespace

int main(int argc, char** argv) {
  fs::path source;
  if (argc > 1) {
    source = argv[1];
  } else {
    const char* env = std::getenv("KORVANTA_PREFIX_TEMPLATE");
    source = fs::path(env ? env : KORVANTA_SOURCE_DIR "/build/prefix-template") / "system.reg";
  }
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 200;
  if (!fs::exists(source) || rounds <= 0) {
    std::fprintf(stderr, "usage: reg_bench [system.reg [rounds]] (no file at %s)\n",
                 source.string().c_str());
    return 2;
  }
  const fs::path work = fs::temp_directory_path() / "korvanta-reg-bench";
  fs::create_directories(work);
  const fs::path file = work / "system.reg";
  fs::copy_file(source, file, fs::copy_options::overwrite_existing);
  const std::size_t size = fs::file_size(file);

  Clock::duration load{}, parse{}, save{}, serialize{};
  std::size_t saved_size = 0;
  for (int i = 0; i < rounds; ++i) {
    auto t0 = Clock::now();
    std::string text = ReadFile(file);
    auto t1 = Clock::now();
    korvanta::store::RegHive hive(std::move(text));
    auto t2 = Clock::now();
    load += t2 - t0;
    parse += t2 - t1;

    korvanta::store::RegKey* key = hive.Open(u"Software\\Microsoft\\Windows NT\\CurrentVersion");
    if (!key) {
      std::fprintf(stderr, "%s has no Software\\Microsoft\\Windows NT\\CurrentVersion\n",
                   source.string().c_str());
      return 1;
    }
    const std::string owner = "o\0w\0n\0e\0r\0" + std::to_string(i % 10) + std::string("\0\0\0", 3);
    hive.SetValue(*key, u"RegisteredOwner", korvanta::store::kRegSz, owner,
                  korvanta::store::kFiletimeUnixEpoch +
                      1700000000ull * korvanta::store::kFiletimeTicksPerSecond);

    auto t3 = Clock::now();
    std::string bytes = hive.Save();
    auto t4 = Clock::now();
    if (korvanta::store::ReplaceFileAtomically(file, bytes) != korvanta::store::kSuccess) {
      std::fprintf(stderr, "cannot write %s\n", file.string().c_str());
      return 1;
    }
    auto t5 = Clock::now();
    save += t5 - t3;
    serialize += t4 - t3;
    saved_size = bytes.size();
  }
  fs::remove_all(work);

  std::printf("file: %s (%zu bytes, %d rounds)\n", source.string().c_str(), size, rounds);
  std::printf("load: %8.1f MB/s  (read file + index; index alone %.1f MB/s, %.2f ms per load)\n",
              MegabytesPerSecond(size, rounds, load), MegabytesPerSecond(size, rounds, parse),
              Seconds(load) * 1000 / rounds);
  std::printf(
      "save: %8.1f MB/s  (serialise + atomic replace with fsync; serialise alone %.1f MB/s, "
      "%.2f ms per save)\n",
      MegabytesPerSecond(saved_size, rounds, save),
      MegabytesPerSecond(saved_size, rounds, serialize), Seconds(save) * 1000 / rounds);
  return 0;
}
