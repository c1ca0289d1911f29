// What a page turn costs on a phone: builds packages from corpus books (one
// part each at part size 90000), runs each on the CLDC reference VM's page
// counter (phone-vm/page-turn.sh --heap-search, 176x208, 20 turns) and prints
// per book the app bytecodes of a turn forward from the part's start, back
// after paging forward, back from the part's end and forward over those last
// pages, the files read per turn, and the smallest heap.
//
// A phone's VM interprets every app bytecode (1 to 3 million a second), so
// these counts are the phone's work. Targets: 250,000 app bytecodes per turn
// with a desktop font, 120,000 with phone fonts, back no dearer than forward
// over the same pages, and at most 200 KB of heap together with the glyph
// images' pixels, which a phone stores (2 bytes each) while the VM's stub
// Image allocates none.
//
// The runs after the first go through a small MIDlet class of the bench's own,
// added to a copy of the package: it starts the reader and presses keys before
// the counted turns (6 painting each page, or 7 for the end, then 4 as often
// as there are turns), and the counted turns press 4 or 6. Needs ecj, unzip
// and zip.
//
// Usage: page_turn_bench [PHONE_VM_FOLDER] (default: phone-vm beside the
// corpus, ../shared/tools/phone-vm).
#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "engine/velkaro.h"

