#ifndef VELKARO_ENGINE_PACKAGE_SYNCER_H_
#define VELKARO_ENGINE_PACKAGE_SYNCER_H_

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/files.h"

namespace velkaro {

// A package written aside, complete but not yet forced to the disk.
struct WrittenPackage {
  std::unique_ptr<OutputFile> file;  // open, its writeback begun
  std::function<void()> place;       // once it is synced: renames it into place and so on
  std::function<void()> discard;     // instead of place when it cannot be synced or placed
};

// Syncs packages on a thread of its own while the build goes on with the
// next part, and places them when the build ends, in the order they came:
// until then the packages of an earlier build stay as they were, so a build
// that is cancelled leaves nothing of its own. Syncing several in a row lets
// one journal commit of the file system carry them all. After the first
// failure the packages still waiting are discarded and the failure is
// thrown to the build.
class PackageSyncer {
 public:
  PackageSyncer() = default;
  // Still places what waits, as a build that failed elsewhere keeps the
  // packages it completed; their failures are dropped.
  ~PackageSyncer();
  PackageSyncer(const PackageSyncer&) = delete;
  PackageSyncer& operator=(const PackageSyncer&) = delete;

  // Queues a package; waits while too many are queued. Throws the failure of
  // an earlier package, discarding this one.
  void Add(WrittenPackage package);
  // Waits until every queued package is synced, then places them all;
  // throws the first failure.
  void Finish();
  // Discards every package queued so far, synced or not.
  void DiscardAll();

 private:
  void Work();
  void Sync(WrittenPackage& package);
  void PlaceSynced();
  void Stop();
  void ThrowFailure();
  void Fail();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<WrittenPackage> waiting_;
  std::deque<WrittenPackage> synced_;  // closed, waiting for the build to end
  std::exception_ptr failure_;
  bool stopping_ = false;
  std::thread worker_;  // started by the first package
};

}  // namespace velkaro

#endif  // VELKARO_ENGINE_PACKAGE_SYNCER_H_
