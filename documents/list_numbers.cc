#include "documents/list_numbers.h"

#include <array>
#include <cctype>
#include <utility>

namespace velkaro {
namespace {

// Roman figures stop at 3999; larger numbers repeat the "M".
std::string Roman(int value) {
  constexpr std::array<std::pair<int, const char*>, 13> kFigures = {{{1000, "m"},
                                                                     {900, "cm"},
                                                                     {500, "d"},
                                                                     {400, "cd"},
                                                                     {100, "c"},
                                                                     {90, "xc"},
                                                                     {50, "l"},
                                                                     {40, "xl"},
                                                                     {10, "x"},
                                                                     {9, "ix"},
                                                                     {5, "v"},
                                                                     {4, "iv"},
                                                                     {1, "i"}}};
  std::string text;
  for (const auto& [amount, figures] : kFigures) {
    for (; value >= amount; value -= amount) text += figures;
  }
  return text;
}

// 1 to 26 are a to z; 27 is aa, 53 aaa, and so on.
std::string Letters(int value) {
  constexpr int kMostRepeats = 100;
  const int repeats = std::min((value - 1) / 26 + 1, kMostRepeats);
  return std::string(repeats, static_cast<char>('a' + (value - 1) % 26));
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::string NumberText(int value, std::string_view format) {
  if (value >= 1) {
    if (format == "lowerLetter") return Letters(value);
    if (format == "upperLetter") return Upper(Letters(value));
    if (format == "lowerRoman") return Roman(value);
    if (format == "upperRoman") return Upper(Roman(value));
  }
  std::string decimal = std::to_string(value);
  if (format == "decimalZero" && value >= 0 && value < 10) decimal.insert(decimal.begin(), '0');
  return decimal;
}

}  // namespace velkaro
