#include "cleaner/junk_scanner.h"

namespace korvanta::cleaner {
namespace {

// The two names a search never lists, compared with letter case.
bool AlwaysSkipped(std::string_view name) {
  return name == "desktop.ini" || name == "index.dat";
}

}  // namespace

std::string SizeText(std::uint64_t bytes) {
  std::uint64_t kilobytes = (bytes + 512) / 1024;
  return (kilobytes ? std::to_string(kilobytes) : std::string()) + " KB";
}

bool JunkScan::Step(std::chrono::milliseconds budget, std::vector<ScanRow>& rows) {
  const auto deadline = std::chrono::steady_clock::now() + budget;
  unsigned examined = 0;
  while (next_ < searches_.size() || walk_) {
    if (!walk_) {
      const ScanSearch& search = searches_[next_];
      walk_ = tools_.Walk(search.root);
      found_.assign(search.patterns.empty() ? 1 : search.patterns.size(), {});
      folder_ = search.root;
    }
    const std::vector<JunkPattern>& patterns = searches_[next_].patterns;
    std::string_view folder, name;
    while (walk_->Next(folder, name)) {
      if (!AlwaysSkipped(name)) {
        std::optional<store::FileEntry> details;
        for (std::size_t i = 0; i < found_.size(); ++i) {
          if (!patterns.empty() && !patterns[i].Matches(name)) continue;
          if (!details && !(details = walk_->Details())) break;  // gone meanwhile
          found_[i].push_back(
              {std::string(name), std::string(folder), details->size, details->modified});
        }
      }
      if ((++examined & 127) == 0 && std::chrono::steady_clock::now() >= deadline) {
        folder_ = folder;
        return true;
      }
    }
    FinishRoot(rows);
  }
  return false;
}

void JunkScan::Stop(std::vector<ScanRow>& rows) {
  if (walk_) FinishRoot(rows);
  next_ = searches_.size();
}

void JunkScan::FinishRoot(std::vector<ScanRow>& rows) {
  for (auto& matches : found_) {
    for (auto& row : matches) rows.push_back(std::move(row));
  }
  found_.clear();
  walk_.reset();
  ++next_;
}

}  // namespace korvanta::cleaner
