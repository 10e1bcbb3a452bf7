#include "store/portable/machine_offers.h"

#include <sys/stat.h>

#include <algorithm>

#include "store/portable/atomic_file.h"
#include "store/portable/prefix_configs.h"
#include "store/portable/server_lock.h"

namespace korvanta::store {
namespace fs = std::filesystem;

namespace {

bool SameFolder(const fs::path& a, const fs::path& b) {
  struct stat sa {
  }, sb{};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

}  // namespace

std::vector<MachineOffer> OfferMachines(const MachineEnvironment& env,
                                        const fs::path& demo_facts_from) {
  std::vector<MachineOffer> offers;
  for (FoundPrefix& prefix : DiscoverPrefixes(env)) {
    MachineOffer offer{std::move(prefix)};
    offer.in_use = RunningWineserver(offer.prefix.path).has_value();
    offers.push_back(std::move(offer));
  }
  std::optional<fs::path> remembered = RememberedMachine(env);
  if (remembered) {
    auto it = std::find_if(offers.begin(), offers.end(), [&](const MachineOffer& o) {
      return SameFolder(o.prefix.path, *remembered);
    });
    if (it != offers.end()) {
      it->remembered = true;
      std::rotate(offers.begin(), it, it + 1);
    }
  }
  if (std::optional<fs::path> demo = DemoMachineFolder(env)) {
    MachineOffer offer{{std::string(kDemoOrigin), std::string(kDemoName), *demo, {}}, true};
    std::error_code ec;
    bool made = fs::is_directory(*demo, ec);
    offer.prefix.facts = ReadPrefixFacts(made ? *demo / "system.reg" : demo_facts_from);
    offer.in_use = made && RunningWineserver(*demo).has_value();
    offer.remembered = remembered && made && SameFolder(*demo, *remembered);
    offers.push_back(std::move(offer));
  }
  return offers;
}

std::string MachineTitle(const FoundPrefix& prefix) {
  return prefix.origin + "：" + prefix.name;
}

NamedMachine FindMachineNamed(const std::vector<MachineOffer>& offers, std::string_view name) {
  NamedMachine result;
  std::vector<const MachineOffer*> matches;
  for (const MachineOffer& offer : offers) {
    const FoundPrefix& p = offer.prefix;
    if (name == p.name || name == p.origin + "/" + p.name) matches.push_back(&offer);
  }
  if (matches.size() == 1) {
    result.offer = *matches.front();
  } else if (matches.empty()) {
    result.error = "no machine folder at " + std::string(name) +
                   ", nor a Wine prefix of that name (korvanta --list-machines lists them)";
  } else {
    result.error =
        std::string(name) + " names several Wine prefixes; give origin/name or the path:";
    for (const MachineOffer* m : matches) result.error += "\n  " + m->prefix.path.string();
  }
  return result;
}

std::optional<fs::path> RememberedMachineFile(const MachineEnvironment& env) {
  if (env.xdg_config_home && fs::path(*env.xdg_config_home).is_absolute()) {
    return fs::path(*env.xdg_config_home) / "korvanta" / "machine";
  }
  if (!env.home || env.home->empty()) return std::nullopt;
  return fs::path(*env.home) / ".config" / "korvanta" / "machine";
}

std::optional<fs::path> RememberedMachine(const MachineEnvironment& env) {
  std::optional<fs::path> file = RememberedMachineFile(env);
  std::optional<std::string> text = file ? ReadSmallFile(*file, 64 * 1024) : std::nullopt;
  if (!text) return std::nullopt;
  std::string line = text->substr(0, text->find('\n'));
  if (line.empty() || line.front() != '/') return std::nullopt;
  return fs::path(line);
}

bool RememberMachine(const MachineEnvironment& env, const fs::path& folder) {
  std::optional<fs::path> file = RememberedMachineFile(env);
  if (!file) return false;
  std::error_code ec;
  fs::create_directories(file->parent_path(), ec);
  if (ec) return false;
  return ReplaceFileAtomically(*file, folder.string() + "\n") == kSuccess;
}

}  // namespace korvanta::store
