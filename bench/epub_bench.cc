// Loads the 5 MB EPUB Bible of the shared corpus as a book source, then
// builds it with phone fonts, and prints the best of a few rounds of each
// (targets: load under 0.5 s, build under 1 s).

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "bench/bench_util.h"
#include "engine/velkaro.h"
#include "platform/temp_folder.h"

namespace velkaro::bench {
namespace {

constexpr int kRounds = 3;
constexpr const char* kBook = "pandocmade_en_kjv_bible_epub3_nested_toc_large.epub";

int Run() {
  const std::filesystem::path corpus = CorpusFolder();
  if (corpus.empty()) {
    std::printf("epub_bench: the shared corpus is missing; nothing measured\n");
    return 0;
  }
  const std::string source = (corpus / "epub" / kBook).string();
  const TempFolder folder("velkaro-");
  double load = 1e9, build = 1e9, build_cpu = 1e9;
  size_t letters = 0;
  for (int round = 0; round < kRounds; ++round) {
    TVelkaro book = TVelkaro::CreateDefault();
    Stopwatch load_clock;
    letters = book.LoadSourceText(source, "", nullptr).size();
    load = std::min(load, load_clock.Seconds());

    book.BookName = "Bible";
    book.BookMode = true;
    book.Font.reset();  // phone fonts
    book.PartSize = 90000;
    book.TextFileName = source;
    book.FileVersion = "4.7.0.246";
    book.MidletsFolder = (folder.path() / "midlets").string();
    book.TempFolder = (folder.path() / "temp").string();
    book.RunMode = 1;
    std::string error;
    Stopwatch build_clock;
    const std::clock_t cpu_start = std::clock();
    if (!book.Build(&error)) {
      std::printf("epub_bench: the build failed: %s\n", error.c_str());
      return 1;
    }
    build = std::min(build, build_clock.Seconds());
    // CPU time is less disturbed by other programs than wall time.
    build_cpu = std::min(build_cpu, static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC);
  }
  std::printf("book: %s, %.1f MB, %zu letters\n", kBook,
              std::filesystem::file_size(source) / (1024.0 * 1024.0), letters);
  std::printf("load: %.3f s (target under 0.5 s)\n", load);
  std::printf("build with phone fonts: %.3f s, cpu %.3f s (target under 1 s)\n", build, build_cpu);
  std::printf("peak memory: %.1f MB\n", PeakMemoryBytes() / (1024.0 * 1024.0));
  return 0;
}

}  // namespace
}  // namespace velkaro::bench

int main() { return velkaro::bench::Run(); }
