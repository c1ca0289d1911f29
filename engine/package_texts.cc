#include "engine/package_texts.h"

namespace velkaro {
namespace {

constexpr char kVendor[] = "Dornwick";
constexpr char kDescription[] = "Velkaro made by Dornwick";
constexpr char kInfoUrl[] = "https://dornwick.example/velkaro";
constexpr char kProfile[] = "MIDP-1.0";

std::string Line(const std::string& text) { return text + "\r\n"; }

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

}  // namespace

std::string ShortVersion(const std::string& file_version) {
  size_t dot = file_version.rfind('.');
  if (dot == std::string::npos || dot < 2) return "4.7";
  return file_version.substr(0, dot);
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
