// The build of one book: checks the settings, prepares the folders, and makes
// one midlet package per text part (or one for a photo book), logging every
// step. Nothing escapes Build: failures end up as the last log line.

#include <algorithm>
#include <ctime>
#include <limits>
#include <memory>
#include <span>
#include <string_view>
#include <unordered_map>

#include "archive/jar_archiver.h"
#include "engine/build_steps.h"
#include "engine/config_file.h"
#include "engine/contents_file.h"
#include "engine/embedded_files.h"
#include "engine/font_files.h"
#include "engine/gallery_pictures.h"
#include "engine/output_folder.h"
#include "engine/package_budget.h"
#include "engine/package_syncer.h"
#include "engine/package_texts.h"
#include "engine/part_pictures.h"
#include "engine/picture_conversion.h"
#include "engine/text_parts.h"
#include "engine/velkaro.h"
#include "engine/working_text.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/folder_lock.h"
#include "platform/folders.h"
#include "platform/io_error.h"
#include "platform/memory_pages.h"
#include "platform/temp_folder.h"

namespace velkaro {
namespace {

constexpr char kFailurePrefix[] = "Process has not finished due to error: ";
constexpr char kCancelled[] = "Build cancelled";

// Thrown between steps once the build is asked to stop.
struct BuildCancelled {};

std::string Number(uint64_t n) { return std::to_string(n); }

bool ConvertingMode(int32_t mode) { return mode >= 4 && mode <= 6; }

PictureImport PictureImportOf(const TVelkaro& book) {
  PictureImport import;
  import.mode = book.ImageMode;
  import.png_options = book.ImagePngOptions;
  import.jpg_options = book.ImageJpgOptions;
  // The reader turns the page only when it draws with the book's own font.
  import.turn = book.BookMode && !book.PortraitLayout && book.Font.has_value() &&
                book.ImageMode >= 1 && book.ImageMode <= 6;
  return import;
}

// Letters that no installed font has come out as empty boxes: say which.
std::string LettersWithoutGlyphLine(std::u16string_view missing) {
  constexpr size_t kLettersShown = 20;
  return "Letters without a glyph in any installed font: " + Number(missing.size()) + " " +
         WideToAnsi(missing.substr(0, kLettersShown));
}

// The text steps leave a text shorter than the room it was read into.
void GiveBackUnusedRoom(std::u16string& text) {
  ReleasePages(reinterpret_cast<char*>(text.data() + text.size() + 1),
               (text.capacity() - text.size()) * sizeof(char16_t));
}

// One run of TVelkaro::Build, with what it derives for this run only.
class BookBuild {
 public:
  explicit BookBuild(TVelkaro& book)
      : book_(book),
        log_([this](const std::string& line) { book_.AddLog(line); }),
        midlets_(book.MidletsFolder),
        work_(book.TempFolder),
        manifest_(work_ / "META-INF"),
        import_(PictureImportOf(book)),
        short_version_(ShortVersion(book.FileVersion)) {}

  void Run();
  // Locks the existing output and work folders before anything is written;
  // false when another build holds one of them.
  bool ClaimFolders();
  // Empties the work folder when this run was the one that held it.
  void CleanUp();
  // A cancelled build leaves the packages of the build before as they were.
  void DiscardPackages() { packages_.DiscardAll(); }

 private:
  void CheckSettings();
  void CheckNameLength() const;
  void StopIfCancelled() const;
  void PrepareFolders();
  void ClaimOutputFolder();
  void WriteCommonFiles();
  void BuildTextBook();
  PartPlan PlanWithinBudget();
  WorkingText PrepareText();
  void BuildTextPart(const TextPart& part);
  void WriteDataFiles(std::u16string_view part, std::u16string_view letters,
                      const std::string& part_name);
  void BuildPhotoBook();
  void StartConverter();
  size_t WriteBookFiles(std::u16string_view part);
  void DeleteNumberedFiles(const std::string& stem, size_t from, size_t to);
  void WriteConfig(const std::string& bytes);
  void PackAndDescribe(const std::string& part_name);
  void CheckBudget(const std::string& part_name, uint64_t size) const;
  void WriteManifest(const std::string& part_name);
  void Hold(const Path& file, std::string bytes) { held_[file.string()] = std::move(bytes); }
  int32_t Password() const { return book_.PasswordMode == 0 ? 0 : book_.Password; }

