#include "ColumnTestSources.h"
#include "zqColumn.h"
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
TEST(Scratch, Figures) {
  TzqColumnSettings s;
  columntest::BandSource src(3e-19, 1e-22);
  for (unsigned th : {1u, 0u}) {
  s.Threads = th;
  TzqColumn c;
  for (int i = 0; i < 2; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    auto r = c.Compute(s, src);
    auto t1 = std::chrono::steady_clock::now();
    printf("th %u run %d: %s OLR1 %.6f OLRN %.6f F %.6f Ftrop %.6f sd %.6f em %.6f  %.3fs fetch %d\n", th, i, r.Refusal.c_str(), r.OLR1x, r.OLRNx, r.ForcingTOA, r.ForcingTropopause, r.SurfaceDownwelling1x, r.SurfaceEmission, std::chrono::duration<double>(t1-t0).count(), c.LastFetches());
    s.CO2Factor = 3;
  }
  }
}
