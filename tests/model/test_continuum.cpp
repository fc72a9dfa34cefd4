// The water-vapour continuum against the published formula evaluated here from the file's raw arrays
// (read through netCDF, not the program's reader), the radiation term's limits, files the reader must
// refuse naming the variable, and the column: the isothermal column still emits the ground's
// blackbody, and the continuum darkens the window of a humid column, not of a dry one.
#include "ColumnTestSources.h"
#include "TestSupport.h"
#include "zqColumn.h"
#include "zqContinuum.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <memory>
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
    EXPECT_EQ(nc_inq_varid(id, name, &var), NC_NOERR) << name;
    nc_inq_varndims(id, var, &rank);
    std::size_t n = 1;
    if (rank == 1) {
      nc_inq_vardimid(id, var, &dim);
      nc_inq_dimlen(id, dim, &n);
    }
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

// A small netCDF file; arrays on a dimension of their own length, scalars of rank 0.
struct Var {
  std::string Name;
  std::vector<double> Values;
  bool Scalar = false;
};
void write_netcdf(const std::filesystem::path& file, const std::vector<Var>& vars) {
  int id = 0;
  ASSERT_EQ(nc_create(file.c_str(), NC_CLOBBER, &id), NC_NOERR);
  std::vector<int> ids;
  for (const Var& v : vars) {
    int dim = 0, var = 0;
    if (!v.Scalar) {
      const std::string dimName = "n" + std::to_string(v.Values.size());
      if (nc_inq_dimid(id, dimName.c_str(), &dim) != NC_NOERR) {
        ASSERT_EQ(nc_def_dim(id, dimName.c_str(), v.Values.size(), &dim), NC_NOERR);
      }
    }
    ASSERT_EQ(nc_def_var(id, v.Name.c_str(), NC_DOUBLE, v.Scalar ? 0 : 1, &dim, &var), NC_NOERR);
    ids.push_back(var);
  }
  ASSERT_EQ(nc_enddef(id), NC_NOERR);
  for (std::size_t i = 0; i < vars.size(); ++i)
    ASSERT_EQ(nc_put_var_double(id, ids[i], vars[i].Values.data()), NC_NOERR);
  ASSERT_EQ(nc_close(id), NC_NOERR);
}

std::vector<Var> small_table() {
  return {{"wavenumbers", {-10, 0, 10, 20, 30}},
          {"self_absco_ref", {2e-21, 2.1e-21, 1.9e-21, 1.5e-21, 1e-21}},
          {"for_absco_ref", {9e-23, 8e-23, 7e-23, 6e-23, 5e-23}},
          {"self_texp", {-0.5, 0, 4, 5, 6}}, // a negative exponent is physics, not damage
          {"ref_temp", {296}, true},
          {"ref_press", {1013}, true}};
}

} // namespace

TEST(Continuum, CrossSectionsFollowTheFormulaFromTheFileItself) {
  ZQ_REQUIRE_CONTINUUM();
  const std::string file = zqtest::ContinuumFile().string();
  auto raw = raw_arrays(file);
  const auto table = real_table();
  ASSERT_FALSE(table->Empty());
  EXPECT_EQ(table->Wavenumber, raw.at("wavenumbers"));
  EXPECT_EQ(table->Self, raw.at("self_absco_ref"));
  EXPECT_EQ(table->Foreign, raw.at("for_absco_ref"));
  EXPECT_EQ(table->SelfExponent, raw.at("self_texp"));

  // Table points, points between them, both ends and beyond, near 0, and a stretch out of order.
  std::vector<double> grid = {-20.5, -20, -15, 0, 1e-3, 0.5, 9.99, 10, 10.01, 19999.99, 20000, 20000.5};
  for (double nu = 0.005; nu < 2500; nu += 0.37)
    grid.push_back(nu);
  for (double nu : {1500.3, 700.1, 3.3, 12345.6})
    grid.push_back(nu);
  struct Case {
    double t, p, x;
  };
  for (const Case c :
       {Case{296, 1013, 0.01}, Case{220, 200, 1e-4}, Case{310, 1050, 0.04}, Case{250, 500, 0.3}}) {
    const auto both = sigma_of(*table, c.t, c.p, c.x, grid, TzqContinuumPart::Both);
    const auto self = sigma_of(*table, c.t, c.p, c.x, grid, TzqContinuumPart::Self);
    const auto foreign = sigma_of(*table, c.t, c.p, c.x, grid, TzqContinuumPart::Foreign);
    const auto dry = sigma_of(*table, c.t, c.p, 0, grid, TzqContinuumPart::Both);
    const auto drySelf = sigma_of(*table, c.t, c.p, 0, grid, TzqContinuumPart::Self);
    int wrong = 0;
    for (std::size_t j = 0; j < grid.size() && wrong < 5; ++j) {
      const double nu = grid[j];
      const double want = formula(raw, nu, c.t, c.p, c.x, true, true);
      const bool ok = zqtest::RelClose(both[j], want, 1e-12) &&
                      zqtest::RelClose(self[j], formula(raw, nu, c.t, c.p, c.x, true, false), 1e-12) &&
                      zqtest::RelClose(foreign[j], formula(raw, nu, c.t, c.p, c.x, false, true), 1e-12) &&
                      zqtest::RelClose(self[j] + foreign[j], both[j], 1e-15) && drySelf[j] == 0 &&
                      zqtest::RelClose(dry[j], formula(raw, nu, c.t, c.p, 0, false, true), 1e-12);
      wrong += !ok;
      EXPECT_TRUE(ok) << "T " << c.t << " p " << c.p << " x " << c.x << " nu " << nu << ": " << both[j]
                      << " vs " << want;
    }
    EXPECT_EQ(both.front(), 0); // below the table
    EXPECT_EQ(both[11], 0);     // above it
    EXPECT_GT(both[100], 0);
  }
}

