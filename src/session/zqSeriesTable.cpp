#include "zqSeriesTable.h"

#include "zqLineSeries.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <sstream>

std::string TableNumber(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.12g", v);
  return text;
}

std::string SeriesTableText(const TNamedSeries& series, bool linePlot, char separator,
                            const std::string& comments) {
  std::ostringstream s;
  s << comments;
  if (!linePlot) {
    std::vector<double> grid;
    for (const auto& [name, ser] : series) {
      std::vector<double> merged;
      std::set_union(grid.begin(), grid.end(), ser->XValues().begin(), ser->XValues().end(),
                     std::back_inserter(merged));
      grid.swap(merged);
    }
    s << "wavenumber_cm-1";
    std::vector<std::size_t> next;
    for (const auto& [name, ser] : series) {
      s << separator << name;
      next.push_back(0);
    }
    s << '\n';
    for (double x : grid) {
      s << TableNumber(x);
      for (std::size_t c = 0; c < series.size(); ++c) {
        const TLineSeries& ser = *series[c].second;
        s << separator;
        if (next[c] < ser.Count() && ser.XValues()[next[c]] == x) s << TableNumber(ser.YValues()[next[c]++]);
      }
      s << '\n';
    }
    return s.str();
  }
  s << "gas" << separator << "wavenumber_cm-1" << separator << "value\n";
  for (const auto& [name, ser] : series)
    for (std::size_t i = 0; i < ser->Count(); ++i)
      s << name << separator << TableNumber(ser->XValues()[i]) << separator << TableNumber(ser->YValues()[i])
        << '\n';
  return s.str();
}
