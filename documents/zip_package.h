#ifndef VELKARO_DOCUMENTS_ZIP_PACKAGE_H_
#define VELKARO_DOCUMENTS_ZIP_PACKAGE_H_

#include <cstdint>
#include <string>
#include <vector>

struct zip;

namespace velkaro {

// A ZIP archive opened for reading its parts. Part names are matched without
// regard to case, as package part names are. Throws Error on every failure.
class ZipPackage {
 public:
  // Parts are refused when they inflate past this many bytes.
  static constexpr uint64_t kLargestPart = 256ull << 20;

  explicit ZipPackage(const std::string& path);
  ~ZipPackage();
  ZipPackage(const ZipPackage&) = delete;
  ZipPackage& operator=(const ZipPackage&) = delete;

  bool Has(const std::string& name) const;
  // The names of all parts, in the archive's order.
  std::vector<std::string> Names() const;
  // The part's inflated bytes. The size is checked while inflating, since an
  // archive's headers may lie about it.
  std::string Read(const std::string& name, uint64_t limit = kLargestPart) const;

 private:
  zip* archive_;
};

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_ZIP_PACKAGE_H_
