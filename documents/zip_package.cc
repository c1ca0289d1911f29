#include "documents/zip_package.h"

#include <zip.h>

#include <memory>

#include "platform/io_error.h"

namespace velkaro {
namespace {

struct ZipFileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};

zip_int64_t Locate(zip_t* archive, const std::string& name) {
  return zip_name_locate(archive, name.c_str(), ZIP_FL_NOCASE);
}

}  // namespace

ZipPackage::ZipPackage(const std::string& path, uint64_t largest_document)
    : budget_(largest_document) {
  int error = 0;
  archive_ = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (!archive_) {
    zip_error_t reason;
    zip_error_init_with_code(&reason, error);
    const std::string message = zip_error_strerror(&reason);
    zip_error_fini(&reason);
    throw Error("Not a readable document package (" + message + ")");
  }
}

ZipPackage::~ZipPackage() { zip_discard(archive_); }

bool ZipPackage::Has(const std::string& name) const { return Locate(archive_, name) >= 0; }

std::vector<std::string> ZipPackage::Names() const {
  std::vector<std::string> names;
  const zip_int64_t count = zip_get_num_entries(archive_, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    if (const char* name = zip_get_name(archive_, i, 0)) names.emplace_back(name);
  }
  return names;
}

std::string ZipPackage::Copy(const std::string& name) const {
  const std::string& bytes = Read(name);
  budget_.Take(bytes.size());
  return bytes;
}

uint64_t ZipPackage::InflatedBytes() const {
  uint64_t total = 0;
  for (const auto& [index, bytes] : inflated_) total += bytes.size();
  return total;
}

const std::string& ZipPackage::Read(const std::string& name, uint64_t limit) const {
  const zip_int64_t index = Locate(archive_, name);
  if (index < 0) throw Error("Document part " + name + " is missing");
  const auto known = inflated_.find(index);
  if (known != inflated_.end()) {
    if (known->second.size() > limit) throw Error("Document part " + name + " is too large");
    return known->second;
  }
  zip_stat_t stat;
  if (zip_stat_index(archive_, index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) &&
      stat.encryption_method != ZIP_EM_NONE) {
    throw Error("Document part " + name + " is encrypted");
  }
  std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive_, index, 0));
  if (!file) throw Error("Document part " + name + " can not be opened");
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    const zip_int64_t n = zip_fread(file.get(), buffer, sizeof buffer);
    if (n < 0) throw Error("Document part " + name + " is damaged");
    if (n == 0) break;
    if (bytes.size() + n > limit) throw Error("Document part " + name + " is too large");
    bytes.append(buffer, n);
  }
  budget_.Take(bytes.size());
  return inflated_.emplace(index, std::move(bytes)).first->second;
}

}  // namespace velkaro
