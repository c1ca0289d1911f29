// Every document of the shared corpus against an independent reader: the
// words of pandoc's plain text must reach the book's working text, as the
// text steps leave it for the parts.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <sstream>
#include <string>

#include "documents/utf16_text.h"
#include "documents/xml_encoding.h"
#include "documents/zip_package.h"
#include "engine/velkaro.h"
#include "engine/working_text.h"
#include "platform/files.h"
#include "platform/process.h"
#include "tests/docx_maker.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;
using WordCounts = std::map<std::u16string, int>;

// Punctuation, symbols and blanks part words; a CJK letter is a word of its
// own, as those scripts put no blanks between words.
bool IsWordLetter(char16_t c) {
  if (c < 0x80) return (c >= u'0' && c <= u'9') || ((c | 0x20) >= u'a' && (c | 0x20) <= u'z');
  if (c < 0xC0 || c == 0xD7 || c == 0xF7) return false;
  const std::pair<char16_t, char16_t> kParting[] = {
      {0x055A, 0x055F}, {0x0589, 0x058A}, {0x05BE, 0x05BE}, {0x05C0, 0x05C0}, {0x05F3, 0x05F4},
      {0x060C, 0x060D}, {0x061B, 0x061F}, {0x066A, 0x066D}, {0x06D4, 0x06D4}, {0x2000, 0x2BFF},
      {0x3000, 0x303F}, {0xE000, 0xF8FF}, {0xFE30, 0xFE4F}, {0xFF00, 0xFF0F}, {0xFF1A, 0xFF20},
      {0xFF3B, 0xFF40}, {0xFF5B, 0xFF65}, {0xFFF0, 0xFFFF}};
  for (const auto& [first, last] : kParting) {
    if (c >= first && c <= last) return false;
  }
  return true;
}

bool IsCjk(char16_t c) {
  return (c >= 0x3040 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x9FFF) ||
         (c >= 0xF900 && c <= 0xFAFF);
}

WordCounts Words(std::u16string_view text) {
  WordCounts words;
  std::u16string word;
  for (const char16_t c : text) {
    if (IsWordLetter(c) && !IsCjk(c)) {
      word += c;
      continue;
    }
    if (!word.empty()) ++words[word];
    word.clear();
    if (IsCjk(c)) ++words[std::u16string(1, c)];
  }
  if (!word.empty()) ++words[word];
  return words;
}

// The share of their words that ours hold, each as often as theirs at most;
// `missing` receives the words most often short.
double Kept(const WordCounts& theirs, const WordCounts& ours, std::string* missing) {
  int total = 0, kept = 0;
  std::multimap<int, std::u16string, std::greater<>> short_of;
  for (const auto& [word, count] : theirs) {
    const auto found = ours.find(word);
    const int have = found == ours.end() ? 0 : std::min(found->second, count);
    total += count;
    kept += have;
    if (have < count) short_of.emplace(count - have, word);
  }
  for (auto it = short_of.begin(); it != short_of.end() && missing->size() < 300; ++it) {
    std::string utf8;
    for (const char16_t c : it->second) utf8 += c < 0x80 ? static_cast<char>(c) : '?';
    *missing += utf8 + " x" + std::to_string(it->first) + ", ";
  }
  return total == 0 ? 1.0 : static_cast<double>(kept) / total;
}

// A Word document in the transitional form that pandoc reads, made by
// LibreOffice from an older or stricter form.
Path ConvertedToDocx(const Path& source, const Path& folder) {
  const int exit_code = RunProgram(
      {FindProgram("soffice"), "-env:UserInstallation=file://" + (folder / "profile").string(),
       "--headless", "--norestore", "--convert-to", "docx", "--outdir", folder.string(),
       source.string()},
      std::chrono::seconds(300));
  EXPECT_EQ(exit_code, 0) << source;
  return folder / (source.stem().string() + ".docx");
}

// The package document with fragments cut from the manifest's addresses and
// the spine's repeats of a page left out.
std::string WithEachPageOnce(const std::string& package) {
  pugi::xml_document opf;
  opf.load_string(package.c_str());
  std::map<std::string, std::string> first_id;  // address -> the first item's id
  std::set<std::string> repeats;
  for (pugi::xml_node item : opf.document_element().child("manifest").children("item")) {
    std::string address = item.attribute("href").value();
    address = address.substr(0, address.find('#'));
    item.attribute("href").set_value(address.c_str());
    if (!first_id.emplace(address, item.attribute("id").value()).second) {
      repeats.insert(item.attribute("id").value());
    }
  }
  pugi::xml_node spine = opf.document_element().child("spine");
  for (pugi::xml_node ref = spine.first_child(); ref;) {
    const pugi::xml_node next = ref.next_sibling();
    if (repeats.count(ref.attribute("idref").value())) spine.remove_child(ref);
    ref = next;
  }
  std::ostringstream out;
  opf.save(out);
  return out.str();
}

