#include "engine/output_folder.h"

#include <string_view>

#include "platform/folders.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

constexpr std::string_view kJarAside = ".jar.partial";
constexpr std::string_view kJadAside = ".jad.partial";

// The part number of a part name of the book: 0 for the book name alone, -1
// for a name of another book. Part names never have leading zeros.
long PartNumber(std::string_view part_name, std::string_view book_name) {
  if (!part_name.starts_with(book_name)) return -1;
  const std::string_view digits = part_name.substr(book_name.size());
  if (digits.empty()) return 0;
  if (digits.size() > 10 || digits[0] == '0' ||
      digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return -1;
  }
  return std::stol(std::string(digits));
}

// The value of a descriptor line "Key: value", or "" when it has none.
std::string DescriptorValue(const std::string& descriptor, const std::string& key) {
  const std::string start = key + ": ";
  for (size_t line = 0; line < descriptor.size();) {
    const size_t end = descriptor.find("\r\n", line);
    const std::string_view text =
        std::string_view(descriptor).substr(line, end == std::string::npos ? end : end - line);
    if (text.starts_with(start)) return std::string(text.substr(start.size()));
    if (end == std::string::npos) break;
    line = end + 2;
  }
  return "";
}

bool DescribesJar(const Path& descriptor, const std::string& part_name, const Path& jar) {
  const FileStatus status = StatusOf(jar);
  if (status.kind != FileKind::kRegular) return false;
  try {
    const std::string text = ReadFileBytes(descriptor);
    return DescriptorValue(text, "MIDlet-Jar-URL") == part_name + ".jar" &&
           DescriptorValue(text, "MIDlet-Jar-Size") == std::to_string(status.size);
  } catch (const Error&) {
    return false;
  }
}

}  // namespace

void RepairInterruptedPairs(const Path& folder, const std::string& book_name,
                            const LogFunction& log) {
  for (const std::string& name : SortedFolderNames(folder)) {
    if (!name.ends_with(kJadAside)) continue;
    const std::string part_name = name.substr(0, name.size() - kJadAside.size());
    if (PartNumber(part_name, book_name) < 0) continue;
    const Path jar = folder / (part_name + ".jar");
    if (!DescribesJar(folder / name, part_name, jar)) continue;
    RenameFile(folder / name, folder / (part_name + ".jad"));
    RemoveFile(folder / (part_name + std::string(kJarAside)));
    log("Repaired " + part_name + ".jad, which an interrupted build left out of step with " +
        part_name + ".jar");
  }
}

void RemoveLeftAside(const Path& folder, const std::string& book_name, int part_count) {
  for (const std::string& name : SortedFolderNames(folder)) {
    if (!name.ends_with(kJarAside) && !name.ends_with(kJadAside)) continue;
    // Both endings are equally long.
    const long part = PartNumber(name.substr(0, name.size() - kJarAside.size()), book_name);
    const bool ours = part_count == 1 ? part == 0 : part >= 1 && part <= part_count;
    if (ours) RemoveFile(folder / name);
  }
}

}  // namespace velkaro
