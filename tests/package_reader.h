#ifndef VELKARO_TESTS_PACKAGE_READER_H_
#define VELKARO_TESTS_PACKAGE_READER_H_

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace velkaro::testing {

// A midlet package read back with libzip, an archive reader that shares no
// code with ours.
struct Package {
  std::vector<std::string> names;              // in archive order
  std::map<std::string, std::string> content;  // name -> bytes
  bool ok = false;                             // opened and every entry read
};

Package ReadPackage(const std::filesystem::path& jar);

}  // namespace velkaro::testing

#endif  // VELKARO_TESTS_PACKAGE_READER_H_
