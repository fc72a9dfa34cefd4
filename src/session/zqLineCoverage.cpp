#include "zqLineCoverage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zqsession {

std::vector<TLineGap> FindLineGaps(std::span<const double> p, double minWidth) {
  std::vector<TLineGap> gaps;
  const std::size_t n = p.size();
  const std::size_t k = kGapNeighbours;
  if (n < 2 * k) return gaps;
  for (std::size_t i = k - 1; i + k < n; ++i) {
    const double step = p[i + 1] - p[i];
    if (!(step > minWidth)) continue;
    // Mean spacing of the k lines before the step and of the k lines after it.
    const double before = (p[i] - p[i + 1 - k]) / static_cast<double>(k - 1);
    const double after = (p[i + k] - p[i + 1]) / static_cast<double>(k - 1);
    if (before < step / 10 && after < step / 10) gaps.push_back({p[i], p[i + 1]});
  }
  return gaps;
}

std::vector<TLineGap> FindLineGaps(std::span<const THitranLine> lines, double minWidth) {
  std::vector<double> positions;
  positions.reserve(lines.size());
  for (const THitranLine& line : lines)
    if (std::isfinite(line.Wavenumber)) positions.push_back(line.Wavenumber);
  if (!std::is_sorted(positions.begin(), positions.end())) std::sort(positions.begin(), positions.end());
  return FindLineGaps(positions, minWidth);
}

std::vector<TLineGap> GapsWithin(const std::vector<TLineGap>& gaps, double lo, double hi) {
  std::vector<TLineGap> out;
  for (const TLineGap& g : gaps)
    if (g.Hi > lo && g.Lo < hi) out.push_back({std::max(g.Lo, lo), std::min(g.Hi, hi)});
  return out;
}

std::string LineGapsText(const std::string& listName, const std::vector<TLineGap>& gaps) {
  if (gaps.empty()) return {};
  std::string text = listName + " list: no lines ";
  for (std::size_t i = 0; i < gaps.size(); ++i) {
    char range[64];
    std::snprintf(range, sizeof range, "%s%.0f-%.0f cm-1", i ? ", " : "", gaps[i].Lo, gaps[i].Hi);
    text += range;
  }
  return text;
}

std::span<const TSpectralBand> KnownBands() {
  static constexpr TSpectralBand bands[] = {{0, 500, "H2O rotation"},
                                            {600, 740, "CO2 15 um"},
                                            {833, 1250, "8-12 um window"},
                                            {1300, 1900, "H2O 6.3 um"},
                                            {2250, 2400, "CO2 4.3 um"}};
  return bands;
}

} // namespace zqsession
