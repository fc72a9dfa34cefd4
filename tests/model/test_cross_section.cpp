// The HITRAN-mode cross-section: the two public reference spectra, an independent straightforward
// long-double sum (libcerf for the Voigt function) at other conditions and profiles, the same bits for
// any number of threads, and the refusals and notes for conditions it cannot compute.
#include "CerfQuadrature.h"
#include "ModelTestHelpers.h"
#include "zqCrossSection.h"
#include "zqPartitionSums.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <iostream>
#include <numbers>

namespace {

std::unique_ptr<T_zq_HITRAN> load_reference_lines(const std::string& name, const std::string& code) {
  auto list = std::make_unique<T_zq_HITRAN>();
  list->MoleculeType = code;
  list->LoadFromFile((zqtest::HitranDir() / "reference" / name).string());
  return list;
}

THitranConditions conditions(double t, double p, double x, THitranProfile profile, double lo, double hi) {
  THitranConditions c;
  c.Temperature = t;
  c.Pressure = p;
  c.MixingRatio = x;
  c.Profile = profile;
  c.WavenumberMin = lo;
  c.WavenumberMax = hi;
  return c;
}

// Relative differences |a - r| / r over the grid, sorted, and of the sums.
struct Agreement {
  double median = 0, p99 = 0, max = 0, sum = 0;
};
Agreement compare(const std::vector<double>& a, const std::vector<double>& r) {
  std::vector<double> rel;
  double sa = 0, sr = 0;
  for (std::size_t k = 0; k < r.size(); ++k) {
    rel.push_back(std::fabs(a[k] - r[k]) / r[k]);
    sa += a[k];
    sr += r[k];
  }
  std::sort(rel.begin(), rel.end());
  return {rel[rel.size() / 2], rel[rel.size() * 99 / 100], rel.back(), std::fabs(sa - sr) / sr};
}

void check_reference(const std::string& par, const std::string& code, const std::string& txt, double lo,
                     double hi, double ppm) {
  const auto ref_file = zqtest::HitranDir() / "reference-hitran" / txt;
  if (!std::filesystem::exists(ref_file) || !std::filesystem::exists(zqtest::HitranDir() / "reference" / par))
    GTEST_SKIP() << "reference spectrum or its line list not found: " << ref_file;
  const auto list = load_reference_lines(par, code);
  const auto result = ComputeHitranCrossSection(HitranLineSet(*list),
                                                conditions(250, 506.625, ppm, THitranProfile::Voigt, lo, hi));
  ASSERT_TRUE(result.Valid()) << result.Refusal;
  EXPECT_TRUE(result.Notes.empty());
  std::FILE* f = std::fopen(ref_file.string().c_str(), "r");
  ASSERT_NE(f, nullptr);
  std::vector<double> ref;
  int k = 0;
  double x = 0, s = 0;
  while (std::fscanf(f, "%d %lf %lf", &k, &x, &s) == 3) {
    ASSERT_EQ(k, static_cast<int>(ref.size()) + 1);
    ASSERT_NEAR(result.X[ref.size()], x, 1e-9);
    ref.push_back(s);
  }
  std::fclose(f);
  ASSERT_EQ(ref.size(), result.Sigma.size());
  const Agreement a = compare(result.Sigma, ref);
  std::cout << txt << ": median " << a.median << ", p99 " << a.p99 << ", max " << a.max << ", sum " << a.sum
            << " (" << result.LinesUsed << " lines)\n";
  EXPECT_LT(a.median, 1e-7);
  EXPECT_LT(a.p99, 1e-5);
  EXPECT_LT(a.sum, 1e-6);
}

TEST(HitranCrossSection, AgreesWithTheCO2ReferenceAt250KAndHalfAnAtmosphere) {
  ZQ_REQUIRE_HITRAN();
  check_reference("co2_626_450_750.par", " 2", "co2_500_700_250K_506mb_voigt.txt", 500, 700, 400);
}

TEST(HitranCrossSection, AgreesWithTheH2OReferenceAt250KAndHalfAnAtmosphere) {
  ZQ_REQUIRE_HITRAN();
  check_reference("h2o_161_1250_1950.par", " 1", "h2o_1300_1900_250K_506mb_voigt.txt", 1300, 1900, 10000);
}

// The cross-section written straight from the published formulas in long double, one line at a time,
// with libcerf's Faddeeva function: shares no code with the engine but the partition sums and the
// window rule's double-precision edges.
std::vector<long double> straightforward(const T_zq_HITRAN& list, const zqtips::TIsotopologue& iso,
                                         const THitranConditions& c) {
  using L = long double;
  const L c2 = 1.4387769L, tref = 296, ln2 = std::numbers::ln2_v<L>, pi = std::numbers::pi_v<L>;
  const L T = c.Temperature, patm = c.Pressure / 1013.25L, chi = c.MixingRatio * 1e-6L;
  const L qt = zqtips::PartitionSum(iso, c.Temperature).Q, qref = zqtips::PartitionSum(iso, 296).Q;
  const L doppler =
      std::sqrt(2 * 6.02214076e23L * 1.380649e-23L * T * ln2 / (iso.MolarMass * 1e-3L)) / 299792458;
  const double step = (c.WavenumberMax - c.WavenumberMin) / 50000;
  std::vector<double> x(50000);
  for (int k = 1; k <= 50000; ++k)
    x[static_cast<std::size_t>(k - 1)] = c.WavenumberMin + k * step;
  std::vector<L> sigma(50000, 0);
  for (std::size_t i = 0; i < list.Records.size(); ++i) {
    const THitranLine& l = list.Records[i];
    const L nu = l.Wavenumber;
    const L S = l.Intensity * qref / qt * std::exp(-c2 * l.LowerStateEnergy / T) /
                std::exp(-c2 * l.LowerStateEnergy / tref) * (1 - std::exp(-c2 * nu / T)) /
                (1 - std::exp(-c2 * nu / tref));
    const L gl = std::pow(tref / T, static_cast<L>(l.WidthExponent)) * patm *
                 (l.AirWidth * (1 - chi) + l.SelfWidth * chi);
    const L centre = nu + list.PressureShifts[i] * patm;
    const L gd = centre * doppler;
    const double w = c.Profile == THitranProfile::Lorentz   ? static_cast<double>(gl)
                     : c.Profile == THitranProfile::Doppler ? static_cast<double>(gd)
                                                            : static_cast<double>(std::max(gl, gd));
    const double reach = c.LineWidthLimit * w;
    // Grid points with nu - W < x <= nu + W.
    const auto first = std::upper_bound(x.begin(), x.end(), l.Wavenumber - reach) - x.begin();
    const auto last = std::upper_bound(x.begin(), x.end(), l.Wavenumber + reach) - x.begin();
    for (auto k = static_cast<std::size_t>(first); k < static_cast<std::size_t>(last); ++k) {
      const L d = x[k] - centre;
      if (c.Profile == THitranProfile::Lorentz)
        sigma[k] += S * gl / (pi * (d * d + gl * gl));
      else if (c.Profile == THitranProfile::Doppler)
        sigma[k] += S * std::sqrt(ln2 / pi) / gd * std::exp(-ln2 * d * d / (gd * gd));
      else
        sigma[k] += S * std::sqrt(ln2 / pi) / gd *
                    re_w_of_z(static_cast<double>(std::sqrt(ln2) * d / gd),
                              static_cast<double>(std::sqrt(ln2) * gl / gd));
    }
  }
  return sigma;
}

void check_straightforward(const std::string& par, const std::string& code, const THitranConditions& c) {
  const auto list = load_reference_lines(par, code);
  ASSERT_FALSE(list->Records.empty());
  const THitranLineSet set = HitranLineSet(*list);
  const auto result = ComputeHitranCrossSection(set, c);
  ASSERT_TRUE(result.Valid()) << result.Refusal;
  const auto ref = straightforward(*list, *zqtips::FindIsotopologue(set.Molecule, 1), c);
  double worst = 0;
  for (std::size_t k = 0; k < ref.size(); ++k) {
    // Far Gauss wings below the double range are 0 in double arithmetic, and may be.
    if (ref[k] < 1e-290L) {
      ASSERT_LT(result.Sigma[k], 1e-280) << k;
      continue;
    }
    worst = std::max(worst, static_cast<double>(std::fabs(result.Sigma[k] - ref[k]) / ref[k]));
  }
  std::cout << par << " at " << c.Temperature << " K, " << c.Pressure << " mb: largest relative difference "
            << worst << "\n";
  EXPECT_LT(worst, 1e-9);
}

TEST(HitranCrossSection, AgreesWithAStraightforwardSumAtOtherConditionsAndProfiles) {
  ZQ_REQUIRE_HITRAN();
  // Low pressure, where every region of the Faddeeva kernel is used; hot Doppler; humid Lorentz.
  check_straightforward("co2_626_450_750.par", " 2",
                        conditions(220, 10, 400, THitranProfile::Voigt, 500, 700));
  check_straightforward("co2_626_450_750.par", " 2",
                        conditions(1000, 100, 400, THitranProfile::Doppler, 500, 700));
  check_straightforward("h2o_161_1250_1950.par", " 1",
                        conditions(296, 1013.25, 20000, THitranProfile::Lorentz, 1300, 1900));
}

TEST(HitranCrossSection, GivesTheSameBitsForAnyNumberOfThreads) {
  ZQ_REQUIRE_HITRAN();
  const auto list = load_reference_lines("co2_626_450_750.par", " 2");
  for (auto profile : {THitranProfile::Voigt, THitranProfile::Lorentz}) {
    THitranConditions c = conditions(220, 10, 400, profile, 500, 700);
    c.Threads = 1;
    const auto one = ComputeHitranCrossSection(HitranLineSet(*list), c);
    for (unsigned threads : {2u, 3u, 7u}) {
      c.Threads = threads;
      const auto more = ComputeHitranCrossSection(HitranLineSet(*list), c);
      ASSERT_EQ(one.Sigma.size(), more.Sigma.size());
      EXPECT_EQ(0, std::memcmp(one.Sigma.data(), more.Sigma.data(), one.Sigma.size() * sizeof(double)))
          << threads << " threads";
    }
  }
}

// A small CO2 list written by hand: lines on and beside a 500-700 cm-1 grid.
std::unique_ptr<T_zq_HITRAN> small_list(const std::string& shift = "-.002000") {
  std::string text;
  for (double nu : {499.9, 600.0, 650.3, 700.05}) {
    std::string line = modeltest::Line(nu, 1e-20, 0.07, 300);
    line.replace(59, 8, shift);
    text += line + "\n";
  }
  return modeltest::LoadText(text, " 2");
}

TEST(HitranCrossSection, AtZeroPressureVoigtIsTheDopplerProfile) {
  const auto list = small_list();
  ASSERT_EQ(list->PressureShifts.size(), 4u);
  EXPECT_EQ(list->PressureShifts[1], -0.002);
  auto c = conditions(250, 0, 400, THitranProfile::Voigt, 500, 700);
  const auto voigt = ComputeHitranCrossSection(HitranLineSet(*list), c);
  c.Profile = THitranProfile::Doppler;
  const auto doppler = ComputeHitranCrossSection(HitranLineSet(*list), c);
  ASSERT_TRUE(voigt.Valid() && doppler.Valid());
  EXPECT_EQ(voigt.Sigma, doppler.Sigma);
  EXPECT_GT(*std::max_element(voigt.Sigma.begin(), voigt.Sigma.end()), 0);
  ASSERT_EQ(voigt.Notes.size(), 1u);
  EXPECT_NE(voigt.Notes[0].find("Doppler"), std::string::npos);
}

TEST(HitranCrossSection, TakesAMissingPressureShiftAsZeroAndSaysSo) {
  const auto blank = small_list("        ");
  const auto zero = small_list("0.000000");
  const auto c = conditions(296, 1013.25, 400, THitranProfile::Voigt, 500, 700);
  const auto a = ComputeHitranCrossSection(HitranLineSet(*blank), c);
  const auto b = ComputeHitranCrossSection(HitranLineSet(*zero), c);
  ASSERT_TRUE(a.Valid() && b.Valid());
  EXPECT_EQ(a.Sigma, b.Sigma);
  ASSERT_EQ(a.Notes.size(), 1u);
  EXPECT_EQ(a.Notes[0], "4 lines have no pressure shift in their records; it is taken as 0");
  EXPECT_TRUE(b.Notes.empty());
  // Lines centred outside the grid reach it; the wing rule keeps them within 200 half widths.
  EXPECT_EQ(b.LinesUsed, 4);
}

TEST(HitranCrossSection, RefusesWhatItCannotComputeWithAReason) {
  const auto list = small_list();
  auto refusal = [&](THitranConditions c, int molecule = 2) {
    THitranLineSet set = HitranLineSet(*list);
    set.Molecule = molecule;
    const auto r = ComputeHitranCrossSection(set, c);
    EXPECT_TRUE(r.Sigma.empty());
    return r.Refusal;
  };
  const auto ok = conditions(250, 500, 400, THitranProfile::Voigt, 500, 700);
  auto with = [&](auto change) {
    THitranConditions c = ok;
    change(c);
    return c;
  };
  EXPECT_NE(refusal(with([](auto& c) { c.Temperature = 0.5; })).find("outside the partition-sum table"),
            std::string::npos);
  EXPECT_NE(refusal(with([](auto& c) { c.Temperature = 6000; })).find("CO2 626"), std::string::npos);
  EXPECT_NE(refusal(ok, 5).find("no partition sum for molecule 5"), std::string::npos);
  EXPECT_EQ(refusal(with([](auto& c) { c.Pressure = -1; })), "Pressure must be a number of 0 mb or more");
  EXPECT_EQ(refusal(with([](auto& c) {
              c.Pressure = 0;
              c.Profile = THitranProfile::Lorentz;
            })),
            "The Lorentz profile needs a pressure above 0 mb");
  EXPECT_EQ(refusal(with([](auto& c) { c.MixingRatio = -1; })),
            "Mixing ratio must lie between 0 and 1,000,000 ppm");
  EXPECT_EQ(refusal(with([](auto& c) { c.LineWidthLimit = 0; })),
            "Line-width limit must be a number above 0");
  EXPECT_EQ(refusal(with([](auto& c) { c.WavenumberMax = 520; })),
            "Wavenumber range must be at least 50 cm-1 wide");
  EXPECT_TRUE(ComputeHitranCrossSection(HitranLineSet(*list), ok).Valid());
}

TEST(HitranCrossSection, OnAGridOfItsOwnGivesTheSameBitsAtTheSamePoints) {
  ZQ_REQUIRE_HITRAN();
  // Every third point of the standard grid, and one dense stretch of it, taken as grids of their own:
  // each point must get exactly what it gets on the standard grid, for any thread count.
  const auto list = load_reference_lines("co2_626_450_750.par", " 2");
  THitranConditions c = conditions(260, 300, 400, THitranProfile::Voigt, 500, 700);
  const auto full = ComputeHitranCrossSection(HitranLineSet(*list), c);
  ASSERT_TRUE(full.Valid());
  for (int every : {3, 1}) {
    std::vector<double> grid;
    std::vector<double> expected;
    const std::size_t from = every == 1 ? 41000 : 0, to = every == 1 ? 42001 : full.X.size();
    for (std::size_t k = from; k < to; k += static_cast<std::size_t>(every)) {
      grid.push_back(full.X[k]);
      expected.push_back(full.Sigma[k]);
    }
    c.Grid = grid;
    for (unsigned threads : {1u, 3u}) {
      c.Threads = threads;
      const auto own = ComputeHitranCrossSection(HitranLineSet(*list), c);
      ASSERT_TRUE(own.Valid()) << own.Refusal;
      EXPECT_EQ(own.X, grid);
      EXPECT_EQ(own.Sigma, expected) << "every " << every << ", " << threads << " threads";
    }
  }
  // Grids that cannot be one.
  const std::vector<double> descending{600, 599}, nan_point{600, std::nan("")};
  for (const auto* bad : {&descending, &nan_point}) {
    c.Grid = *bad;
    EXPECT_EQ(ComputeHitranCrossSection(HitranLineSet(*list), c).Refusal,
              "The wavenumber grid must be finite and ascending");
  }
}

TEST(HitranCrossSection, SumsBeyondTheDoubleRangeRefuseTheResultNamingTheLines) {
  // Two lines of absurd intensity on the same spot: their profiles overflow a double near the centre.
  // Such a point absorbs everything; a 0 there would say it absorbs nothing.
  const std::string line = modeltest::Line(600, 1e300, 0.001, 0);
  const std::string weak = modeltest::Line(599.5, 1e-20, 0.05, 0);
  auto list = modeltest::LoadText(weak + "\n" + line + "\n" + line + "\n", " 2");
  list->Records[1].Intensity = list->Records[2].Intensity = 1.5e308;
  for (THitranProfile profile : {THitranProfile::Lorentz, THitranProfile::Voigt}) {
    const auto r =
        ComputeHitranCrossSection(HitranLineSet(*list), conditions(296, 1013.25, 400, profile, 500, 700));
    EXPECT_FALSE(r.Valid());
    EXPECT_TRUE(r.Sigma.empty());
    EXPECT_NE(r.Refusal.find("too large to represent"), std::string::npos) << r.Refusal;
    // The two strong lines come first; the weak one reaching the point too is named after them.
    EXPECT_NE(r.Refusal.find("lines at 600.000000, 600.000000, 599.500000 cm-1"), std::string::npos)
        << r.Refusal;
  }
}

// Lines from a hundredth of a cell to three cells wide, far enough apart that no cell holds two, on
// cell centres, edges and between, pressure shifted, also cut by windows of three half widths: the cell
// means times the cell's width are S times the profile's integral over the cell and the window, taken
// independently (long double arctangents and erf, libcerf integrated for Voigt), to 1e-6 of S, and the
// sums are the same for any number of threads. A line four cells wide or more keeps its point values bit
// for bit.
TEST(HitranCrossSection, CellMeansAreEachCellsShareOfTheLinesArea) {
  auto lines = [](std::initializer_list<double> widths) {
    std::string text;
    const double places[] = {520.000, 560.002, 600.0013, 640.0031, 680.0007};
    int i = 0;
    for (double width : widths) {
      std::string line = modeltest::Line(places[i], 1e-20 * (i + 1), width, 300);
      line.replace(59, 8, "-.001500");
      text += line + "\n";
      ++i;
    }
    return modeltest::LoadText(text, " 2");
  };
  const auto narrow = lines({0.0001, 0.001, 0.004, 0.008, 0.0119}); // air widths at 296 K; cells 0.004
  for (THitranProfile profile : {THitranProfile::Lorentz, THitranProfile::Doppler, THitranProfile::Voigt})
    for (double limit : {200.0, 3.0}) {
      THitranConditions c = conditions(296, 1013.25, 400, profile, 500, 700);
      c.LineWidthLimit = limit;
      c.CellAverage = true;
      c.Threads = 1;
      const auto cells = ComputeHitranCrossSection(HitranLineSet(*narrow), c);
      ASSERT_TRUE(cells.Valid()) << cells.Refusal;
      const THitranPlacement placement = PlaceHitranLines(HitranLineSet(*narrow), c);
      ASSERT_EQ(placement.Lines.size(), 5u);
      std::vector<double> expected(cells.Sigma.size(), 0.0);
      for (const THitranPlacedLine& l : placement.Lines) {
        using L = long double;
        const L centre = static_cast<L>(l.Nu) + l.Shift, gl = l.GammaL,
                c_gauss = std::sqrt(std::numbers::ln2_v<L>) / l.GammaD;
        for (std::size_t k = 0; k < expected.size(); ++k) {
          const L a = std::max<L>(500 + (k + 0.5L) * 0.004L, static_cast<L>(l.Nu) - l.Reach) - centre;
          const L b = std::min<L>(500 + (k + 1.5L) * 0.004L, static_cast<L>(l.Nu) + l.Reach) - centre;
          if (!(a < b)) continue;
          L share = 0;
          if (profile == THitranProfile::Lorentz)
            share = (std::atan(b / gl) - std::atan(a / gl)) / std::numbers::pi_v<L>;
          else if (profile == THitranProfile::Doppler)
            share = (std::erf(c_gauss * b) - std::erf(c_gauss * a)) / 2;
          else
            share =
                modeltest::ReWQuadrature(static_cast<double>(c_gauss * a), static_cast<double>(c_gauss * b),
                                         static_cast<double>(c_gauss * gl)) /
                std::sqrt(std::numbers::pi_v<L>);
          expected[k] += static_cast<double>(l.S * share / 0.004L);
        }
      }
      double worst = 0, area = 0, expected_area = 0;
      for (std::size_t k = 0; k < expected.size(); ++k) {
        worst = std::max(worst, std::fabs(cells.Sigma[k] - expected[k]) * 0.004 / 1e-20);
        area += cells.Sigma[k] * 0.004;
        expected_area += expected[k] * 0.004;
      }
      EXPECT_LT(worst, 1e-6) << static_cast<int>(profile) << ", limit " << limit;
      EXPECT_NEAR(area / expected_area, 1, 1e-7) << static_cast<int>(profile) << ", limit " << limit;
      for (unsigned threads : {2u, 3u, 7u}) {
        c.Threads = threads;
        const auto more = ComputeHitranCrossSection(HitranLineSet(*narrow), c);
        ASSERT_EQ(more.Sigma.size(), cells.Sigma.size());
        EXPECT_EQ(0, std::memcmp(more.Sigma.data(), cells.Sigma.data(), cells.Sigma.size() * sizeof(double)))
            << threads << " threads";
      }
    }
  const auto wide = lines({0.016, 0.04}); // 4 and 10 cells
  THitranConditions c = conditions(296, 1013.25, 400, THitranProfile::Voigt, 500, 700);
  const auto points = ComputeHitranCrossSection(HitranLineSet(*wide), c);
  c.CellAverage = true;
  EXPECT_EQ(ComputeHitranCrossSection(HitranLineSet(*wide), c).Sigma, points.Sigma);
}

} // namespace

