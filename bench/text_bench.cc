// First builds the KJV Bible and a book of ten KJV copies with phone fonts
// and prints the KJV's time and peak memory and how the time grows with ten
// times the input (best of three runs each: wall time, wall time less the
// build thread's waits for a processor, which on a shared machine other
// programs cause, and processor time of all threads). The KJV is also built
// at Compression=9, whose time and bytes are set beside level 1's, and with
// MaxJarSize=65536 at both levels; the ten copies' peak above an empty
// book's is given per source byte.
// Then builds text books of 1, 10 and 50 MB through the whole engine and
// prints, per size, the wall time, the peak memory, the number of packages
// and the share of the time spent packing archives. Then reads a 200 MB file
// of random bytes through the text steps, to show that noise neither crashes
// nor slows the road down.
//
// Each measurement runs in a child process of its own, so that every peak
// memory figure belongs to one size alone. The archive share comes from the
// build log: each line is stamped as it arrives, and the time between
// "Creating jar file..." and the "Create midlet" line that follows is packing.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "engine/text_parts.h"
#include "engine/velkaro.h"
#include "engine/working_text.h"
#include "platform/temp_folder.h"

namespace velkaro::bench {
namespace {

namespace fs = std::filesystem;

struct Figures {
  double seconds = 0;
  double cpu_seconds = 0;  // user and system time of the whole child
  double archive_seconds = 0;
  double text_seconds = 0;      // loading and the three text steps
  double unqueued_seconds = 0;  // wall time less the build thread's waits for a processor
  long peak_bytes = 0;
  int packages = 0;
  uint64_t package_bytes = 0;  // of all packages
  uint64_t largest_package = 0;
  bool ok = false;
};

// How a benchmark book is packed: the project's Compression and MaxJarSize.
struct Packing {
  int level = 1;
  int max_jar_size = 0;
};

// Stamps every log line; sums the time spent packing and before the first part.
class TimingLog : public LogSink {
 public:
  void AppendLine(const std::string& line) override {
    const double now = clock_.Seconds();
    // The time since the previous line went into the step this line reports.
    const std::string kind = line.substr(0, line.find(' ', line.find(' ') + 1));
    spent_[kind] += now - previous_;
    previous_ = now;
    if (line == "Creating jar file...") jar_started_ = now;
    if (line.starts_with("Create midlet ")) {
      figures.archive_seconds += now - jar_started_;
      ++figures.packages;
      // "Create midlet NAME.jar, size N bytes"
      const uint64_t size = std::stoull(line.substr(line.rfind(", size ") + 7));
      figures.package_bytes += size;
      figures.largest_package = std::max(figures.largest_package, size);
    }
    if (line == "Processing text...") text_started_ = now;
    if (line.starts_with("Processing part 1 ")) figures.text_seconds = now - text_started_;
    last_line = line;
  }
  // The three steps that took longest, by the first two words of their lines.
  void PrintSlowestSteps() const {
    std::vector<std::pair<double, std::string>> steps;
    for (const auto& [kind, seconds] : spent_) steps.emplace_back(seconds, kind);
    std::sort(steps.rbegin(), steps.rend());
    std::printf("%8s slowest steps:", "");
    for (size_t i = 0; i < steps.size() && i < 3; ++i) {
      std::printf(" \"%s\" %.3f s;", steps[i].second.c_str(), steps[i].first);
    }
    std::printf("\n");
  }

  Figures figures;
  std::string last_line;

