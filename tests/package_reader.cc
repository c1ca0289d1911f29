#include "tests/package_reader.h"

#include <zip.h>

namespace velkaro::testing {

Package ReadPackage(const std::filesystem::path& jar) {
  Package package;
  int error = 0;
  zip_t* archive = zip_open(jar.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
  if (!archive) return package;
  package.ok = true;
  zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    zip_stat_index(archive, i, 0, &st);
    std::string bytes(st.size, '\0');
    zip_file_t* file = zip_fopen_index(archive, i, 0);
    if (!file || zip_fread(file, bytes.data(), st.size) != static_cast<zip_int64_t>(st.size)) {
      package.ok = false;
    }
    if (file) zip_fclose(file);
    package.names.push_back(st.name);
    package.content[st.name] = bytes;
  }
  zip_close(archive);
  return package;
}

}  // namespace velkaro::testing
