// The broadened spectrum: grid, Lorentz and Doppler placement, lazy recomputation, agreement with an
// extended-precision reference on real lines, and identical results for any number of threads.
#include "ModelTestHelpers.h"
#include "zqFaddeeva.h"
#include "zqGrid.h"

#include <gtest/gtest.h>

#include <cstring>

using modeltest::Line;
using modeltest::LoadText;
namespace {
constexpr long N = T_zq_HITRAN::kGridPoints;

// A list at 296 K and 1013 mb, where adjusted values equal the file's.
std::unique_ptr<T_zq_HITRAN> AtReference(const std::string& text, double min, double max) {
  auto list = LoadText(text);
  list->SetWavenumberMin(min);
  list->SetWavenumberMax(max);
  list->SetTemperature(296);
  list->SetPressure(1013);
  return list;
}
long NonZero(const T_zq_HITRAN& list) {
  long n = 0;
  for (long k = 1; k <= N; ++k)
    n += list.Spectrum[k] != 0;
  return n;
}
} // namespace

TEST(SpectrumGrid, StepIsTruncatedOnTheExactQuotient) {
  EXPECT_EQ(zqgrid::TruncatedStep(0, 5000, N), 0.1);
  EXPECT_EQ(zqgrid::TruncatedStep(400, 800, N), 0.008);
  EXPECT_EQ(zqgrid::TruncatedStep(400, 800.0004, N), 0.008);
  EXPECT_EQ(zqgrid::TruncatedStep(0, 1234, N), 0.024);
  EXPECT_EQ(zqgrid::TruncatedStep(0, 49.999, N), 0.0);
  EXPECT_EQ(zqgrid::TruncatedStep(0, 1000, 3), 333.333);
  EXPECT_EQ(zqgrid::TruncatedStep(800, 400, 500), -0.8);
  auto list = std::make_unique<T_zq_HITRAN>();
  list->SetWavenumberMin(0);
  list->SetWavenumberMax(5000);
  EXPECT_EQ(list->GridX(1), 0.1);
  EXPECT_EQ(list->GridX(N), 5000);
  list->SetWavenumberMin(400);
  list->SetWavenumberMax(800);
  EXPECT_EQ(list->GridX(N), 800);
  list->SetWavenumberMin(0);
  list->SetWavenumberMax(1234);
  EXPECT_DOUBLE_EQ(list->GridX(N), 1200);
}

TEST(LorentzSpectrum, LineOnAGridPointAddsSOverGammaThere) {
  auto list = AtReference(Line(1000, 1e-20, 0.05), 0, 5000);
  list->UpdateSpectrum();
  EXPECT_TRUE(zqtest::RelClose(list->Spectrum[10000], 1e-20 / 0.05, 1e-14));
  // Reach: 40 half widths = 2 cm-1 = 20 points on each side.
  EXPECT_EQ(NonZero(*list), 41);
  EXPECT_GT(list->Spectrum[9980], 0);
  EXPECT_EQ(list->Spectrum[9979], 0);
  EXPECT_TRUE(zqtest::RelClose(list->Spectrum[9990], 1e-20 * 0.05 / (0.05 * 0.05 + 1.0), 1e-12));
}

TEST(LorentzSpectrum, LinesBelowTheRangeAreClippedToTheGrid) {
  // gamma = 0.0625, w = 2.5 cm-1, Step 0.125 (range 1000 to 7250): all exact in binary.
  auto edge = AtReference(Line(997.501, 1e-20, 0.0625), 1000, 7250);
  edge->UpdateSpectrum(); // reaches points -40..0 only: nothing on the grid, nothing written outside it
  EXPECT_EQ(NonZero(*edge), 0);
  auto first = AtReference(Line(997.626, 1e-20, 0.0625), 1000, 7250);
  first->UpdateSpectrum(); // m = -19, h = 20: only point 1
  EXPECT_EQ(NonZero(*first), 1);
  const double d = 1000.125 - 997.626;
  EXPECT_TRUE(zqtest::RelClose(first->Spectrum[1], 1e-20 * 0.0625 / (0.0625 * 0.0625 + d * d), 1e-12));
  auto beyond = AtReference(Line(997.499, 1e-20, 0.0625), 1000, 7250);
  beyond->UpdateSpectrum();
  EXPECT_EQ(NonZero(*beyond), 0);
}

