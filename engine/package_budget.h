#ifndef VELKARO_ENGINE_PACKAGE_BUDGET_H_
#define VELKARO_ENGINE_PACKAGE_BUDGET_H_

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "archive/entry_deflater.h"
#include "engine/budget_parts.h"
#include "engine/contents_file.h"
#include "engine/font_files.h"
#include "engine/part_pictures.h"
#include "engine/text_parts.h"
#include "engine/velkaro.h"
#include "engine/working_text.h"

namespace velkaro {

// The failure of a package over MaxJarSize, naming its largest file.
std::string TooBigMessage(const std::string& part_name, uint64_t bytes, int32_t budget,
                          const std::string& largest_file, uint64_t largest_bytes);

// What a text book's parts put into their packages, for PackageBudget.
struct TextPackages {
  const TVelkaro& book;  // its MaxJarSize, Compression and the settings of cfg.dat
  int32_t password;      // of the book files; 0 when none is asked
  std::string short_version;
  const WorkingText& text;
  FontFileMaker* fonts;          // null with the phone's fonts
  const PartPictures* pictures;  // imported ahead; null without pictures
  Path work_folder;              // holds the files every package carries
};

// Measures the package of a text part before it is made, byte for byte as
// the archiver will pack it, so that the book can be cut into parts whose
// packages all fit within MaxJarSize.
class PackageBudget : public PartBudget {
 public:
  // Measures the files that the work folder holds now, which every package
  // carries: the phone app, its pictures, the splash.
  explicit PackageBudget(const TextPackages& packages);

  // Cuts the text into parts that fit; returns the plan with the contents
  // that its parts list. Throws the TooBigMessage of a part that cannot fit.
  std::pair<PartPlan, std::vector<ContentsEntry>> Plan();

  uint64_t Room() const override;
  uint64_t PackageBytes(const PartCut& part, uint64_t limit) override;
  [[noreturn]] void TooBig(const PartCut& shortest) override;

 private:
  struct Size {
    uint64_t bytes = 0;
    std::string largest;  // the name of the file that takes the most
    uint64_t largest_bytes = 0;
    void Add(const std::string& name, uint64_t entry_bytes);
  };

  // Stops adding once the package is known to take more than `limit`.
  Size Measure(const PartCut& part, uint64_t limit = UINT64_MAX);
  // Measures ahead, on every processor, the full book files of a part that
  // starts at `start`, as many as the part before it took and a tenth more.
  void MeasureBookFilesAhead(size_t start);
  std::string BookFileBytes(size_t first, size_t letters) const;
  void AddFontFiles(const PartCut& part, const std::string& part_name, Size& size);
  // What a file of these bytes takes in a package, and its data alone.
  // Safe on any thread.
  uint64_t EntryBytes(const std::string& name, std::string_view bytes);
  uint64_t PackedBytes(std::string_view bytes);
  std::unique_ptr<EntryDeflater> TakeDeflater();
  // Whether every part of a plan fits with the contents the plan makes.
  bool EveryPartFits(const PartPlan& plan);

  const TextPackages& packages_;
  std::mutex deflaters_mutex_;
  std::vector<std::unique_ptr<EntryDeflater>> idle_deflaters_;
  size_t part_start_ = 0;  // of the part being measured
  size_t last_part_length_ = 0;
  Size fixed_;  // the files every package carries, and the archive's end
  std::vector<ContentsEntry> contents_;
  uint64_t spare_ = 0;  // kept free when the contents would not settle
  // Measured once: the data of full book files by their first letter; what
  // manifests take by part name, contents files by part number and start,
  // pictures by file, font files by letter table.
  std::unordered_map<size_t, uint64_t> book_files_;
  std::unordered_map<std::string, uint64_t> manifests_;
  std::map<std::pair<int, size_t>, uint64_t> contents_files_;
  std::unordered_map<std::string, uint64_t> pictures_;
  std::unordered_map<std::u16string, std::vector<std::pair<std::string, uint64_t>>> font_files_;
};

}  // namespace velkaro

#endif  // VELKARO_ENGINE_PACKAGE_BUDGET_H_
