#pragma once
// What the machine's own file dialogs show: its drives and the entries of its
// folders, by the machine's Windows paths, and what a path typed into them names.

#include <QDateTime>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/machine_files.h"

namespace korvanta::ui::qt {

struct MachineEntry {
  QString name;
  bool folder = false;
  std::uintmax_t size = 0;
  QDateTime modified;
};

using MachinePlace = store::MachineFiles::Place;

class MachinePlaces {
 public:
  explicit MachinePlaces(const store::MachineFiles& machine) : machine_(machine) {}

  // The machine's drive letters, C: first.
  std::vector<char> Drives() const { return machine_.Drives(); }

  // A folder's entries: folders first, then files, each by name regardless of case.
  std::vector<MachineEntry> List(const std::string& folder) const;

  // What a typed path names: absolute ("d:\x", "C:"), from the drive's root
  // ("\x"), or relative to base; "." and ".." taken as Windows takes them, "/" as
  // "\". Nothing when it is not there or leads out of the machine.
  std::optional<MachinePlace> Find(std::string_view typed, std::string_view base) const;

 private:
  const store::MachineFiles& machine_;
};

// The folder that holds a path ("C:\a\b" -> "C:\a", "C:\a" -> "C:\"); nothing for a root.
std::optional<std::string> ParentWindowsPath(std::string_view path);

// A Windows file filter ("bmp文件|*.bmp|所有文件|*.*") as its choices: caption and
// patterns, which match names regardless of case as Windows does.
class FileFilter {
 public:
  FileFilter(QString caption, const QStringList& patterns);
  bool Matches(const QString& name) const;

  QString caption;

 private:
  bool everything_ = false;  // "*" or "*.*"
  std::vector<QRegularExpression> matchers_;
};
std::vector<FileFilter> FileFilters(std::string_view filter);

}  // namespace korvanta::ui::qt
