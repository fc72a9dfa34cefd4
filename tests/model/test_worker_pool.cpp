// The fork-join pool: every part runs exactly once per run, whoever takes it, a run returns only
// when all its parts are done, and runs of different threads proceed side by side.
#include "zqWorkerPool.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>

TEST(WorkerPool, EveryPartRunsExactlyOncePerRun) {
  for (unsigned workers : {0u, 1u, 3u}) {
    TzqWorkerPool pool(workers);
    EXPECT_EQ(pool.Concurrency(), workers + 1);
    for (int run = 0; run < 2000; ++run) {
      const unsigned parts = 1 + run % 6;
      std::array<std::atomic<int>, 6> count{};
      auto task = [&](unsigned part) { count[part].fetch_add(1); };
      pool.Run(parts, task);
      for (unsigned p = 0; p < 6; ++p)
        ASSERT_EQ(count[p].load(), p < parts ? 1 : 0) << workers << " " << run;
    }
  }
}

// Runs from different threads are jobs of their own: a run whose part waits for another thread's
// whole run to finish completes (one run at a time would never let the other start), and a task may
// start a run of its own.
TEST(WorkerPool, RunsFromOtherThreadsAndFromTasksNeverWaitForEachOther) {
  TzqWorkerPool pool(2);
  std::atomic<bool> other_done{false}, waited_in_vain{false};
  std::atomic<bool> first_started{false};
  std::thread first([&] {
    auto task = [&](unsigned part) {
      if (part != 0) return;
      first_started = true;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (!other_done && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
      waited_in_vain = !other_done;
    };
    pool.Run(3, task);
  });
  while (!first_started)
    std::this_thread::yield();
  std::atomic<int> inner_parts{0};
  auto nested = [&](unsigned) {
    auto inner = [&](unsigned) { inner_parts.fetch_add(1); };
    pool.Run(4, inner);
  };
  pool.Run(3, nested);
  other_done = true;
  first.join();
  EXPECT_FALSE(waited_in_vain);
  EXPECT_EQ(inner_parts.load(), 12);
}
