#include "archive/jar_archiver.h"

#include <ctime>
#include <memory>

#include "archive/archive_error.h"
#include "archive/entry_deflater.h"
#include "archive/folder_walker.h"
#include "archive/zip_records.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/file_mask.h"
#include "platform/files.h"

namespace velkaro {
namespace {

// Sizes and offsets must fit the 32-bit fields and the entry count the
// 16-bit ones: there is no Zip64.
constexpr uint64_t kLargest32 = 0xFFFFFFFF;
constexpr uint64_t kMostEntries = 0xFFFF;

[[noreturn]] void ThrowNeedsZip64(const FoundEntry& file, const std::string& why = "") {
  throw Error("Cannot compress file '" + file.path.string() + "'." + why +
              " Zip64 mode is not enabled");
}

// Opens a source file; the writer's own message says which file failed.
std::unique_ptr<InputFile> OpenSource(const Path& path) {
  try {
    return std::make_unique<InputFile>(path);
  } catch (const Error&) {
    ThrowArchiveError("Cannot open file \"" + path.string() + "\"", kCannotOpenSource);
  }
}

}  // namespace

TJarArchiver::TJarArchiver() = default;
TJarArchiver::~TJarArchiver() = default;

void TJarArchiver::StartNewArchive() {
  const Path path(FileName);
  if (!path.has_filename()) {
    ThrowArchiveError("File name is blank. Specify appropriate file name", kBlankFileName);
  }
  out_.reset();
  central_directory_.clear();
  entry_count_ = 0;
  try {
    out_ = std::make_unique<OutputFile>(path, WriteMode::kReplace);
  } catch (const Error& e) {
    throw Error("Cannot create file \"" + FileName + "\". " + e.what());
  }
  const FileStatus status = StatusOf(path);
  archive_device_ = status.device;
  archive_inode_ = status.inode;
  if (!deflater_) deflater_ = std::make_unique<EntryDeflater>();
}

void TJarArchiver::AddFolderContents(const std::string& mask, uint32_t search_attributes,
                                     const std::string& exclusion_mask) {
  if (!out_) throw Error("Archive is not open");
  auto excluded = [&](const FoundEntry& entry) {
    if (entry.device == archive_device_ && entry.inode == archive_inode_) return true;
    return !exclusion_mask.empty() && MatchesMask(exclusion_mask, entry.path.string());
  };
  for (const FoundEntry& entry : FindEntries(Path(BaseDir), mask, search_attributes, excluded)) {
    if (entry.is_folder) {
      AddFolder(entry);
    } else {
      AddFile(entry);
    }
  }
}

void TJarArchiver::FinishArchive() {
  if (const std::unique_ptr<OutputFile> file = FinishArchiveUnsynced()) {
    file->Sync();
    file->Close();
  }
}

std::unique_ptr<OutputFile> TJarArchiver::FinishArchiveUnsynced() {
  if (!out_) return nullptr;
  const uint64_t directory_offset = out_->Position();
  out_->Write(central_directory_);
  out_->Write(EndRecord(entry_count_, static_cast<uint32_t>(central_directory_.size()),
                        static_cast<uint32_t>(directory_offset)));
  out_->StartWriteback();
  return std::move(out_);
}

void TJarArchiver::CheckRoomFor(const FoundEntry& entry) const {
  if (entry_count_ >= kMostEntries) ThrowNeedsZip64(entry, " It would be entry 65536.");
}

void TJarArchiver::AddFolder(const FoundEntry& folder) {
  CheckRoomFor(folder);
  ZipEntryFields fields;
  fields.name = AnsiToOem(folder.name);
  fields.central_flags = 2;
  fields.method = kStored;
  fields.dos_date_time = DosDateTime(std::time(nullptr));  // a folder has no write time of its own
  fields.external_attributes = folder.attributes;
  fields.local_header_offset = static_cast<uint32_t>(out_->Position());
  out_->Write(LocalHeader(fields));
  central_directory_ += CentralHeader(fields);
  ++entry_count_;
}

// The local header goes first with a placeholder CRC and compressed size and
// is rewritten in place once the data is out, so no entry is ever buffered.
void TJarArchiver::AddFile(const FoundEntry& file) {
  CheckRoomFor(file);
  const std::unique_ptr<InputFile> source = OpenSource(file.path);
  if (source->size() > kLargest32) ThrowNeedsZip64(file);
  ZipEntryFields fields;
  // The name length is that of the converted name, which may differ.
  fields.name = AnsiToOem(file.name);
  fields.dos_date_time = DosDateTime(file.modified);
  fields.external_attributes = file.attributes;
  fields.size = static_cast<uint32_t>(source->size());
  fields.crc = 0xFFFFFFFF;
  fields.local_header_offset = static_cast<uint32_t>(out_->Position());
  out_->Write(LocalHeader(fields));

  if (source->size() == 0) {
    fields.method = kStored;
    fields.crc = 0;
  } else {
    const DeflatedEntry data = deflater_->Deflate(*source, source->size(), *out_);
    if (out_->Position() > kLargest32) ThrowNeedsZip64(file);
    fields.crc = data.crc;
    fields.compressed_size = static_cast<uint32_t>(data.compressed_size);
  }
  out_->WriteAt(fields.local_header_offset, LocalHeader(fields).data(), kLocalHeaderSize);
  central_directory_ += CentralHeader(fields);
  ++entry_count_;
}

void PackFolder(const std::string& archive, const std::string& folder) {
  TJarArchiver jar;
  const std::unique_ptr<OutputFile> file = PackFolder(jar, archive, folder);
  file->Sync();
  file->Close();
}

std::unique_ptr<OutputFile> PackFolder(TJarArchiver& jar, const std::string& archive,
                                       const std::string& folder) {
  jar.FileName = archive;
  jar.StartNewArchive();
  jar.BaseDir = folder;
  jar.AddFolderContents("*.*", kEveryEntryAttributes, "");
  return jar.FinishArchiveUnsynced();
}

}  // namespace velkaro
