#include "archive/jar_archiver.h"

#include <algorithm>
#include <atomic>
#include <ctime>
#include <exception>
#include <memory>
#include <thread>

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

// Small files are read and deflated ahead of their turn in batches of about
// this many source bytes, so a large folder is never held whole.
constexpr uint64_t kBatchBytes = 8 << 20;

// A small file is one whose data fits one deflate block.
bool IsSmallFile(const FoundEntry& entry, size_t block_size) {
  return !entry.is_folder && entry.size <= block_size;
}

// The end of the batch that starts at `first`: small files up to kBatchBytes
// and the folders and large files among them, which are packed in their turn.
size_t BatchEnd(const std::vector<FoundEntry>& entries, size_t first, size_t block_size) {
  uint64_t bytes = 0;
  size_t end = first;
  while (end < entries.size() && (end == first || bytes < kBatchBytes)) {
    if (IsSmallFile(entries[end], block_size)) bytes += entries[end].size;
    ++end;
  }
  return end;
}

unsigned ProcessorsToUse() { return std::clamp(std::thread::hardware_concurrency(), 1u, 4u); }

}  // namespace

TJarArchiver::TJarArchiver() = default;
TJarArchiver::~TJarArchiver() = default;

void TJarArchiver::StartNewArchive() {
  const Path path(FileName);
  if (!path.has_filename()) {
    ThrowArchiveError("File name is blank. Specify appropriate file name", kBlankFileName);
  }
  if (CompressionMode < 1 || CompressionMode > 9) {
    throw Error("Compression mode " + std::to_string(CompressionMode) + " is not 1 to 9");
  }
  out_.reset();
  central_directory_.clear();
  packed_.clear();
  entry_count_ = 0;
  try {
    out_ = std::make_unique<OutputFile>(path, WriteMode::kReplace);
  } catch (const Error& e) {
    throw Error("Cannot create file \"" + FileName + "\". " + e.what());
  }
  const FileStatus status = StatusOf(path);
  archive_device_ = status.device;
  archive_inode_ = status.inode;
  if (!deflaters_.empty() && deflaters_[0]->level() != CompressionMode) {
    deflaters_.clear();
    deflated_held_.clear();
  }
  while (deflaters_.size() < ProcessorsToUse()) {
    deflaters_.push_back(std::make_unique<EntryDeflater>(CompressionMode));
  }
}

void TJarArchiver::AddFolderContents(const std::string& mask, uint32_t search_attributes,
                                     const std::string& exclusion_mask) {
  if (!out_) throw Error("Archive is not open");
  auto excluded = [&](const FoundEntry& entry) {
    if (entry.device == archive_device_ && entry.inode == archive_inode_) return true;
    return !exclusion_mask.empty() && MatchesMask(exclusion_mask, entry.path.string());
  };
  const std::vector<FoundEntry> entries =
      FindEntries(Path(BaseDir), mask, search_attributes, excluded);
  for (size_t first = 0; first < entries.size();) {
    const size_t end = BatchEnd(entries, first, deflaters_[0]->block_size());
    AddEntries(std::span(entries).subspan(first, end - first));
    first = end;
  }
}

// Deflates the small files of a batch on every processor, then writes all
// its entries in order.
void TJarArchiver::AddEntries(std::span<const FoundEntry> entries) {
  const std::vector<PreparedFile> prepared = PrepareFiles(entries);
  RememberDeflatedHeldFiles(entries, prepared);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].is_folder) {
      AddFolder(entries[i]);
    } else if (prepared[i].ready) {
      AddPreparedFile(entries[i], prepared[i]);
    } else {
      AddFile(entries[i]);
    }
  }
}

std::vector<TJarArchiver::PreparedFile> TJarArchiver::PrepareFiles(
    std::span<const FoundEntry> entries) {
  std::vector<PreparedFile> prepared(entries.size());
  std::atomic<size_t> next = 0;
  auto work = [&](EntryDeflater& deflater) {
    for (size_t i = next++; i < entries.size(); i = next++) {
      if (IsSmallFile(entries[i], deflater.block_size())) {
        PrepareFile(entries[i], deflater, prepared[i]);
      }
    }
  };
  const size_t helpers = std::min(deflaters_.size(), entries.size()) - 1;
  std::vector<std::thread> threads;
  for (size_t n = 1; n <= helpers; ++n) threads.emplace_back(work, std::ref(*deflaters_[n]));
  work(*deflaters_[0]);
  for (std::thread& thread : threads) thread.join();
  return prepared;
}

