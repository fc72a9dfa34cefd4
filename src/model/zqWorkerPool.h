// A small pool of persistent threads that runs one task split into parts (fork and join), so a
// spectrum recomputation can use every core without creating threads or allocating each time.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class TzqWorkerPool {
public:
  explicit TzqWorkerPool(unsigned workers);
  ~TzqWorkerPool();
  TzqWorkerPool(const TzqWorkerPool&) = delete;
  TzqWorkerPool& operator=(const TzqWorkerPool&) = delete;

  // Calls task(part) for part = 0 .. parts - 1 and returns when all have finished. Part 0 runs on
  // the calling thread; parts beyond the pool's threads run there too. The task must not throw.
  template <class F> void Run(unsigned parts, F& task) {
    run(
        parts, [](void* ctx, unsigned part) { (*static_cast<F*>(ctx))(part); }, &task);
  }

  // Threads that can run at once: the workers and the caller.
  unsigned Concurrency() const { return static_cast<unsigned>(threads_.size()) + 1; }

  // The program's pool, created at the first call with one thread per further core.
  static TzqWorkerPool& Shared();

private:
  using TaskFn = void (*)(void*, unsigned);
  void run(unsigned parts, TaskFn fn, void* ctx);
  void worker_loop(unsigned index);

  std::mutex run_mutex_; // one Run at a time
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  TaskFn fn_ = nullptr;
  void* ctx_ = nullptr;
  unsigned parts_ = 0;
  unsigned pending_ = 0;
  std::uint64_t generation_ = 0;
  bool stop_ = false;
  std::vector<std::thread> threads_;
};
