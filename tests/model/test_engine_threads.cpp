// The line engine shared by threads: two threads computing different spectra at once get the bits
// they get one after the other (classic and HITRAN), a cancel raised during a computation leaves no
// result, and the cross-section cache answers what it holds, computes what it does not and keeps
// within its memory limit.
#include "ModelTestHelpers.h"
#include "zqCrossSection.h"
#include "zqCrossSectionCache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

// A synthetic CO2 band: lines every 0.05 cm-1 from 550 to 800 cm-1 with varying strength and width.
std::unique_ptr<T_zq_HITRAN> band(double first = 550, int lines = 5000) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    const double nu = first + 0.05 * i;
    text += modeltest::Line(nu, 1e-21 * (1 + i % 7), 0.05 + 0.01 * (i % 5), 10.0 * (i % 11)) + "\n";
  }
  return modeltest::LoadText(text, " 2");
}

bool same_bits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

std::vector<double> classic_spectrum(T_zq_HITRAN& list, bool doppler, double lo, double hi) {
  list.SetWavenumberMin(lo);
  list.SetWavenumberMax(hi);
  list.SetPressure(doppler ? 100 : 1013);
  list.SetTemperature(doppler ? 220 : 288);
  list.SetDopplerBroadening(doppler);
  list.SetLineWidthLimit(200);
  list.Dirty = true;
  list.UpdateSpectrum();
  return {list.Spectrum.begin(), list.Spectrum.end()};
}

THitranConditions hitran(THitranProfile profile, double t, double p) {
  THitranConditions c;
  c.Profile = profile;
  c.Temperature = t;
  c.Pressure = p;
  c.WavenumberMin = 500;
  c.WavenumberMax = 900;
  return c;
}

} // namespace

TEST(EngineThreads, TwoThreadsComputingDifferentSpectraGetTheBitsOfOneAfterTheOther) {
  auto a = band(), b = band(560);
  const THitranConditions voigt = hitran(THitranProfile::Voigt, 250, 700);
  const THitranConditions lorentz = hitran(THitranProfile::Lorentz, 296, 1013);
  const std::vector<double> lorentz_alone = classic_spectrum(*a, false, 500, 900);
  const std::vector<double> doppler_alone = classic_spectrum(*b, true, 520, 820);
  const std::vector<double> voigt_alone = ComputeHitranCrossSection(HitranLineSet(*a), voigt).Sigma;
  const std::vector<double> hitran_lorentz_alone =
      ComputeHitranCrossSection(HitranLineSet(*b), lorentz).Sigma;
  ASSERT_FALSE(voigt_alone.empty());
  for (int round = 0; round < 4; ++round) {
    std::vector<double> lorentz_at_once, doppler_at_once, voigt_at_once, hitran_lorentz_at_once;
    std::thread other([&] {
      doppler_at_once = classic_spectrum(*b, true, 520, 820);
      hitran_lorentz_at_once = ComputeHitranCrossSection(HitranLineSet(*b), lorentz).Sigma;
    });
    voigt_at_once = ComputeHitranCrossSection(HitranLineSet(*a), voigt).Sigma;
    lorentz_at_once = classic_spectrum(*a, false, 500, 900);
    other.join();
    EXPECT_TRUE(same_bits(lorentz_at_once, lorentz_alone)) << round;
    EXPECT_TRUE(same_bits(doppler_at_once, doppler_alone)) << round;
    EXPECT_TRUE(same_bits(voigt_at_once, voigt_alone)) << round;
    EXPECT_TRUE(same_bits(hitran_lorentz_at_once, hitran_lorentz_alone)) << round;
  }
}

TEST(EngineThreads, ACancelDuringAComputationLeavesNoResult) {
  auto list = band(550, 20000);
  THitranConditions c = hitran(THitranProfile::Voigt, 250, 1013);
  c.LineWidthLimit = 2000; // wide wings: a computation long enough to be cancelled in its course
  std::atomic<bool> cancel{true};
  c.Cancel = &cancel;
  const THitranCrossSection before = ComputeHitranCrossSection(HitranLineSet(*list), c);
  EXPECT_TRUE(before.Cancelled);
  EXPECT_FALSE(before.Valid());
  EXPECT_TRUE(before.Sigma.empty() && before.X.empty());

  cancel = false;
  THitranCrossSection during;
  std::atomic<bool> started{false};
  std::thread worker([&] {
    started = true;
    during = ComputeHitranCrossSection(HitranLineSet(*list), c);
  });
  while (!started)
    std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  cancel = true;
  worker.join();
  // Either it finished before the flag (a whole result) or it left nothing: never a partial sum.
  if (during.Cancelled) {
    EXPECT_TRUE(during.Sigma.empty());
    EXPECT_EQ(during.Refusal, "The computation was cancelled");
  } else {
    cancel = false;
    EXPECT_TRUE(same_bits(during.Sigma, ComputeHitranCrossSection(HitranLineSet(*list), c).Sigma));
  }
}

TEST(CrossSectionCache, AnswersWhatItHoldsAndDropsTheLeastRecentlyUsedBeyondItsLimit) {
  auto list = band();
  const THitranConditions c = hitran(THitranProfile::Voigt, 250, 700);
  const THitranCrossSection direct = ComputeHitranCrossSection(HitranLineSet(*list), c);
  const std::size_t one = sizeof(THitranCrossSection) + 2 * 50000 * sizeof(double);
  TzqCrossSectionCache cache(2 * one + one / 2); // room for two entries
  const auto first = cache.Get(list->Revision(), HitranLineSet(*list), c);
  EXPECT_TRUE(same_bits(first->Sigma, direct.Sigma));
  EXPECT_EQ(cache.Get(list->Revision(), HitranLineSet(*list), c), first); // the same entry
  EXPECT_EQ(cache.Computations(), 1u);
  // Every quantity of the key counts: each of these is an entry of its own.
  THitranConditions warmer = c, other_grid = c;
  warmer.Temperature = 251;
  other_grid.WavenumberMax = 901;
  cache.Get(list->Revision(), HitranLineSet(*list), warmer);
  cache.Get(list->Revision(), HitranLineSet(*list), other_grid);
  EXPECT_EQ(cache.Computations(), 3u);
  EXPECT_LE(cache.Bytes(), 2 * one + one / 2);
  cache.Get(list->Revision(), HitranLineSet(*list), other_grid); // held
  EXPECT_EQ(cache.Computations(), 3u);
  cache.Get(list->Revision(), HitranLineSet(*list), c); // the oldest: dropped for the third
  EXPECT_EQ(cache.Computations(), 4u);
  // Revision 0 (contents of unknown identity) and refusals are never kept.
  cache.Get(0, HitranLineSet(*list), c);
  cache.Get(0, HitranLineSet(*list), c);
  THitranConditions refused = c;
  refused.Temperature = -1;
  EXPECT_FALSE(cache.Get(list->Revision(), HitranLineSet(*list), refused)->Valid());
  EXPECT_FALSE(cache.Get(list->Revision(), HitranLineSet(*list), refused)->Valid());
  EXPECT_EQ(cache.Computations(), 8u);
}
