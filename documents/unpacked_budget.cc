#include "documents/unpacked_budget.h"

#include <string>

#include "platform/io_error.h"

namespace velkaro {

void UnpackedBudget::Take(uint64_t bytes) {
  taken_ += bytes;
  if (taken_ > bound_) {
    throw Error("The document unpacks to more than " + std::to_string(bound_ >> 20) + " MB");
  }
}

}  // namespace velkaro
