#include "zqHitranColumnSource.h"

#include "zqCrossSectionCache.h"
#include "zqHITRAN.h"
#include "zqSaturation.h"

#include <algorithm>

namespace {

TzqPerGas<const T_zq_HITRAN*> water_and_co2(const T_zq_HITRAN* h2o, const T_zq_HITRAN* co2) {
  TzqPerGas<const T_zq_HITRAN*> lists{};
  lists[TzqColumnGas::H2O] = h2o;
  lists[TzqColumnGas::CO2] = co2;
  return lists;
}

} // namespace

TzqHitranColumnSource::TzqHitranColumnSource(const TzqPerGas<const T_zq_HITRAN*>& lists) {
  SetLists(lists);
}

TzqHitranColumnSource::TzqHitranColumnSource(const T_zq_HITRAN* h2o, const T_zq_HITRAN* co2)
    : TzqHitranColumnSource(water_and_co2(h2o, co2)) {}

void TzqHitranColumnSource::SetLists(const TzqPerGas<const T_zq_HITRAN*>& lists) {
  lists_ = lists;
  bases_.clear();
  ++revision_;
}

void TzqHitranColumnSource::SetLists(const T_zq_HITRAN* h2o, const T_zq_HITRAN* co2) {
  SetLists(water_and_co2(h2o, co2));
}

void TzqHitranColumnSource::SetLineWidthLimit(double limit) {
  if (limit == line_width_limit_) return;
  line_width_limit_ = limit;
  bases_.clear();
  ++revision_;
}

void TzqHitranColumnSource::SetContinuumWings(bool on) {
  if (on == continuum_wings_) return;
  continuum_wings_ = on;
  bases_.clear();
  ++revision_;
}

bool TzqHitranColumnSource::compute(TzqColumnGas gas, const TzqLayerConditions& layer, double mixingRatio,
                                    std::span<const double> wavenumber, std::vector<double>& sigma,
                                    std::string& reason) const {
  THitranConditions c;
  c.Temperature = layer.Temperature;
  c.Pressure = layer.Pressure;
  c.MixingRatio = std::clamp(mixingRatio, 0.0, 1e6);
  c.Profile = THitranProfile::Voigt;
  c.LineWidthLimit = line_width_limit_;
  c.Threads = threads_;
  c.Grid = wavenumber;
  c.Cancel = cancel_;
  c.ContinuumWings = continuum_wings_ && gas == TzqColumnGas::H2O;
  const T_zq_HITRAN& list = *lists_[gas];
  const auto result = TzqCrossSectionCache::Shared().Get(list.Revision(), HitranLineSet(list), c);
  if (!result->Valid()) {
    reason = std::string(ColumnGasInfo(gas).Name) + " lines: " + result->Refusal;
    return false;
  }
  sigma = result->Sigma;
  return true;
}

bool TzqHitranColumnSource::Computes(TzqColumnGas gas) const {
  return lists_[gas] && !lists_[gas]->Records.empty();
}

bool TzqHitranColumnSource::CrossSections(TzqColumnGas gas, const TzqLayerConditions& layer,
                                          std::span<const double> wavenumber, std::span<double> sigma,
                                          std::string& reason) {
  const T_zq_HITRAN* list = lists_[gas];
  if (!list || list->Records.empty() || wavenumber.empty()) return true; // absorbs nothing
  std::vector<double> computed;
  if (gas != TzqColumnGas::H2O || layer.Pressure < kInterpolatedFrom) {
    if (!compute(gas, layer, gas == TzqColumnGas::H2O ? layer.Ppmv[TzqColumnGas::H2O] : 0.0, wavenumber,
                 computed, reason))
      return false;
    std::copy(computed.begin(), computed.end(), sigma.begin());
    return true;
  }
  if (layer.Layer < 0) {
    reason = "Layer numbers start at 0";
    return false;
  }
  const auto index = static_cast<std::size_t>(layer.Layer);
  if (bases_.size() <= index) bases_.resize(index + 1);
  Basis& b = bases_[index];
  const double saturated =
      static_cast<double>(SaturationVapourPressure(layer.Temperature)) / layer.Pressure * 1e6;
  const double reference = std::clamp(std::max(saturated, layer.Ppmv[TzqColumnGas::H2O]), 1.0, 1e6);
  if (b.temperature != layer.Temperature || b.pressure != layer.Pressure || b.reference != reference ||
      b.first != wavenumber.front() || b.last != wavenumber.back() || b.dry.size() != wavenumber.size()) {
    b = Basis{};
    std::vector<double> dry, wet;
    if (!compute(gas, layer, 0, wavenumber, dry, reason) ||
        !compute(gas, layer, reference, wavenumber, wet, reason))
      return false;
    b.dry.assign(dry.begin(), dry.end());
    b.wet.assign(wet.begin(), wet.end());
    b.temperature = layer.Temperature;
    b.pressure = layer.Pressure;
    b.reference = reference;
    b.first = wavenumber.front();
    b.last = wavenumber.back();
  }
  const double f = std::clamp(layer.Ppmv[TzqColumnGas::H2O], 0.0, 1e6) / reference;
  for (std::size_t j = 0; j < sigma.size(); ++j)
    sigma[j] = std::max(0.0, (1 - f) * static_cast<double>(b.dry[j]) + f * static_cast<double>(b.wet[j]));
  return true;
}
