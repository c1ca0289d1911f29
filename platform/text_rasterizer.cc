#include "platform/text_rasterizer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BDF_H
#include FT_SYNTHESIS_H
#include FT_WINFONTS_H

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

#include "platform/cjk_letters.h"
#include "platform/code_page.h"
#include "platform/glyph_ink.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

// Points at 96 dots per inch, rounded to whole pixels per em as Windows does.
int PixelsPerEm(int points) { return (points * 96 + 36) / 72; }

int WholePixelsUp(FT_Pos value) { return static_cast<int>((std::abs(value) + 63) >> 6); }

// Letters that no face draws ink for: blanks, and the invisible ones that
// join, separate or mark text.
bool IsBlank(char32_t code) {
  return code <= 0x20 || (code >= 0x7F && code <= 0xA0) || code == 0xAD || code == 0x034F ||
         code == 0x1680 || code == 0x180E || (code >= 0x2000 && code <= 0x200F) ||
         (code >= 0x2028 && code <= 0x202F) || (code >= 0x205F && code <= 0x206F) ||
         code == 0x3000 || code == 0xFEFF;
}

std::string Lowercase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The iconv name of a bitmap font's code page when its letters are indexed by
// one (an X font's registry and encoding, or a Windows font's charset), or
// "" when the font gives none.
std::string CodePageOf(FT_Face face) {
  const char* encoding = nullptr;
  const char* registry = nullptr;
  if (FT_Get_BDF_Charset_ID(face, &encoding, &registry) == 0 && encoding && registry) {
    if (Lowercase(registry) == "microsoft") return encoding;  // "cp1251"
    return std::string(registry) + "-" + encoding;            // "KOI8-R", "ISO8859-5"
  }
  FT_WinFNT_HeaderRec header;
  if (FT_Get_WinFNT_Header(face, &header) != 0) return "";
  static const std::map<int, std::string> kWindowsCodePage = {
      {FT_WinFNT_ID_CP1252, "CP1252"}, {FT_WinFNT_ID_CP1250, "CP1250"},
      {FT_WinFNT_ID_CP1251, "CP1251"}, {FT_WinFNT_ID_CP1253, "CP1253"},
      {FT_WinFNT_ID_CP1254, "CP1254"}, {FT_WinFNT_ID_CP1255, "CP1255"},
      {FT_WinFNT_ID_CP1256, "CP1256"}, {FT_WinFNT_ID_CP1257, "CP1257"},
      {FT_WinFNT_ID_CP1258, "CP1258"}, {FT_WinFNT_ID_CP874, "CP874"},
      {FT_WinFNT_ID_OEM, "CP437"},
  };
  auto it = kWindowsCodePage.find(header.charset);
  return it == kWindowsCodePage.end() ? "" : it->second;
}

// The strike of a bitmap font nearest to the wanted size.
int NearestStrike(FT_Face face, int pixels_per_em) {
  int best = 0;
  long best_distance = -1;
  for (int i = 0; i < face->num_fixed_sizes; ++i) {
    const FT_Bitmap_Size& size = face->available_sizes[i];
    long pixels = size.y_ppem ? (size.y_ppem + 32) >> 6 : size.height;
    long distance = std::abs(pixels - pixels_per_em);
    if (best_distance < 0 || distance < best_distance) {
      best = i;
      best_distance = distance;
    }
  }
  return best;
}

// The pixel's coverage, 0 to 255; as one bit, ink when at least half dark
// (a bitmap font's grey strike).
int CoverageOf(const FT_Bitmap& bitmap, const unsigned char* row, unsigned column, bool one_bit) {
  switch (bitmap.pixel_mode) {
    case FT_PIXEL_MODE_MONO:
      return row[column >> 3] & (0x80 >> (column & 7)) ? 255 : 0;
    case FT_PIXEL_MODE_GRAY:
      if (one_bit) return row[column] * 2 >= bitmap.num_grays ? 255 : 0;
      return bitmap.num_grays > 1 ? row[column] * 255 / (bitmap.num_grays - 1) : 0;
    default:
      return 0;
  }
}

