// The water-vapour continuum against the published formula evaluated here from the file's raw arrays
// (read through netCDF, not the program's reader), the radiation term's limits, files the reader must
// refuse naming the variable, and the column: the isothermal column still emits the ground's
// blackbody, and the continuum darkens the window of a humid column, not of a dry one; with real water
// lines under its wing convention, the coarse far wings give the straight sum's fluxes.
#include "ColumnTestSources.h"
#include "ContinuumTestFiles.h"
#include "TestSupport.h"
#include "zqColumn.h"
#include "zqColumnDiagnostics.h"
#include "zqContinuum.h"
#include "zqCrossSection.h"
#include "zqHITRAN.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <cmath>
#include <functional>
#include <iostream>
#include <limits>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace {

// The raw arrays of a netCDF file, by variable name.
std::map<std::string, std::vector<double>> raw_arrays(const std::string& file) {
  std::map<std::string, std::vector<double>> out;
  int id = 0;
  EXPECT_EQ(nc_open(file.c_str(), NC_NOWRITE, &id), NC_NOERR);
  for (const char* name :
       {"wavenumbers", "self_absco_ref", "for_absco_ref", "self_texp", "ref_temp", "ref_press"}) {
    int var = 0, rank = 0, dim = 0;
    std::size_t n = 1;
    EXPECT_EQ(nc_inq_varid(id, name, &var), NC_NOERR) << name;
    if (nc_inq_varndims(id, var, &rank) == NC_NOERR && rank == 1 &&
        nc_inq_vardimid(id, var, &dim) == NC_NOERR)
      nc_inq_dimlen(id, dim, &n);
    out[name].resize(n);
    EXPECT_EQ(nc_get_var_double(id, var, out[name].data()), NC_NOERR) << name;
  }
  nc_close(id);
  return out;
}

// The published cross-section (cm2 per water molecule): the bracket at the table's points, linear in
// between, times the density ratio and nu tanh(c2 nu / 2T) with c2 = 1.4387769 cm K.
double formula(const std::map<std::string, std::vector<double>>& raw, double nu, double t, double p, double x,
               bool self, bool foreign) {
  const auto& w = raw.at("wavenumbers");
  if (nu < w.front() || nu > w.back()) return 0;
  std::size_t k = 0;
  while (k + 2 < w.size() && w[k + 1] <= nu)
    ++k;
  const double tRef = raw.at("ref_temp")[0], pRef = raw.at("ref_press")[0];
  auto bracket = [&](std::size_t i) {
    return (self ? raw.at("self_absco_ref")[i] * std::pow(tRef / t, raw.at("self_texp")[i]) * x : 0.0) +
           (foreign ? raw.at("for_absco_ref")[i] * (1 - x) : 0.0);
  };
  const double f = (nu - w[k]) / (w[k + 1] - w[k]);
  return ((1 - f) * bracket(k) + f * bracket(k + 1)) * (p / pRef) * (tRef / t) * nu *
         std::tanh(1.4387769 * nu / (2 * t));
}

std::vector<double> sigma_of(const TzqContinuumTable& table, double t, double p, double x,
                             const std::vector<double>& grid, TzqContinuumPart part) {
  std::vector<double> sigma(grid.size(), -1.0); // every point must be written
  ContinuumCrossSections(table, t, p, x, grid, sigma, part);
  return sigma;
}

std::shared_ptr<const TzqContinuumTable> real_table() {
  std::string error;
  auto table =
      std::make_shared<TzqContinuumTable>(ReadContinuumFile(zqtest::ContinuumFile().string(), error));
  EXPECT_EQ(error, "");
  return table;
}

using zqtest::small_table;
using zqtest::Var;
using zqtest::write_netcdf;

} // namespace

