#include "engine/build_steps.h"

#include "platform/folders.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

constexpr char kVendor[] = "Dornwick";
constexpr char kDescription[] = "Velkaro made by Dornwick";
constexpr char kInfoUrl[] = "https://dornwick.example/velkaro";
constexpr char kProfile[] = "MIDP-1.0";

std::string Line(const std::string& text) { return text + "\r\n"; }

std::string SizeText(uint64_t size) { return ", size " + std::to_string(size) + " bytes"; }

std::string MidletLine(const std::string& part_name) {
  return Line("MIDlet-1: " + part_name + ", /logo.png, TBookMIDlet");
}

// The lines the manifest and the descriptor share, up to the icon.
std::string IdentityLines(const std::string& part_name, const std::string& short_version) {
  return Line("MIDlet-Name: " + part_name) + Line("MIDlet-Version: " + short_version) +
         Line(std::string("MIDlet-Vendor: ") + kVendor) +
         Line(std::string("MIDlet-Description: ") + kDescription) +
         Line(std::string("MIDlet-Info-URL: ") + kInfoUrl) + Line("MIDlet-Icon: /logo.png");
}

std::string ProfileLines() {
  return Line(std::string("MicroEdition-Profile: ") + kProfile) +
         Line("MicroEdition-Configuration: CLDC-1.0");
}

void WriteBytesOrFail(const std::string& bytes, const Path& file, const LogFunction& log) {
  try {
    WriteWholeFile(file, bytes);
  } catch (const Error&) {
    throw Error("Can not create/save file " + file.string());
  }
  log("Create file " + file.string() + SizeText(bytes.size()));
}

}  // namespace

void EnsureFolder(const Path& folder, const LogFunction& log) {
  if (!MakeFolder(folder)) throw Error("Can not create tempopary directory " + folder.string());
  log("Temporary directory " + folder.string() + " - Ok");
}

void SaveTextToFile(const std::string& text, const Path& file, const LogFunction& log) {
  WriteBytesOrFail(text, file, log);
}

void WriteEmbeddedFile(const EmbeddedFile& file, const Path& target, const LogFunction& log) {
  WriteBytesOrFail(Unscramble(file), target, log);
}

void CopyBookFile(const std::string& source, const Path& destination) {
  try {
    CopyFileOver(source, destination);
  } catch (const Error&) {
    RemoveFile(destination);
    throw Error("Can not copy file " + source + " to " + destination.string());
  }
}

std::string FileExtension(const std::string& file_name) {
  size_t dot = file_name.rfind('.');
  return dot == std::string::npos ? file_name : file_name.substr(dot + 1);
}

std::string ShortVersion(const std::string& file_version) {
  size_t dot = file_version.rfind('.');
  if (dot == std::string::npos || dot < 2) return "4.7";
  return file_version.substr(0, dot);
}

bool IsValidBookName(const std::string& book_name) {
  return !book_name.empty() && book_name != "." && book_name != ".." &&
         book_name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::string PartName(const std::string& book_name, int part, int part_count) {
  return part_count > 1 ? book_name + std::to_string(part) : book_name;
}

std::string ManifestText(const std::string& part_name, const std::string& short_version) {
  return Line("Manifest-Version: 1.0") + IdentityLines(part_name, short_version) +
         MidletLine(part_name) + ProfileLines();
}

std::string DescriptorText(const std::string& part_name, const std::string& short_version,
                           uint64_t jar_size) {
  return IdentityLines(part_name, short_version) + Line("MIDlet-Jar-URL: " + part_name + ".jar") +
         Line("MIDlet-Jar-Size: " + std::to_string(jar_size)) + MidletLine(part_name) +
         ProfileLines();
}

}  // namespace velkaro
