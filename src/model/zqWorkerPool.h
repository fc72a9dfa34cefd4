// A small pool of persistent threads that runs tasks split into parts (fork and join), so a spectrum
// recomputation can use every core without creating threads or allocating each time. Every Run is a
// job of its own: runs from different threads (the window's replot while the Column page computes)
// proceed side by side, the workers helping whichever has parts left, and none waits for another.
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
  // a busy machine never makes a split run slower than an unsplit one. The task must not throw. Any
  // thread may call Run at any time, also from inside a task.
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
  // One Run: lives on its caller's stack until every part has finished.
  struct Job {
    TaskFn fn;
    void* ctx;
    unsigned parts;
    std::atomic<unsigned> next{0};     // next unclaimed part
    std::atomic<unsigned> finished{0}; // parts that have finished
  };
  void run(unsigned parts, TaskFn fn, void* ctx);
  void worker_loop();
  // Runs one claimed part and counts it; the job may be gone once this returns.
  void run_part(Job& job, unsigned part);

  std::mutex mutex_;
  std::condition_variable wake_; // a job was added, or the pool stops
  std::condition_variable done_; // a job's last part finished
  std::vector<Job*> jobs_;       // jobs that may have unclaimed parts, oldest first
  bool stop_ = false;
  std::vector<std::thread> threads_;
};