TEST(LorentzSpectrum, AdjustsToTemperatureAndPressure) {
  auto list = LoadText(Line(1000, 1e-20, 0.05, 500));
  list->AdjustLines(506.5, 250);
  const THitranLine& l = list->Records[0];
  const long double ratio = 296.0L / 250;
  EXPECT_TRUE(zqtest::RelClose(
      l.AdjustedIntensity,
      static_cast<double>(1e-20L * ratio * std::exp(-500 * (46.0L / (296 * 250 * 0.69503563L)))), 1e-14));
  EXPECT_TRUE(zqtest::RelClose(l.AdjustedWidth, static_cast<double>(0.05L * std::sqrt(ratio) * 0.5L), 1e-15));
  auto water = LoadText(Line(1000, 1e-20, 0.05, 0, " 11"), " 1"); // nonlinear: T^1.5
  water->AdjustLines(1013, 250);
  EXPECT_TRUE(
      zqtest::RelClose(water->Records[0].AdjustedIntensity, 1e-20 * std::pow(296.0 / 250, 1.5), 1e-14));
}

TEST(LorentzSpectrum, RecomputesOnlyWhenAValueChanges) {
  auto list = AtReference(Line(1000, 1e-20, 0.05), 0, 5000);
  list->UpdateSpectrum();
  EXPECT_FALSE(list->Dirty);
  list->SetTemperature(296);
  list->SetWavenumberMax(5000);
  list->SetMixingRatio(350); // above the floor: no recomputation needed
  EXPECT_FALSE(list->Dirty);
  list->SetTemperature(300);
  EXPECT_TRUE(list->Dirty);
  list->UpdateSpectrum();
  list->SetLineWidthLimit(80);
  EXPECT_TRUE(list->Dirty);
}

TEST(LorentzSpectrum, MixingRatioFloorZeroesTheSpectrumAtTheNextRecomputation) {
  auto list = AtReference(Line(1000, 1e-20, 0.05), 0, 5000);
  list->UpdateSpectrum();
  list->SetMixingRatio(0);
  EXPECT_EQ(list->MixingRatio, 1e-7);
  EXPECT_FALSE(list->Dirty);
  EXPECT_GT(list->Spectrum[10000], 0); // unchanged until something marks it
  list->SetTemperature(290);
  list->UpdateSpectrum();
  EXPECT_EQ(NonZero(*list), 0);
  list->SetMixingRatio(350);
  EXPECT_TRUE(list->Dirty);
  list->UpdateSpectrum();
  EXPECT_EQ(NonZero(*list), 41);
  list->SetMixingRatio(std::nan(""));
  EXPECT_EQ(list->MixingRatio, 1e-7);
}

TEST(LorentzSpectrum, LockedSpectrumIsNeverRecomputed) {
  auto list = AtReference(Line(1000, 1e-20, 0.05), 0, 5000);
  list->Locked = true;
  list->SpectrumData()[7] = 42;
  list->SetTemperature(300);
  list->UpdateSpectrum();
  EXPECT_EQ(list->Spectrum[7], 42);
  EXPECT_EQ(list->Spectrum[10000], 0);
}

TEST(LorentzSpectrum, AgreesWithExtendedPrecisionReferenceOnRealLines) {
  ZQ_REQUIRE_HITRAN();
  struct Case {
    const char* file;
    const char* code;
    double lo, hi, min, max;
  };
  for (const Case& c : {Case{"co2_626_hitran.par", " 2", 664, 671, 640, 700},
                        Case{"co2_626_hitran.par", " 2", 2330, 2370, 2300, 2400},
                        Case{"h2o_161_hitran.par", " 1", 2330, 2370, 2300, 2400}}) {
    auto list = LoadText(modeltest::RealSubset(c.file, c.lo, c.hi), c.code);
    ASSERT_GT(list->Records.size(), 90u) << c.file << " " << c.lo;
    list->SetWavenumberMin(c.min);
    list->SetWavenumberMax(c.max);
    list->SetTemperature(288);
    list->SetPressure(1013);
    for (double limit : {200.0, 800.0}) {
      list->SetLineWidthLimit(limit);
      list->UpdateSpectrum();
      EXPECT_LT(modeltest::WorstRelative(*list, modeltest::ReferenceLorentz(*list)), 1e-12)
          << c.file << " " << c.lo << " limit " << limit;
    }
  }
}

