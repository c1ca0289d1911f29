#include "engine/tags.h"

namespace velkaro {

int AnalyseTags(std::u16string&, std::vector<std::string>&) { return 0; }
std::u16string FormatText(std::u16string_view text) { return std::u16string(text); }
void ExtractHeadings(std::u16string&, std::vector<int32_t>&) {}

}  // namespace velkaro