TEST(Continuum, CrossSectionsFollowTheFormulaFromTheFileItself) {
  ZQ_REQUIRE_CONTINUUM();
  const auto raw = raw_arrays(zqtest::ContinuumFile().string());
  const auto table = real_table();
  ASSERT_FALSE(table->Empty());
  EXPECT_EQ(table->Self, raw.at("self_absco_ref"));
  EXPECT_EQ(table->SelfExponent, raw.at("self_texp"));
  // Table points, points between them, both ends and beyond, near 0, and a stretch out of order.
  std::vector<double> grid = {-20.5, -20, -15, 0, 1e-3, 9.99, 10, 10.01, 19999.99, 20000, 20000.5};
  for (double nu = 0.005; nu < 2500; nu += 0.37)
    grid.push_back(nu);
  grid.insert(grid.end(), {1500.3, 700.1, 3.3, 12345.6});
  for (const auto& [t, p, x] :
       {std::tuple{296.0, 1013.0, 0.01}, {220.0, 200.0, 1e-4}, {310.0, 1050.0, 0.04}, {250.0, 500.0, 0.3}}) {
    const auto both = sigma_of(*table, t, p, x, grid, TzqContinuumPart::Both);
    const auto self = sigma_of(*table, t, p, x, grid, TzqContinuumPart::Self);
    const auto foreign = sigma_of(*table, t, p, x, grid, TzqContinuumPart::Foreign);
    const auto drySelf = sigma_of(*table, t, p, 0, grid, TzqContinuumPart::Self);
    for (std::size_t j = 0; j < grid.size(); ++j) {
      const double want = formula(raw, grid[j], t, p, x, true, true);
      ASSERT_TRUE(zqtest::RelClose(both[j], want, 1e-12) &&
                  zqtest::RelClose(self[j], formula(raw, grid[j], t, p, x, true, false), 1e-12) &&
                  zqtest::RelClose(self[j] + foreign[j], both[j], 1e-14) && drySelf[j] == 0)
          << "T " << t << " p " << p << " x " << x << " nu " << grid[j] << ": " << both[j] << " vs " << want;
    }
    EXPECT_EQ(both[0], 0); // below the table, and above it:
    EXPECT_EQ(both[10], 0);
    EXPECT_GT(both[100], 0);
  }
}

TEST(Continuum, RadiationTermLimitsAndDensityRatio) {
  const double c2 = 1.4387769; // cm K
  for (double t : {150.0, 296.0, 340.0}) {
    // nu tanh(c2 nu / 2T) -> c2 nu^2 / 2T: the next term is (c2 nu / 2T)^2 / 3 below 1e-13 here.
    for (double nu : {1e-7, 1e-5, 1e-4})
      EXPECT_TRUE(zqtest::RelClose(ContinuumRadiationTerm(nu, t), c2 * nu * nu / (2 * t), 1e-12)) << nu;
    EXPECT_EQ(ContinuumRadiationTerm(20000, t), 20000); // tanh is 1 to double precision
    for (double nu = 0.01; nu < 5000; nu *= 1.07) {
      EXPECT_TRUE(zqtest::RelClose(ContinuumRadiationTerm(nu, t), nu * std::tanh(c2 * nu / (2 * t)), 1e-14))
          << nu << " " << t;
      EXPECT_EQ(ContinuumRadiationTerm(-nu, t), ContinuumRadiationTerm(nu, t));
    }
  }
  EXPECT_DOUBLE_EQ(ContinuumDensityRatio(506.5, 148, 1013, 296), 1); // the same density
  EXPECT_DOUBLE_EQ(ContinuumDensityRatio(101.3, 296, 1013, 296), 0.1);
}

