// Fork-join over persistent threads: a generation counter wakes the workers, a pending count tells
// the caller when the last part has finished.
#include "zqWorkerPool.h"

#include <algorithm>

TzqWorkerPool::TzqWorkerPool(unsigned workers) {
  threads_.reserve(workers);
  for (unsigned i = 0; i < workers; ++i)
    threads_.emplace_back([this, i] { worker_loop(i + 1); });
}

TzqWorkerPool::~TzqWorkerPool() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_)
    t.join();
}

TzqWorkerPool& TzqWorkerPool::Shared() {
  static TzqWorkerPool pool(std::thread::hardware_concurrency() > 1 ? std::thread::hardware_concurrency() - 1
                                                                    : 0);
  return pool;
}

void TzqWorkerPool::run(unsigned parts, TaskFn fn, void* ctx) {
  if (parts == 0) return;
  std::lock_guard run_lock(run_mutex_);
  const unsigned on_workers =
      parts > 1 ? std::min<unsigned>(parts - 1, static_cast<unsigned>(threads_.size())) : 0;
  if (on_workers > 0) {
    std::lock_guard lock(mutex_);
    fn_ = fn;
    ctx_ = ctx;
    parts_ = on_workers + 1;
    pending_ = on_workers;
    ++generation_;
  }
  if (on_workers > 0) wake_.notify_all();
  fn(ctx, 0);
  for (unsigned part = on_workers + 1; part < parts; ++part)
    fn(ctx, part);
  if (on_workers > 0) {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return pending_ == 0; });
  }
}

void TzqWorkerPool::worker_loop(unsigned index) {
  std::uint64_t seen = 0;
  for (;;) {
    TaskFn fn;
    void* ctx;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
      if (stop_) return;
      seen = generation_;
      if (index >= parts_) continue;
      fn = fn_;
      ctx = ctx_;
    }
    fn(ctx, index);
    {
      std::lock_guard lock(mutex_);
      if (--pending_ == 0) done_.notify_one();
    }
  }
}
