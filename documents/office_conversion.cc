#include "documents/office_conversion.h"

#include "documents/docx_reader.h"
#include "platform/files.h"
#include "platform/io_error.h"
#include "platform/process.h"
#include "platform/temp_folder.h"

namespace velkaro {
namespace {

// A large document takes LibreOffice a minute at most; a stuck one is killed.
constexpr std::chrono::seconds kLongestConversion{300};

std::string Extension(const std::string& path) {
  const std::string extension = Path(path).extension().string();
  return extension.empty() ? "such" : extension;
}

std::string FileUrl(const Path& path) { return "file://" + path.string(); }

// LibreOffice keeps its settings, caches and temporary files under the
// user's home and the system's temporary folder, and probes whether it may
// write its shared extensions beside the program. Everything goes into the
// conversion's private folder instead, which goes with the conversion.
std::vector<std::string> PrivateHome(const Path& folder) {
  const std::string home = (folder / "home").string();
  return {"HOME=" + home,
          "TMPDIR=" + home,
          "XDG_CONFIG_HOME=" + home + "/.config",
          "XDG_CACHE_HOME=" + home + "/.cache",
          "XDG_DATA_HOME=" + home + "/.local/share",
          "XDG_RUNTIME_DIR=" + home};
}

}  // namespace

Document ReadThroughOffice(const std::string& path, const ReadOptions& options) {
  std::string office = FindProgram("soffice");
  if (office.empty()) office = FindProgram("libreoffice");
  if (office.empty()) {
    throw Error("LibreOffice is needed to read " + Extension(path) + " files");
  }
  const TempFolder folder("velkaro-");
  std::filesystem::create_directory(folder.path() / "home");
  const Path output = folder.path() / "out";
  // The source is handed over under a fixed name: LibreOffice names its
  // result after the source, and the name might read as an option.
  const Path source = folder.path() / ("source" + Path(path).extension().string());
  std::filesystem::copy_file(path, source);
  const int exit_code = RunProgram(
      {office, "-env:UserInstallation=" + FileUrl(folder.path() / "profile"),
       "-env:UNO_SHARED_PACKAGES_CACHE=" + FileUrl(folder.path() / "extensions"), "--headless",
       "--norestore", "--convert-to", "docx", "--outdir", output.string(), source.string()},
      kLongestConversion, PrivateHome(folder.path()));
  if (exit_code == kStoppedAtTimeLimit) {
    throw Error("LibreOffice was stopped: converting the file took longer than " +
                std::to_string(kLongestConversion.count()) + " seconds");
  }
  const Path converted = output / "source.docx";
  if (exit_code != 0 || !std::filesystem::is_regular_file(converted)) {
    throw Error("LibreOffice could not convert the file to a Word document");
  }
  return ReadDocx(converted.string(), options);
}

}  // namespace velkaro
