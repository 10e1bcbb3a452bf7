#include "store/portable/prefix_discovery.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

#include "store/portable/prefix_configs.h"

namespace korvanta::store {
namespace fs = std::filesystem;

namespace {

bool IsFolder(const fs::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const fs::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The entries of a folder, by name, links included; none when it cannot be read.
std::vector<fs::path> Children(const fs::path& folder) {
  std::vector<fs::path> children;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) children.push_back(it->path());
  std::sort(children.begin(), children.end());
  return children;
}

std::optional<fs::path> XdgFolder(const std::optional<std::string>& xdg, const fs::path& home,
                                  const char* fallback) {
  // A relative XDG folder is invalid and ignored, by the XDG base directory rules.
  if (xdg && fs::path(*xdg).is_absolute()) return fs::path(*xdg);
  if (home.empty()) return std::nullopt;
  return home / fallback;
}

class Discovery {
 public:
  explicit Discovery(const MachineEnvironment& env) {
    if (env.home && !env.home->empty()) home_ = *env.home;
    data_ = XdgFolder(env.xdg_data_home, home_, ".local/share").value_or(fs::path());
    config_ = XdgFolder(env.xdg_config_home, home_, ".config").value_or(fs::path());
  }

  std::vector<FoundPrefix> Run(const MachineEnvironment& env) {
    if (env.wineprefix) Add("Wine", "", *env.wineprefix);
    if (!home_.empty()) Add("Wine", "", home_ / ".wine");
    if (!data_.empty()) AddEach("winetricks", data_ / "wineprefixes");
    if (!data_.empty()) AddBottles(data_ / "bottles/bottles");
    if (!home_.empty()) {
      AddBottles(home_ / ".var/app/com.usebottles.bottles/data/bottles/bottles");
    }
    if (!config_.empty()) AddLutris(config_ / "lutris/games");
    if (!data_.empty()) AddLutris(data_ / "lutris/games");
    if (!home_.empty()) AddEach("Lutris", home_ / "Games");
    AddSteam();
    if (!config_.empty()) AddHeroic(config_ / "heroic/GamesConfig");
    if (!home_.empty()) {
      AddEach("Heroic", home_ / "Games/Heroic/Prefixes");
      AddEach("PlayOnLinux", home_ / ".PlayOnLinux/wineprefix");
      AddEach("CrossOver", home_ / ".cxoffice");
    }
    if (!data_.empty()) AddEach("PortProton", data_ / "PortWINE/PortProton/data/prefixes");
    for (FoundPrefix& found : found_) found.facts = ReadPrefixFacts(found.path / "system.reg");
    return std::move(found_);
  }

 private:
  // A path from a configuration file: "~/" is the home folder; relative paths
  // mean nothing outside the program that wrote them.
  std::optional<fs::path> ConfigPath(const std::string& text) const {
    if (text.starts_with("~/") && !home_.empty()) return home_ / text.substr(2);
    fs::path path(text);
    if (!path.is_absolute()) return std::nullopt;
    return path;
  }

  // First sight of a folder, by device and inode (links followed).
  bool FirstSight(const fs::path& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return false;
    return seen_.insert({st.st_dev, st.st_ino}).second;
  }

  void Add(const std::string& origin, std::string name, const fs::path& folder) {
    if (!IsWinePrefix(folder) || !FirstSight(folder)) return;
    if (name.empty()) name = folder.filename().string();
    if (name.empty()) name = folder.parent_path().filename().string();  // a trailing slash
    found_.push_back({origin, std::move(name), folder, {}});
  }

  void AddEach(const std::string& origin, const fs::path& folder) {
    for (const fs::path& child : Children(folder)) Add(origin, "", child);
  }

  void AddBottles(const fs::path& folder) {
    for (const fs::path& bottle : Children(folder)) {
      std::optional<std::string> text = ReadSmallFile(bottle / "bottle.yml");
      std::optional<std::string> name = text ? YamlTopValue(*text, "Name") : std::nullopt;
      Add("Bottles", name.value_or(""), bottle);
    }
  }