TEST(LorentzSpectrum, RoundNumbersAreDecidedAsInExtendedPrecision) {
  // Width 0.07 and limit 200 give a reach of 140 steps only just above an integer, and centres on
  // half steps need the even neighbour: the decisions must match the extended-precision grid.
  std::string text;
  for (double nu : {1000.05, 1000.15, 2000.25, 2000.35, 3333.3, 4999.95})
    text += Line(nu, 1e-20, 0.07) + "\n";
  auto list = AtReference(text, 0, 5000);
  for (double limit : {200.0, 100.0}) { // the same widths with a new reach
    list->SetLineWidthLimit(limit);
    list->UpdateSpectrum();
    const auto ref = modeltest::ReferenceLorentz(*list);
    long ref_points = 0;
    for (long k = 1; k <= N; ++k)
      ref_points += ref[k] != 0;
    EXPECT_EQ(NonZero(*list), ref_points) << limit;
    EXPECT_LT(modeltest::WorstRelative(*list, ref), 1e-12) << limit;
  }
}

TEST(DopplerSpectrum, AgreesWithExtendedPrecisionReferenceOnRealLines) {
  ZQ_REQUIRE_HITRAN();
  auto list = LoadText(modeltest::RealSubset("co2_626_hitran.par", 660, 675));
  list->SetWavenumberMin(650);
  list->SetWavenumberMax(700);
  list->SetTemperature(220);
  list->SetDopplerBroadening(true);
  list->UpdateSpectrum();
  EXPECT_LT(modeltest::WorstRelative(*list, modeltest::ReferenceDoppler(*list)), 1e-12);
}

TEST(LorentzSpectrum, ThreadCountDoesNotChangeASingleBit) {
  ZQ_REQUIRE_HITRAN();
  auto list = LoadText(modeltest::RealSubset("co2_626_hitran.par", 600, 720));
  list->SetWavenumberMin(610);
  list->SetWavenumberMax(710);
  list->SetTemperature(288);
  list->SetPressure(1013);
  list->SetLineWidthLimit(200);
  std::vector<double> first;
  for (unsigned threads : {1u, 2u, 3u, 1u}) {
    list->SetThreadCount(threads);
    list->Dirty = true;
    list->UpdateSpectrum();
    if (first.empty())
      first.assign(list->Spectrum.begin(), list->Spectrum.end());
    else
      EXPECT_EQ(std::memcmp(first.data(), list->Spectrum.data(), first.size() * sizeof(double)), 0)
          << threads;
  }
  for (unsigned threads : {1u, 2u}) { // Doppler as well
    list->SetThreadCount(threads);
    list->DopplerBroadening = true;
    list->Dirty = true;
    list->UpdateSpectrum();
    if (threads == 1)
      first.assign(list->Spectrum.begin(), list->Spectrum.end());
    else
      EXPECT_EQ(std::memcmp(first.data(), list->Spectrum.data(), first.size() * sizeof(double)), 0);
  }
}

TEST(LorentzKernels, EveryInstructionSetGivesTheSameBits) {
  zqvoigt::TKernelSet kernels[3];
  const int n = zqvoigt::AvailableKernels(kernels);
  ASSERT_GE(n, 1);
  EXPECT_STREQ(kernels[0].Name, zqvoigt::KernelName());
  std::vector<double> first(64), other(64);
  // Runs of every length 0..40 at every start, so each vector tail is met.
  for (long lo = 1; lo < 9; ++lo)
    for (long len = 0; len <= 40; ++len) {
      for (int i = 0; i < n; ++i) {
        std::vector<double>& out = i == 0 ? first : other;
        std::fill(out.begin(), out.end(), 0.0);
        kernels[i].GridLorentz(out.data(), lo, lo + len - 1, lo + 7, 0.1, 0.0123, 3e-21, 0.0049);
        if (i > 0) {
          ASSERT_EQ(std::memcmp(first.data(), other.data(), 64 * sizeof(double)), 0) << kernels[i].Name;
        }
      }
      ASSERT_EQ(first[lo - 1], 0.0); // nothing written outside lo..hi
      ASSERT_EQ(first[lo + len], 0.0);
      if (len > 0) {
        ASSERT_GT(first[lo], 0.0);
      }
    }
}

