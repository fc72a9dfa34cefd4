#include "zqColumnBalance.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxIterations = 40;
constexpr double kTypicalResponse = 3.3; // W m-2 K-1, for the first step only
constexpr double kLargest = 50;          // K, the settings' bound on a warming

} // namespace

namespace {

// Interpolation in temperature for the steps of one solve, off again however it ends.
class Interpolating {
public:
  explicit Interpolating(TzqColumn& column) : column_(column) {}
  ~Interpolating() { column_.SetTemperatureInterpolation(false); }
  void On() { column_.SetTemperatureInterpolation(true); }
  void Off() { column_.SetTemperatureInterpolation(false); }

private:
  TzqColumn& column_;
};

} // namespace

TzqBalance SolveBalance(TzqColumn& column, TzqColumnSettings s, const TzqColumnSources& sources, TzqHold hold,
                        const TzqColumnProgress& progress, double firstGuess, bool check) {
  TzqBalance out;
  out.Hold = hold;
  if (s.Look != TzqLook::Down) {
    out.Refusal = "The balance compares the infrared that leaves upwards: the observer must look down";
    return out;
  }
  s.Hold = hold;
  // Each computation's share of the progress bar: the first (which may fetch everything) half of it.
  int step = 0;
  auto compute = [&](double offset) {
    s.Offset = offset;
    TzqColumnProgress part;
    part.Cancel = progress.Cancel;
    const double from = step == 0 ? 0 : 1 - std::pow(0.5, step), width = std::pow(0.5, step + 1);
    part.OnProgress = [&progress, from, width](double f) { progress.Report(from + width * f); };
    ++step;
    return column.Compute(s, sources, part);
  };
  // The changed state's flux minus the base state's, at the observer's level.
  auto imbalance = [](const TzqColumnResult& r) {
    return r.Diagnostics[1].ObservedFlux - r.Diagnostics[0].ObservedFlux;
  };

  Interpolating interpolating(column);
  TzqColumnResult r = compute(0);
  if (!r.Computed) {
    out.Refusal = r.Refusal;
    return out;
  }
  double x0 = 0, g0 = imbalance(r);
  out.Forcing = -g0;
  if (g0 == 0) { // nothing to restore
    out.Solved = true;
    out.FeedbackParameter = std::nan("");
    out.Result = std::move(r);
    return out;
  }
  double x1 = std::isfinite(firstGuess) ? firstGuess : out.Forcing / kTypicalResponse;
  x1 = std::clamp(x1, -kLargest, kLargest);
  if (x1 == 0) x1 = out.Forcing > 0 ? 0.1 : -0.1;
  // Secant steps from (x0, g0) and x1 until the imbalance is below the tolerance; false on a refusal
  // or when it does not converge. Leaves the answer in x1 and its column in r, the last slope in slope.
  double slope = 0;
  bool mayInterpolate = true;
  auto secant = [&](double& x0, double& g0, double& x1) {
    for (int i = 0; i < kMaxIterations; ++i) {
      r = compute(x1);
      ++out.Iterations;
      if (!r.Computed) {
        out.Refusal = r.Refusal;
        return false;
      }
      const double g1 = imbalance(r);
      if (mayInterpolate) interpolating.On(); // the first warmed step was exact: an anchor for the rest
      if (std::fabs(g1) < kBalanceTolerance) return true;
      if (g1 == g0) break; // flat: no secant step
      slope = (g1 - g0) / (x1 - x0);
      x0 = x1;
      g0 = g1;
      x1 = std::clamp(x1 - g1 / slope, -kLargest, kLargest);
    }
    if (out.Refusal.empty()) out.Refusal = "The warming to balance did not converge within 50 K";
    return false;
  };
  if (!secant(x0, g0, x1)) return out;
  const double interpolated = x1;
  if (check && out.Iterations > 1) { // later steps were interpolated: finish on exact cross-sections
    mayInterpolate = false;
    interpolating.Off();
    const auto exact = [&](double x) {
      r = compute(x);
      return r.Computed ? imbalance(r) : std::nan("");
    };
    x0 = x1;
    g0 = exact(x0);
    if (!r.Computed) {
      out.Refusal = r.Refusal;
      return out;
    }
    if (std::fabs(g0) >= kBalanceTolerance) {
      x1 = x0 - g0 / slope;
      if (!secant(x0, g0, x1)) return out;
    }
    out.InterpolationError = interpolated - x1;
  } else if (out.Iterations == 1) {
    out.InterpolationError = 0; // one exact step found it
  }
  out.Solved = true;
  out.Warming = x1;
  out.Imbalance = imbalance(r);
  out.FeedbackParameter = out.Forcing / x1;
  out.Result = std::move(r);
  return out;
}