// A rendered glyph bitmap as an image, one-bit or with its coverage.
GlyphImage ImageOf(const FT_GlyphSlot slot, bool one_bit) {
  const FT_Bitmap& bitmap = slot->bitmap;
  GlyphImage image{slot->bitmap_left,
                   slot->bitmap_top,
                   static_cast<int>(bitmap.width),
                   static_cast<int>(bitmap.rows),
                   {}};
  image.values.resize(static_cast<size_t>(image.width) * image.rows);
  const unsigned stride = static_cast<unsigned>(std::abs(bitmap.pitch));
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    // A negative pitch stores the bottom row first.
    const unsigned stored = bitmap.pitch >= 0 ? row : bitmap.rows - 1 - row;
    const unsigned char* line = bitmap.buffer + static_cast<size_t>(stored) * stride;
    for (unsigned column = 0; column < bitmap.width; ++column) {
      image.values[static_cast<size_t>(row) * image.width + column] =
          static_cast<uint8_t>(CoverageOf(bitmap, line, column, one_bit));
    }
  }
  return image;
}

// Copies the ink of a one-bit glyph image drawn with its pen at (pen, baseline).
void Blit(const GlyphImage& glyph, int pen, int baseline, InkBitmap& target) {
  for (int row = 0; row < glyph.rows; ++row) {
    const int y = baseline - glyph.top + row;
    if (y < 0 || y >= target.height) continue;
    for (int column = 0; column < glyph.width; ++column) {
      const int x = pen + glyph.left + column;
      if (x < 0 || x >= target.width || glyph.At(column, row) == 0) continue;
      target.pixels[static_cast<size_t>(y) * target.width + x] = 1;
    }
  }
}

