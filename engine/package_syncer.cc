#include "engine/package_syncer.h"

namespace velkaro {
namespace {

// Each waiting package holds an open file; this bounds them.
constexpr size_t kMostWaiting = 64;

}  // namespace

PackageSyncer::~PackageSyncer() {
  Stop();
  try {
    PlaceSynced();
  } catch (...) {
    // A failed build reports its own failure.
  }
}

void PackageSyncer::Add(WrittenPackage package) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return waiting_.size() < kMostWaiting || failure_; });
  if (failure_) {
    lock.unlock();
    package.discard();
    ThrowFailure();
  }
  waiting_.push_back(std::move(package));
  if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
  changed_.notify_all();
}

void PackageSyncer::Finish() {
  Stop();
  PlaceSynced();
}

void PackageSyncer::DiscardAll() {
  Stop();
  for (WrittenPackage& package : synced_) package.discard();
  synced_.clear();
}

void PackageSyncer::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return !waiting_.empty() || stopping_; });
    if (waiting_.empty()) return;
    WrittenPackage package = std::move(waiting_.front());
    waiting_.pop_front();
    const bool failed = failure_ != nullptr;
    lock.unlock();
    if (failed) {
      package.discard();
    } else {
      Sync(package);
    }
    lock.lock();
    changed_.notify_all();
  }
}

// Runs without the lock; records a failure under it. Only the worker touches
// synced_ while it runs.
void PackageSyncer::Sync(WrittenPackage& package) {
  try {
    package.file->Sync();
    package.file->Close();
    synced_.push_back(std::move(package));
  } catch (...) {
    package.discard();
    Fail();
  }
}

// With the worker stopped: places the synced packages in order, which all
// came before any package that failed to sync; after a package fails to be
// placed the rest are discarded. Throws the first failure.
void PackageSyncer::PlaceSynced() {
  bool placing = true;
  for (; !synced_.empty(); synced_.pop_front()) {
    WrittenPackage& package = synced_.front();
    if (placing) {
      try {
        package.place();
        continue;
      } catch (...) {
        Fail();
        placing = false;
      }
    }
    package.discard();
  }
  ThrowFailure();
}

void PackageSyncer::Fail() {
  std::lock_guard lock(mutex_);
  if (!failure_) failure_ = std::current_exception();
}

void PackageSyncer::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
  stopping_ = false;
}

void PackageSyncer::ThrowFailure() {
  std::lock_guard lock(mutex_);
  if (failure_) std::rethrow_exception(failure_);
}

}  // namespace velkaro
