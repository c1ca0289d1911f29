#include "documents/xml_encoding.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/code_page.h"

namespace velkaro {
namespace {

// The value of encoding="..." in a leading <?xml ...?> declaration, lower
// case, or "" when there is none.
std::string DeclaredEncoding(std::string_view bytes) {
  if (!bytes.starts_with("<?xml")) return "";
  const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
  const size_t key = declaration.find("encoding");
  if (key == std::string_view::npos) return "";
  const size_t open = declaration.find_first_of("\"'", key);
  if (open == std::string_view::npos) return "";
  const size_t close = declaration.find(declaration[open], open + 1);
  if (close == std::string_view::npos) return "";
  std::string name(declaration.substr(open + 1, close - open - 1));
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

}  // namespace

std::string XmlAsUtf8(std::string bytes) {
  if (bytes.starts_with("\xFF\xFE")) return ConvertCharset(bytes.substr(2), "UTF-16LE", "UTF-8");
  if (bytes.starts_with("\xFE\xFF")) return ConvertCharset(bytes.substr(2), "UTF-16BE", "UTF-8");
  const std::string encoding = DeclaredEncoding(bytes);
  if (encoding.empty() || encoding == "utf-8" || encoding == "utf8" || encoding == "us-ascii") {
    return bytes;
  }
  return ConvertCharset(bytes, encoding, "UTF-8");
}

}  // namespace velkaro
