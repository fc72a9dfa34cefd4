// Fork-join over persistent threads, one job per Run. A worker claims a part only while holding the
// pool's lock and finding the job in the list; the caller takes the job out of the list under the
// same lock before it waits, so a job a worker has claimed a part of outlives that part, and a job no
// worker can see any more is never touched again. The caller claims its own parts without the lock.
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

void TzqWorkerPool::run_part(Job& job, unsigned part) {
  job.fn(job.ctx, part);
  // Read before counting: once the last count is in, the caller may return and the job is gone.
  const unsigned parts = job.parts;
  if (job.finished.fetch_add(1, std::memory_order_acq_rel) + 1 == parts) {
    // The caller may return as soon as it sees the count: only the pool is touched from here on.
    std::lock_guard lock(mutex_);
    done_.notify_all();
  }
}

void TzqWorkerPool::run(unsigned parts, TaskFn fn, void* ctx) {
  if (parts == 0) return;
  if (parts == 1 || threads_.empty()) {
    for (unsigned part = 0; part < parts; ++part)
      fn(ctx, part);
    return;
  }
  Job job{fn, ctx, parts};
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(&job);
  }
  wake_.notify_all();
  for (unsigned part; (part = job.next.fetch_add(1, std::memory_order_relaxed)) < parts;)
    run_part(job, part);
  std::unique_lock lock(mutex_);
  jobs_.erase(std::find(jobs_.begin(), jobs_.end(), &job));
  done_.wait(lock, [&] { return job.finished.load(std::memory_order_acquire) == parts; });
}

void TzqWorkerPool::worker_loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    Job* job = nullptr;
    unsigned part = 0;
    wake_.wait(lock, [&] {
      if (stop_) return true;
      for (Job* j : jobs_)
        if ((part = j->next.fetch_add(1, std::memory_order_relaxed)) < j->parts) {
          job = j;
          return true;
        }
      return false;
    });
    if (stop_) return;
    lock.unlock();
    run_part(*job, part);
    lock.lock();
  }
}
