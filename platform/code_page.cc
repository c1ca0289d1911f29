#include "platform/code_page.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <map>
#include <memory>

namespace velkaro {
namespace {

// The replacement that a conversion writes for a letter it cannot carry.
std::string Replacement(const std::string& to) {
  if (to == "UTF-16LE") return std::string("\xFD\xFF", 2);
  return "?";
}

size_t FailedInputLength(const std::string& from) { return from == "UTF-16LE" ? 2 : 1; }

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Converters stay open for the life of their thread: opening one looks up
// and loads conversion modules, which costs far more than converting a name.
class OpenConverters {
 public:
  OpenConverters() = default;
  OpenConverters(const OpenConverters&) = delete;
  OpenConverters& operator=(const OpenConverters&) = delete;
  ~OpenConverters() {
    for (const auto& [charsets, converter] : open_) {
      if (converter != kNoConverter) iconv_close(converter);
    }
  }

  // A converter in its initial shift state, or kNoConverter for an unknown pair.
  iconv_t Get(const std::string& from, const std::string& to) {
    auto [it, opened] = open_.try_emplace(from + '\0' + to, kNoConverter);
    if (opened) {
      it->second = iconv_open(to.c_str(), from.c_str());
    } else if (it->second != kNoConverter) {
      iconv(it->second, nullptr, nullptr, nullptr, nullptr);
    }
    return it->second;
  }

 private:
  std::map<std::string, iconv_t> open_;
};

}  // namespace

const std::string& SystemCharset() {
  static const std::string charset = [] {
    // Reads the character set of the user's locale without changing the
    // program's own locale for anyone else.
    locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    std::string name = user ? nl_langinfo_l(CODESET, user) : "";
    if (user) freelocale(user);
    if (name.empty() || name == "ANSI_X3.4-1968" || name == "ASCII") return std::string("UTF-8");
    return name;
  }();
  return charset;
}

const std::string& OemCharset() {
  static const std::string charset = [] {
    static const std::map<std::string, std::string> kOemOf = {
        {"CP1250", "CP852"}, {"CP1251", "CP866"},     {"CP1252", "CP850"},
        {"CP1253", "CP737"}, {"CP1254", "CP857"},     {"CP1255", "CP862"},
        {"CP1256", "CP720"}, {"CP1257", "CP775"},     {"ISO-8859-5", "CP866"},
        {"KOI8-R", "CP866"}, {"ISO-8859-1", "CP850"}, {"ISO-8859-15", "CP850"},
    };
    auto it = kOemOf.find(SystemCharset());
    return it == kOemOf.end() ? std::string("CP437") : it->second;
  }();
  return charset;
}

namespace {

// Runs the bytes through iconv into `out` (when given). An undecodable or
// unmappable input ends a strict run; otherwise it becomes the target set's
// replacement and is skipped. False when a set is unknown or a strict run
// ended early.
bool RunIconv(std::string_view bytes, const std::string& from, const std::string& to, bool strict,
              std::string* out) {
  thread_local OpenConverters converters;
  const iconv_t cd = converters.Get(from, to);
  if (cd == kNoConverter) return false;
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  char buffer[16384];
  while (in_left > 0) {
    char* dst = buffer;
    size_t dst_left = sizeof buffer;
    size_t r = iconv(cd, &in, &in_left, &dst, &dst_left);
    if (out) out->append(buffer, dst - buffer);
    if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
    if (strict) return false;
    if (out) *out += Replacement(to);
    size_t skip = std::min(in_left, errno == EINVAL ? in_left : FailedInputLength(from));
    in += skip;
    in_left -= skip;
  }
  // A converter may hold back a letter that a combining mark could still
  // join (CP1258, TCVN); the last one comes out only now.
  char* dst = buffer;
  size_t dst_left = sizeof buffer;
  if (iconv(cd, nullptr, nullptr, &dst, &dst_left) == static_cast<size_t>(-1) && strict) {
    return false;
  }
  if (out) out->append(buffer, dst - buffer);
  return true;
}

}  // namespace

std::string ConvertCharset(std::string_view bytes, const std::string& from, const std::string& to) {
  std::string out;
  out.reserve(bytes.size() * 2 + 16);
  return RunIconv(bytes, from, to, false, &out) ? out : std::string(bytes);
}

bool IsKnownCharset(const std::string& charset) {
  iconv_t cd = iconv_open("UTF-16LE", charset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

bool IsValidIn(std::string_view bytes, const std::string& charset) {
  return RunIconv(bytes, charset, "UTF-16LE", true, nullptr);
}

std::u16string AnsiToWide(std::string_view text) { return WideFrom(text, SystemCharset()); }

std::u16string WideFrom(std::string_view text, const std::string& charset) {
  std::string utf16 = ConvertCharset(text, charset, "UTF-16LE");
  std::u16string wide(utf16.size() / 2, u'\0');
  for (size_t i = 0; i < wide.size(); ++i) {
    wide[i] = static_cast<char16_t>(static_cast<unsigned char>(utf16[2 * i]) |
                                    static_cast<unsigned char>(utf16[2 * i + 1]) << 8);
  }
  return wide;
}

std::string WideToAnsi(std::u16string_view text) {
  std::string utf16(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    utf16[2 * i] = static_cast<char>(text[i] & 0xFF);
    utf16[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return ConvertCharset(utf16, "UTF-16LE", SystemCharset());
}

std::string AnsiToOem(std::string_view text) {
  return ConvertCharset(text, SystemCharset(), OemCharset());
}

bool SystemCharsetIsUtf8() {
  static const bool utf8 = [] {
    std::string name = SystemCharset();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name == "UTF-8" || name == "UTF8";
  }();
  return utf8;
}

}  // namespace velkaro
