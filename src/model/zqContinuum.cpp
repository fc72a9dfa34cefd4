#include "zqContinuum.h"

#include "zqINI_File.h"
#include "zqPhysicalConstants.h"

#include <netcdf.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <optional>

namespace {

// The netCDF library keeps global state and is not thread safe: one reader at a time.
std::mutex& netcdf_mutex() {
  static std::mutex m;
  return m;
}

// An open netCDF file, closed on every way out.
class NcFile {
public:
  explicit NcFile(const std::string& path) { status_ = nc_open(path.c_str(), NC_NOWRITE, &id_); }
  ~NcFile() {
    if (status_ == NC_NOERR) nc_close(id_);
  }
  NcFile(const NcFile&) = delete;
  NcFile& operator=(const NcFile&) = delete;
  int Status() const { return status_; }
  int Id() const { return id_; }

private:
  int id_ = -1;
  int status_ = NC_NOERR;
};

// The fill value that marks a variable's unwritten elements: its _FillValue attribute, else the
// library's default for the variable's type.
std::optional<double> fill_value(int file, int var, nc_type type) {
  double value = 0;
  if (nc_get_att_double(file, var, _FillValue, &value) == NC_NOERR) return value;
  switch (type) {
  case NC_DOUBLE:
    return NC_FILL_DOUBLE;
  case NC_FLOAT:
    return static_cast<double>(NC_FILL_FLOAT);
  case NC_INT:
    return static_cast<double>(NC_FILL_INT);
  case NC_SHORT:
    return static_cast<double>(NC_FILL_SHORT);
  default:
    return std::nullopt;
  }
}

struct Reader {
  const NcFile& file;
  const std::string& path;
  std::string& error;

  bool fail(const std::string& text) {
    error = path + ": " + text;
    return false;
  }

  // A numeric variable's values with its fill value; rank 1 for arrays, rank 0 (or one element) for
  // scalars.
  bool read(const char* name, bool scalar, std::vector<double>& out, std::optional<double>& fill) {
    const std::string var = std::string("variable '") + name + "'";
    int id = 0;
    if (nc_inq_varid(file.Id(), name, &id) != NC_NOERR) return fail(var + " is missing");
    nc_type type = NC_NAT;
    int rank = 0;
    if (nc_inq_var(file.Id(), id, nullptr, &type, &rank, nullptr, nullptr) != NC_NOERR)
      return fail(var + " cannot be read");
    if (type == NC_CHAR || type == NC_STRING || rank > NC_MAX_VAR_DIMS) return fail(var + " is not numeric");
    std::vector<int> dims(static_cast<std::size_t>(rank));
    if (rank > 0 && nc_inq_vardimid(file.Id(), id, dims.data()) != NC_NOERR)
      return fail(var + " cannot be read");
    std::size_t length = 1;
    for (int d : dims) {
      std::size_t n = 0;
      if (nc_inq_dimlen(file.Id(), d, &n) != NC_NOERR) return fail(var + " cannot be read");
      length *= n;
    }
    if (scalar ? length != 1 : rank != 1)
      return fail(var + (scalar ? " must hold one value" : " must be one-dimensional"));
    out.assign(length, 0.0);
    if (const int s = nc_get_var_double(file.Id(), id, out.data()); s != NC_NOERR)
      return fail(var + " cannot be read (" + nc_strerror(s) + ")");
    fill = fill_value(file.Id(), id, type);
    return true;
  }

  // An array of coefficients: finite, not the fill value, and >= 0 unless signed.
  bool coefficients(const char* name, const std::vector<double>& wavenumbers, bool signedValues,
                    std::vector<double>& out) {
    const std::size_t points = wavenumbers.size();
    std::optional<double> fill;
    if (!read(name, false, out, fill)) return false;
    const std::string var = std::string("variable '") + name + "'";
    if (out.size() != points)
      return fail(var + " has " + std::to_string(out.size()) + " values but 'wavenumbers' has " +
                  std::to_string(points));
    for (std::size_t i = 0; i < out.size(); ++i) {
      const double v = out[i];
      const char* what = !std::isfinite(v)          ? "is not a finite number"
                         : fill && v == *fill       ? "is missing (the fill value)"
                         : !signedValues && v < 0.0 ? "is negative"
                                                    : nullptr;
      if (what)
        return fail(var + " value " + std::to_string(i + 1) + " (at " + zqFloatToText(wavenumbers[i], ".") +
                    " cm-1) " + what);
    }
    return true;
  }

