// The fork-join pool: every part runs exactly once per run, whoever takes it, and a run returns only
// when all its parts are done.
#include "zqWorkerPool.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>

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