TEST(DopplerSpectrum, WidthAndReachFollowTheMolecularMass) {
  auto list = AtReference(Line(667, 1e-20, 0.07), 400, 800);
  list->SetTemperature(288);
  list->SetDopplerBroadening(true);
  list->UpdateSpectrum();
  const double sigma = 667 * 4.298e-5 * std::sqrt(288.0 / 44);
  EXPECT_NEAR(sigma, 0.07334, 1e-5);
  // h = Round(5 sigma / 0.008) = 46 points, 0.368 cm-1, on each side of point m = 33375 (x = 667).
  EXPECT_EQ(NonZero(*list), 93);
  EXPECT_GT(list->Spectrum[33375 - 46], 0);
  EXPECT_EQ(list->Spectrum[33375 - 47], 0);
  EXPECT_TRUE(zqtest::RelClose(list->Spectrum[33375], 1e-20 / (sigma * std::sqrt(M_PI)), 1e-12));
  const double u = 0.008 * 10 / sigma;
  EXPECT_TRUE(
      zqtest::RelClose(list->Spectrum[33385], 1e-20 / (sigma * std::sqrt(M_PI)) * std::exp(-u * u), 1e-10));
  // The mixing-ratio floor does not silence a Doppler spectrum.
  list->SetMixingRatio(0);
  list->SetTemperature(289);
  list->UpdateSpectrum();
  EXPECT_EQ(NonZero(*list), 93);
}

TEST(DopplerSpectrum, MoleculeTypeMustBeAnInteger) {
  auto list = AtReference(Line(667, 1e-20, 0.07), 400, 800);
  list->MoleculeType = "xx";
  list->SetDopplerBroadening(true);
  EXPECT_THROW(list->UpdateSpectrum(), std::invalid_argument);
  EXPECT_FALSE(list->Dirty);
}

TEST(SaturationPressure, WaterAt288K) {
  auto list = std::make_unique<T_zq_HITRAN>();
  list->SetTemperature(288);
  EXPECT_NEAR(static_cast<double>(list->SaturationPressure()), 16.335, 0.001);
  EXPECT_NEAR(static_cast<double>(list->SaturationPressure() / 1013 * 1e6), 16125.49, 0.01);
  list->SetTemperature(373.15);
  EXPECT_NEAR(static_cast<double>(list->SaturationPressure()), 1013.25, 1e-9);
  list->SetTemperature(0);
  EXPECT_EQ(list->SaturationPressure(), 0);
}

// Records is a public field: lines pushed after reading are summed like read ones, and the working
// space of the recomputation follows the list instead of being written past its end.
TEST(LorentzSpectrum, RecordsAddedAfterReadingAreSummed) {
  auto list = AtReference(Line(1000, 1e-20, 0.05), 0, 5000);
  list->UpdateSpectrum();
  const THitranLine first = list->Records.front();
  for (int i = 1; i <= 3000; ++i) {
    THitranLine l = first;
    l.Wavenumber = 1000 + i;
    list->Records.push_back(l);
  }
  list->SetWavenumberMax(5001); // a change that asks for a recomputation
  list->UpdateSpectrum();
  const auto ref = modeltest::ReferenceLorentz(*list);
  for (long k = 1; k <= N; k += 7)
    ASSERT_TRUE(zqtest::RelClose(list->Spectrum[k], static_cast<double>(ref[k]), 1e-12, 1e-40)) << k;
  EXPECT_GT(NonZero(*list), 29000); // 3000 cm-1 of lines at about 10 points per cm-1
}
