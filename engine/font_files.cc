#include "engine/font_files.h"

#include <algorithm>

#include "platform/io_error.h"
#include "platform/text_rasterizer.h"

namespace velkaro {
namespace {

constexpr int kGroups = 16;

std::string FailureMessage(const std::string& file, const std::string& message) {
  return "Can not create font file " + file + ", error: " + message;
}

std::string BigEndianBytes(std::span<const uint32_t> words) {
  std::string bytes(words.size() * 4, '\0');
  for (size_t i = 0; i < words.size(); ++i) {
    bytes[4 * i] = static_cast<char>(words[i] >> 24);
    bytes[4 * i + 1] = static_cast<char>(words[i] >> 16);
    bytes[4 * i + 2] = static_cast<char>(words[i] >> 8);
    bytes[4 * i + 3] = static_cast<char>(words[i]);
  }
  return bytes;
}

}  // namespace

FontFileMaker::FontFileMaker(const DesktopFont& font) : font_(font), glyph_index_(65536, -1) {}

FontFileMaker::~FontFileMaker() = default;

size_t FontFileMaker::CreateFontFiles(std::u16string_view letter_table, const Path& folder,
                                      const std::function<void(const std::string&)>& log,
                                      const std::string& part) {
  GatherOrSayWhichFont(letter_table, part);
  return WriteFontFiles(font_data_, folder, log);
}

std::vector<std::string> FontFileMaker::FontFiles(std::u16string_view letter_table,
                                                  const std::string& part) {
  GatherOrSayWhichFont(letter_table, part);
  return FontFileBytes(font_data_);
}

void FontFileMaker::GatherOrSayWhichFont(std::u16string_view letter_table,
                                         const std::string& part) {
  try {
    GatherFontData(letter_table, part);
  } catch (const Error& e) {
    // No file is named yet: the font is.
    throw Error(FailureMessage(font_.Name, e.what()));
  }
}

size_t FontFileMaker::FontDataWords(std::u16string_view letter_table) {
  try {
    return CountWords(letter_table);
  } catch (const Error& e) {
    throw Error(FailureMessage(font_.Name, e.what()));
  }
}

size_t FontFileMaker::CountWords(std::u16string_view letter_table) {
  Rasterizer();  // opened by the first call
  size_t words = 1 + kGroups;
  for (char16_t letter : letter_table) words += 2 + GlyphOf(letter).width;
  return words;
}

std::u16string FontFileMaker::LettersWithoutGlyph(std::u16string_view letter_table) {
  std::u16string missing;
  try {
    TextRasterizer& rasterizer = Rasterizer();
    for (char16_t letter : letter_table) {
      if (letter >= u' ' && !rasterizer.HasGlyph(letter)) missing += letter;
    }
  } catch (const Error& e) {
    throw Error(FailureMessage(font_.Name, e.what()));  // as CreateFontFiles says it
  }
  return missing;
}

TextRasterizer& FontFileMaker::Rasterizer() {
  if (!rasterizer_) {
    rasterizer_ =
        std::make_unique<TextRasterizer>(font_.Name, font_.Size, font_.Bold, font_.Italic);
    font_data_.reserve(kFontDataCapacity);
  }
  return *rasterizer_;
}

void FontFileMaker::GatherFontData(std::u16string_view letter_table, const std::string& part) {
  const size_t words = CountWords(letter_table);
  if (words > kFontDataCapacity) {
    throw Error("the font data of " + part + " would need " + std::to_string(words) + " words (" +
                std::to_string(letter_table.size()) + " letters), more than " +
                std::to_string(kFontDataCapacity));
  }

  font_data_.clear();
  font_data_.push_back(static_cast<uint32_t>(rasterizer_->CellHeight()));
  for (int group = 0; group < kGroups; ++group) {
    const size_t count_at = font_data_.size();
    font_data_.push_back(0);
    for (char16_t letter : letter_table) {
      if ((letter & 15) != group) continue;
      const Glyph& glyph = GlyphOf(letter);
      font_data_.push_back(letter | (glyph.mark ? kCombiningMark : 0));
      font_data_.push_back(glyph.width);
      auto first = columns_.begin() + static_cast<ptrdiff_t>(glyph.first_column);
      font_data_.insert(font_data_.end(), first, first + glyph.width);
    }
    font_data_[count_at] = static_cast<uint32_t>(font_data_.size() - count_at - 1);
  }
}

const FontFileMaker::Glyph& FontFileMaker::GlyphOf(char16_t letter) {
  int32_t& index = glyph_index_[letter];
  if (index < 0) {
    glyphs_.push_back(Render(letter));
    index = static_cast<int32_t>(glyphs_.size() - 1);
  }
  return glyphs_[index];
}

FontFileMaker::Glyph FontFileMaker::Render(char16_t letter) {
  const InkBitmap bitmap = DrawLetter(*rasterizer_, letter);
  const Glyph glyph{static_cast<uint32_t>(bitmap.width), columns_.size(),
                    IsCombiningMark(*rasterizer_, letter)};
  const int rows = std::min(bitmap.height, kGlyphRows);
  for (int x = 0; x < bitmap.width; ++x) {
    uint32_t column = 0;
    for (int y = 0; y < rows; ++y) {
      if (bitmap.Ink(x, y)) column |= uint32_t{1} << y;
    }
    columns_.push_back(column);
  }
  return glyph;
}

bool IsCombiningMark(TextRasterizer& rasterizer, char16_t letter) {
  return letter >= u' ' && rasterizer.AdvanceWidth(letter) == 0;
}

InkBitmap DrawLetter(TextRasterizer& rasterizer, char16_t letter) {
  if (IsCombiningMark(rasterizer, letter)) return rasterizer.DrawInk(letter);
  const char16_t after_space[] = {u' ', letter};
  return rasterizer.AdvanceWidth(letter) != 0
             ? rasterizer.Draw(std::u16string_view(&letter, 1))
             : rasterizer.Draw(std::u16string_view(after_space, 2));
}

std::vector<std::string> FontFileBytes(std::span<const uint32_t> words) {
  std::vector<std::string> files;
  for (size_t first = 0; first < words.size(); first += kWordsPerFontFile) {
    files.push_back(
        BigEndianBytes(words.subspan(first, std::min(kWordsPerFontFile, words.size() - first))));
  }
  return files;
}

size_t WriteFontFiles(std::span<const uint32_t> words, const Path& folder,
                      const std::function<void(const std::string&)>& log) {
  const std::vector<std::string> files = FontFileBytes(words);
  for (size_t n = 0; n < files.size(); ++n) {
    const Path file = folder / ("font" + std::to_string(n) + ".dat");
    try {
      WriteWholeFile(file, files[n]);
    } catch (const Error& e) {
      throw Error(FailureMessage(file.string(), e.what()));
    }
    log("Create font file " + file.string() + ", size " + std::to_string(files[n].size()) +
        " bytes");
  }
  return files.size();
}

}  // namespace velkaro
