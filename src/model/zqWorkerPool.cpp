// Fork-join over persistent threads. Parts are claimed through one atomic word that carries the run's
// generation, so a worker that wakes late can never take a part of a later run; the caller claims
// parts as well and waits only for parts already running elsewhere.
#include "zqWorkerPool.h"

#include <algorithm>

TzqWorkerPool::TzqWorkerPool(unsigned workers) {
  threads_.reserve(workers);
  for (unsigned i = 0; i < workers; ++i)
    threads_.emplace_back([this] { worker_loop(); });
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

bool TzqWorkerPool::claim(uint32_t gen, unsigned parts, unsigned& part) {
  uint64_t current = next_.load(std::memory_order_acquire);
  for (;;) {
    if (static_cast<uint32_t>(current >> 32) != gen) return false;
    const auto next = static_cast<uint32_t>(current);
    if (next >= parts) return false;
    if (next_.compare_exchange_weak(current, current + 1, std::memory_order_acq_rel)) {
      part = next;
      return true;
    }
  }
}

void TzqWorkerPool::finish_part(unsigned parts) {
  if (finished_.fetch_add(1, std::memory_order_acq_rel) + 1 == parts) {
    std::lock_guard lock(mutex_);
    done_.notify_one();
  }
}

void TzqWorkerPool::run(unsigned parts, TaskFn fn, void* ctx) {
  if (parts == 0) return;
  std::lock_guard run_lock(run_mutex_);
  if (parts == 1 || threads_.empty()) {
    for (unsigned part = 0; part < parts; ++part)
      fn(ctx, part);
    return;
  }
  uint32_t gen;
  {
    std::lock_guard lock(mutex_);
    gen = ++generation_;
    fn_ = fn;
    ctx_ = ctx;
    parts_ = parts;
    finished_.store(0, std::memory_order_relaxed);
    next_.store(static_cast<uint64_t>(gen) << 32, std::memory_order_release);
  }
  wake_.notify_all();
  unsigned part;
  while (claim(gen, parts, part)) {
    fn(ctx, part);
    finish_part(parts);
  }
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&] { return finished_.load(std::memory_order_acquire) == parts; });
}

void TzqWorkerPool::worker_loop() {
  uint32_t seen = 0;
  for (;;) {
    TaskFn fn;
    void* ctx;
    unsigned parts;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
      if (stop_) return;
      seen = generation_;
      fn = fn_;
      ctx = ctx_;
      parts = parts_;
    }
    unsigned part;
    while (claim(seen, parts, part)) {
      fn(ctx, part);
      finish_part(parts);
    }
  }
}