TEST(ContinuumFile, MalformedFilesAreRefusedNamingTheFileAndTheVariable) {
  zqtest::TempDir dir;
  std::string error;
  write_netcdf(dir / "good.nc", small_table());
  const TzqContinuumTable good = ReadContinuumFile((dir / "good.nc").string(), error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(good.SelfExponent, small_table()[3].Values);
  EXPECT_EQ(good.Foreign, small_table()[2].Values);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::tuple<const char*, const char*, std::function<void(std::vector<Var>&)>>> cases = {
      {"missing.nc", "self_texp", [](auto& v) { v.erase(v.begin() + 3); }},
      {"unequal.nc", "for_absco_ref", [](auto& v) { v[2].Values.pop_back(); }},
      {"nan.nc", "self_absco_ref", [&](auto& v) { v[1].Values[2] = nan; }},
      {"negative.nc", "for_absco_ref", [](auto& v) { v[2].Values[4] = -1e-25; }},
      {"fill.nc", "self_absco_ref", [](auto& v) { v[1].Values[0] = NC_FILL_DOUBLE; }},
      {"infinite_exponent.nc", "self_texp", [](auto& v) { v[3].Values[1] = HUGE_VAL; }},
      {"unordered.nc", "wavenumbers", [](auto& v) { v[0].Values[2] = 0; }},
      {"one_point.nc", "wavenumbers", [](auto& v) { v[0].Values.resize(1); }},
      {"bad_reference.nc", "ref_temp", [](auto& v) { v[4].Values[0] = 0; }},
  };
  for (const auto& [name, variable, damage] : cases) {
    std::vector<Var> vars = small_table();
    damage(vars);
    write_netcdf(dir / name, vars);
    EXPECT_TRUE(ReadContinuumFile((dir / name).string(), error).Empty()) << name;
    EXPECT_NE(error.find((dir / name).string() + ": variable '" + variable + "'"), std::string::npos)
        << error;
  }
  zqtest::WriteFile(dir / "text.nc", "wavenumbers self_absco_ref\n1 2\n");
  EXPECT_TRUE(ReadContinuumFile((dir / "text.nc").string(), error).Empty());
  EXPECT_EQ(error, (dir / "text.nc").string() + " is not a netCDF file (NetCDF: Unknown file format)");
  EXPECT_TRUE(ReadContinuumFile((dir / "absent.nc").string(), error).Empty());
  EXPECT_NE(error.find("absent.nc cannot be opened"), std::string::npos) << error;
}

TEST(ContinuumColumn, SourceGivesWaterItsContinuumAndNothingElse) {
  zqtest::TempDir dir;
  write_netcdf(dir / "small.nc", small_table());
  std::string error;
  auto table = std::make_shared<TzqContinuumTable>(ReadContinuumFile((dir / "small.nc").string(), error));
  TzqContinuumColumnSource source;
  const uint64_t before = source.Revision();
  source.SetTable(table);
  EXPECT_NE(source.Revision(), before); // the column's cache must drop what it holds
  const std::vector<double> grid = {1, 5, 15, 25};
  std::vector<double> sigma(grid.size(), 0.0);
  TzqLayerConditions layer{3, 270, 800, {}};
  layer.Ppmv[TzqColumnGas::H2O] = 20000;
  layer.Ppmv[TzqColumnGas::CO2] = 400;
  EXPECT_TRUE(source.CrossSections(TzqColumnGas::CO2, layer, grid, sigma, error));
  EXPECT_EQ(sigma, std::vector<double>(grid.size(), 0.0));
  ASSERT_TRUE(source.CrossSections(TzqColumnGas::H2O, layer, grid, sigma, error)) << error;
  EXPECT_EQ(sigma, sigma_of(*table, 270, 800, 0.02, grid, TzqContinuumPart::Both)); // 1 ppmv = 1e-6
  EXPECT_GT(sigma[0], 0);
  layer.Temperature = 0;
  EXPECT_FALSE(source.CrossSections(TzqColumnGas::H2O, layer, grid, sigma, error));
  EXPECT_NE(error.find("layer 4"), std::string::npos) << error;
}

namespace {

// The column with the CO2-like band and weak grey water, with or without the continuum on water.
TzqColumnResult column_run(const TzqColumnSettings& s, bool withContinuum) {
  static const auto table = real_table();
  columntest::BandSource band{3e-19, 1e-22};
  TzqContinuumColumnSource continuum(table);
  TzqColumnSources sources;
  sources[TzqColumnGas::H2O] = {&band};
  if (withContinuum) sources[TzqColumnGas::H2O].push_back(&continuum);
  sources[TzqColumnGas::CO2] = {&band};
  TzqColumnResult r = TzqColumn().Compute(s, sources);
  EXPECT_TRUE(r.Computed) << r.Refusal;
  return r;
}

} // namespace

TEST(ContinuumColumn, IsothermalColumnStillEmitsTheGroundBlackbody) {
  ZQ_REQUIRE_CONTINUUM();
  for (double t : {230.0, 300.0}) {
    TzqColumnSettings s;
    s.Isothermal = true;
    s.SurfaceTemperature = t;
    s.RelativeHumidity = 90;
    s.Step = 0.5;
    const TzqColumnResult r = column_run(s, true);
    EXPECT_TRUE(zqtest::RelClose(r.OLR1x, r.SurfaceEmission, 1e-6)) << r.OLR1x << " vs " << r.SurfaceEmission;
  }
}

TEST(ContinuumColumn, DarkensTheWindowOfAHumidColumnOnly) {
  ZQ_REQUIRE_CONTINUUM();
  TzqColumnSettings s;
  s.WavenumberMin = 800;
  s.WavenumberMax = 1250;
  s.SurfaceTemperature = 300;
  s.Step = 0.1;
  double lastDrop = 0;
  for (double rh : {0.0, 20.0, 80.0}) {
    s.RelativeHumidity = rh;
    const TzqColumnResult off = column_run(s, false), on = column_run(s, true);
    const double drop = off.OLR1x - on.OLR1x;
    if (rh == 0)
      EXPECT_EQ(drop, 0); // no water anywhere (the stratosphere keeps the tropopause's 0): no continuum
    else
      EXPECT_GT(drop, lastDrop) << rh;
    lastDrop = drop;
  }
  EXPECT_GT(lastDrop, 0.02 * column_run(s, false).OLR1x); // a humid column loses over 2 % of its window
}

namespace {

// Real water lines under the continuum's wing convention, their far wings summed straight or on the
// coarse grid.
class WingLinesSource : public TzqCrossSectionSource {
public:
  WingLinesSource(const T_zq_HITRAN& lines, bool coarse) : lines_(lines), coarse_(coarse) {}
  bool CrossSections(TzqColumnGas gas, const TzqLayerConditions& layer, std::span<const double> wavenumber,
                     std::span<double> sigma, std::string& reason) override {
    if (gas != TzqColumnGas::H2O) return true;
    THitranConditions c;
    c.Temperature = layer.Temperature;
    c.Pressure = layer.Pressure;
    c.MixingRatio = layer.Ppmv[TzqColumnGas::H2O];
    c.Grid = wavenumber;
    c.ContinuumWings = true;
    c.CoarseWings = coarse_;
    const THitranCrossSection cs = ComputeHitranCrossSection(HitranLineSet(lines_), c);
    reason = cs.Refusal;
    std::copy(cs.Sigma.begin(), cs.Sigma.end(), sigma.begin());
    return cs.Valid();
  }
  bool DependsOnMixingRatio(TzqColumnGas gas) const override { return gas == TzqColumnGas::H2O; }

private:
  const T_zq_HITRAN& lines_;
  bool coarse_;
};

} // namespace

TEST(ContinuumColumn, CoarseWingsGiveTheStraightSumsFluxesAndTheLimitsHold) {
  ZQ_REQUIRE_HITRAN();
  ZQ_REQUIRE_CONTINUUM();
  T_zq_HITRAN water;
  water.MoleculeType = " 1";
  water.LoadFromFile((zqtest::HitranDir() / "reference" / "h2o_161_1250_1950.par").string());
  ASSERT_FALSE(water.Records.empty());
  TzqContinuumColumnSource continuum(real_table());
  TzqColumnSettings s;
  s.WavenumberMin = 1300;
  s.WavenumberMax = 1700;
  s.Step = 0.01;
  s.Layers = 12;
  auto run = [&](bool coarse, const TzqColumnSettings& settings) {
    WingLinesSource lines(water, coarse);
    TzqColumnSources sources;
    sources[TzqColumnGas::H2O] = {&lines, &continuum};
    TzqColumnResult r = TzqColumn().Compute(settings, sources);
    EXPECT_TRUE(r.Computed) << r.Refusal;
    return r;
  };
  const TzqColumnResult straight = run(false, s), coarse = run(true, s);
  ASSERT_TRUE(straight.Computed && coarse.Computed);
  std::cout << "OLR, coarse wings against the straight sum: " << coarse.OLR1x / straight.OLR1x - 1 << "\n";
  EXPECT_TRUE(zqtest::RelClose(coarse.OLR1x, straight.OLR1x, 1e-6))
      << coarse.OLR1x << " vs " << straight.OLR1x;
  EXPECT_TRUE(zqtest::RelClose(coarse.SurfaceDownwelling1x, straight.SurfaceDownwelling1x, 1e-6))
      << coarse.SurfaceDownwelling1x << " vs " << straight.SurfaceDownwelling1x;
  for (double lo = 1300; lo < 1700; lo += 100) {
    const TzqBand band{lo, lo + 100};
    const double a = BandIntegral(coarse.OLR1xSpectrum, ColumnGrid(s), band),
                 b = BandIntegral(straight.OLR1xSpectrum, ColumnGrid(s), band);
    EXPECT_TRUE(zqtest::RelClose(a, b, 1e-6)) << lo << ": " << a << " vs " << b;
  }
  // The lines do absorb: the water band takes a good part of the ground's emission.
  EXPECT_LT(straight.OLR1x, 0.8 * straight.SurfaceEmission);

  s.Isothermal = true; // lines and continuum emit as much as they absorb
  const TzqColumnResult iso = run(true, s);
  EXPECT_TRUE(zqtest::RelClose(iso.OLR1x, iso.SurfaceEmission, 1e-6))
      << iso.OLR1x << " vs " << iso.SurfaceEmission;
}
