#include "engine/package_syncer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
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
      Record("placed " + std::to_string(number));
    };
    package.discard = [this, number] { Record("discarded " + std::to_string(number)); };
    syncer.Add(std::move(package));
  }

  // Both the syncer's thread and an Add that meets a failure record events.
  std::vector<std::string> Events() {
    std::lock_guard lock(mutex_);
    return events_;
  }

 private:
  void Record(std::string event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
  }

  std::mutex mutex_;
  std::vector<std::string> events_;
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
    // Packages after the failing one are discarded by the syncer's thread or
    // by the Add that meets the failure, in either order; that Add throws, so
    // the last package may never be handed over.
    std::vector<std::string> events = run.Events();
    if (c.failing > 0 && events.size() > static_cast<size_t>(c.failing)) {
      std::sort(events.begin() + c.failing, events.end());
    }
    const bool last_never_added = events.size() + 1 == c.events.size() && c.failing == 1;
    EXPECT_TRUE(events == c.events ||
                (last_never_added && std::equal(events.begin(), events.end(), c.events.begin())))
        << "failing " << c.failing << ": " << ::testing::PrintToString(events);
    EXPECT_EQ(error, c.error) << "failing " << c.failing;
  }
}

TEST(PackageSyncerTest, WaitingPackagesArePlacedEvenWithoutFinish) {
  SyncerRun run(0);
  {
    PackageSyncer syncer;
    for (int number = 1; number <= 70; ++number) run.Add(syncer, number);
  }
  const std::vector<std::string> events = run.Events();
  ASSERT_EQ(events.size(), 70u);
  EXPECT_EQ(events.back(), "placed 70");
}

// Nothing is placed before the build ends; a cancelled build discards it all.
TEST(PackageSyncerTest, PlacesOnlyAtTheEndAndDiscardsAllWhenCancelled) {
  for (const bool cancelled : {false, true}) {
    SyncerRun run(0);
    PackageSyncer syncer;
    for (int number = 1; number <= 3; ++number) run.Add(syncer, number);
    EXPECT_TRUE(run.Events().empty());
    if (cancelled) {
      syncer.DiscardAll();
      EXPECT_EQ(run.Events(),
                (std::vector<std::string>{"discarded 1", "discarded 2", "discarded 3"}));
    } else {
      syncer.Finish();
      EXPECT_EQ(run.Events(), (std::vector<std::string>{"placed 1", "placed 2", "placed 3"}));
    }
  }
}

}  // namespace
}  // namespace velkaro
