#include "engine/package_budget.h"

#include <algorithm>
#include <limits>

#include "archive/folder_walker.h"
#include "archive/jar_archiver.h"
#include "archive/zip_records.h"
#include "engine/config_file.h"
#include "engine/package_texts.h"
#include "engine/side_by_side.h"
#include "platform/code_page.h"
#include "platform/io_error.h"

namespace velkaro {
namespace {

// Contents that still change after this many plans keep this much more of
// each package free with every further plan, until the plan holds.
constexpr int kPlansBeforeSpare = 2;
constexpr uint64_t kFirstSpare = 16;

constexpr uint64_t kTooMuch = std::numeric_limits<uint64_t>::max() / 2;

std::string Number(uint64_t n) { return std::to_string(n); }

}  // namespace

std::string TooBigMessage(const std::string& part_name, uint64_t bytes, int32_t budget,
                          const std::string& largest_file, uint64_t largest_bytes) {
  return "Package " + part_name + " needs " + Number(bytes) + " bytes, more than MaxJarSize " +
         Number(budget) + "; the largest file in it is " + largest_file + ", " +
         Number(largest_bytes) + " bytes";
}

void PackageBudget::Size::Add(const std::string& name, uint64_t entry_bytes) {
  bytes += entry_bytes;
  if (entry_bytes > largest_bytes) {
    largest = name;
    largest_bytes = entry_bytes;
  }
}

PackageBudget::PackageBudget(const TextPackages& packages) : packages_(packages) {
  fixed_.bytes = kEndRecordSize;
  const auto none = [](const FoundEntry&) { return false; };
  for (const FoundEntry& entry :
       FindEntries(packages.work_folder, "*.*", kEveryEntryAttributes, none)) {
    fixed_.Add(entry.name, entry.is_folder ? ArchiveEntrySize(entry.name, 0)
                                           : EntryBytes(entry.name, ReadFileBytes(entry.path)));
  }
}

std::pair<PartPlan, std::vector<ContentsEntry>> PackageBudget::Plan() {
  const WorkingText& text = packages_.text;
  const int32_t part_size = packages_.book.PartSize;
  // Which part holds each heading is known only once the text is cut, and
  // every part's contents list says it: cut again with the contents of the
  // last cut until a cut's packages fit with its own contents.
  contents_ = BookContents(text.text, text.headings, PlanParts(text.text, part_size).ends);
  for (int plans = 1;; ++plans) {
    PartPlan plan = PlanPartsWithin(text.text, part_size, *this);
    std::vector<ContentsEntry> contents = BookContents(text.text, text.headings, plan.ends);
    const bool settled = contents == contents_;
    contents_ = std::move(contents);
    contents_files_.clear();
    if (settled || EveryPartFits(plan)) return {std::move(plan), contents_};
    if (plans >= kPlansBeforeSpare) spare_ = spare_ == 0 ? kFirstSpare : 2 * spare_;
  }
}

bool PackageBudget::EveryPartFits(const PartPlan& plan) {
  const uint64_t budget = static_cast<uint64_t>(packages_.book.MaxJarSize);
  size_t start = 0;
  for (size_t i = 0; i < plan.ends.size(); ++i) {
    const PartCut part{static_cast<int>(i) + 1, start, plan.ends[i], i + 1 == plan.ends.size()};
    if (Measure(part).bytes > budget) return false;
    start = plan.ends[i];
  }
  return true;
}

uint64_t PackageBudget::Room() const {
  const uint64_t budget = static_cast<uint64_t>(packages_.book.MaxJarSize);
  return budget > spare_ ? budget - spare_ : 0;
}

uint64_t PackageBudget::PackageBytes(const PartCut& part, uint64_t limit) {
  if (part.start != part_start_) {
    // A new plan starts again from the first part.
    last_part_length_ = part.start > part_start_ ? part.start - part_start_ : 0;
    part_start_ = part.start;
    MeasureBookFilesAhead(part.start);
  }
  return Measure(part, limit).bytes;
}

void PackageBudget::MeasureBookFilesAhead(size_t start) {
  const size_t reach = std::min(packages_.text.text.size(), start + last_part_length_ * 11 / 10);
  std::vector<size_t> firsts;
  for (size_t first = start; first + kBookFileLetters <= reach; first += kBookFileLetters) {
    if (!book_files_.contains(first)) firsts.push_back(first);
  }
  std::vector<uint64_t> bytes(firsts.size());
  RunAllSideBySide(firsts.size(), [&](size_t i) {
    bytes[i] = PackedBytes(BookFileBytes(firsts[i], kBookFileLetters));
  });
  for (size_t i = 0; i < firsts.size(); ++i) book_files_[firsts[i]] = bytes[i];
}

std::string PackageBudget::BookFileBytes(size_t first, size_t letters) const {
  return velkaro::BookFileBytes(std::u16string_view(packages_.text.text).substr(first, letters),
                                packages_.password);
}

void PackageBudget::TooBig(const PartCut& shortest) {
  const Size size = Measure(shortest);
  throw Error(TooBigMessage(PartName(packages_.book.BookName, shortest.number,
                                     shortest.number == 1 && shortest.last ? 1 : 2),
                            size.bytes, packages_.book.MaxJarSize, size.largest,
                            size.largest_bytes));
}

// The entries a part's package adds to the fixed ones: manifest, cfg.dat,
// toc.dat, book files, font files and pictures.
PackageBudget::Size PackageBudget::Measure(const PartCut& part, uint64_t limit) {
  const TVelkaro& book = packages_.book;
  const std::u16string_view letters =
      std::u16string_view(packages_.text.text).substr(part.start, part.end - part.start);
  const std::string part_name =
      PartName(book.BookName, part.number, part.number == 1 && part.last ? 1 : 2);
  Size size = fixed_;

  auto manifest = manifests_.find(part_name);
  if (manifest == manifests_.end()) {
    manifest =
        manifests_
            .try_emplace(part_name, EntryBytes("META-INF/MANIFEST.MF",
                                               ManifestText(part_name, packages_.short_version)))
            .first;
  }
  size.Add("META-INF/MANIFEST.MF", manifest->second);
  size.Add("cfg.dat",
           EntryBytes("cfg.dat",
                      TextBookConfig(book, packages_.password, static_cast<int32_t>(letters.size()),
                                     packages_.text.headings, packages_.short_version)));
  auto contents = contents_files_.find({part.number, part.start});
  if (contents == contents_files_.end()) {
    const std::string bytes =
        ContentsFile(contents_, part.number, part.start, AnsiToWide(book.BookName));
    contents =
        contents_files_.try_emplace({part.number, part.start}, EntryBytes("toc.dat", bytes)).first;
  }
  size.Add("toc.dat", contents->second);

  for (size_t n = 0; n * kBookFileLetters < letters.size() && size.bytes <= limit; ++n) {
    const std::u16string_view file_letters = letters.substr(n * kBookFileLetters, kBookFileLetters);
    const std::string name = "book" + Number(n) + ".dat";
    const bool full = file_letters.size() == kBookFileLetters;
    const size_t first = part.start + n * kBookFileLetters;
    const auto known = full ? book_files_.find(first) : book_files_.end();
    const uint64_t packed = known != book_files_.end()
                                ? known->second
                                : PackedBytes(BookFileBytes(first, file_letters.size()));
    if (full) book_files_[first] = packed;
    size.Add(name, ArchiveEntrySize(name, packed));
  }

  if (size.bytes > limit) return size;
  if (packages_.fonts) AddFontFiles(part, part_name, size);
  if (packages_.pictures) {
    for (const Path& file : packages_.pictures->ImportedAhead(letters)) {
      const std::string name = file.filename().string();
      auto picture = pictures_.find(file.string());
      if (picture == pictures_.end()) {
        picture = pictures_.try_emplace(file.string(), EntryBytes(name, ReadFileBytes(file))).first;
      }
      size.Add(name, picture->second);
    }
  }
  return size;
}

// A part whose letters need more font data than the phone's buffer takes
// does not fit whatever the budget. Parts cut a little shorter or longer
// mostly have the same letters, and so the same font files.
void PackageBudget::AddFontFiles(const PartCut& part, const std::string& part_name, Size& size) {
  const std::u16string_view letters =
      std::u16string_view(packages_.text.text).substr(part.start, part.end - part.start);
  const std::u16string table =
      packages_.book.Tags ? BuildLetterTableWithoutMarkers(letters) : BuildLetterTable(letters);
  auto known = font_files_.find(table);
  if (known == font_files_.end()) {
    std::vector<std::pair<std::string, uint64_t>> files;
    if (packages_.fonts->FontDataWords(table) > kFontDataCapacity) {
      files.emplace_back("font files", kTooMuch);
    } else {
      const std::vector<std::string> bytes = packages_.fonts->FontFiles(table, part_name);
      for (size_t n = 0; n < bytes.size(); ++n) {
        const std::string name = "font" + Number(n) + ".dat";
        files.emplace_back(name, EntryBytes(name, bytes[n]));
      }
    }
    known = font_files_.try_emplace(table, std::move(files)).first;
  }
  for (const auto& [name, bytes] : known->second) size.Add(name, bytes);
}

uint64_t PackageBudget::EntryBytes(const std::string& name, std::string_view bytes) {
  return ArchiveEntrySize(name, PackedBytes(bytes));
}

uint64_t PackageBudget::PackedBytes(std::string_view bytes) {
  if (bytes.empty()) return 0;  // stored, without data
  std::unique_ptr<EntryDeflater> deflater = TakeDeflater();
  const uint64_t packed =
      deflater->Deflate(bytes, [](const unsigned char*, size_t) {}).compressed_size;
  const std::lock_guard<std::mutex> lock(deflaters_mutex_);
  idle_deflaters_.push_back(std::move(deflater));
  return packed;
}

// One deflater for each thread that measures at once, made when first needed.
std::unique_ptr<EntryDeflater> PackageBudget::TakeDeflater() {
  {
    const std::lock_guard<std::mutex> lock(deflaters_mutex_);
    if (!idle_deflaters_.empty()) {
      std::unique_ptr<EntryDeflater> deflater = std::move(idle_deflaters_.back());
      idle_deflaters_.pop_back();
      return deflater;
    }
  }
  return std::make_unique<EntryDeflater>(packages_.book.Compression);
}

}  // namespace velkaro
