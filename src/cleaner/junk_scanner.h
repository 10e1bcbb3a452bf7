#pragma once
// The junk scan: every root walked once for all its patterns, handing out rows
// in the order one walk per pattern would (a root's matches of the first
// pattern in walk order, then those of the second, ...). It works in slices of
// a time budget, so that the window handles its events between them.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cleaner/junk_pattern.h"
#include "store/file_tools.h"

namespace korvanta::cleaner {

struct ScanRow {
  std::string name;
  std::string folder;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // FILETIME
};

// One root and the patterns it is searched for; no patterns: every file.
struct ScanSearch {
  std::string root;
  std::vector<JunkPattern> patterns;
};

class JunkScan {
 public:
  JunkScan(store::FileTools& tools, std::vector<ScanSearch> searches)
      : tools_(tools), searches_(std::move(searches)) {}

  // Walks on for about budget and appends to rows what it completed: the rows of
  // every root walked to its end. False when the scan is over.
  bool Step(std::chrono::milliseconds budget, std::vector<ScanRow>& rows);
  // Ends the scan, appending the rows the root under way found so far.
  void Stop(std::vector<ScanRow>& rows);
  bool over() const { return next_ >= searches_.size() && !walk_; }
  // The folder walked last, for the status bar.
  const std::string& folder() const { return folder_; }

 private:
  void FinishRoot(std::vector<ScanRow>& rows);

  store::FileTools& tools_;
  std::vector<ScanSearch> searches_;
  std::size_t next_ = 0;  // the search under way, or the next one
  std::unique_ptr<store::FolderWalk> walk_;
  std::vector<std::vector<ScanRow>> found_;  // the root's matches, by pattern
  std::string folder_;
};

// The size column: kilobytes rounded to a whole number, no digits for 0 ("2 KB",
// " KB").
std::string SizeText(std::uint64_t bytes);

}  // namespace korvanta::cleaner
