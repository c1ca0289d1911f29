#ifndef VELKARO_DOCUMENTS_UNPACKED_BUDGET_H_
#define VELKARO_DOCUMENTS_UNPACKED_BUDGET_H_

#include <cstdint>

namespace velkaro {

// What a reader takes out of one document (inflated parts, decoded
// pictures), counted each time it is taken, since each copy stays in memory
// with the document: a small file that names one large part many times
// fails here instead of filling the memory.
class UnpackedBudget {
 public:
  static constexpr uint64_t kLargestDocument = 1ull << 30;

  explicit UnpackedBudget(uint64_t bound = kLargestDocument) : bound_(bound) {}

  // Throws Error("The document unpacks to more than 1024 MB") once the
  // bytes taken so far pass the bound.
  void Take(uint64_t bytes);

 private:
  uint64_t bound_;
  uint64_t taken_ = 0;
};

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_UNPACKED_BUDGET_H_