TEST(Continuum, RadiationTermLimitsAndDensityRatio) {
  const double c2 = 1.4387769; // cm K
  for (double t : {150.0, 296.0, 340.0}) {
    // nu tanh(c2 nu / 2T) -> c2 nu^2 / 2T: the next term is (c2 nu / 2T)^2 / 3 below 1e-13 here.
    for (double nu : {1e-7, 1e-5, 1e-4})
      EXPECT_TRUE(zqtest::RelClose(ContinuumRadiationTerm(nu, t), c2 * nu * nu / (2 * t), 1e-12)) << nu;
    // -> nu once tanh is 1 to double precision; and the whole way between, tanh itself.
    EXPECT_EQ(ContinuumRadiationTerm(20000, t), 20000);
    for (double nu = 0.01; nu < 5000; nu *= 1.07) {
      EXPECT_TRUE(zqtest::RelClose(ContinuumRadiationTerm(nu, t), nu * std::tanh(c2 * nu / (2 * t)), 1e-14))
          << nu << " " << t;
      EXPECT_EQ(ContinuumRadiationTerm(-nu, t), ContinuumRadiationTerm(nu, t));
    }
  }
  EXPECT_EQ(ContinuumRadiationTerm(0, 296), 0);
  EXPECT_DOUBLE_EQ(ContinuumDensityRatio(1013, 296, 1013, 296), 1);
  EXPECT_DOUBLE_EQ(ContinuumDensityRatio(506.5, 148, 1013, 296), 1); // the same density
  EXPECT_DOUBLE_EQ(ContinuumDensityRatio(101.3, 296, 1013, 296), 0.1);
}

