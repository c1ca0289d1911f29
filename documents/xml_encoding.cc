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

// The name after "charset=" in the first kilobyte of a page, lower case.
std::string MetaCharset(std::string_view bytes) {
  constexpr std::string_view kKey = "charset=";
  std::string head(bytes.substr(0, 1024));
  std::transform(head.begin(), head.end(), head.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  size_t at = head.find(kKey);
  if (at == std::string::npos) return "";
  at += kKey.size();
  if (at < head.size() && (head[at] == '"' || head[at] == '\'')) ++at;
  const size_t end = head.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-_:.", at);
  return head.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// Bytes in the UTF-16 of a byte-order mark, or in `encoding` ("" for UTF-8).
std::string AsUtf8(std::string bytes, const std::string& encoding) {
  if (bytes.starts_with("\xFF\xFE")) return ConvertCharset(bytes.substr(2), "UTF-16LE", "UTF-8");
  if (bytes.starts_with("\xFE\xFF")) return ConvertCharset(bytes.substr(2), "UTF-16BE", "UTF-8");
  if (encoding.empty() || encoding == "utf-8" || encoding == "utf8" || encoding == "us-ascii") {
    return bytes;
  }
  return ConvertCharset(bytes, encoding, "UTF-8");
}

}  // namespace

std::string XmlAsUtf8(std::string bytes) {
  const std::string encoding = DeclaredEncoding(bytes);
  return AsUtf8(std::move(bytes), encoding);
}

std::string HtmlAsUtf8(std::string bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return bytes.substr(3);
  const std::string encoding = MetaCharset(bytes);
  return AsUtf8(std::move(bytes), encoding);
}

}  // namespace velkaro