// One opened font file at the rasteriser's size, with the way its letters
// are indexed and the synthetic styles it needs.
class FontFace {
 public:
  // Null when the file cannot be opened as a font at any size.
  static std::unique_ptr<FontFace> Open(FT_Library library, const std::string& file, int index,
                                        int pixels_per_em, bool bold, bool italic) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), index, &face) != 0) return nullptr;
    std::unique_ptr<FontFace> result(new FontFace(face));
    if (!result->SetSize(pixels_per_em)) return nullptr;
    result->SetStyle(bold, italic);
    result->SetLetterIndex();
    return result;
  }

  ~FontFace() { FT_Done_Face(face_); }

  FT_Face face() const { return face_; }

  // 0 (the missing-letter glyph) when the face lacks the letter.
  FT_UInt GlyphIndex(char32_t code) const {
    if (byte_of_.empty()) return FT_Get_Char_Index(face_, code);
    auto it = byte_of_.find(code);
    return it == byte_of_.end() ? 0 : FT_Get_Char_Index(face_, it->second);
  }

  // Loads a glyph into the face's slot, outlines hinted for one-bit output.
  // A glyph measured and then drawn is loaded only once.
  FT_GlyphSlot Load(FT_UInt glyph) {
    if (glyph == loaded_) return face_->glyph;
    loaded_ = kNone;
    if (FT_Load_Glyph(face_, glyph, FT_LOAD_TARGET_MONO) != 0) return nullptr;
    if (embolden_) FT_GlyphSlot_Embolden(face_->glyph);
    loaded_ = glyph;
    return face_->glyph;
  }

  // Whether a glyph has ink: an outline with contours, or a bitmap with a dot.
  bool HasInk(FT_UInt glyph) {
    FT_GlyphSlot slot = Load(glyph);
    if (!slot) return false;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) return slot->outline.n_contours > 0;
    const FT_Bitmap& bitmap = slot->bitmap;
    const size_t bytes = static_cast<size_t>(std::abs(bitmap.pitch)) * bitmap.rows;
    return bitmap.buffer && std::any_of(bitmap.buffer, bitmap.buffer + bytes,
                                        [](unsigned char b) { return b != 0; });
  }

  // The glyph as a one-bit screen shows it: the one-bit rendering of the
  // outline hinted for it. A face's own hinting can drop the thin strokes of
  // CJK letters at small sizes (日 turns into 口); for those letters, when it
  // does, the grey rendering made one-bit so that every stroke keeps ink.
  // Empty when the glyph cannot be rendered.
  GlyphImage Ink(FT_UInt glyph, bool keep_strokes) {
    FT_GlyphSlot slot = Load(glyph);
    if (!slot) return {};
    if (slot->format == FT_GLYPH_FORMAT_BITMAP) return ImageOf(slot, true);  // drawn so by hand
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return {};
    GlyphImage one_bit = ImageOf(slot, true);
    if (!keep_strokes) return one_bit;
    std::optional<GlyphImage> grey = Grey(glyph);
    if (!grey || KeepsEveryStroke(one_bit, *grey)) return one_bit;
    return StrokeKeepingInk(*grey);
  }

 private:
  explicit FontFace(FT_Face face) : face_(face) {}

  // The outline hinted lightly (heights only) and rendered in grey.
  std::optional<GlyphImage> Grey(FT_UInt glyph) {
    loaded_ = kNone;
    if (FT_Load_Glyph(face_, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) {
      return std::nullopt;
    }
    if (embolden_) FT_GlyphSlot_Embolden(face_->glyph);
    if (FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_NORMAL) != 0) return std::nullopt;
    return ImageOf(face_->glyph, false);
  }

  bool SetSize(int pixels_per_em) {
    if (FT_IS_SCALABLE(face_)) return FT_Set_Pixel_Sizes(face_, 0, pixels_per_em) == 0;
    return face_->num_fixed_sizes > 0 &&
           FT_Select_Size(face_, NearestStrike(face_, pixels_per_em)) == 0;
  }

  // Bold and italic come from the face itself when it has them; otherwise
  // the outline is thickened or slanted, as Windows does.
  void SetStyle(bool bold, bool italic) {
    embolden_ = bold && !(face_->style_flags & FT_STYLE_FLAG_BOLD);
    if (italic && !(face_->style_flags & FT_STYLE_FLAG_ITALIC) && FT_IS_SCALABLE(face_)) {
      FT_Matrix slant = {0x10000, 0x3333, 0, 0x10000};  // x += 0.2 y
      FT_Set_Transform(face_, &slant, nullptr);
    }
  }

  // Unicode when the face has a Unicode charmap; otherwise the bytes of the
  // face's code page, mapped from the letters they stand for.
  void SetLetterIndex() {
    if (FT_Select_Charmap(face_, FT_ENCODING_UNICODE) == 0 || face_->num_charmaps == 0) return;
    FT_Set_Charmap(face_, face_->charmaps[0]);
    const std::string code_page = CodePageOf(face_);
    if (code_page.empty()) return;
    for (int byte = 0; byte < 256; ++byte) {
      std::string letter =
          ConvertCharset(std::string(1, static_cast<char>(byte)), code_page, "UTF-16LE");
      if (letter.size() != 2) return;  // a code page iconv does not know: bytes as letters
      const auto low = static_cast<unsigned char>(letter[0]);
      const auto high = static_cast<unsigned char>(letter[1]);
      const char32_t code = low | high << 8;
      if (code != 0xFFFD) byte_of_.emplace(code, static_cast<unsigned char>(byte));
    }
  }

  static constexpr FT_UInt kNone = ~FT_UInt{0};

  FT_Face face_;
  FT_UInt loaded_ = kNone;  // the glyph in the slot
  bool embolden_ = false;
  std::unordered_map<char32_t, unsigned char> byte_of_;  // empty: indexed by Unicode
};

// The fontconfig request for a family in the wanted style, with the
// substitutions fontconfig applies to every request.
FcPattern* RequestPattern(const std::string& family, bool bold, bool italic, int pixels_per_em) {
  FcPattern* pattern = FcPatternCreate();
  if (!family.empty()) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  }
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixels_per_em);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  return pattern;
}

struct FontLocation {
  std::string file;
  int index = 0;
};

bool LocationOf(FcPattern* font, FontLocation* location) {
  FcChar8* file = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) return false;
  location->file = reinterpret_cast<const char*>(file);
  location->index = 0;
  FcPatternGetInteger(font, FC_INDEX, 0, &location->index);
  return true;
}

}  // namespace

// fontconfig keeps a few hundred bytes from its first substitution until the
// process ends; the leak checker of sanitised builds is told it is no fault.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

struct TextRasterizer::Impl {
  struct Library {
    FT_Library handle = nullptr;
    ~Library() {
      if (handle) FT_Done_FreeType(handle);
    }
  };
  struct Glyph {
    FontFace* face;
    FT_UInt index;
    int advance;
    std::optional<GlyphImage> ink;  // rendered on first use
  };