TEST(ContinuumFile, MalformedFilesAreRefusedNamingTheFileAndTheVariable) {
  zqtest::TempDir dir;
  std::string error;
  {
    const auto file = dir / "good.nc";
    write_netcdf(file, small_table());
    const TzqContinuumTable t = ReadContinuumFile(file.string(), error);
    EXPECT_EQ(error, "");
    ASSERT_FALSE(t.Empty());
    EXPECT_EQ(t.File, file.string());
    EXPECT_EQ(t.SelfExponent, small_table()[3].Values);
    EXPECT_EQ(t.Foreign, small_table()[2].Values);
  }
  struct Case {
    const char* name;
    const char* variable; // the variable the reason must name
    std::function<void(std::vector<Var>&)> damage;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<Case> cases = {
      {"missing.nc", "self_texp", [](auto& v) { v.erase(v.begin() + 3); }},
      {"unequal.nc", "for_absco_ref", [](auto& v) { v[2].Values.pop_back(); }},
      {"nan.nc", "self_absco_ref", [&](auto& v) { v[1].Values[2] = nan; }},
      {"negative.nc", "for_absco_ref", [](auto& v) { v[2].Values[4] = -1e-25; }},
      {"fill.nc", "self_absco_ref", [](auto& v) { v[1].Values[0] = NC_FILL_DOUBLE; }},
      {"infinite_exponent.nc", "self_texp", [](auto& v) { v[3].Values[1] = HUGE_VAL; }},
      {"unordered.nc", "wavenumbers", [](auto& v) { v[0].Values[2] = 0; }},
      {"one_point.nc", "wavenumbers",
       [](auto& v) {
         for (int i = 0; i < 4; ++i)
           v[i].Values.resize(1);
       }},
      {"bad_reference.nc", "ref_temp", [](auto& v) { v[4].Values[0] = 0; }},
  };
  for (const Case& c : cases) {
    std::vector<Var> vars = small_table();
    c.damage(vars);
    const auto file = dir / c.name;
    write_netcdf(file, vars);
    const TzqContinuumTable t = ReadContinuumFile(file.string(), error);
    EXPECT_TRUE(t.Empty()) << c.name;
    EXPECT_NE(error.find(file.string()), std::string::npos) << error;
    EXPECT_NE(error.find(std::string("'") + c.variable + "'"), std::string::npos) << error;
  }
  const auto text = dir / "text.nc";
  zqtest::WriteFile(text, "wavenumbers self_absco_ref\n1 2\n");
  EXPECT_TRUE(ReadContinuumFile(text.string(), error).Empty());
  EXPECT_EQ(error, text.string() + " is not a netCDF file (NetCDF: Unknown file format)");
  EXPECT_TRUE(ReadContinuumFile((dir / "absent.nc").string(), error).Empty());
  EXPECT_NE(error.find("absent.nc cannot be opened"), std::string::npos) << error;
}

TEST(ContinuumColumn, SourceGivesWaterItsContinuumAndNothingElse) {
  zqtest::TempDir dir;
  write_netcdf(dir / "small.nc", small_table());
  std::string error;
  auto table = std::make_shared<TzqContinuumTable>(ReadContinuumFile((dir / "small.nc").string(), error));
  ASSERT_FALSE(table->Empty()) << error;
  TzqContinuumColumnSource source;
  const std::vector<double> grid = {1, 5, 15, 25};
  std::vector<double> sigma(grid.size(), 0.0);
  TzqLayerConditions layer{3, 270, 800, {}};
  layer.Ppmv[TzqColumnGas::H2O] = 20000;
  layer.Ppmv[TzqColumnGas::CO2] = 400;
  EXPECT_TRUE(source.CrossSections(TzqColumnGas::H2O, layer, grid, sigma, error)); // no table: nothing
  EXPECT_EQ(sigma, std::vector<double>(grid.size(), 0.0));
  const uint64_t before = source.Revision();
  source.SetTable(table);
  EXPECT_NE(source.Revision(), before);
  EXPECT_TRUE(source.DependsOnMixingRatio(TzqColumnGas::H2O));
  EXPECT_FALSE(source.DependsOnMixingRatio(TzqColumnGas::CO2));
  EXPECT_TRUE(source.CrossSections(TzqColumnGas::CO2, layer, grid, sigma, error));
  EXPECT_EQ(sigma, std::vector<double>(grid.size(), 0.0));
  ASSERT_TRUE(source.CrossSections(TzqColumnGas::H2O, layer, grid, sigma, error)) << error;
  EXPECT_EQ(sigma, sigma_of(*table, 270, 800, 0.02, grid, TzqContinuumPart::Both)); // ppmv is 1e-6
  EXPECT_GT(sigma[0], 0);
  layer.Temperature = 0;
  EXPECT_FALSE(source.CrossSections(TzqColumnGas::H2O, layer, grid, sigma, error));
  EXPECT_NE(error.find("layer 4"), std::string::npos) << error;
}

namespace {

struct ContinuumRuns {
  columntest::BandSource band{3e-19, 1e-22};
  TzqContinuumColumnSource continuum;
  TzqColumnResult run(const TzqColumnSettings& s, bool withContinuum) {
    TzqColumnSources sources;
    sources[TzqColumnGas::H2O] = {&band};
    if (withContinuum) sources[TzqColumnGas::H2O].push_back(&continuum);
    sources[TzqColumnGas::CO2] = {&band};
    TzqColumn column;
    TzqColumnResult r = column.Compute(s, sources);
    EXPECT_TRUE(r.Computed) << r.Refusal;
    return r;
  }
};

} // namespace

TEST(ContinuumColumn, IsothermalColumnStillEmitsTheGroundBlackbody) {
  ZQ_REQUIRE_CONTINUUM();
  ContinuumRuns runs;
  runs.continuum.SetTable(real_table());
  for (double t : {230.0, 300.0}) {
    TzqColumnSettings s;
    s.Isothermal = true;
    s.SurfaceTemperature = t;
    s.RelativeHumidity = 90;
    s.Step = 0.5;
    const TzqColumnResult r = runs.run(s, true);
    EXPECT_TRUE(zqtest::RelClose(r.OLR1x, r.SurfaceEmission, 1e-6)) << r.OLR1x << " vs " << r.SurfaceEmission;
  }
}

TEST(ContinuumColumn, DarkensTheWindowOfAHumidColumnOnly) {
  ZQ_REQUIRE_CONTINUUM();
  ContinuumRuns runs;
  runs.continuum.SetTable(real_table());
  TzqColumnSettings s;
  s.WavenumberMin = 800;
  s.WavenumberMax = 1250;
  s.SurfaceTemperature = 300;
  s.Step = 0.1;
  double lastDrop = 0;
  for (double rh : {0.0, 20.0, 80.0}) {
    s.RelativeHumidity = rh;
    const TzqColumnResult off = runs.run(s, false), on = runs.run(s, true);
    const double drop = off.OLR1x - on.OLR1x;
    if (rh == 0) {
      EXPECT_EQ(drop, 0); // no water anywhere (the stratosphere keeps the tropopause's 0): no continuum
    } else {
      EXPECT_GT(drop, lastDrop) << rh;
      EXPECT_GT(on.SurfaceDownwelling1x, off.SurfaceDownwelling1x);
    }
    lastDrop = drop;
  }
  EXPECT_GT(lastDrop, 0.02 * runs.run(s, false).OLR1x); // a humid column loses more than 2 % of its window
}
