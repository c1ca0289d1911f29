#ifndef VELKARO_DOCUMENTS_PACKAGE_RELATIONS_H_
#define VELKARO_DOCUMENTS_PACKAGE_RELATIONS_H_

#include <map>
#include <string>
#include <string_view>

#include "documents/zip_package.h"

namespace velkaro {

struct Relationship {
  std::string type;
  std::string part;  // the target's part name, or the link of an external target
  bool external = false;
};

// The relationships of one part by their id, each internal target resolved
// to a part name. Throws Error when a target points outside the package.
class PartRelations {
 public:
  // The relationships of source_part ("" for the package itself); none when
  // the part has no relationships part.
  PartRelations(const ZipPackage& package, const std::string& source_part);

  const Relationship* Find(std::string_view id) const;
  // The first internal target whose type ends in "/" + kind ("styles", ...).
  const Relationship* FindKind(std::string_view kind) const;

 private:
  std::map<std::string, Relationship, std::less<>> by_id_;
};

// The part name that target names from source_part: relative targets start in
// the source's folder, "/" starts at the package root, "%xx" is decoded.
// Throws Error when ".." would leave the package.
std::string ResolvePartName(const std::string& source_part, std::string_view target);

}  // namespace velkaro

#endif  // VELKARO_DOCUMENTS_PACKAGE_RELATIONS_H_
