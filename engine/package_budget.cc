#include "engine/package_budget.h"

#include <limits>

#include "archive/folder_walker.h"
#include "archive/jar_archiver.h"
#include "archive/zip_records.h"
#include "engine/config_file.h"
#include "engine/package_texts.h"
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

PackageBudget::PackageBudget(const TextPackages& packages)
    : packages_(packages), deflater_(packages.book.Compression) {
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
  return Measure(part, limit).bytes;
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
    if (known != book_files_.end()) {
      size.Add(name, known->second);
      continue;
    }
    const uint64_t bytes = EntryBytes(name, BookFileBytes(file_letters, packages_.password));
    if (full) book_files_[first] = bytes;
    size.Add(name, bytes);
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
  uint64_t packed = 0;
  if (!bytes.empty()) {
    packed = deflater_.Deflate(bytes, [](const unsigned char*, size_t) {}).compressed_size;
  }
  return ArchiveEntrySize(name, packed);
}

}  // namespace velkaro