// A file found larger than one block after all is left for its turn.
void TJarArchiver::PrepareFile(const FoundEntry& file, EntryDeflater& deflater,
                               PreparedFile& prepared) const {
  const auto append = [&](const unsigned char* data, size_t size) {
    prepared.data.append(reinterpret_cast<const char*>(data), size);
  };
  try {
    if (const std::string* held = HeldBytesOf(file)) {
      const auto deflated = deflated_held_.find(file.path.string());
      if (deflated != deflated_held_.end() && deflated->second.source == *held) {
        prepared = deflated->second.prepared;
        return;
      }
      prepared.size = held->size();
      if (!held->empty()) prepared.crc = deflater.Deflate(*held, append).crc;
    } else {
      const std::unique_ptr<InputFile> source = OpenSource(file.path);
      prepared.size = source->size();
      if (prepared.size > deflater.block_size()) return;
      if (prepared.size > 0) prepared.crc = deflater.Deflate(*source, prepared.size, append).crc;
    }
  } catch (...) {
    prepared.failure = std::current_exception();
  }
  prepared.ready = true;
}

void TJarArchiver::RememberDeflatedHeldFiles(std::span<const FoundEntry> entries,
                                             const std::vector<PreparedFile>& prepared) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string* held = HeldBytesOf(entries[i]);
    if (!held || !prepared[i].ready || prepared[i].failure) continue;
    DeflatedHeldFile& deflated = deflated_held_[entries[i].path.string()];
    if (deflated.source != *held) deflated = {*held, prepared[i]};
  }
}

const std::string* TJarArchiver::HeldBytesOf(const FoundEntry& file) const {
  if (!HeldFiles) return nullptr;
  const auto held = HeldFiles->find(file.path.string());
  return held != HeldFiles->end() && held->second.size() == file.size ? &held->second : nullptr;
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
  packed_.push_back({folder.name, ArchiveEntrySize(folder.name, 0)});
  ++entry_count_;
}

void TJarArchiver::AddFile(const FoundEntry& file) {
  CheckRoomFor(file);
  const std::unique_ptr<InputFile> source = OpenSource(file.path);
  WriteFileEntry(file, source->size(), [&] {
    return deflaters_[0]->Deflate(
        *source, source->size(),
        [&](const unsigned char* data, size_t size) { out_->Write(data, size); });
  });
}

void TJarArchiver::AddPreparedFile(const FoundEntry& file, const PreparedFile& prepared) {
  CheckRoomFor(file);
  if (prepared.failure) std::rethrow_exception(prepared.failure);
  WriteFileEntry(file, prepared.size, [&] {
    out_->Write(prepared.data);
    return DeflatedEntry{prepared.crc, prepared.data.size()};
  });
}

// The local header goes first with a placeholder CRC and compressed size and
// is rewritten in place once the data is out, so no large entry is ever
// buffered.
void TJarArchiver::WriteFileEntry(const FoundEntry& file, uint64_t size,
                                  const std::function<DeflatedEntry()>& write_data) {
  if (size > kLargest32) ThrowNeedsZip64(file);
  ZipEntryFields fields;
  // The name length is that of the converted name, which may differ.
  fields.name = AnsiToOem(file.name);
  fields.dos_date_time = DosDateTime(file.modified);
  fields.external_attributes = file.attributes;
  fields.size = static_cast<uint32_t>(size);
  fields.crc = 0xFFFFFFFF;
  fields.local_header_offset = static_cast<uint32_t>(out_->Position());
  out_->Write(LocalHeader(fields));

  if (size == 0) {
    fields.method = kStored;
    fields.crc = 0;
  } else {
    const DeflatedEntry data = write_data();
    if (out_->Position() > kLargest32) ThrowNeedsZip64(file);
    fields.crc = data.crc;
    fields.compressed_size = static_cast<uint32_t>(data.compressed_size);
  }
  out_->WriteAt(fields.local_header_offset, LocalHeader(fields).data(), kLocalHeaderSize);
  central_directory_ += CentralHeader(fields);
  packed_.push_back({file.name, ArchiveEntrySize(file.name, fields.compressed_size)});
  ++entry_count_;
}

uint64_t ArchiveEntrySize(const std::string& name, uint64_t packed_size) {
  return kLocalHeaderSize + kCentralHeaderSize + 2 * AnsiToOem(name).size() + packed_size;
}

void PackFolder(const std::string& archive, const std::string& folder) {
  TJarArchiver jar;
  const std::unique_ptr<OutputFile> file = PackFolder(jar, archive, folder, nullptr);
  file->Sync();
  file->Close();
}

std::unique_ptr<OutputFile> PackFolder(TJarArchiver& jar, const std::string& archive,
                                       const std::string& folder,
                                       const std::unordered_map<std::string, std::string>* held) {
  jar.HeldFiles = held;
  jar.FileName = archive;
  jar.StartNewArchive();
  jar.BaseDir = folder;
  jar.AddFolderContents("*.*", kEveryEntryAttributes, "");
  return jar.FinishArchiveUnsynced();
}

}  // namespace velkaro
