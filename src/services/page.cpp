#include "services/page.h"

#include <algorithm>

namespace korvanta::services {

void FillPages(std::span<Page* const> pages) {
  for (int s = 0; s < static_cast<int>(LoadStep::kEnd); ++s) {
    const auto step = static_cast<LoadStep>(s);
    for (Page* page : pages) {
      const std::vector<LoadStep> steps = page->steps();
      if (std::find(steps.begin(), steps.end(), step) != steps.end()) page->Fill(step);
    }
  }
}

}  // namespace korvanta::services
