#ifndef VELKARO_ENGINE_VELKARO_H_
#define VELKARO_ENGINE_VELKARO_H_

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "documents/picture_source.h"
#include "engine/desktop_font.h"
#include "engine/image_converter.h"
#include "engine/log.h"

namespace velkaro {

// Every setting of one book plus the run state a build needs. Texts are bytes
// in the system code page; the book's own text is UTF-16 inside the build.
class TVelkaro {
 public:
  static TVelkaro CreateDefault();
  // Defaults, then every key the project file holds. A read failure is put
  // into *load_error (when given) and the object keeps what was read so far.
  static TVelkaro CreateFromProject(const std::string& path, std::string* load_error);

  // Project file; see project_file.cc. LoadProject returns false with the
  // message in *error when the file cannot be read.
  bool LoadProject(const std::string& path, std::string* error);
  // Errors are discarded: a build never depends on the saved project.
  void SaveProject(const std::string& path) const;
  // The same, throwing Error when the file cannot be written.
  void WriteProject(const std::string& path) const;

  // Builds the book into midlet packages; see build.cc. Returns false when
  // the build failed, with the logged message in *error when given.
  bool Build(std::string* error = nullptr);
  // Appends one line to the log pane (when attached) and to the log file.
  void AddLog(const std::string& line);

  // Loads a book's source into UTF-16 with one space appended; see
  // text_source.cc. Throws Error("Can not load text from file ...").
  std::u16string LoadSourceText(const std::string& file_name, const std::string& work_folder,
                                std::string* caption);
  // Reads a word-processor document or an e-book (EPUB, FB2) into text with
  // heading and picture tags; see word_import.cc. Pictures are saved into work_folder when one is
  // given.
  std::u16string ImportWordDocument(const std::string& file_name, const std::string& work_folder,
                                    std::string* caption);
  // Saves the picture a document offers as the clipboard picture "tmp" +
  // number + ".png" or ".jpg" in `folder`, choosing among its PNG and JFIF
  // formats as ImageMode asks; see clipboard_pictures.cc. Returns the file's
  // full path, or an empty string when nothing was saved.
  std::string SaveClipboardPicture(const PictureSource& clipboard, const std::string& folder,
                                   int number);

  // The build's converter, created on first use with its "Initializing
  // ImageMagic" line; see build.cc. Throws Error when none can be created.
  ImageConverter& StartConverter();

  bool SourceIsPlainText = false;
  std::shared_ptr<ImageConverter> Converter;
  // Starts the converter of a build that converts or turns pictures; the
  // shell and the window install one. Unset: such builds fail.
  ConverterFactory CreateConverter;
  std::string BookName;
  std::string LogFileName;
  std::string MidletsFolder;
  std::string TempFolder;
  std::string SplashFileName;
  std::string IconFileName;
  std::string TextFileName;
  std::string BookInfo;
  int32_t PartSize = 0;
  int32_t LineSpacing = 0;
  int32_t CharSpacing = 0;
  bool WordWrap = false;
  bool PortraitLayout = false;
  bool Tags = false;
  bool Format = false;
  LogSink* LogView = nullptr;
  bool BookMode = false;
  int32_t FontColor = 0;            // 0x00BBGGRR
  int32_t BackColor = 0xFFFFFF;     // 0x00BBGGRR
  std::optional<DesktopFont> Font;  // absent: phone fonts only
  std::vector<std::string> ImageFiles;
  std::vector<std::string> ImageNotes;
  std::string FileVersion;
  int32_t RunMode = 0;
  int32_t Password = 0;
  int32_t PasswordMode = 0;
  int32_t ImageMode = 0;
  int32_t ImageSize = 0;
  std::string ImagePngOptions;
  std::string ImageJpgOptions;
  std::string Encoding;    // iconv name of the source text; empty: told from the text
  bool JoinLines = false;  // join hard-wrapped lines into paragraphs
  // A document paragraph whose style or own properties carry an outline
  // level becomes a heading, besides outline-numbered list items.
  bool StyleHeadings = false;
  // The character set the project file was read in when it is not the
  // system code page; the build logs it.
  std::string ProjectEncoding;
  int32_t MaxJarSize = 0;   // bytes a package may take; 0: no limit
  int32_t Compression = 1;  // deflate level of the packages, 1 to 9
  // When set and true, a running build stops before its next step and logs
  // "Build cancelled"; it places no package of its own. Not owned.
  const std::atomic<bool>* Cancel = nullptr;

 private:
  // Log lines written before the log file's folder exists (a build makes it
  // a few lines in), kept for the first line that reaches the file.
  std::string unwritten_log_;
};

}  // namespace velkaro

#endif  // VELKARO_ENGINE_VELKARO_H_