  // A reference value: finite and positive.
  bool reference(const char* name, double& out) {
    std::vector<double> v;
    std::optional<double> fill;
    if (!read(name, true, v, fill)) return false;
    if (!std::isfinite(v[0]) || v[0] <= 0 || (fill && v[0] == *fill))
      return fail(std::string("variable '") + name + "' must be a positive number");
    out = v[0];
    return true;
  }
};

std::atomic<uint64_t> last_revision{0};
uint64_t next_revision() {
  return last_revision.fetch_add(1, std::memory_order_relaxed) + 1;
}

} // namespace

TzqContinuumTable ReadContinuumFile(const std::string& path, std::string& error) {
  error.clear();
  const std::lock_guard lock(netcdf_mutex());
  const NcFile file(path);
  if (file.Status() != NC_NOERR) {
    error = path + (file.Status() == NC_ENOTNC ? " is not a netCDF file (" : " cannot be opened (") +
            nc_strerror(file.Status()) + ")";
    return {};
  }
  TzqContinuumTable t;
  t.File = path;
  Reader r{file, path, error};
  std::optional<double> fill;
  if (!r.read("wavenumbers", false, t.Wavenumber, fill)) return {};
  if (t.Wavenumber.size() < 2) {
    r.fail("variable 'wavenumbers' has " + std::to_string(t.Wavenumber.size()) +
           " values; the continuum needs at least 2");
    return {};
  }
  for (std::size_t i = 0; i < t.Wavenumber.size(); ++i)
    if (!std::isfinite(t.Wavenumber[i]) || (i > 0 && !(t.Wavenumber[i] > t.Wavenumber[i - 1]))) {
      r.fail("variable 'wavenumbers' is not strictly increasing finite numbers (value " +
             std::to_string(i + 1) + ")");
      return {};
    }
  if (!r.coefficients("self_absco_ref", t.Wavenumber, false, t.Self) ||
      !r.coefficients("for_absco_ref", t.Wavenumber, false, t.Foreign) ||
      !r.coefficients("self_texp", t.Wavenumber, true, t.SelfExponent) ||
      !r.reference("ref_temp", t.ReferenceTemperature) || !r.reference("ref_press", t.ReferencePressure))
    return {};
  return t;
}

namespace {

// The radiation term's tanh(x / 2), x = c2 |nu| / T, as m / (2 - m) with m = 1 - e^-x: exact in the
// limits when m is (m from expm1, not from 1 - exp, so a small x keeps every digit).
inline double tanh_half(double m) {
  return m / (2 - m);
}

// Beyond an anchor x0 the cross-sections take 1 - e^-x = (1 - e^-x0) + e^-x0 (1 - e^-y), y = x - x0,
// with 1 - e^-y for 0 <= y <= kAnchorReach from its Taylor series to y^8 (the next term is below
// 3e-18 of it): two library calls per anchor instead of one per point, every digit kept.
constexpr double kAnchorReach = 1.0 / 32;
inline double one_minus_exp_near_zero(double y) {
  constexpr double c2 = -1.0 / 2, c3 = 1.0 / 6, c4 = -1.0 / 24, c5 = 1.0 / 120, c6 = -1.0 / 720,
                   c7 = 1.0 / 5040, c8 = -1.0 / 40320;
  return y * (1 + y * (c2 + y * (c3 + y * (c4 + y * (c5 + y * (c6 + y * (c7 + y * c8)))))));
}

} // namespace

double ContinuumRadiationTerm(double nu, double temperature) {
  const double a = std::fabs(nu);
  return a * tanh_half(-std::expm1(-zqconst::SecondRadiationCm * a / temperature));
}

double ContinuumDensityRatio(double pressure, double temperature, double referencePressure,
                             double referenceTemperature) {
  return pressure / referencePressure * (referenceTemperature / temperature);
}

