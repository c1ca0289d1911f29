#ifndef VELKARO_TESTS_FAKE_CONVERTER_H_
#define VELKARO_TESTS_FAKE_CONVERTER_H_

#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/image_converter.h"
#include "platform/io_error.h"

namespace velkaro::testing {

// Records every call and writes a destination of the size set for its
// extension (none for a size below 0); a source named in `failing` fails.
class FakeConverter : public ImageConverter {
 public:
  std::vector<std::string> Convert(const std::vector<std::string>& arguments) override {
    std::lock_guard<std::mutex> lock(mutex_);
    calls.push_back(arguments);
    if (failing.count(arguments.front())) throw Error(failing[arguments.front()]);
    const std::string& destination = arguments.back();
    const int size = sizes[destination.substr(destination.rfind('.'))];
    if (size >= 0) std::ofstream(destination, std::ios::binary) << std::string(size, 'x');
    return warnings;
  }

  std::map<std::string, int> sizes = {{".png", 10}, {".jpg", 20}};
  std::map<std::string, std::string> failing;
  std::vector<std::string> warnings;
  std::vector<std::vector<std::string>> calls;

 private:
  std::mutex mutex_;
};

}  // namespace velkaro::testing

#endif  // VELKARO_TESTS_FAKE_CONVERTER_H_