// An EPUB whose manifest addresses carry no "#fragment", which pandoc
// refuses, and whose spine names each page once, as a reader shows it.
Path WithoutManifestFragments(const Path& source, const Path& folder) {
  const ZipPackage zip(source.string());
  std::vector<std::pair<std::string, std::string>> parts;
  for (const std::string& name : zip.Names()) {
    std::string bytes = zip.Read(name);
    if (name.ends_with(".opf")) bytes = WithEachPageOnce(bytes);
    parts.emplace_back(name, std::move(bytes));
  }
  const Path fixed = folder / source.filename();
  testing::WriteZip(fixed, parts);
  return fixed;
}

// FB2 unzipped and in UTF-8, the only form pandoc reads.
Path Fb2InUtf8(const Path& source, const Path& folder) {
  std::string bytes = ReadFileBytes(source);
  if (source.extension() == ".zip") {
    const ZipPackage zip(source.string());
    bytes = zip.Read(zip.Names().front());
  }
  const Path utf8 = folder / "book.fb2";
  WriteWholeFile(utf8, XmlAsUtf8(std::move(bytes)));
  return utf8;
}

// Pandoc's plain text marks what a phone can not show: pictures by their
// descriptions, superscripts as "^(th)", subscripts in Unicode and formulas
// in TeX. Left to their letters, the text reads as the book's does.
constexpr const char* kTextOnly = R"(
function Image(element) return {} end
function Superscript(element) return element.content end
function Subscript(element) return element.content end
function Strikeout(element) return element.content end
function Math(element) return pandoc.Str((element.text:gsub("\\%a+", " "))) end
)";

struct Source {
  const char* file;  // below the corpus
  // How pandoc gets to read it: "docx", "epub", "fb2", "rtf"; "lo" for a
  // document that LibreOffice turns into a docx first, "epub#" for an EPUB
  // whose manifest must lose its fragments first.
  const char* form;
  // pandoc or LibreOffice takes more than a few seconds: checked only when
  // VELKARO_SLOW_TESTS is set.
  bool slow = false;
  double least = 0.995;
};

WordCounts PandocWords(const Source& source, const Path& folder) {
  const std::string form = source.form;
  Path input = testing::CorpusFolder() / source.file;
  std::string from = form;
  if (form == "lo") input = ConvertedToDocx(input, folder), from = "docx";
  if (form == "epub#") input = WithoutManifestFragments(input, folder), from = "epub";
  if (form == "fb2") input = Fb2InUtf8(input, folder);
  const Path output = folder / "pandoc.txt";
  const Path filter = folder / "text_only.lua";
  WriteWholeFile(filter, kTextOnly);
  EXPECT_EQ(RunProgram({FindProgram("pandoc"), "-f", from, "-t", "plain", "--wrap=none",
                        "--lua-filter", filter.string(), "-o", output.string(), input.string()},
                       std::chrono::seconds(600)),
            0)
      << source.file;
  std::u16string text;
  AppendUtf8(ReadFileBytes(output), text);
  return Words(text);
}

WordCounts BookWords(const Source& source) {
  TVelkaro book = TVelkaro::CreateDefault();
  const std::string path = (testing::CorpusFolder() / source.file).string();
  const std::u16string text = book.LoadSourceText(path, "", nullptr);
  return Words(PrepareWorkingText(text, book.Tags, true).text);
}