  void AddLutris(const fs::path& folder) {
    for (const fs::path& file : Children(folder)) {
      if (file.extension() != ".yml") continue;
      std::optional<std::string> text = ReadSmallFile(file);
      if (!text) continue;
      std::optional<std::string> prefix = LutrisPrefix(*text);
      std::optional<fs::path> path = prefix ? ConfigPath(*prefix) : std::nullopt;
      if (!path) continue;
      std::optional<std::string> name = YamlTopValue(*text, "name");
      Add("Lutris", name ? *name : GameSlug(file.stem().string()), *path);
    }
  }

  // Lutris names its game files <slug>-<seconds>.yml.
  static std::string GameSlug(std::string stem) {
    std::size_t dash = stem.rfind('-');
    if (dash != std::string::npos && dash > 0 && dash + 1 < stem.size() &&
        stem.find_first_not_of("0123456789", dash + 1) == std::string::npos) {
      stem.resize(dash);
    }
    return stem;
  }

  void AddSteam() {
    std::vector<fs::path> libraries;
    std::set<std::pair<dev_t, ino_t>> seen;
    auto add_library = [&](const fs::path& library) {
      struct stat st {};
      if (::stat((library / "steamapps").c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
      if (seen.insert({st.st_dev, st.st_ino}).second) libraries.push_back(library);
    };
    std::vector<fs::path> roots;
    if (!home_.empty()) roots.push_back(home_ / ".steam/steam");
    if (!data_.empty()) roots.push_back(data_ / "Steam");
    if (!home_.empty())
      roots.push_back(home_ / ".var/app/com.valvesoftware.Steam/.local/share/Steam");
    for (const fs::path& root : roots) {
      add_library(root);
      for (const char* list : {"steamapps/libraryfolders.vdf", "config/libraryfolders.vdf"}) {
        std::optional<std::string> text = ReadSmallFile(root / list);
        if (!text) continue;
        for (const std::string& path : SteamLibraryPaths(*text)) add_library(path);
      }
    }
    for (const fs::path& library : libraries) {
      for (const fs::path& app : Children(library / "steamapps/compatdata")) {
        std::string appid = app.filename().string();
        Add("Steam", SteamName(libraries, appid).value_or(appid), app / "pfx");
      }
    }
  }

  // A game's prefix stays where it was first run; the game may have moved to
  // another library since.
  static std::optional<std::string> SteamName(const std::vector<fs::path>& libraries,
                                              const std::string& appid) {
    for (const fs::path& library : libraries) {
      fs::path manifest = library / "steamapps" / ("appmanifest_" + appid + ".acf");
      if (!IsFile(manifest)) continue;
      if (std::optional<std::string> text = ReadSmallFile(manifest)) {
        if (auto name = SteamAppName(*text)) return name;
      }
    }
    return std::nullopt;
  }

  void AddHeroic(const fs::path& folder) {
    for (const fs::path& file : Children(folder)) {
      if (file.extension() != ".json") continue;
      std::optional<std::string> text = ReadSmallFile(file);
      if (!text) continue;
      for (const std::string& prefix : HeroicWinePrefixes(*text)) {
        if (std::optional<fs::path> path = ConfigPath(prefix)) Add("Heroic", "", *path);
      }
    }
  }

  fs::path home_, data_, config_;
  std::set<std::pair<dev_t, ino_t>> seen_;
  std::vector<FoundPrefix> found_;
};

}  // namespace

bool IsWinePrefix(const fs::path& folder) {
  return IsFile(folder / "system.reg") && IsFile(folder / "user.reg") &&
         IsFolder(folder / "drive_c");
}

std::vector<FoundPrefix> DiscoverPrefixes(const MachineEnvironment& env) {
  return Discovery(env).Run(env);
}

}  // namespace korvanta::store
