#ifndef VELKARO_ENGINE_PACKAGE_TEXTS_H_
#define VELKARO_ENGINE_PACKAGE_TEXTS_H_

#include <cstdint>
#include <string>

namespace velkaro {

// The program version without its last component: "4.7.0.246" gives "4.7.0".
std::string ShortVersion(const std::string& file_version);

// The book name, followed by the part number when there are several parts.
std::string PartName(const std::string& book_name, int part, int part_count);

// MANIFEST.MF and the .jad descriptor, CR LF after every line.
std::string ManifestText(const std::string& part_name, const std::string& short_version);
std::string DescriptorText(const std::string& part_name, const std::string& short_version,
                           uint64_t jar_size);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_PACKAGE_TEXTS_H_
