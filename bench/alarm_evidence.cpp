// The alarms on the figure and on evidence side by side: seeded starts of a simulated
// tube at a share of the stage-1 limit, how many sounded and how soon, and whole days at
// 70 % of it. Prints a table for docs/readings.md; never fails the build.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "alarm_starts.h"

namespace {

struct Figures {
  int alarmed = 0;
  int median = 0, slowest = 0;  // seconds, of the starts that sounded
};

Figures figures(const std::vector<int>& delays) {
  Figures f;
  std::vector<int> sounded;
  for (const int d : delays)
    if (d > 0) sounded.push_back(d);
  f.alarmed = static_cast<int>(sounded.size());
  if (sounded.empty()) return f;
  std::sort(sounded.begin(), sounded.end());
  f.median = sounded[sounded.size() / 2];
  f.slowest = sounded.back();
  return f;
}

void cell(const Figures& f, int starts) {
  std::printf(" %5.1f %% |", 100.0 * f.alarmed / starts);
  if (f.alarmed == 0)
    std::printf("     - |");
  else
    std::printf(" %d / %d s |", f.median, f.slowest);
}

}  // namespace

int main() {
  using radmon::testing::kStage1CpmLimit;
  using radmon::testing::stage1Delays;
  constexpr int kStarts = 1000, kSeconds = 600, kDays = 50;
  std::printf(
      "| share of the limit | figure: starts sounded | median / slowest |"
      " evidence: starts sounded | median / slowest |\n|---|---|---|---|---|\n");
  for (const double share : {0.7, 1.0, 1.5, 3.0}) {
    std::printf("| %.0f %% (%.1f CPM) |", share * 100, share * kStage1CpmLimit);
    for (const bool onEvidence : {false, true})
      cell(figures(stage1Delays(share * kStage1CpmLimit, onEvidence, kStarts, kSeconds, 34)),
           kStarts);
    std::printf("\n");
  }
  std::printf("| 70 %%, whole days |");
  for (const bool onEvidence : {false, true}) {
    const Figures f = figures(stage1Delays(0.7 * kStage1CpmLimit, onEvidence, kDays, 86400, 35));
    std::printf(" %5.1f %% of %d days |", 100.0 * f.alarmed / kDays, kDays);
    if (f.alarmed == 0)
      std::printf(" - |");
    else
      std::printf(" %d / %d s |", f.median, f.slowest);
  }
  std::printf("\n");
}
