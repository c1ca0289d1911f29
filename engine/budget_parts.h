#ifndef VELKARO_ENGINE_BUDGET_PARTS_H_
#define VELKARO_ENGINE_BUDGET_PARTS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/text_parts.h"

namespace velkaro {

// A part that a budget is asked about. The last part reaches the end of the
// text, or leaves six or fewer blanks and line ends that make no part.
struct PartCut {
  int number;  // from 1
  size_t start;
  size_t end;
  bool last;
};

// Measures the packages of parts.
class PartBudget {
 public:
  virtual ~PartBudget() = default;
  // The most bytes a package may take.
  virtual uint64_t Room() const = 0;
  // The bytes of the part's package; any number above `limit` when it takes
  // more than that.
  virtual uint64_t PackageBytes(const PartCut& part, uint64_t limit) = 0;
  // Reports a part that does not fit however short it is cut; throws.
  [[noreturn]] virtual void TooBig(const PartCut& shortest) = 0;
};

// The text cut into parts whose packages fit the budget's room, each as long
// as the room allows and at most `part_size` letters, the last part too; each
// ends where FindPartEnd ends the longest window that fits. Only six or fewer
// blanks and line ends left make no part: where the budget cuts, any other
// letters left would be lost.
PartPlan PlanPartsWithin(std::u16string_view text, int32_t part_size, PartBudget& budget);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_BUDGET_PARTS_H_