  void OpenMain(const std::string& font_name);
  FontFace* Opened(const FontLocation& location);
  Glyph& GlyphOf(char32_t code);
  // The first face fontconfig offers for a letter that has ink for it; else,
  // when `any` is set, the first that has the letter at all; else null.
  FontFace* FallbackFor(char32_t code, bool any, FT_UInt* index);

  Library library;  // first member: the faces below are released before it
  int pixels_per_em = 0;
  bool bold = false;
  bool italic = false;
  FontFace* main = nullptr;
  std::string main_file;
  int ascent = 0;
  int descent = 0;
  std::map<std::pair<std::string, int>, std::unique_ptr<FontFace>> faces;
  std::unordered_map<char32_t, Glyph> glyphs;
  std::unique_ptr<FcPattern, void (*)(FcPattern*)> request{nullptr, FcPatternDestroy};
  std::unique_ptr<FcFontSet, void (*)(FcFontSet*)> fallbacks{nullptr, FcFontSetDestroy};
};

void TextRasterizer::Impl::OpenMain(const std::string& font_name) {
  if (font_name.find('/') != std::string::npos) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(font_name, error)) {
      throw Error("font file " + font_name + " not found");
    }
    main_file = font_name;
    main = Opened({font_name, 0});
    if (!main) throw Error("font file " + font_name + " is not a font");
    const char* family = main->face()->family_name;
    request.reset(RequestPattern(family ? family : "", bold, italic, pixels_per_em));
  } else {
    // Settings texts are in the system code page; fontconfig reads UTF-8.
    const std::string family = ConvertCharset(font_name, SystemCharset(), "UTF-8");
    request.reset(RequestPattern(family, bold, italic, pixels_per_em));
    FcResult result;
    std::unique_ptr<FcPattern, void (*)(FcPattern*)> match(
        FcFontMatch(nullptr, request.get(), &result), FcPatternDestroy);
    FontLocation location;
    if (match && LocationOf(match.get(), &location)) main = Opened(location);
    if (!main) throw Error("no installed font can stand for " + font_name);
    main_file = location.file;
  }
  const FT_Size_Metrics& metrics = main->face()->size->metrics;
  // Letters from other faces match the size of the strike a bitmap font has.
  if (!FT_IS_SCALABLE(main->face()) && metrics.y_ppem > 0) pixels_per_em = metrics.y_ppem;
  ascent = WholePixelsUp(metrics.ascender);
  descent = WholePixelsUp(metrics.descender);
}

FontFace* TextRasterizer::Impl::Opened(const FontLocation& location) {
  auto key = std::make_pair(location.file, location.index);
  auto it = faces.find(key);
  if (it == faces.end()) {
    auto face =
        FontFace::Open(library.handle, location.file, location.index, pixels_per_em, bold, italic);
    it = faces.emplace(key, std::move(face)).first;
  }
  return it->second.get();
}

TextRasterizer::Impl::Glyph& TextRasterizer::Impl::GlyphOf(char32_t code) {
  auto it = glyphs.find(code);
  if (it != glyphs.end()) return it->second;
  // A letter the main face lacks, or draws empty though it is no blank (a
  // face may map a letter to an empty glyph), comes from another face.
  Glyph glyph{main, main->GlyphIndex(code), 0, std::nullopt};
  const bool lacking = glyph.index == 0;
  if (code >= 0x20 && (lacking || (!IsBlank(code) && !main->HasInk(glyph.index)))) {
    FT_UInt index = 0;
    if (FontFace* face = FallbackFor(code, lacking, &index)) glyph = {face, index, 0, std::nullopt};
  }
  if (FT_GlyphSlot slot = glyph.face->Load(glyph.index)) {
    glyph.advance = std::max(0, static_cast<int>((slot->advance.x + 32) >> 6));
  }
  return glyphs.emplace(code, glyph).first->second;
}

