#include "engine/budget_parts.h"

#include <algorithm>

namespace velkaro {
namespace {

// Where a budget cut the text, only blanks and line ends may be left out.
bool AnotherPartFollows(std::u16string_view text, size_t end) {
  return text.size() - end > kMostLeftOver ||
         text.find_first_not_of(u" \n", end) != std::u16string_view::npos;
}

// Finds the longest part from one start whose package fits. A window of w
// letters gives the part FindPartEnd ends in it; a longer window ends no
// earlier, so its package is no smaller. Measuring a package is costly, so
// the search guesses where the package reaches the room from the sizes it has
// measured (packages grow about evenly with their letters), and halves the
// windows left whenever a guess does not halve them.
class PartSearch {
 public:
  PartSearch(std::u16string_view text, size_t start, int number, size_t most_letters,
             PartBudget& budget, double& bytes_per_letter)
      : text_(text),
        start_(start),
        number_(number),
        most_(std::min(most_letters, text.size() - start)),
        budget_(budget),
        room_(budget.Room()),
        bytes_per_letter_(bytes_per_letter) {}

  PartCut Longest();

 private:
  struct Probe {
    PartCut cut;
    uint64_t bytes;  // exact up to twice the room
  };

  PartCut Cut(size_t window) const;
  Probe Measure(size_t window);
  // The longest window that ends where `window` ends: the next place to cut
  // comes only after it.
  size_t LongestEndingLike(size_t window, const PartCut& cut) const;
  size_t NextWindow(bool& guessed) const;
  void Record(size_t window, const Probe& probe);

  std::u16string_view text_;
  size_t start_;
  int number_;
  size_t most_;  // letters the part may hold
  PartBudget& budget_;
  uint64_t room_;
  double& bytes_per_letter_;  // learnt from part to part; 0 until known
  // Windows up to `fits` fit (the longest measured is `fitting`), windows
  // from `too_long` on do not (the shortest measured, when any, `too_big`).
  size_t fits_ = 0;
  size_t too_long_ = 0;
  Probe fitting_{};
  Probe too_big_{};
  bool too_big_known_ = false;
};

PartCut PartSearch::Cut(size_t window) const {
  const size_t end = FindPartEnd(text_, start_, static_cast<int32_t>(window), false);
  return PartCut{number_, start_, end, !AnotherPartFollows(text_, end)};
}

PartSearch::Probe PartSearch::Measure(size_t window) {
  const PartCut cut = Cut(window);
  return Probe{cut, budget_.PackageBytes(cut, 2 * room_)};
}

size_t PartSearch::LongestEndingLike(size_t window, const PartCut& cut) const {
  if (cut.end == start_ || !EndsAPart(text_[cut.end - 1])) return window;
  size_t next = cut.end + 1;
  while (next <= start_ + most_ && !EndsAPart(text_[next - 1])) ++next;
  const size_t longest = std::min(next - start_ - 1, most_);
  return Cut(longest).end == cut.end ? std::max(longest, window) : window;
}

size_t PartSearch::NextWindow(bool& guessed) const {
  const size_t middle = fits_ + (too_long_ - fits_) / 2;
  double bytes_per_letter = bytes_per_letter_;
  if (too_big_known_ && too_big_.cut.end > fitting_.cut.end) {
    bytes_per_letter = static_cast<double>(too_big_.bytes - fitting_.bytes) /
                       static_cast<double>(too_big_.cut.end - fitting_.cut.end);
  }
  guessed = bytes_per_letter > 0;
  if (!guessed) return middle;
  const double letters = static_cast<double>(room_ - fitting_.bytes) / bytes_per_letter;
  const size_t guess = fitting_.cut.end - start_ + static_cast<size_t>(letters);
  return std::clamp(guess, fits_ + 1, too_long_ - 1);
}

void PartSearch::Record(size_t window, const Probe& probe) {
  if (probe.bytes <= room_) {
    fitting_ = probe;
    fits_ = std::min(LongestEndingLike(window, probe.cut), too_long_ - 1);
  } else {
    // Every window that reaches the probe's end ends there or later.
    too_big_ = probe;
    too_big_known_ = probe.bytes <= 2 * room_;
    too_long_ = std::clamp(probe.cut.end - start_, fits_ + 1, window);
  }
}

PartCut PartSearch::Longest() {
  const PartCut whole_rest{number_, start_, text_.size(), true};
  if (start_ + most_ == text_.size() && budget_.PackageBytes(whole_rest, room_) <= room_) {
    return whole_rest;
  }
  const Probe shortest = Measure(1);
  if (shortest.bytes > room_) budget_.TooBig(shortest.cut);
  too_long_ = most_ + 1;
  Record(1, shortest);
  while (too_long_ - fits_ > 1) {
    const size_t before = too_long_ - fits_;
    bool guessed = false;
    const size_t window = NextWindow(guessed);
    Record(window, Measure(window));
    // A guess that did not halve the windows left gives way to halving.
    if (guessed && 2 * (too_long_ - fits_) > before && too_long_ - fits_ > 1) {
      const size_t middle = fits_ + (too_long_ - fits_) / 2;
      Record(middle, Measure(middle));
    }
  }
  if (fitting_.cut.end > shortest.cut.end) {
    bytes_per_letter_ = static_cast<double>(fitting_.bytes - shortest.bytes) /
                        static_cast<double>(fitting_.cut.end - shortest.cut.end);
  }
  return fitting_.cut;
}

}  // namespace

PartPlan PlanPartsWithin(std::u16string_view text, int32_t part_size, PartBudget& budget) {
  PartPlan plan;
  double bytes_per_letter = 0;
  for (size_t start = 0; start < text.size();) {
    const PartCut part = PartSearch(text, start, static_cast<int>(plan.ends.size()) + 1,
                                    static_cast<size_t>(part_size), budget, bytes_per_letter)
                             .Longest();
    plan.ends.push_back(part.end);
    if (part.last) break;
    start = part.end;
  }
  plan.count = static_cast<int>(plan.ends.size());
  return plan;
}

}  // namespace velkaro
