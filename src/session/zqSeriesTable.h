// The numbers behind a plot as a table of text, the one writer of both front ends: the CLI's CSV output
// and the window's File > Export plotted data (CSV) and Copy data (tab-separated, for a spreadsheet).
// Plain C++.
#pragma once

#include <string>
#include <utility>
#include <vector>

class TLineSeries;

// A number as every table writes it: up to 12 significant digits, "." as separator ("%.12g").
std::string TableNumber(double v);

// Named series in column order.
using TNamedSeries = std::vector<std::pair<std::string, const TLineSeries*>>;

// Grid plots: a header "wavenumber_cm-1" and the names, then one row per wavenumber of any series, one
// column per series; a point a series lacks is an empty cell, so the layout never depends on the values.
// Line plots (linePlot): the long layout, a header "gas,wavenumber_cm-1,value" and one row per line and
// gas. Cells are parted by separator; rows end with "\n". comments (whole "# ..." lines, as
// zqsession::ContinuumCommentLines gives) open the table when not empty.
std::string SeriesTableText(const TNamedSeries& series, bool linePlot, char separator = ',',
                            const std::string& comments = {});
