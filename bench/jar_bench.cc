// Packs a 50 MB folder of mixed files with TJarArchiver and with "zip -1 -r -q"
// side by side and prints the times and sizes of both.
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "archive/jar_archiver.h"
#include "bench/bench_util.h"
#include "platform/files.h"

namespace velkaro::bench {
namespace {

namespace fs = std::filesystem;

constexpr size_t kTotalBytes = 50u << 20;
constexpr int kRepeats = 3;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// All files of one kind in a corpus subfolder, or an empty list without the corpus.
std::vector<std::string> CorpusFiles(const std::string& subfolder,
                                     const std::vector<std::string>& extensions) {
  if (CorpusFolder().empty()) return {};
  std::vector<fs::path> paths;
  std::error_code ignored;
  for (const auto& item : fs::directory_iterator(CorpusFolder() / subfolder, ignored)) {
    const std::string ext = item.path().extension().string();
    if (item.is_regular_file() && std::count(extensions.begin(), extensions.end(), ext)) {
      paths.push_back(item.path());
    }
  }
  std::sort(paths.begin(), paths.end());
  std::vector<std::string> files;
  for (const fs::path& path : paths) files.push_back(Slurp(path));
  return files;
}

std::string GeneratedText(size_t size, std::mt19937& random) {
  static const char* const kWords[] = {"the ",     "whale ",    "sea ",   "and ",   "ship ", "of ",
                                       "harpoon ", "captain, ", "white ", "deep. ", "\r\n"};
  std::string text;
  while (text.size() < size) text += kWords[random() % 11];
  return text;
}

std::string RandomBytes(size_t size, std::mt19937& random) {
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// A slice of the pool starting anywhere, wrapping round at its end.
std::string Slice(const std::string& pool, size_t size, std::mt19937& random) {
  std::string out;
  size_t at = random() % pool.size();
  while (out.size() < size) {
    const size_t take = std::min(size - out.size(), pool.size() - at);
    out.append(pool, at, take);
    at = 0;
  }
  return out;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  OutputFile out(path);
  out.Write(bytes);
  out.Close();
}

// Many small text files in subfolders, a few big ones, and pictures:
// a quarter of a package's kind of content, three quarters bulk.
size_t MakeWorkFolder(const fs::path& work) {
  std::mt19937 random(42);
  std::string text_pool;
  for (const std::string& text : CorpusFiles("texts", {".txt"})) text_pool += text;
  std::vector<std::string> pictures = CorpusFiles("images", {".jpg", ".png"});
  const bool corpus = !text_pool.empty() && !pictures.empty();
  if (!corpus) {
    text_pool = GeneratedText(8u << 20, random);
    for (int i = 0; i < 8; ++i) pictures.push_back(RandomBytes(50000 + random() % 400000, random));
  }
  std::printf("content: %s\n",
              corpus ? "corpus texts and pictures" : "generated text and random bytes");

  size_t total = 0, files = 0;
  auto add = [&](const fs::path& path, const std::string& bytes) {
    WriteFile(work / path, bytes);
    total += bytes.size();
    ++files;
  };
  add("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\nMIDlet-Name: Bench\r\n");
  for (int i = 0; total < kTotalBytes * 25 / 100; ++i) {
    add("part" + std::to_string(i % 20) + "/book" + std::to_string(i) + ".dat",
        Slice(text_pool, 512 + random() % 12000, random));
  }
  for (int i = 0; i < 4; ++i)
    add("big" + std::to_string(i) + ".txt", Slice(text_pool, 5u << 20, random));
  for (int i = 0; total < kTotalBytes; ++i) {
    const std::string& picture = pictures[i % pictures.size()];
    add("pics/pic" + std::to_string(i) + (picture.rfind("\x89PNG", 0) == 0 ? ".png" : ".jpg"),
        picture);
  }
  std::printf("folder: %zu files, %.1f MB\n", files, total / 1048576.0);
  return total;
}

// Wall-clock and processor seconds of one packing.
struct Timing {
  double wall = 0;
  double cpu = 0;
};

// User plus system seconds of this process or of its finished children.
double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

Timing PackOurs(const fs::path& work, const fs::path& archive) {
  fs::remove(archive);
  const double cpu = CpuSeconds(RUSAGE_SELF);
  Stopwatch watch;
  PackFolder(archive.string(), work.string());
  return {watch.Seconds(), CpuSeconds(RUSAGE_SELF) - cpu};
}

Timing PackWithZip(const fs::path& work, const fs::path& archive) {
  fs::remove(archive);
  const std::string command =
      "cd '" + work.string() + "' && zip -1 -r -q '" + archive.string() + "' .";
  const double cpu = CpuSeconds(RUSAGE_CHILDREN);
  Stopwatch watch;
  if (std::system(command.c_str()) != 0) {
    std::printf("zip failed\n");
    std::exit(1);
  }
  return {watch.Seconds(), CpuSeconds(RUSAGE_CHILDREN) - cpu};
}

// Best and median of the wall-clock and of the processor time (the latter
// steadier on a busy machine), and the archive's size.
void Report(const char* name, const std::vector<Timing>& runs, const fs::path& archive,
            size_t input) {
  std::vector<double> wall, cpu;
  for (const Timing& t : runs) wall.push_back(t.wall), cpu.push_back(t.cpu);
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  const size_t median = runs.size() / 2;
  const auto size = fs::file_size(archive);
  std::printf(
      "%-14s wall best %.3f s (%.0f MB/s) median %.3f s | cpu best %.3f s median %.3f s | "
      "archive %llu bytes (%.1f%%)\n",
      name, wall.front(), input / 1048576.0 / wall.front(), wall[median], cpu.front(), cpu[median],
      static_cast<unsigned long long>(size), 100.0 * size / input);
}

}  // namespace
}  // namespace velkaro::bench

int main() {
  using namespace velkaro::bench;
  const fs::path root = fs::temp_directory_path() / "velkaro-jar-bench";
  fs::remove_all(root);
  const fs::path work = root / "work";
  const size_t input = MakeWorkFolder(work);
  const bool have_zip = std::system("command -v zip >/dev/null 2>&1") == 0;

  std::vector<Timing> ours, zip;
  for (int run = 0; run < kRepeats; ++run) {
    // Alternating who goes first spreads any warm-up over both.
    if (have_zip && run % 2 == 1) zip.push_back(PackWithZip(work, root / "zip.zip"));
    ours.push_back(PackOurs(work, root / "ours.jar"));
    if (have_zip && run % 2 == 0) zip.push_back(PackWithZip(work, root / "zip.zip"));
  }
  Report("TJarArchiver", ours, root / "ours.jar", input);
  if (have_zip) {
    Report("zip -1 -r -q", zip, root / "zip.zip", input);
  } else {
    std::printf("zip -1 -r -q   not installed\n");
  }
  std::printf("peak memory %.1f MB\n", PeakMemoryBytes() / 1048576.0);
  fs::remove_all(root);
  return 0;
}