 private:
  std::map<std::string, double> spent_;
  double previous_ = 0;
  Stopwatch clock_;
  double jar_started_ = 0;
  double text_started_ = 0;
};

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Corpus books one after another, again and again, cut at a line end near
// `size` bytes so that no UTF-8 sequence is split.
void WriteMixedBook(const fs::path& file, size_t size) {
  const fs::path texts = CorpusFolder() / "texts";
  std::string pool;
  for (const char* name :
       {"en_kjv_bible.utf8.txt", "ru_turgenev_otcy_i_deti.utf8.txt", "zh_tang300.utf8.txt",
        "ru_pushkin_evgeny_onegin.utf8.txt", "ja_tosa_nikki.utf8.txt"}) {
    pool += ReadAll(texts / name);
  }
  std::string book;
  book.reserve(size + pool.size());
  while (book.size() < size) book += pool;
  book.resize(book.rfind('\n', size) + 1);
  std::ofstream(file, std::ios::binary) << book;
}

// `copies` copies of the KJV Bible one after another.
void WriteKjvCopies(const fs::path& file, int copies) {
  const std::string kjv = ReadAll(CorpusFolder() / "texts" / "en_kjv_bible.utf8.txt");
  std::ofstream out(file, std::ios::binary);
  for (int i = 0; i < copies; ++i) out << kjv;
}

void WriteRandomFile(const fs::path& file, size_t size) {
  std::ofstream out(file, std::ios::binary);
  std::mt19937_64 random(11);
  std::vector<uint64_t> block(1 << 16);
  for (size_t written = 0; written < size; written += block.size() * 8) {
    for (uint64_t& word : block) word = random();
    out.write(reinterpret_cast<const char*>(block.data()), block.size() * 8);
  }
}

// Runs `measure` in a child process and brings its figures back.
template <typename Measure>
Figures InChild(Measure measure) {
  int channel[2];
  if (pipe(channel) != 0) return {};
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    Figures figures = measure();
    figures.peak_bytes = PeakMemoryBytes();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    figures.cpu_seconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 +
                          usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    ssize_t ignored = write(channel[1], &figures, sizeof figures);
    (void)ignored;
    _exit(0);
  }
  close(channel[1]);
  Figures figures;
  if (read(channel[0], &figures, sizeof figures) != sizeof figures) figures.ok = false;
  close(channel[0]);
  waitpid(child, nullptr, 0);
  return figures;
}

// How long this thread has waited in the run queue for a processor: on a
// shared machine, the part of the wall time that other programs caused.
double RunQueueSeconds() {
  std::ifstream in("/proc/thread-self/schedstat");
  uint64_t running = 0, waiting = 0;
  in >> running >> waiting;
  return waiting / 1e9;
}

Figures BuildBook(const fs::path& source, const fs::path& folder, bool quiet = false,
                  Packing packing = {}) {
  TVelkaro book = TVelkaro::CreateDefault();
  book.Compression = packing.level;
  book.MaxJarSize = packing.max_jar_size;
  book.BookName = "Bench";
  book.BookMode = true;
  book.Tags = true;
  book.Format = true;
  book.Font.reset();
  book.PartSize = 90000;
  book.TextFileName = source.string();
  book.FileVersion = "4.7.0.246";
  book.MidletsFolder = (folder / "midlets").string();
  book.TempFolder = (folder / "temp").string();
  book.RunMode = 1;
  TimingLog log;
  book.LogView = &log;
  const double queued_before = RunQueueSeconds();
  Stopwatch clock;
  const bool ok = book.Build();
  Figures figures = log.figures;
  figures.seconds = clock.Seconds();
  figures.unqueued_seconds = figures.seconds - (RunQueueSeconds() - queued_before);
  figures.ok = ok;
  if (!ok) std::fprintf(stderr, "build failed: %s\n", log.last_line.c_str());
  if (!quiet) log.PrintSlowestSteps();
  std::fflush(stdout);
  return figures;
}

// The text road without packages: load, tags, format, headings, then every
// part's end and letter table.
Figures ReadNoise(const fs::path& source) {
  Figures figures;
  TVelkaro book = TVelkaro::CreateDefault();
  Stopwatch clock;
  const WorkingText working =
      PrepareWorkingText(book.LoadSourceText(source.string(), "", nullptr), true, true);
  figures.text_seconds = clock.Seconds();
  ForEachPart(working.text, 90000, [&](const TextPart& part) {
    BuildLetterTableWithoutMarkers(part.text);
    ++figures.packages;
  });
  figures.seconds = clock.Seconds();
  figures.ok = true;
  return figures;
}

double Megabytes(double bytes) { return bytes / (1024.0 * 1024.0); }

fs::path MakeBook(const fs::path& folder, size_t megabytes) {
  const fs::path source = folder / ("book" + std::to_string(megabytes) + ".txt");
  // Made by a child too, so that this process stays small for the next fork.
  InChild([&] {
    WriteMixedBook(source, megabytes << 20);
    return Figures();
  });
  return source;
}

// "net x" is the peak above that of an empty book's build, per source byte.
void RunBooks(const fs::path& folder, const std::vector<size_t>& sizes) {
  const Figures empty = InChild([&] { return BuildBook(MakeBook(folder, 0), folder); });
  std::printf("an empty book: %.3f s, peak %.1f MB\n", empty.seconds, Megabytes(empty.peak_bytes));
  std::printf("%8s %8s %8s %8s %8s %8s %8s %9s %8s %8s %8s\n", "source", "wall s", "s/MB", "cpu s",
              "text s", "archive", "archive", "peak MB", "x source", "net x", "packages");
  for (size_t megabytes : sizes) {
    const fs::path source = MakeBook(folder, megabytes);
    const double size = static_cast<double>(fs::file_size(source));
    const Figures f = InChild([&] { return BuildBook(source, folder); });
    std::printf("%6.1fMB %8.3f %8.4f %8.3f %8.3f %7.3fs %7.1f%% %9.1f %8.2f %8.2f %8d%s\n",
                Megabytes(size), f.seconds, f.seconds / Megabytes(size), f.cpu_seconds,
                f.text_seconds, f.archive_seconds, 100.0 * f.archive_seconds / f.seconds,
                Megabytes(f.peak_bytes), f.peak_bytes / size,
                (f.peak_bytes - empty.peak_bytes) / size, f.packages, f.ok ? "" : "  FAILED");
    std::fflush(stdout);
    fs::remove(source);
    fs::remove_all(folder / "midlets");
  }
}

// The best of three builds of `copies` KJV copies, by wall and by processor time.
Figures BestKjvBuild(const fs::path& folder, int copies, Packing packing = {}) {
  const fs::path source = folder / ("kjv" + std::to_string(copies) + ".txt");
  InChild([&] {
    WriteKjvCopies(source, copies);
    return Figures();
  });
  Figures best;
  for (int run = 0; run < 3; ++run) {
    const Figures f = InChild([&] { return BuildBook(source, folder, true, packing); });
    if (run == 0 || f.seconds < best.seconds) best.seconds = f.seconds;
    if (run == 0 || f.unqueued_seconds < best.unqueued_seconds) {
      best.unqueued_seconds = f.unqueued_seconds;
    }
    if (run == 0 || f.cpu_seconds < best.cpu_seconds) best.cpu_seconds = f.cpu_seconds;
    if (run == 0 || f.peak_bytes < best.peak_bytes) best.peak_bytes = f.peak_bytes;
    best.packages = f.packages;
    best.package_bytes = f.package_bytes;
    best.largest_package = f.largest_package;
    best.ok = run == 0 ? f.ok : best.ok && f.ok;
    fs::remove_all(folder / "midlets");
  }
  fs::remove(source);
  return best;
}

void PrintKjvBuild(const std::string& name, const Figures& f) {
  std::printf(
      "%s: %.3f s wall, %.3f s wall less run-queue waits, %.3f s processor, peak %.1f MB, "
      "%d packages of %llu bytes, the largest %llu%s\n",
      name.c_str(), f.seconds, f.unqueued_seconds, f.cpu_seconds, Megabytes(f.peak_bytes),
      f.packages, static_cast<unsigned long long>(f.package_bytes),
      static_cast<unsigned long long>(f.largest_package), f.ok ? "" : "  FAILED");
}

// The KJV at compression levels 1 and 9, without and with a 64 KB budget:
// level 9 should take at most 1.5 times level 1's time.
void RunLevels(const fs::path& folder, const Figures& level_1) {
  const Figures level_9 = BestKjvBuild(folder, 1, {9, 0});
  PrintKjvBuild("KJV, phone fonts, Compression=9", level_9);
  std::printf(
      "level 9 / level 1: %.2f wall, %.2f wall less run-queue waits, %.2f processor, "
      "%.3f bytes\n",
      level_9.seconds / level_1.seconds, level_9.unqueued_seconds / level_1.unqueued_seconds,
      level_9.cpu_seconds / level_1.cpu_seconds,
      static_cast<double>(level_9.package_bytes) / level_1.package_bytes);
  for (int level : {1, 9}) {
    PrintKjvBuild("KJV, MaxJarSize=65536, Compression=" + std::to_string(level),
                  BestKjvBuild(folder, 1, {level, 65536}));
  }
}

// Ten times the input should cost at most 10.5 times the time; the peak
// above an empty book's, per source byte, at most 2.
void RunScaling(const fs::path& folder) {
  const Figures empty = InChild([&] { return BuildBook(MakeBook(folder, 0), folder, true); });
  const Figures one = BestKjvBuild(folder, 1);
  PrintKjvBuild("KJV, phone fonts", one);
  RunLevels(folder, one);
  const Figures ten = BestKjvBuild(folder, 10);
  PrintKjvBuild("10 x KJV", ten);
  const double ten_size = 10.0 * fs::file_size(CorpusFolder() / "texts" / "en_kjv_bible.utf8.txt");
  std::printf("10 x KJV: net %.3f bytes of peak per source byte above an empty book's %.1f MB\n",
              (ten.peak_bytes - empty.peak_bytes) / ten_size, Megabytes(empty.peak_bytes));
  std::printf(
      "scaling ratio (10 x KJV / KJV): %.2f wall, %.2f wall less run-queue waits, "
      "%.2f processor\n",
      ten.seconds / one.seconds, ten.unqueued_seconds / one.unqueued_seconds,
      ten.cpu_seconds / one.cpu_seconds);
  std::fflush(stdout);
}

void RunNoise(const fs::path& folder) {
  const fs::path source = folder / "noise.txt";
  WriteRandomFile(source, size_t{200} << 20);
  const double size = static_cast<double>(fs::file_size(source));
  const Figures f = InChild([&] { return ReadNoise(source); });
  std::printf(
      "200 MB of random bytes: text steps %.2f s, with all parts %.2f s (%d parts), "
      "peak %.0f MB (%.2f x source)%s\n",
      f.text_seconds, f.seconds, f.packages, Megabytes(f.peak_bytes), f.peak_bytes / size,
      f.ok ? "" : "  FAILED");
  fs::remove(source);
}

}  // namespace
}  // namespace velkaro::bench

// Arguments: "kjv" for the KJV scaling run alone, or the book sizes in MB
// (default 1 10 50); the KJV and 200 MB noise runs come only with the default.
int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  using namespace velkaro::bench;
  if (CorpusFolder().empty() || !fs::is_directory(CorpusFolder() / "texts")) {
    std::fprintf(stderr, "the shared corpus is missing (set VELKARO_CORPUS)\n");
    return 1;
  }
  const velkaro::TempFolder temp("velkaro-text-bench-");
  const fs::path& folder = temp.path();
  const bool kjv_only = argc == 2 && std::string(argv[1]) == "kjv";
  std::vector<size_t> sizes;
  for (int i = 1; i < argc && !kjv_only; ++i) sizes.push_back(std::stoul(argv[i]));
  if (argc == 1 || kjv_only) RunScaling(folder);
  if (!kjv_only) RunBooks(folder, sizes.empty() ? std::vector<size_t>{1, 10, 50} : sizes);
  if (argc == 1) RunNoise(folder);
  return 0;
}
