#include "engine/velkaro.h"

#include "engine/image_converter.h"

namespace velkaro {

TVelkaro TVelkaro::CreateDefault() {
  TVelkaro book;
  book.Font = DesktopFont();
  return book;
}

TVelkaro TVelkaro::CreateFromProject(const std::string& path, std::string* load_error) {
  TVelkaro book = CreateDefault();
  std::string error;
  if (!book.LoadProject(path, &error) && load_error) *load_error = error;
  return book;
}

}  // namespace velkaro
