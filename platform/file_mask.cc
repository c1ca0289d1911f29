#include "platform/file_mask.h"

#include <cctype>
#include <string>

namespace velkaro {
namespace {

bool SameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

bool Wildcard(std::string_view mask, std::string_view name) {
  // Greedy match with backtracking to the last "*".
  size_t m = 0, n = 0, star = std::string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || SameLetter(mask[m], name[n]))) {
      ++m, ++n;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++;
      star_n = n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace

bool MatchesMask(std::string_view mask, std::string_view name) {
  if (Wildcard(mask, name)) return true;
  return name.find('.') == std::string_view::npos && Wildcard(mask, std::string(name) + ".");
}

}  // namespace velkaro