namespace {

// One water line at 1000 cm-1 (no pressure shift, S = 1e-20 at 296 K, air width 0.1 cm-1/atm) on the
// grid 950 + k/1024, on which 975 and 1025 are points exactly.
struct WingLine {
  std::unique_ptr<T_zq_HITRAN> list;
  std::vector<double> grid;
  WingLine() {
    std::string line = modeltest::Line(1000, 1e-20, 0.1, 0, " 11");
    line.replace(59, 8, " 0.00000");
    list = modeltest::LoadText(line + "\n", " 1");
    for (int k = 0; k <= 100 * 1024; ++k)
      grid.push_back(950 + k / 1024.0);
  }
  THitranConditions at(double t, double p, THitranProfile profile, bool coarse) const {
    THitranConditions c = conditions(t, p, 0, profile, 950, 1050);
    c.Grid = grid;
    c.ContinuumWings = true;
    c.CoarseWings = coarse;
    return c;
  }
};

// The area of a line within 25 cm-1 of its centre minus the plinth's, 50 cm-1 times its value at
// 25 cm-1: Lorentz in closed form, Voigt from libcerf.
double area_above_plinth(const THitranPlacedLine& l, THitranProfile profile) {
  if (profile == THitranProfile::Lorentz)
    return l.S * (2 / std::numbers::pi * std::atan(25 / l.GammaL) -
                  50 * l.GammaL / (std::numbers::pi * (625 + l.GammaL * l.GammaL)));
  const double c = std::sqrt(std::numbers::ln2) / l.GammaD, y = c * l.GammaL;
  return l.S * (modeltest::ReWQuadrature(-25 * c, 25 * c, y) - 50 * c * re_w_of_z(25 * c, y)) /
         std::sqrt(std::numbers::pi);
}

} // namespace

