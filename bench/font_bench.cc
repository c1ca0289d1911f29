// Builds a 10 MB book (English, Russian and Chinese text, repeated) through
// TVelkaro::Build twice, with phone fonts only and with DejaVu Sans 8, and
// prints both times and their ratio. An optional argument names the folder
// to build in (default: the system's temporary folder); file creation costs
// differ much between file systems, e.g. ext4 and tmpfs (/dev/shm).
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "bench/bench_util.h"
#include "engine/velkaro.h"
#include "platform/files.h"

namespace velkaro::bench {
namespace {

namespace fs = std::filesystem;

constexpr size_t kBookBytes = 10u << 20;
constexpr int32_t kPartSize = 90000;  // the window's default
constexpr int kRounds = 5;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The three texts in turn until the book reaches 10 MB, as UTF-8 with a mark.
std::string BookText(const fs::path& texts) {
  const std::string pieces[] = {Slurp(texts / "en_kjv_bible.utf8.txt"),
                                Slurp(texts / "ru_turgenev_otcy_i_deti.utf8.txt"),
                                Slurp(texts / "zh_tang300.utf8.txt")};
  std::string book = "\xEF\xBB\xBF";
  for (int i = 0; book.size() < kBookBytes; i = (i + 1) % 3) {
    const std::string& piece = pieces[i];
    const size_t room = kBookBytes - book.size();
    // The last piece ends at a line end, so no letter is cut in two.
    book.append(piece, 0, piece.size() < room ? piece.size() : piece.rfind('\n', room) + 1);
    book += '\n';
  }
  return book;
}

struct Outcome {
  double seconds = 0;
  double cpu_seconds = 0;  // less disturbed by other programs than wall time
  int packages = 0;
  uint64_t package_bytes = 0;
  std::string error;
};

Outcome BuildOnce(const fs::path& root, const fs::path& source, bool desktop_font) {
  TVelkaro book = TVelkaro::CreateDefault();
  book.BookName = "Bench";
  book.BookMode = true;
  book.PartSize = kPartSize;
  book.TextFileName = source.string();
  book.FileVersion = "4.7.0.246";
  book.MidletsFolder = (root / (desktop_font ? "desktop" : "phone")).string();
  book.TempFolder = (root / "temp").string();
  book.RunMode = 1;
  if (desktop_font) {
    book.Font = DesktopFont{"DejaVu Sans", 8, false, false};
  } else {
    book.Font.reset();
  }

  Outcome outcome;
  Stopwatch watch;
  const std::clock_t cpu_start = std::clock();
  book.Build(&outcome.error);
  outcome.seconds = watch.Seconds();
  outcome.cpu_seconds = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  for (const auto& item : fs::directory_iterator(book.MidletsFolder)) {
    if (item.path().extension() != ".jar") continue;
    ++outcome.packages;
    outcome.package_bytes += item.file_size();
  }
  return outcome;
}

Outcome Faster(const Outcome& best, const Outcome& next) {
  return best.packages == 0 || next.seconds < best.seconds ? next : best;
}

void Print(const char* label, const Outcome& outcome) {
  std::printf("%-18s %6.2f s (cpu %.2f s), %d packages, %.1f MB%s%s\n", label, outcome.seconds,
              outcome.cpu_seconds, outcome.packages, outcome.package_bytes / 1048576.0,
              outcome.error.empty() ? "" : ", failed: ", outcome.error.c_str());
}

int Run(const fs::path& base) {
  const fs::path corpus = CorpusFolder();
  if (corpus.empty()) {
    std::printf("font_bench: the shared corpus is missing; nothing measured\n");
    return 0;
  }
  const fs::path root = base / "velkaro-font-bench";
  fs::remove_all(root);
  fs::create_directories(root);
  const fs::path source = root / "book.txt";
  const std::string text = BookText(corpus / "texts");
  OutputFile out(source);
  out.Write(text);
  out.Close();

  // Builds alternate, and each kind keeps its best time, so that a warm
  // disk cache favours neither.
  Outcome phone, desktop;
  for (int round = 0; round < kRounds; ++round) {
    phone = Faster(phone, BuildOnce(root, source, false));
    desktop = Faster(desktop, BuildOnce(root, source, true));
  }
  std::printf("book: %.1f MB, part size %d letters, best of %d builds each, in %s\n",
              text.size() / 1048576.0, kPartSize, kRounds, base.c_str());
  Print("phone fonts only", phone);
  Print("DejaVu Sans 8", desktop);
  std::printf("ratio desktop/phone: %.2f (cpu %.2f; target at most 1.30)\n",
              desktop.seconds / phone.seconds, desktop.cpu_seconds / phone.cpu_seconds);
  std::printf("peak memory: %.0f MB\n", PeakMemoryBytes() / 1048576.0);
  fs::remove_all(root);
  return 0;
}

}  // namespace
}  // namespace velkaro::bench

int main(int argc, char** argv) {
  return velkaro::bench::Run(argc > 1 ? argv[1] : std::filesystem::temp_directory_path());
}
