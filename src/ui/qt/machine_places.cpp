#include "ui/qt/machine_places.h"

#include <algorithm>
#include <cctype>

#include "store/paths.h"

namespace korvanta::ui::qt {

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool HasDrive(std::string_view path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// "c:\a\.\b\..\c" as "C:\a\c"; ".." stops at the root, as on Windows.
std::string Normalised(std::string_view path) {
  std::vector<std::string_view> names;
  std::string_view rest = path.substr(2);
  while (!rest.empty()) {
    const std::size_t cut = rest.find('\\');
    const std::string_view name = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    names.push_back(name);
  }
  std::string out{static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))), ':', '\\'};
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += '\\';
    out += names[i];
  }
  return out;
}

}  // namespace

std::optional<std::string> ParentWindowsPath(std::string_view path) {
  if (path.size() <= 3) return std::nullopt;
  std::size_t cut =
      path.rfind('\\', path.back() == '\\' ? path.size() - 2 : std::string_view::npos);
  if (cut == std::string_view::npos) return std::nullopt;
  return std::string(path.substr(0, std::max<std::size_t>(cut, 2))) + (cut <= 2 ? "\\" : "");
}

std::vector<MachineEntry> MachinePlaces::List(const std::string& folder) const {
  std::vector<MachineEntry> entries;
  for (store::MachineFiles::Entry& e : machine_.List(folder)) {
    entries.push_back({QString::fromStdString(e.name), e.folder, e.size,
                       QDateTime::fromSecsSinceEpoch(e.modified)});
  }
  std::sort(entries.begin(), entries.end(), [](const MachineEntry& a, const MachineEntry& b) {
    if (a.folder != b.folder) return a.folder;
    return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
  });
  return entries;
}

std::optional<MachinePlace> MachinePlaces::Find(std::string_view typed,
                                                std::string_view base) const {
  std::string text(typed);
  text.erase(0, text.find_first_not_of(" \t"));
  text.erase(text.find_last_not_of(" \t") + 1);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  std::replace(text.begin(), text.end(), '/', '\\');
  if (text.empty() || text.rfind("\\\\", 0) == 0) return std::nullopt;  // no network paths
  std::string full;
  if (HasDrive(text)) {
    full = text.substr(0, 2) + "\\" + text.substr(2);
  } else if (!HasDrive(base)) {
    return std::nullopt;
  } else if (text.front() == '\\') {
    full = std::string(base.substr(0, 2)) + text;
  } else {
    full = store::JoinPath(std::string(base), text);
  }
  return machine_.Find(Normalised(full));
}

// The patterns are made into expressions once: a folder's every name is matched.
FileFilter::FileFilter(QString caption_text, const QStringList& patterns)
    : caption(std::move(caption_text)) {
  for (const QString& pattern : patterns) {
    everything_ = everything_ || pattern == QStringLiteral("*") || pattern == QStringLiteral("*.*");
    matchers_.emplace_back(QRegularExpression::wildcardToRegularExpression(pattern),
                           QRegularExpression::CaseInsensitiveOption);
  }
}

bool FileFilter::Matches(const QString& name) const {
  if (everything_) return true;
  for (const QRegularExpression& matcher : matchers_) {
    if (matcher.match(name).hasMatch()) return true;
  }
  return false;
}

std::vector<FileFilter> FileFilters(std::string_view filter) {
  const QStringList parts = Q(filter).split(QLatin1Char('|'));
  std::vector<FileFilter> filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      patterns << p.trimmed();
    }
    filters.emplace_back(parts[i].trimmed(), patterns);
  }
  return filters;
}

}  // namespace korvanta::ui::qt