TEST(HitranCrossSection, ContinuumWingsReach25CmWithThePlinthRemovedAndCoarseWingsAgree) {
  const WingLine w;
  for (auto [t, p] : {std::pair{296.0, 1013.25}, std::pair{220.0, 50.0}})
    for (auto profile : {THitranProfile::Lorentz, THitranProfile::Voigt}) {
      const std::string where =
          std::to_string(p) + " mb, profile " + std::to_string(static_cast<int>(profile));
      const THitranConditions c = w.at(t, p, profile, false);
      const auto straight = ComputeHitranCrossSection(HitranLineSet(*w.list), c);
      ASSERT_TRUE(straight.Valid()) << straight.Refusal;
      const THitranPlacement placed = PlaceHitranLines(HitranLineSet(*w.list), c);
      ASSERT_EQ(placed.Lines.size(), 1u);
      double area = 0;
      for (std::size_t k = 0; k < w.grid.size(); ++k) {
        const double d = w.grid[k] - 1000;
        if (std::fabs(d) >= 25)
          ASSERT_EQ(straight.Sigma[k], 0) << where << ", " << d << " cm-1 from the centre";
        else
          ASSERT_GT(straight.Sigma[k], 0) << where << ", " << d << " cm-1 from the centre";
        area += straight.Sigma[k] / 1024;
      }
      EXPECT_NEAR(area / area_above_plinth(placed.Lines[0], profile), 1, 1e-8) << where;

      // The far wings on the coarse grid: the same line within a small part of a wing's value, the
      // same area, and the same bits for any number of threads.
      THitranConditions fast = w.at(t, p, profile, true);
      fast.Threads = 1;
      const auto coarse = ComputeHitranCrossSection(HitranLineSet(*w.list), fast);
      ASSERT_TRUE(coarse.Valid()) << coarse.Refusal;
      EXPECT_LT(coarse.Pairs, straight.Pairs / 4) << where;
      double worst = 0, worst_edge = 0, coarse_area = 0;
      for (std::size_t k = 0; k < w.grid.size(); ++k) {
        ASSERT_GE(coarse.Sigma[k], 0);
        coarse_area += coarse.Sigma[k] / 1024;
        // Against the wing's value; near 25 cm-1, where it goes to 0 with a kink the coarsest level
        // rounds, against the plinth.
        const double error = std::fabs(coarse.Sigma[k] - straight.Sigma[k]);
        if (std::fabs(w.grid[k] - 1000) < 20)
          worst = std::max(worst, error / straight.Sigma[k]);
        else
          worst_edge = std::max(worst_edge, error / placed.Lines[0].Plinth);
      }
      EXPECT_LT(worst, 2e-3) << where;
      EXPECT_LT(worst_edge, 1e-2) << where;
      EXPECT_NEAR(coarse_area / area, 1, 1e-6) << where;
      fast.Threads = 3;
      const auto threads = ComputeHitranCrossSection(HitranLineSet(*w.list), fast);
      EXPECT_EQ(0,
                std::memcmp(threads.Sigma.data(), coarse.Sigma.data(), coarse.Sigma.size() * sizeof(double)));
    }

  // Cell means keep the same area: a 5 mb line, far narrower than the 0.002 cm-1 cells.
  THitranConditions cells = conditions(220, 5, 0, THitranProfile::Voigt, 950, 1050);
  cells.ContinuumWings = true;
  cells.CellAverage = true;
  const auto means = ComputeHitranCrossSection(HitranLineSet(*w.list), cells);
  ASSERT_TRUE(means.Valid()) << means.Refusal;
  const THitranPlacement placed = PlaceHitranLines(HitranLineSet(*w.list), cells);
  ASSERT_TRUE(placed.Lines.at(0).CellMean);
  double area = 0;
  for (double v : means.Sigma) {
    ASSERT_GE(v, 0);
    area += v * means.Step;
  }
  EXPECT_NEAR(area / area_above_plinth(placed.Lines[0], THitranProfile::Voigt), 1, 1e-6);
}
