// The atmosphere column's absorption from HITRAN line lists: each layer's cross-sections computed by
// the HITRAN line-physics engine (Voigt profile at the layer's temperature and pressure) on the
// column's own grid, through the shared cross-section cache. Qt-free.
#pragma once

#include "zqOpticalDepths.h"

#include <atomic>
#include <cstdint>

class T_zq_HITRAN;

class TzqHitranColumnSource : public TzqCrossSectionSource {
public:
  // One list per gas of the registry (any may be null: that gas then absorbs nothing). The lists must
  // outlive the source; SetLists tells it of new or reloaded ones. The two-list forms set water and CO2
  // and leave every other gas without a list.
  explicit TzqHitranColumnSource(const TzqPerGas<const T_zq_HITRAN*>& lists);
  TzqHitranColumnSource(const T_zq_HITRAN* h2o, const T_zq_HITRAN* co2);
  void SetLists(const TzqPerGas<const T_zq_HITRAN*>& lists);
  void SetLists(const T_zq_HITRAN* h2o, const T_zq_HITRAN* co2);
  const T_zq_HITRAN* List(TzqColumnGas gas) const { return lists_[gas]; }

  // Half widths a line reaches on each side of its position (the engine's limit).
  void SetLineWidthLimit(double limit);
  // Water lines follow the continuum's wing convention (THitranConditions::ContinuumWings): set when a
  // continuum source is added to water, or its far wings count twice. A change is a new revision.
  void SetContinuumWings(bool on);
  bool ContinuumWings() const { return continuum_wings_; }
  // Threads of the engine: 0 = every core (the result is the same for any count).
  void SetThreads(unsigned threads) { threads_ = threads; }
  // A flag that, when raised, stops a layer's computation within a few lines (the layer is refused).
  void SetCancel(const std::atomic<bool>* cancel) { cancel_ = cancel; }

  bool CrossSections(TzqColumnGas gas, const TzqLayerConditions& layer, std::span<const double> wavenumber,
                     std::span<double> sigma, std::string& reason) override;
  // Water vapour broadens its own lines about five times as much as air does, and near the ground it
  // makes up to a few percent of the air: its widths follow its amount. CO2 (well below 0.1 %) is
  // broadened by air alone; its self-broadening would change its widths by under 0.05 %. So are O3, N2O
  // and CH4, at a few ppm and less.
  //
  // The widths are linear in the water mixing ratio x, and over 0 .. saturation they change by well
  // under 10 %, so in the layers below 100 mb (where a new humidity would otherwise mean recomputing
  // the costly high-pressure lines) the water cross-section is taken linear in x between two engine
  // results kept here: at x = 0 and at x_ref = the layer's saturation mixing ratio. A new humidity
  // then costs a weighted sum per layer. Above 100 mb it is computed at x itself (cheap there).
  bool DependsOnMixingRatio(TzqColumnGas gas) const override { return gas == TzqColumnGas::H2O; }
  // Every gas whose list holds lines.
  bool Computes(TzqColumnGas gas) const override;
  uint64_t Revision() const override { return revision_; }

  // Pressure (mb) from which the water cross-section is interpolated in its mixing ratio.
  static constexpr double kInterpolatedFrom = 100;

private:
  bool compute(TzqColumnGas gas, const TzqLayerConditions& layer, double mixingRatio,
               std::span<const double> wavenumber, std::vector<double>& sigma, std::string& reason) const;

  // The two water cross-sections of one layer.
  struct Basis {
    double temperature = 0, pressure = 0, reference = 0; // K, mb, ppm
    double first = 0, last = 0;                          // the grid's ends
    std::vector<float> dry, wet;                         // at 0 and at the reference mixing ratio
  };
  std::vector<Basis> bases_; // by layer

  TzqPerGas<const T_zq_HITRAN*> lists_{};
  double line_width_limit_ = 200;
  bool continuum_wings_ = false;
  unsigned threads_ = 0;
  const std::atomic<bool>* cancel_ = nullptr;
  uint64_t revision_ = 1;
};