TEST(DocumentWordsTest, PandocsWordsReachTheBook) {
  VELKARO_REQUIRE_CORPUS();
  if (FindProgram("pandoc").empty()) GTEST_SKIP() << "pandoc is not installed";
  const bool slow_too = std::getenv("VELKARO_SLOW_TESTS") != nullptr;
  const bool office = !FindProgram("soffice").empty();
  const Source sources[] = {
      // Word books keep their tags: the XML that these manuals show ("<w:p>",
      // "<dependency>") is read as tags and leaves the text.
      {"docx/docx4j_GettingStarted_long_toc_png.docx", "docx", true, 0.96},
      {"docx/docx4j_IndividualContributor_libreoffice_numbered_h1.docx", "docx"},
      {"docx/docx4j_Russian_localized_headings.docx", "docx", false, 0.97},
      {"docx/docx4j_sample-docx_gif_jpeg_png.docx", "docx"},
      {"docx/mammoth_strict_ooxml_namespaces.docx", "lo", true},
      {"docx/mammoth_utf8_bom_in_xml_parts.docx", "docx"},
      {"docx/pandoc_0_level_headers_toc_multilevel.docx", "docx"},
      {"docx/pandoc_alternate_document_path.docx", "docx"},
      {"docx/pandoc_enumerated_headings_outline_numbering.docx", "docx"},
      {"docx/pandoc_lists_libreoffice_bullets_vs_numbers.docx", "docx"},
      {"docx/poi_56392_libreoffice_inline_png.docx", "docx"},
      {"docx/poi_bug65649_ru_contract_very_long_multilevel.docx", "docx", true},
      {"docx/poi_drawing_ru_headings_pictures_tables.docx", "docx"},
      {"docx/poi_stress004_fa_rtl_book_toc_footnotes.docx", "docx", true},
      {"docx/poi_stress008_de_journal_long_footnotes.docx", "docx", true},
      {"docx/poi_stress011_ar_rtl_gif_png_footnotes.docx", "docx"},
      {"docx/powertools_HC002_Hebrew_rtl_jpeg_png.docx", "docx"},
      {"docx/powertools_HC031_complicated_toc_lists_tables.docx", "docx"},
      {"docx/powertools_Mars_numbered_headings_jpeg_png.docx", "docx"},
      {"docx/pythondocx_inline_shapes_jpeg_png.docx", "docx"},
      {"docx/tika_testWORD_numbered_list_formats.docx", "docx"},
      {"docx/doc/poi_o_kurs_ru_cp1251_toc_fastsaved.doc", "lo", true},
      {"docx/doc/poi_parentinvguid_en_long_toc_usgov.doc", "lo", true},
      {"docx/doc/poi_testPictures_jpg_png_gif_wmf.doc", "lo", true},
      {"docx/doc/poi_Word95_format.doc", "lo", true},
      {"docx/rtf/pandoc_heading_word_outlinelevels.rtf", "rtf", true},
      {"docx/rtf/pandoc_list_complex_word.rtf", "rtf", true},
      // Pandoc's RTF reader garbles these (Shift-JIS, list texts); it reads
      // LibreOffice's Word form of them instead.
      {"docx/rtf/tika_testRTFJapanese.rtf", "lo", true},
      {"docx/rtf/tika_testRTFListLibreOffice.rtf", "lo", true},
      {"docx/rtf/tika_testRTFRegularImages_jpeg_wmf.rtf", "rtf", true},
      {"epub/debian_live_manual_ja_epub2_cjk_sisu.epub", "epub#"},
      // Pandoc keeps the navigation bar of each page ("Навигация", "вперёд",
      // "назад", "Ubuntu Packaging Guide »"); a book leaves it out.
      {"epub/debian_ubuntu_packaging_guide_ru_sphinx_mimetype_not_first.epub", "epub", true, 0.975},
      {"epub/epubjs_alice_illustrated_28_jpegs.epub", "epub"},
      {"epub/idpf_childrens_literature_epub3_deep_nested_nav.epub", "epub", true},
      {"epub/idpf_moby_dick_epub3_144chapters_large_text.epub", "epub", true},
      {"epub/idpf_regime_anticancer_arabic_rtl.epub", "epub"},
      {"epub/idpf_svg_in_spine_svg_png_jpeg.epub", "epub"},
      {"epub/pandoc_test_img_png_jpeg_gif.epub", "epub"},
      {"epub/pandocmade_en_kjv_bible_epub3_nested_toc_large.epub", "epub", true},
      {"epub/pandocmade_ru_turgenev_epub2_footnotes_cover.epub", "epub", true},
      {"fb2/coolreader_manual_ru_bookdesigner_utf8bom_15_jpegs.fb2", "fb2"},
      {"fb2/crengine_gribov_example_nested_sections_depth7.fb2", "fb2"},
      {"fb2/fbreaderj_anna_karenina_cp1251_fbtools_cover_jpeg.fb2", "fb2"},
      {"fb2/pandoc_test_writer_nested_sections_notes.fb2", "fb2"},
      {"fb2/pandocmade_ru_turgenev_notes_cover.fb2.zip", "fb2"},
  };
  for (const Source& source : sources) {
    const bool needs_office = std::string_view(source.form) == "lo" ||
                              std::string_view(source.file).ends_with(".rtf") ||
                              std::string_view(source.file).ends_with(".doc");
    if ((source.slow && !slow_too) || (needs_office && !office)) continue;
    testing::ScratchFolder folder;
    std::string missing;
    const double kept = Kept(PandocWords(source, folder.path()), BookWords(source), &missing);
    std::cout << source.file << ": " << kept * 100 << "% of pandoc's words; short: " << missing
              << "\n";
    EXPECT_GE(kept, source.least) << source.file << "; short: " << missing;
  }
}

}  // namespace
}  // namespace velkaro