namespace velkaro::bench {
namespace {

namespace fs = std::filesystem;

constexpr int32_t kPartSize = 90000;
constexpr int kTurns = 20;
constexpr int kForwardBeforeBack = 16;  // pages the reader's trail remembers

// The reader's glyph atlas, as TBookMIDlet.loadFontIndex sizes it: at most
// 16384 pixels, within 49152 bytes less 7 for each slot of the glyph index,
// in cells of the widest letter by the cell height, at most 254, the same
// number (128 pixels' worth, at least one) in each row.
constexpr int kGlyphPixels = 16384;
constexpr int kAtlasBytes = 49152;
constexpr int kMostCells = 254;

struct Book {
  const char* label;
  const char* file;  // under texts/
  const char* font;  // nullptr: phone fonts
  int size;
};

constexpr Book kBooks[] = {
    {"Moby-Dick chapter 1, DejaVu Sans 8", "en_moby_dick_ch1.utf8.txt", "DejaVu Sans", 8},
    {"the same, phone fonts", "en_moby_dick_ch1.utf8.txt", nullptr, 0},
    {"Tang poems, WenQuanYi Zen Hei 9", "zh_tang300.utf8.txt", "WenQuanYi Zen Hei", 9},
    {"Tosa diary, WenQuanYi Zen Hei 9", "ja_tosa_nikki.utf8.txt", "WenQuanYi Zen Hei", 9},
    {"al-Kindi (Arabic), DejaVu Sans 8", "ar_alkindi_first_philosophy.utf8.txt", "DejaVu Sans", 8},
};

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// The command's standard output; "" when it fails.
std::string Output(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return "";
  std::string text;
  std::array<char, 4096> buffer;
  for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;) {
    text.append(buffer.data(), n);
  }
  return text;
}

// The package of the book's first part.
fs::path BuildPackage(const Book& book, const fs::path& corpus, const fs::path& root, int index) {
  TVelkaro velkaro = TVelkaro::CreateDefault();
  velkaro.BookName = "Turn" + std::to_string(index);
  velkaro.BookMode = true;
  velkaro.PartSize = kPartSize;
  velkaro.WordWrap = true;
  velkaro.PortraitLayout = true;
  velkaro.Format = true;
  velkaro.Tags = true;
  velkaro.TextFileName = (corpus / "texts" / book.file).string();
  if (book.font) {
    velkaro.Font = DesktopFont{book.font, book.size};
  } else {
    velkaro.Font.reset();
  }
  velkaro.FileVersion = "4.7.0.246";
  velkaro.MidletsFolder = (root / "midlets").string();
  velkaro.TempFolder = (root / "temp").string();
  velkaro.RunMode = 1;
  std::string error;
  if (!velkaro.Build(&error)) std::printf("%s: the build failed: %s\n", book.label, error.c_str());
  const fs::path single = root / "midlets" / (velkaro.BookName + ".jar");
  return fs::exists(single) ? single : root / "midlets" / (velkaro.BookName + "1.jar");
}

// A copy of the package whose MIDlet first runs `presses` (Java statements
// in the reader's package) and then waits for the counted turns.
fs::path PackageStartingWith(const fs::path& package, const std::string& name,
                             const std::string& presses, const fs::path& vm) {
  const fs::path folder = package.parent_path() / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::ofstream(folder / (name + ".java"))
      << "import javax.microedition.lcdui.Graphics;\n"
      << "public class " << name << " extends TBookMIDlet {\n"
      << "  protected void startApp() {\n    super.startApp();\n"
      << "    Graphics g = Graphics.perfCreate();\n"
      << presses << "  }\n}\n";
  const fs::path copy = package.parent_path() / (name + ".jar");
  const std::string command = "cd " + Quoted(folder) + " && unzip -q " + Quoted(package) +
                              " && ecj -source 1.3 -target 1.1 -g:none -nowarn -bootclasspath " +
                              Quoted(vm / "lib/classes.zip") + ":" + Quoted(vm / "lib/perf-stubs") +
                              " -classpath . -d . " + name + ".java" +
                              " && sed -i 's/^MIDlet-1: \\(.*\\), TBookMIDlet/MIDlet-1: \\1, " +
                              name + "/' META-INF/MANIFEST.MF && rm " + name + ".java && rm -f " +
                              Quoted(copy) + " && zip -q -r " + Quoted(copy) + " . >/dev/null";
  if (std::system(command.c_str()) != 0) std::printf("could not make %s\n", copy.c_str());
  return copy;
}

// The font data of a package, its font files one after another.
std::vector<uint32_t> FontData(const fs::path& package) {
  std::vector<uint32_t> words;
  for (int n = 0;; ++n) {
    const std::string bytes =
        Output("unzip -p " + Quoted(package) + " font" + std::to_string(n) + ".dat 2>/dev/null");
    if (bytes.empty()) return words;
    for (size_t i = 0; i + 3 < bytes.size(); i += 4) {
      words.push_back(static_cast<uint8_t>(bytes[i]) << 24 |
                      static_cast<uint8_t>(bytes[i + 1]) << 16 |
                      static_cast<uint8_t>(bytes[i + 2]) << 8 | static_cast<uint8_t>(bytes[i + 3]));
    }
  }
}

// The bytes of glyph images (2 a pixel) that the reader of a package keeps.
int AtlasBytes(const fs::path& package) {
  const std::vector<uint32_t> words = FontData(package);
  if (words.empty()) return 0;  // phone fonts
  int glyphs = 0, widest = 0;
  size_t i = 1;
  for (int group = 0; group < 16 && i < words.size(); ++group) {
    const size_t end = i + 1 + words[i];
    for (++i; i + 1 < end && i + 1 < words.size(); ++glyphs) {
      if (words[i] >> 16 == 0) widest = std::max(widest, static_cast<int>(words[i + 1]));
      i += 2 + words[i + 1];
    }
    i = end;
  }
  const int cell = std::max(1, widest * static_cast<int>(words[0]));
  const int slots = glyphs + glyphs / 8 + 1;
  const int pixels = std::min(kGlyphPixels, std::max(0, kAtlasBytes - 7 * slots) / 2);
  int cells = std::min(kMostCells, pixels / cell);
  const int per_row = std::max(1, std::min(cells, 128 / std::max(1, widest)));
  cells = cells / per_row * per_row;
  return 2 * cells * cell;
}

std::string Repeated(const std::string& statement, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += "    " + statement + "\n";
  return text;
}

struct Turns {
  std::string app = "-";  // median app bytecodes per turn
  std::string opens = "-";
  std::string bytes = "-";
  std::string heap = "-";  // KB
};

std::string Match(const std::string& text, const std::string& pattern) {
  std::smatch match;
  return std::regex_search(text, match, std::regex(pattern)) ? match[1].str() : "-";
}

Turns Measure(const fs::path& vm, const fs::path& package, int key) {
  const std::string report =
      Output(Quoted(vm / "page-turn.sh") + " --heap-search --turns " + std::to_string(kTurns) +
             " --key " + std::to_string(key) + " " + Quoted(package) + " 2>&1");
  Turns turns;
  turns.app = Match(report, R"(app bytecodes per turn: ([0-9.]+))");
  turns.opens = Match(report, R"(resource opens +([0-9.]+))");
  turns.bytes = Match(report, R"(resource bytes read +([0-9.]+))");
  turns.heap = Match(report, R"(smallest heap that runs the start and [0-9]+ turns: ([0-9]+) KB)");
  if (turns.app == "-") std::printf("%s did not run:\n%s\n", package.c_str(), report.c_str());
  return turns;
}

int Run(int argc, char** argv) {
  const fs::path corpus = CorpusFolder();
  if (corpus.empty()) {
    std::printf("page_turn_bench: the shared corpus is missing; nothing measured\n");
    return 0;
  }
  const fs::path vm = argc > 1 ? fs::path(argv[1]) : corpus.parent_path() / "tools" / "phone-vm";
  if (!fs::exists(vm / "page-turn.sh")) {
    std::printf("page_turn_bench: no phone VM in %s; nothing measured\n", vm.c_str());
    return 0;
  }
  const fs::path root = fs::temp_directory_path() / "velkaro-page-turn-bench";
  fs::remove_all(root);
  fs::create_directories(root / "midlets");

  std::printf(
      "%d turns at 176x208, part size %d; app bytecodes and file reads: medians per "
      "turn; smallest heap: the most any of the four runs needs; pixels: the glyph atlas, 2 "
      "bytes each\n\n",
      kTurns, kPartSize);
  std::printf(
      "| book | forward | back after forward | back from the end | forward over those pages | "
      "file reads per turn (bytes) | smallest heap | heap + pixels |\n");
  std::printf("|---|---|---|---|---|---|---|---|\n");
  // The counted turns press `key` after the MIDlet of the package copy ran `presses`.
  struct Run {
    const char* midlet;  // nullptr: the package itself
    std::string presses;
    int key;
  };
  const Run runs[] = {
      {nullptr, "", 54},
      {"PagingBack", Repeated("key(54); paint(g);", kForwardBeforeBack), 52},
      {"PagingBackFromEnd", Repeated("key(55);", 1), 52},
      {"PagingForwardNearEnd", Repeated("key(55);", 1) + Repeated("key(52);", kTurns), 54},
  };
  int index = 0;
  for (const Book& book : kBooks) {
    const fs::path package = BuildPackage(book, corpus, root, ++index);
    std::vector<Turns> turns;
    int most = 0;
    for (const Run& run : runs) {
      turns.push_back(Measure(
          vm, run.midlet ? PackageStartingWith(package, run.midlet, run.presses, vm) : package,
          run.key));
      if (turns.back().heap != "-") most = std::max(most, std::stoi(turns.back().heap));
    }
    const int atlas = AtlasBytes(package);
    std::printf("| %s | %s | %s | %s | %s | %s (%s) | %d KB | %d + %.1f = %.1f KB |\n", book.label,
                turns[0].app.c_str(), turns[1].app.c_str(), turns[2].app.c_str(),
                turns[3].app.c_str(), turns[0].opens.c_str(), turns[0].bytes.c_str(), most, most,
                atlas / 1024.0, most + atlas / 1024.0);
    std::fflush(stdout);
  }
  fs::remove_all(root);
  return 0;
}

}  // namespace
}  // namespace velkaro::bench

int main(int argc, char** argv) { return velkaro::bench::Run(argc, argv); }
