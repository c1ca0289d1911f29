#include "engine/font_files.h"

namespace velkaro {

FontFileMaker::FontFileMaker(const FontSpec& font) : font_(font) {}
FontFileMaker::~FontFileMaker() = default;
void FontFileMaker::CreateFontFiles(std::u16string_view, const Path&,
                                    const std::function<void(const std::string&)>&) {}

}  // namespace velkaro
