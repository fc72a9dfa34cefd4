// The water-vapour continuum (MT_CKD): the absorption of water vapour that its lines, cut 25 cm-1
// from their centres, leave out, as smooth self and foreign coefficients read from AER's reference
// file (absco-ref_wv-mt-ckd.nc, read where the user keeps it; its licence forbids shipping it), the
// named formulas that make cross-sections of them, and a column source that adds them to water.
//
// Reference: E.J. Mlawer et al., "Development and recent evaluation of the MT_CKD model of continuum
// absorption", Phil. Trans. R. Soc. A 370, 2520-2556 (2012), doi:10.1098/rsta.2011.0295.
//
// The continuum belongs to a line-shape convention: each water line computed out to 25 cm-1 from its
// centre with its value there subtracted. Lines with longer wings count part of it twice.
#pragma once

#include "zqOpticalDepths.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The coefficients as the file holds them: at ReferenceTemperature and ReferencePressure, in cm2 per
// molecule per cm-1 (they still lack the radiation term), on strictly increasing wavenumbers (cm-1).
struct TzqContinuumTable {
  std::string File;                  // where it was read
  std::vector<double> Wavenumber;    // cm-1
  std::vector<double> Self;          // self continuum, >= 0
  std::vector<double> Foreign;       // foreign continuum, >= 0
  std::vector<double> SelfExponent;  // the self continuum goes as (T_ref / T)^exponent
  double ReferenceTemperature = 296; // K
  double ReferencePressure = 1013;   // mb
  bool Empty() const { return Wavenumber.empty(); }
};

// Reads the variables wavenumbers, self_absco_ref, for_absco_ref, self_texp, ref_temp and ref_press
// through the netCDF library. An empty table with error filled (naming the file and the variable) for
// a file that cannot be opened or is no netCDF file, a missing or unreadable variable, arrays of
// unequal lengths or fewer than 2 points, wavenumbers not strictly increasing, coefficients negative,
// not finite or the file's fill value, exponents not finite, reference values not positive.
TzqContinuumTable ReadContinuumFile(const std::string& path, std::string& error);

// The radiation term (cm-1) at wavenumber nu (cm-1) and temperature T (K, > 0):
//   R(nu, T) = nu tanh(c2 nu / (2 T)),  c2 = h c / k = 1.4387769 cm K (zqconst::SecondRadiationCm),
// which turns the continuum's coefficients into cross-sections and carries the induced emission
// (Mlawer et al. 2012). Tends to c2 nu^2 / (2 T) as nu -> 0 (from expm1, so no digit is lost there)
// and to nu at large nu. Even in nu.
double ContinuumRadiationTerm(double nu, double temperature);

// The continuum's density ratio (dimensionless): (p / p_ref) (T_ref / T) for pressure p (mb) and
// temperature T (K), the number density of the air relative to the reference (Mlawer et al. 2012).
double ContinuumDensityRatio(double pressure, double temperature, double referencePressure,
                             double referenceTemperature);

enum class TzqContinuumPart { Both, Self, Foreign };

// Continuum cross-sections (cm2 per water molecule) at temperature T (K), pressure p (mb) and water
// volume mixing ratio x (0 to 1; clamped), written into sigma at every grid wavenumber (cm-1):
//   sigma(nu) = [Self(nu) (T_ref / T)^SelfExponent(nu) x + Foreign(nu) (1 - x)] r R(nu, T)
// with r = ContinuumDensityRatio and R = ContinuumRadiationTerm (Mlawer et al. 2012). The bracket is
// formed at the table's wavenumbers and interpolated linearly onto the grid; R is taken at the grid's
// own wavenumber, since it is quadratic in nu near 0 where a 10 cm-1 chord would be far from it.
// 0 outside the table's wavenumbers (no extrapolation: the file spans -20 to 20000 cm-1), for an
// empty table, or for T <= 0. part picks the self or the foreign term alone. sigma should have the
// grid's length; its points beyond the grid are set to 0. The grid may be in any order; ascending
// grids are fastest. Accurate to a few units of the last digit.
void ContinuumCrossSections(const TzqContinuumTable& table, double temperature, double pressure,
                            double mixingRatio, std::span<const double> grid, std::span<double> sigma,
                            TzqContinuumPart part = TzqContinuumPart::Both);

// The column's water continuum: for water, the cross-sections above at the layer's temperature,
// pressure and water mixing ratio; nothing for any other gas. Without a table it adds nothing.
class TzqContinuumColumnSource : public TzqCrossSectionSource {
public:
  TzqContinuumColumnSource();
  explicit TzqContinuumColumnSource(std::shared_ptr<const TzqContinuumTable> table);
  // A new table (null: none), with a new revision. Revisions are unique across sources, so a source
  // made where an old one was is never taken for it.
  void SetTable(std::shared_ptr<const TzqContinuumTable> table);
  const std::shared_ptr<const TzqContinuumTable>& Table() const { return table_; }

  bool CrossSections(TzqColumnGas gas, const TzqLayerConditions& layer, std::span<const double> wavenumber,
                     std::span<double> sigma, std::string& reason) override;
  // The self continuum goes with the water amount.
  bool DependsOnMixingRatio(TzqColumnGas gas) const override { return gas == TzqColumnGas::H2O; }
  uint64_t Revision() const override { return revision_; }

private:
  std::shared_ptr<const TzqContinuumTable> table_;
  uint64_t revision_ = 0;
};