  TVelkaro& book_;
  LogFunction log_;
  Path midlets_;
  Path work_;
  Path manifest_;
  // Clipboard pictures wait outside the work folder, so that no package
  // holds them, and go with the build, failed or not.
  std::unique_ptr<TempFolder> clipboard_;
  PictureImport import_;
  std::string short_version_;
  WorkingText text_;                            // of a text book
  std::vector<ContentsEntry> contents_;         // of a text book, for every part's toc.dat
  std::unique_ptr<PartPictures> pictures_;      // of a text book
  std::unique_ptr<TempFolder> pictures_ahead_;  // imported before the parts are cut
  uint64_t largest_package_ = 0;
  std::unique_ptr<FontFileMaker> fonts_;  // with a desktop font only
  TJarArchiver jar_;                      // packs every package of the build
  // Held until the last package is placed: the syncer goes first.
  FolderLock output_lock_;
  PackageSyncer packages_;  // makes the packages durable and places them
  // What this build wrote into the work folder, by path, for the archiver to
  // pack without reading it back.
  std::unordered_map<std::string, std::string> held_;
  // Where the working text's memory that has not been given back begins.
  char* kept_text_ = nullptr;
  size_t book_files_ = 0;  // "book" + n + ".dat" files the last part left
  size_t font_files_ = 0;  // "font" + n + ".dat" likewise
  FolderLock work_lock_;
  bool holds_work_folder_ = false;
};

void BookBuild::Run() {
  book_.Converter.reset();
  CheckSettings();
  StopIfCancelled();
  jar_.CompressionMode = book_.Compression;
  PrepareFolders();
  WriteCommonFiles();
  StopIfCancelled();
  if (book_.BookMode) {
    BuildTextBook();
  } else {
    BuildPhotoBook();
  }
  packages_.Finish();
}

void BookBuild::StopIfCancelled() const {
  if (book_.Cancel && book_.Cancel->load()) throw BuildCancelled();
}

void BookBuild::CheckSettings() {
  if (book_.BookName.empty()) throw Error("Book name is empty");
  if (!IsValidBookName(book_.BookName)) throw Error("Book name is not a valid file name");
  if (book_.BookMode && book_.PartSize < 1) throw Error("Invalid part size");
  if (!book_.BookMode && book_.ImageFiles.empty()) throw Error("Image list is empty");
  if (book_.Compression < 1 || book_.Compression > 9) throw Error("Invalid compression level");
  if (book_.MaxJarSize < 0) throw Error("Invalid MaxJarSize");
  CheckNameLength();
}

// The longest file name a build makes is a part name with the most digits
// a part number can have (a text holds at most 2^31 - 1 letters), followed
// by ".jar.partial".
void BookBuild::CheckNameLength() const {
  constexpr size_t kLongestEnding = sizeof ".jar.partial" - 1;
  // A photo book is one package, whatever its part size says.
  const size_t number_digits =
      book_.BookMode ? Number(std::numeric_limits<int32_t>::max() / book_.PartSize + 1).size() : 0;
  if (book_.BookName.size() + number_digits + kLongestEnding > LongestFileName(midlets_)) {
    throw Error("Book name is too long");
  }
}

bool BookBuild::ClaimFolders() {
  if (output_lock_.Take(midlets_) == FolderLock::Result::kBusy) return false;
  return StatusOf(work_).kind != FileKind::kFolder || work_lock_.TryLock(work_);
}

void BookBuild::PrepareFolders() {
  log_("Checking directories...");
  ClaimOutputFolder();
  EnsureFolder(midlets_, log_);
  RepairInterruptedPairs(midlets_, book_.BookName, log_);
  EnsureFolder(work_, log_);
  // Two builds on one work folder would pack each other's files.
  if (!work_lock_.held() && !work_lock_.TryLock(work_)) {
    throw Error("Work folder is in use: " + work_.string());
  }
  holds_work_folder_ = true;
  EnsureFolder(manifest_, log_);
  log_("Creating temporary files...");
  DeleteByMask(work_, "*");
  DeleteByMask(manifest_, "*");
}

// One build at a time writes into an output folder, from its log file to its
// last package: two would remove each other's files. A missing folder is
// made here, silently, so that it is locked before anything goes into it.
void BookBuild::ClaimOutputFolder() {
  if (output_lock_.held()) return;
  MakeFolder(midlets_);  // a failure is EnsureFolder's to report
  if (output_lock_.Take(midlets_) == FolderLock::Result::kBusy) {
    book_.LogFileName.clear();  // the log file there is the other build's
    throw Error("Output folder is in use: " + midlets_.string());
  }
}

void BookBuild::WriteCommonFiles() {
  for (const PackageFile& file : EmbeddedMidletFiles(book_.BookMode)) {
    Hold(work_ / file.name, WriteEmbeddedFile(*file.file, work_ / file.name, log_));
  }
  if (!book_.SplashFileName.empty()) {
    CopyBookFile(book_.SplashFileName, work_ / "splash.png");
    held_.erase((work_ / "splash.png").string());
    log_("Create file " + (work_ / "splash.png").string());
  }
  if (!book_.IconFileName.empty()) {
    CopyBookFile(book_.IconFileName, work_ / "logo.png");
    held_.erase((work_ / "logo.png").string());
    log_("Create file " + (work_ / "logo.png").string());
  }
}

void BookBuild::BuildTextBook() {
  clipboard_ = std::make_unique<TempFolder>("velkaro-clipboard-");
  text_ = PrepareText();
  const std::u16string& text = text_.text;
  GiveBackUnusedRoom(text_.text);
  kept_text_ = reinterpret_cast<char*>(text_.text.data());
  if (book_.Font) fonts_ = std::make_unique<FontFileMaker>(*book_.Font);
  pictures_ = std::make_unique<PartPictures>(text_.pictures, import_, work_);
  PartPlan plan;
  if (book_.MaxJarSize > 0) {
    plan = PlanWithinBudget();
  } else {
    plan = PlanParts(text, book_.PartSize);
    contents_ = BookContents(text, text_.headings, plan.ends);
  }
  ForEachPart(text, plan, [this](const TextPart& part) { BuildTextPart(part); });
  if (!plan.ends.empty()) log_("Largest package: " + Number(largest_package_) + " bytes");
}

// Parts as long as MaxJarSize lets their packages be. What a package holds
// must be known before the first part is cut: its pictures are imported
// ahead, and the contents list every part's headings. Sets contents_.
PartPlan BookBuild::PlanWithinBudget() {
  if (book_.Tags) {
    pictures_ahead_ = std::make_unique<TempFolder>("velkaro-pictures-");
    pictures_->ImportAhead(text_.text, pictures_ahead_->path());
  }
  const TextPackages packages{book_, Password(),   short_version_,
                              text_, fonts_.get(), book_.Tags ? pictures_.get() : nullptr,
                              work_};
  PackageBudget budget(packages);
  auto [plan, contents] = budget.Plan();
  contents_ = std::move(contents);
  return plan;
}

// Loads the source and turns it into the working text of the whole book.
WorkingText BookBuild::PrepareText() {
  log_("Processing text...");
  std::u16string text =
      book_.LoadSourceText(book_.TextFileName, clipboard_->path().string(), nullptr);
  StopIfCancelled();
  if (ConvertingMode(book_.ImageMode)) StartConverter();
  WorkingText working = PrepareWorkingText(std::move(text), book_.Tags, book_.Format,
                                           Path(book_.TextFileName).parent_path().string());
  for (const std::string& name : working.missing_pictures) log_("Picture file not found: " + name);
  if (book_.Tags) log_("Detected " + Number(working.tag_count) + " tags");
  if (book_.Tags && import_.turn && !working.pictures.empty() && !import_.converter) {
    StartConverter();
  }
  return working;
}

// Makes the package of one part.
void BookBuild::BuildTextPart(const TextPart& text_part) {
  StopIfCancelled();
  log_("Processing part " + Number(text_part.number) + " from " + Number(text_part.count) +
       " (offset " + Number(text_part.number == 1 ? 0 : text_part.start + 1) + ")...");
  const std::string part_name = PartName(book_.BookName, text_part.number, text_part.count);
  if (text_part.number == 1) RemoveLeftAside(midlets_, book_.BookName, text_part.count);
  WriteManifest(part_name);
  DeleteByMask(work_, "pic*");

  // The part is worked on in the working text itself: no letter before its
  // end is read again once its book files are written.
  const std::span<char16_t> part(text_.text.data() + text_part.start, text_part.text.size());
  const std::u16string letters = book_.Tags ? BuildLetterTableWithoutMarkers(text_part.text)
                                            : BuildLetterTable(text_part.text);
  log_("Part contains " + Number(part.size()) + " letters in total and " + Number(letters.size()) +
       " unique letters");
  if (fonts_) {
    const std::u16string missing = fonts_->LettersWithoutGlyph(letters);
    if (!missing.empty()) log_(LettersWithoutGlyphLine(missing));
  }
  if (book_.Tags) pictures_->ImportPart(part, log_);
  WriteDataFiles(text_part.text, letters, part_name);
  // The book files hold the part's letters now: their memory goes back, so
  // that a large book does not keep all its text to the end of the build.
  char* const part_end = reinterpret_cast<char*>(part.data() + part.size());
  kept_text_ = ReleasePages(kept_text_, part_end - kept_text_);
  SaveTextToFile(
      ContentsFile(contents_, text_part.number, text_part.start, AnsiToWide(book_.BookName)),
      work_ / "toc.dat", log_);
  StopIfCancelled();
  PackAndDescribe(part_name);
}

// Book files, cfg.dat and font files of one part. The previous part's files
// are written over; those numbered past this part's count are deleted, so
// the package holds this part's files only.
void BookBuild::WriteDataFiles(std::u16string_view part, std::u16string_view letters,
                               const std::string& part_name) {
  const size_t book_files = WriteBookFiles(part);
  WriteConfig(TextBookConfig(book_, Password(), static_cast<int32_t>(part.size()), text_.headings,
                             short_version_));
  const size_t font_files = fonts_ ? fonts_->CreateFontFiles(letters, work_, log_, part_name) : 0;
  DeleteNumberedFiles("book", book_files, book_files_);
  DeleteNumberedFiles("font", font_files, font_files_);
  book_files_ = book_files;
  font_files_ = font_files;
}

void BookBuild::BuildPhotoBook() {
  const std::string& part_name = book_.BookName;
  RemoveLeftAside(midlets_, book_.BookName, 1);
  WriteManifest(part_name);
  if (ConvertingMode(book_.ImageMode)) StartConverter();
  const std::vector<std::string> extensions =
      CopyGalleryPictures(book_.ImageFiles, import_, work_, log_);
  WriteConfig(PhotoBookConfig(book_, extensions, short_version_));
  StopIfCancelled();
  PackAndDescribe(part_name);
}

void BookBuild::StartConverter() { import_.converter = &book_.StartConverter(); }

size_t BookBuild::WriteBookFiles(std::u16string_view part) {
  size_t n = 0;
  for (; n * kBookFileLetters < part.size(); ++n) {
    std::u16string_view letters = part.substr(n * kBookFileLetters, kBookFileLetters);
    Path file = work_ / ("book" + Number(n) + ".dat");
    Hold(file, WriteTextPart(letters, file, Password()));
    log_("Create text file " + file.string() + ", size " + Number(2 * letters.size()) + " bytes ");
  }
  return n;
}

void BookBuild::DeleteNumberedFiles(const std::string& stem, size_t from, size_t to) {
  for (size_t n = from; n < to; ++n) {
    const Path file = work_ / (stem + Number(n) + ".dat");
    RemoveFile(file);
    held_.erase(file.string());
  }
}

void BookBuild::WriteConfig(const std::string& bytes) {
  Path file = work_ / "cfg.dat";
  WriteWholeFile(file, bytes);
  Hold(file, bytes);
  log_("Create cfg file " + file.string() + ", size " + Number(bytes.size()) + " bytes");
}

void BookBuild::WriteManifest(const std::string& part_name) {
  const Path file = manifest_ / "MANIFEST.MF";
  std::string text = ManifestText(part_name, short_version_);
  SaveTextToFile(text, file, log_);
  Hold(file, std::move(text));
}

// The package is written aside and renamed into place only once its bytes
// are on the disk, so a failed build never destroys the package of an earlier
// one. That and its descriptor happen on the syncer's thread; the log tells
// them here, in the build's order, and the build reports success only after
// every package is in place.
void BookBuild::PackAndDescribe(const std::string& part_name) {
  log_("Creating jar file...");
  // Package and descriptor are written aside and renamed into place together
  // only when both are complete and the package is on the disk, so a failed
  // build never cuts an earlier one short or leaves a descriptor that
  // disagrees with its package. The syncer's thread syncs and renames while
  // this one goes on; the build reports success only once all are in place.
  const Path archive = midlets_ / (part_name + ".jar");
  const Path descriptor_file = midlets_ / (part_name + ".jad");
  const Path archive_aside = Path(archive) += ".partial";
  const Path descriptor_aside = Path(descriptor_file) += ".partial";
  const auto discard = [archive_aside, descriptor_aside] {
    RemoveFile(archive_aside);
    RemoveFile(descriptor_aside);
  };
  WrittenPackage package{nullptr, nullptr, discard};
  try {
    package.file = PackFolder(jar_, archive_aside.string(), work_.string(), &held_);
    const uint64_t size = package.file->Position();
    CheckBudget(part_name, size);
    largest_package_ = std::max(largest_package_, size);
    log_("Create midlet " + part_name + ".jar, size " + Number(size) + " bytes");
    const std::string descriptor = DescriptorText(part_name, short_version_, size);
    SaveTextAside(descriptor, descriptor_file, descriptor_aside, log_);
    package.place = [=] {
      RenameTogether(archive_aside, archive, descriptor_aside, descriptor_file);
    };
    packages_.Add(std::move(package));
    log_("Create " + part_name + ".jad, size " + Number(descriptor.size()) + " bytes");
  } catch (...) {
    discard();
    throw;
  }
}

// A text part is cut to fit; a photo book, one package, fits or fails.
void BookBuild::CheckBudget(const std::string& part_name, uint64_t size) const {
  if (book_.MaxJarSize == 0 || size <= static_cast<uint64_t>(book_.MaxJarSize)) return;
  const auto largest =
      std::max_element(jar_.Packed().begin(), jar_.Packed().end(),
                       [](const TJarArchiver::PackedEntry& a, const TJarArchiver::PackedEntry& b) {
                         return a.size < b.size;
                       });
  throw Error(TooBigMessage(part_name, size, book_.MaxJarSize, largest->name, largest->size));
}

void BookBuild::CleanUp() {
  if (!holds_work_folder_) return;
  DeleteByMask(work_, "*");
  DeleteByMask(manifest_, "*");
}

}  // namespace

// Once per build, whether the document import or the picture steps need it
// first; it stays in Converter until the next build starts.
ImageConverter& TVelkaro::StartConverter() {
  if (!Converter) {
    AddLog("Initializing ImageMagic");
    if (!CreateConverter) throw Error("Picture conversion with ImageMagick is not available");
    Converter = CreateConverter();
  }
  return *Converter;
}

bool TVelkaro::Build(std::string* error) {
  const std::time_t start = std::time(nullptr);
  BookBuild run(*this);
  // A name that would leave the midlets folder gets no log file at all, and
  // a build refused for a busy folder leaves the other build's log be.
  const bool writes_log = (BookName.empty() || IsValidBookName(BookName)) && run.ClaimFolders();
  LogFileName = writes_log ? (Path(MidletsFolder) / (BookName + ".log")).string() : std::string();
  if (!LogFileName.empty()) RemoveFile(LogFileName);
  unwritten_log_.clear();

  AddLog("Process started at " + TimeOfDayText(start) + " in " +
         (RunMode == 1 ? "CLI mode" : "GUI mode"));
  AddLog("Velkaro version: " + FileVersion);
  if (!ProjectEncoding.empty()) AddLog("Project file encoding: " + ProjectEncoding);
  bool ok = true;
  try {
    run.Run();
    AddLog("Process successfully ended at " + TimeOfDayText(std::time(nullptr)));
  } catch (const BuildCancelled&) {
    ok = false;
    run.DiscardPackages();
    AddLog(kCancelled);
    if (error) *error = kCancelled;
  } catch (const std::exception& e) {
    ok = false;
    AddLog(kFailurePrefix + MessageOf(e));
    if (error) *error = kFailurePrefix + MessageOf(e);
  }
  run.CleanUp();
  return ok;
}

void TVelkaro::AddLog(const std::string& line) {
  if (LogView) LogView->AppendLine(line);
  if (LogFileName.empty()) return;
  unwritten_log_ += line + "\r\n";
  if (AppendToFile(LogFileName, unwritten_log_)) unwritten_log_.clear();
}

}  // namespace velkaro