FontFace* TextRasterizer::Impl::FallbackFor(char32_t code, bool any, FT_UInt* index) {
  if (!fallbacks) {
    FcResult result;
    // Trimmed: a font stays only when it adds letters the ones before lack.
    fallbacks.reset(FcFontSort(nullptr, request.get(), FcTrue, nullptr, &result));
    if (!fallbacks) fallbacks.reset(FcFontSetCreate());
  }
  FontFace* first = nullptr;  // the first face with the letter, ink or none
  FT_UInt first_index = 0;
  for (int i = 0; i < fallbacks->nfont; ++i) {
    FcPattern* font = fallbacks->fonts[i];
    FcCharSet* letters = nullptr;
    FcBool outline = FcTrue;
    FontLocation location;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &letters) != FcResultMatch ||
        !FcCharSetHasChar(letters, code) || !LocationOf(font, &location)) {
      continue;
    }
    // Colour emoji and other bitmap-only faces do not scale to the size.
    FcPatternGetBool(font, FC_OUTLINE, 0, &outline);
    if (!outline) continue;
    FontFace* face = Opened(location);
    const FT_UInt found = face ? face->GlyphIndex(code) : 0;
    if (found == 0) continue;
    if (IsBlank(code) || face->HasInk(found)) {
      *index = found;
      return face;
    }
    if (!first) {
      first = face;
      first_index = found;
    }
  }
  *index = first_index;
  return any ? first : nullptr;
}

TextRasterizer::TextRasterizer(const std::string& font_name, int size, bool bold, bool italic)
    : impl_(std::make_unique<Impl>()) {
  if (size < 1 || size > kMaxSize) {
    throw Error("font size must be 1 to " + std::to_string(kMaxSize) + " points, not " +
                std::to_string(size));
  }
  if (FT_Init_FreeType(&impl_->library.handle) != 0) throw Error("FreeType does not start");
  impl_->pixels_per_em = PixelsPerEm(size);
  impl_->bold = bold;
  impl_->italic = italic;
  impl_->OpenMain(font_name);
}

TextRasterizer::~TextRasterizer() = default;

int TextRasterizer::CellHeight() const { return impl_->ascent + impl_->descent; }

int TextRasterizer::Ascent() const { return impl_->ascent; }

const std::string& TextRasterizer::FaceFile() const { return impl_->main_file; }

bool TextRasterizer::HasGlyph(char32_t code) { return impl_->GlyphOf(code).index != 0; }

int TextRasterizer::AdvanceWidth(char32_t code) { return impl_->GlyphOf(code).advance; }

int TextRasterizer::TextExtent(std::u16string_view text) {
  int width = 0;
  for (char16_t letter : text) width += AdvanceWidth(letter);
  return width;
}

InkBitmap TextRasterizer::DrawInk(char32_t code) {
  InkBitmap bitmap;
  bitmap.height = CellHeight();
  Impl::Glyph& glyph = impl_->GlyphOf(code);
  if (code < 0x20) return bitmap;
  if (!glyph.ink) glyph.ink = glyph.face->Ink(glyph.index, IsCjkLetter(code));
  const GlyphImage& ink = *glyph.ink;
  int first = ink.width, last = -1;
  for (int row = 0; row < ink.rows; ++row) {
    for (int column = 0; column < ink.width; ++column) {
      if (ink.At(column, row) == 0) continue;
      first = std::min(first, column);
      last = std::max(last, column);
    }
  }
  if (last < first) return bitmap;
  bitmap.width = last - first + 1;
  bitmap.pixels.assign(static_cast<size_t>(bitmap.width) * bitmap.height, 0);
  Blit(ink, -ink.left - first, impl_->ascent, bitmap);
  return bitmap;
}

InkBitmap TextRasterizer::Draw(std::u16string_view text) {
  InkBitmap bitmap;
  bitmap.width = TextExtent(text);
  bitmap.height = CellHeight();
  bitmap.pixels.assign(static_cast<size_t>(bitmap.width) * bitmap.height, 0);
  int pen = 0;
  for (char16_t letter : text) {
    Impl::Glyph& glyph = impl_->GlyphOf(letter);
    if (letter >= 0x20) {
      if (!glyph.ink) glyph.ink = glyph.face->Ink(glyph.index, IsCjkLetter(letter));
      Blit(*glyph.ink, pen, impl_->ascent, bitmap);
    }
    pen += glyph.advance;
  }
  return bitmap;
}

}  // namespace velkaro
