#ifndef VELKARO_DOCUMENTS_ZIP_PACKAGE_H_
#define VELKARO_DOCUMENTS_ZIP_PACKAGE_H_

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "documents/unpacked_budget.h"

struct zip;

namespace velkaro {

// A ZIP archive opened for reading its parts. Part names are matched without
// regard to case, as package part names are. Each part is inflated at most
// once; what is inflated and every copy a reader keeps count against one
// UnpackedBudget. Throws Error on every failure.
class ZipPackage {
 public:
  // Parts are refused when they inflate past this many bytes.
  static constexpr uint64_t kLargestPart = 256ull << 20;

  explicit ZipPackage(const std::string& path,
                      uint64_t largest_document = UnpackedBudget::kLargestDocument);
  ~ZipPackage();
  ZipPackage(const ZipPackage&) = delete;
  ZipPackage& operator=(const ZipPackage&) = delete;

  bool Has(const std::string& name) const;
  // The names of all parts, in the archive's order.
  std::vector<std::string> Names() const;
  // The part's inflated bytes, kept for the package's life. The size is
  // checked while inflating, since an archive's headers may lie about it.
  const std::string& Read(const std::string& name, uint64_t limit = kLargestPart) const;
  // A copy of the part for the document to keep (a picture), counted again.
  std::string Copy(const std::string& name) const;
  // The bytes inflated so far, each part counted once.
  uint64_t InflatedBytes() const;

 private:
  zip* archive_;
  mutable std::unordered_map<int64_t, std::string> inflated_;  // by the part's index
  mutable UnpackedBudget budget_;
};

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_ZIP_PACKAGE_H_