void ContinuumCrossSections(const TzqContinuumTable& table, double temperature, double pressure,
                            double mixingRatio, std::span<const double> grid, std::span<double> sigma,
                            TzqContinuumPart part) {
  const std::size_t n = table.Wavenumber.size();
  const std::size_t points = std::min(grid.size(), sigma.size());
  std::fill(sigma.begin() + static_cast<std::ptrdiff_t>(points), sigma.end(), 0.0);
  if (n < 2 || !(temperature > 0) || table.Self.size() != n || table.Foreign.size() != n ||
      table.SelfExponent.size() != n) {
    std::fill(sigma.begin(), sigma.end(), 0.0);
    return;
  }
  const double x = std::clamp(mixingRatio, 0.0, 1.0);
  const double r =
      ContinuumDensityRatio(pressure, temperature, table.ReferencePressure, table.ReferenceTemperature);
  const double selfWeight = part == TzqContinuumPart::Foreign ? 0.0 : x * r;
  const double foreignWeight = part == TzqContinuumPart::Self ? 0.0 : (1 - x) * r;
  const double tr = table.ReferenceTemperature / temperature;
  // The bracket at the table's wavenumbers: a few thousand powers, not one per grid point.
  std::vector<double> c(n), inverseStep(n - 1);
  for (std::size_t i = 0; i < n; ++i) {
    const double self = selfWeight > 0 ? table.Self[i] * std::pow(tr, table.SelfExponent[i]) * selfWeight : 0;
    c[i] = self + table.Foreign[i] * foreignWeight;
  }
  for (std::size_t i = 0; i + 1 < n; ++i)
    inverseStep[i] = 1 / (table.Wavenumber[i + 1] - table.Wavenumber[i]);
  const std::vector<double>& w = table.Wavenumber;
  const double lo = w.front(), hi = w.back();
  const double c2T = zqconst::SecondRadiationCm / temperature;
  const double reach = kAnchorReach / c2T; // cm-1
  std::size_t k = 0;                       // the interval [w[k], w[k + 1]] of the last point
  for (std::size_t j = 0; j < points;) {
    const double nu = grid[j];
    if (!(nu >= lo && nu <= hi)) { // outside the table (or NaN): no continuum
      sigma[j++] = 0;
      continue;
    }
    if (nu < w[k]) k = static_cast<std::size_t>(std::upper_bound(w.begin(), w.end(), nu) - w.begin()) - 1;
    while (k + 2 < n && w[k + 1] < nu)
      ++k;
    const double wk = w[k], ck = c[k], ck1 = c[k + 1], inverse = inverseStep[k];
    if (nu < 0) { // the table's few points below 0, where |nu| falls as nu rises
      const double f = (nu - wk) * inverse;
      sigma[j++] = ((1 - f) * ck + f * ck1) * ContinuumRadiationTerm(nu, temperature);
      continue;
    }
    // A run: the points from here that lie in the same interval and within the anchor's reach, each
    // computed alike, with no branch (vector code). Ascending grids make long runs.
    const double limit = std::min(w[k + 1], nu + reach);
    std::size_t end = j + 1;
    while (end < points && grid[end] >= nu && grid[end] <= limit)
      ++end;
    const double m0 = -std::expm1(-c2T * nu), e0 = std::exp(-c2T * nu);
#pragma omp simd
    for (std::size_t i = j; i < end; ++i) {
      const double v = grid[i];
      const double f = (v - wk) * inverse;
      // Both terms >= 0: no cancellation, whatever the ratio of neighbouring coefficients.
      const double coefficient = (1 - f) * ck + f * ck1;
      sigma[i] = coefficient * v * tanh_half(m0 + e0 * one_minus_exp_near_zero(c2T * (v - nu)));
    }
    j = end;
  }
}

TzqContinuumColumnSource::TzqContinuumColumnSource() : revision_(next_revision()) {}

TzqContinuumColumnSource::TzqContinuumColumnSource(std::shared_ptr<const TzqContinuumTable> table) {
  SetTable(std::move(table));
}

void TzqContinuumColumnSource::SetTable(std::shared_ptr<const TzqContinuumTable> table) {
  table_ = std::move(table);
  revision_ = next_revision();
}

bool TzqContinuumColumnSource::CrossSections(TzqColumnGas gas, const TzqLayerConditions& layer,
                                             std::span<const double> wavenumber, std::span<double> sigma,
                                             std::string& reason) {
  if (gas != TzqColumnGas::H2O || !table_ || table_->Empty()) return true; // adds nothing
  const double ppmv = layer.Ppmv[TzqColumnGas::H2O];
  if (!(layer.Temperature > 0) || !std::isfinite(layer.Temperature) || !(layer.Pressure >= 0) ||
      !std::isfinite(layer.Pressure) || !(ppmv >= 0) || !(ppmv <= 1e6)) {
    reason = "Water continuum: layer " + std::to_string(layer.Layer + 1) + " (" +
             zqFloatToText(layer.Temperature, ".") + " K, " + zqFloatToText(layer.Pressure, ".") + " mb, " +
             zqFloatToText(ppmv, ".") + " ppmv of water) is outside what the continuum takes";
    return false;
  }
  if (sigma.size() != wavenumber.size()) {
    reason = "Water continuum: the cross-sections and the grid differ in length";
    return false;
  }
  ContinuumCrossSections(*table_, layer.Temperature, layer.Pressure, ppmv * 1e-6, wavenumber, sigma);
  return true;
}
