#pragma once
// How much one slice of a long delete or restore takes on: it ends after a
// fraction of a second or a batch of files, whichever comes first, so the window
// stays responsive and the backup index is stored once per batch. It takes at
// least a few files whatever the time, so a short list is done in one go.

#include <chrono>
#include <cstddef>

namespace korvanta::cleaner {

class SliceBudget {
 public:
  // One more file looked at; batched: the files of the batch so far.
  bool Spent(std::size_t batched) {
    ++taken_;
    return batched >= kBatchFiles ||
           (taken_ >= kMinimum && std::chrono::steady_clock::now() - start_ >= kTime);
  }

 private:
  static constexpr auto kTime = std::chrono::milliseconds(150);
  static constexpr std::size_t kBatchFiles = 500;
  static constexpr int kMinimum = 64;

  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  int taken_ = 0;
};

}  // namespace korvanta::cleaner
