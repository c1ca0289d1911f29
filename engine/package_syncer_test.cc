#include "engine/package_syncer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/io_error.h"
#include "tests/testing.h"

namespace velkaro {
namespace {

// Queues packages 1..count to a syncer; the one numbered `failing` (0: none)
// cannot be placed. Records what happened to each, in order.
class SyncerRun {
 public:
  explicit SyncerRun(int failing) : failing_(failing) {}

  void Add(PackageSyncer& syncer, int number) {
    const auto file = folder_.Write(std::to_string(number) + ".partial", "");
    WrittenPackage package{std::make_unique<OutputFile>(file), nullptr, nullptr};
    package.file->Write("package " + std::to_string(number));
    package.place = [this, number] {
      if (number == failing_) throw Error("cannot place " + std::to_string(number));
      events.push_back("placed " + std::to_string(number));
    };
    package.discard = [this, number] { events.push_back("discarded " + std::to_string(number)); };
    syncer.Add(std::move(package));
  }

  std::vector<std::string> events;  // written by the syncer's thread, read after it ends

 private:
  testing::ScratchFolder folder_;
  int failing_;
};

TEST(PackageSyncerTest, PlacesInOrderAndStopsAtTheFirstFailure) {
  const struct {
    int failing;
    std::vector<std::string> events;
    std::string error;
  } cases[] = {
      {0, {"placed 1", "placed 2", "placed 3"}, ""},
      {1, {"discarded 1", "discarded 2", "discarded 3"}, "cannot place 1"},
      {2, {"placed 1", "discarded 2", "discarded 3"}, "cannot place 2"},
  };
  for (const auto& c : cases) {
    SyncerRun run(c.failing);
    std::string error;
    {
      PackageSyncer syncer;
      try {
        for (int number = 1; number <= 3; ++number) run.Add(syncer, number);
        syncer.Finish();
      } catch (const Error& e) {
        error = e.what();
      }
    }  // an Add that threw may leave packages waiting until here
    EXPECT_EQ(run.events, c.events) << "failing " << c.failing;
    EXPECT_EQ(error, c.error) << "failing " << c.failing;
  }
}

TEST(PackageSyncerTest, WaitingPackagesArePlacedEvenWithoutFinish) {
  SyncerRun run(0);
  {
    PackageSyncer syncer;
    for (int number = 1; number <= 70; ++number) run.Add(syncer, number);
  }
  ASSERT_EQ(run.events.size(), 70u);
  EXPECT_EQ(run.events.back(), "placed 70");
}

}  // namespace
}  // namespace velkaro
