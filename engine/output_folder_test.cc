#include "engine/output_folder.h"

#include <gtest/gtest.h>

#include <map>

#include "engine/package_texts.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

using Files = std::map<std::string, std::string>;  // name, bytes

Files Read(const testing::ScratchFolder& folder) {
  Files files;
  for (const std::string& name : testing::SortedNames(folder.path())) {
    files[name] = testing::ReadBytes(folder / name);
  }
  return files;
}

std::string Descriptor(const std::string& part_name, const std::string& jar) {
  return DescriptorText(part_name, "4.7.0", jar.size());
}

// A kill between the two renames of a pair, or before them.
TEST(OutputFolderTest, RepairsPairsAnInterruptedBuildLeftOutOfStep) {
  const std::string old_jar = "old package", new_jar = "the new package";
  const struct {
    const char* what;
    Files before, after;
    size_t repairs;
  } cases[] = {
      {"the JAR renamed, the JAD not yet",
       {{"Trip.jar", new_jar},
        {"Trip.jar.partial", old_jar},
        {"Trip.jad", Descriptor("Trip", old_jar)},
        {"Trip.jad.partial", Descriptor("Trip", new_jar)}},
       {{"Trip.jar", new_jar}, {"Trip.jad", Descriptor("Trip", new_jar)}},
       1},
      {"the first package of a part, its JAD not yet renamed",
       {{"Trip3.jar", new_jar}, {"Trip3.jad.partial", Descriptor("Trip3", new_jar)}},
       {{"Trip3.jar", new_jar}, {"Trip3.jad", Descriptor("Trip3", new_jar)}},
       1},
      {"killed before the renames: the old pair stays as it was",
       {{"Trip.jar", old_jar},
        {"Trip.jar.partial", new_jar},
        {"Trip.jad", Descriptor("Trip", old_jar)},
        {"Trip.jad.partial", Descriptor("Trip", new_jar)}},
       {{"Trip.jar", old_jar},
        {"Trip.jar.partial", new_jar},
        {"Trip.jad", Descriptor("Trip", old_jar)},
        {"Trip.jad.partial", Descriptor("Trip", new_jar)}},
       0},
      {"another book's pair is not this build's to touch",
       {{"Tripod.jar", new_jar}, {"Tripod.jad.partial", Descriptor("Tripod", new_jar)}},
       {{"Tripod.jar", new_jar}, {"Tripod.jad.partial", Descriptor("Tripod", new_jar)}},
       0},
      {"a descriptor of another name",
       {{"Trip2.jar", new_jar}, {"Trip2.jad.partial", Descriptor("Trip7", new_jar)}},
       {{"Trip2.jar", new_jar}, {"Trip2.jad.partial", Descriptor("Trip7", new_jar)}},
       0},
  };
  for (const auto& c : cases) {
    testing::ScratchFolder folder;
    for (const auto& [name, bytes] : c.before) folder.Write(name, bytes);
    std::vector<std::string> log;
    RepairInterruptedPairs(folder.path(), "Trip",
                           [&](const std::string& line) { log.push_back(line); });
    EXPECT_EQ(Read(folder), c.after) << c.what;
    EXPECT_EQ(log.size(), c.repairs) << c.what;
  }
}

TEST(OutputFolderTest, RemovesOnlyNamesTheBuildWritesAside) {
  testing::ScratchFolder folder;
  for (const char* name :
       {"Trip.jar.partial", "Trip.jad.partial", "Trip1.jar.partial", "Trip3.jad.partial",
        "Trip4.jar.partial", "Trip217.jar.partial", "Trip03.jar.partial", "Tripod.jar.partial",
        "Trip.jar", "Trip1.jad", "Trip2.jar.partial.x"}) {
    folder.Write(name, "x");
  }
  const struct {
    int parts;
    std::vector<std::string> gone;
  } cases[] = {
      {1, {"Trip.jad.partial", "Trip.jar.partial"}},
      {3, {"Trip1.jar.partial", "Trip3.jad.partial"}},
      {216, {"Trip4.jar.partial"}},
      {217, {"Trip217.jar.partial"}},
  };
  Files left = Read(folder);
  for (const auto& c : cases) {
    RemoveLeftAside(folder.path(), "Trip", c.parts);
    for (const std::string& name : c.gone) left.erase(name);
    EXPECT_EQ(Read(folder), left) << c.parts << " parts";
  }
}

}  // namespace
}  // namespace velkaro
