#ifndef VELKARO_ENGINE_CONFIG_FILE_H_
#define VELKARO_ENGINE_CONFIG_FILE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/velkaro.h"

namespace velkaro {

// cfg.dat tells the phone app how to show the book. Integers are 32 bits and
// texts a count of UTF-16 units followed by the units, both high byte first.
class ConfigWriter {
 public:
  void WriteInt32(int32_t value);
  void WriteWideText(std::u16string_view text);
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// "Phone font" without a desktop font, else "<face>, <size>".
std::u16string FontDescription(const TVelkaro& book);

// The value that lets the phone app test an entered password without the
// password being stored: built from the first 16 units of `text`.
int32_t PasswordCheckValue(std::u16string_view text, int32_t password);

// The whole cfg.dat of a text part, `part_length` letters long.
std::string TextBookConfig(const TVelkaro& book, int32_t password, int32_t part_length,
                           const std::vector<int32_t>& headings, const std::string& short_version);
// The whole cfg.dat of a photo book.
std::string PhotoBookConfig(const TVelkaro& book, const std::vector<std::string>& extensions,
                            const std::string& short_version);

}  // namespace velkaro

#endif  // VELKARO_ENGINE_CONFIG_FILE_H_
