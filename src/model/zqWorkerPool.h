// A small pool of persistent threads that runs one task split into parts (fork and join), so a
// spectrum recomputation can use every core without creating threads or allocating each time.
#pragma once

#include <atomic>
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

  // Calls task(part) for part = 0 .. parts - 1 and returns when all have finished. The calling
  // thread takes parts too, and any part a worker has not yet claimed when the caller is free, so
  // a busy machine never makes a split run slower than an unsplit one. The task must not throw.
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
  void worker_loop();
  // Claims the next part of run generation gen; false when that run has none left.
  bool claim(uint32_t gen, unsigned parts, unsigned& part);
  void finish_part(unsigned parts);

  std::mutex run_mutex_; // one Run at a time
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  TaskFn fn_ = nullptr;
  void* ctx_ = nullptr;
  unsigned parts_ = 0;
  uint32_t generation_ = 0;
  std::atomic<uint64_t> next_{0};     // generation << 32 | next unclaimed part
  std::atomic<unsigned> finished_{0}; // parts of the current run that have finished
  bool stop_ = false;
  std::vector<std::thread> threads_;
};
