#include "engine/text_source.h"

#include "engine/velkaro.h"
#include "platform/io_error.h"

namespace velkaro {

std::u16string LoadPlainText(const std::string&, std::string*) {
  throw Error("plain text loading is not built yet");
}

std::u16string TVelkaro::LoadSourceText(const std::string& file_name, const std::string&,
                                        std::string*) {
  throw Error("Can not load text from file " + file_name + ", error: not built yet");
}

}  // namespace velkaro
