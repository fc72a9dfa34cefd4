// Generic column file: reading keeps lines with the expected number of columns; plotting converts the
// chosen columns, skips missing values, and optionally plots the slope between successive samples.
#include "Read_Generic_Datafile.h"

#include "zqLineSeries.h"
#include "zqTextCompare.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace {

bool is_delimiter(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The non-empty runs between blanks, tabs and line breaks; stops once more than max_tokens are found.
void split_columns(std::string_view line, std::vector<std::string_view>& tokens, std::size_t max_tokens) {
  tokens.clear();
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (i < n && tokens.size() <= max_tokens) {
    while (i < n && is_delimiter(line[i]))
      ++i;
    const std::size_t start = i;
    while (i < n && !is_delimiter(line[i]))
      ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
}

// A whole token as a real number ("." decimal point, optional sign and exponent); nullopt when it is not
// one or lies outside the range of a double.
std::optional<double> token_to_real(std::string_view t) {
  const char* orig = t.data();
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (t.empty() || (t.front() == '-' && t.data() != orig)) return std::nullopt;
  double v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return v;
}

// A decimal integer with optional sign and surrounding blanks; -1 when the text is not one.
int32_t text_to_int(std::string_view t) {
  while (!t.empty() && t.front() == ' ')
    t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ')
    t.remove_suffix(1);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  int32_t v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return -1;
  return v;
}

void append_lower(std::string& out, std::string_view text) {
  for (char c : text)
    out += zqAsciiLower(c);
}

} // namespace

void TzqColumnRecords::Clear() {
  chars_.clear();
  token_end_.clear();
  record_end_.clear();
}

std::size_t TzqColumnRecords::TokenCount(std::size_t record) const {
  if (record >= record_end_.size()) return 0;
  return record_end_[record] - (record == 0 ? 0 : record_end_[record - 1]);
}

std::string_view TzqColumnRecords::Token(std::size_t record, std::size_t column) const {
  if (column >= TokenCount(record)) return {};
  const std::size_t k = (record == 0 ? 0 : record_end_[record - 1]) + column;
  const std::size_t start = k == 0 ? 0 : token_end_[k - 1];
  return std::string_view(chars_).substr(start, token_end_[k] - start);
}

void TzqColumnRecords::Append(const std::vector<std::string_view>& tokens) {
  for (std::string_view t : tokens) {
    chars_.append(t);
    token_end_.push_back(chars_.size());
  }
  record_end_.push_back(token_end_.size());
}

TzqGeneric_Datafile::TzqGeneric_Datafile() {
  AddParameter(&Header, "string", "Header", "", 0, "notrim");
  AddParameter(&Missing, "string", "Missing", "NaN", 0);
  AddParameter(&NumberOfColumns, "Integer", "NumberOfColumns", "", 2);
  AddParameter(&FirstLine, "Integer", "First_Line", "", 0);
}

std::string_view TzqGeneric_Datafile::ReadFirstDataLine() {
  std::string_view line;
  if (!Header.empty()) {
    while (ReadLine(line)) {
      if (line != Header) continue;
      ClearColumns();
      split_columns(line, tokens_, std::numeric_limits<std::size_t>::max() - 1);
      for (std::size_t i = 0; i < tokens_.size(); ++i)
        ColumnNames.push_back({std::string(tokens_[i]), static_cast<int32_t>(i + 1)});
      break;
    }
  }
  for (int32_t i = 0; i < FirstLine && ReadLine(line); ++i) {
  }
  if (Eof() || !ReadLine(line)) return {};
  return line;
}

void TzqGeneric_Datafile::ProcessLine(std::string_view line) {
  if (NumberOfColumns < 0) return; // no line has a negative number of tokens
  const auto wanted = static_cast<std::size_t>(NumberOfColumns);
  split_columns(line, tokens_, wanted);
  if (tokens_.size() == wanted) Records.Append(tokens_);
}

void TzqGeneric_Datafile::PlotSeries(TLineSeries& series, const std::string& seriesType,
                                     const std::string& xType) {
  TzqSeriesBatch batch(series);
  TzqDatafile::PlotSeries(series, seriesType, xType);
  if (Records.Empty()) return;
  series.Clear();
  series.SetXOrderNone();

  std::string pattern = ";";
  append_lower(pattern, Missing);
  pattern += ';';

  int32_t xcol = ColumnIndex(xType);
  if (xcol < 0) xcol = text_to_int(xType);
  const int32_t ycol = text_to_int(seriesType);
  const double x_offset = XOffset, y_scale = YScale, y_offset = YOffset;
  if (xcol < 1 || ycol < 1) return;
  if (Records.TokenCount(0) < static_cast<std::size_t>(xcol) ||
      Records.TokenCount(0) < static_cast<std::size_t>(ycol))
    return;

  auto value = [&](std::size_t record, int32_t column) -> std::optional<double> {
    const std::string_view token = Records.Token(record, static_cast<std::size_t>(column - 1));
    if (token.empty()) return std::nullopt;
    missing_key_.assign(1, ';');
    append_lower(missing_key_, token);
    missing_key_ += ';';
    if (pattern.find(missing_key_) != std::string::npos) return std::nullopt;
    return token_to_real(token);
  };

  series.Reserve(Records.Count());
  bool have_previous = false;
  double prev_x = 0, prev_y = 0;
  for (std::size_t r = 0; r < Records.Count(); ++r) {
    const std::optional<double> xv = value(r, xcol);
    const std::optional<double> yv = value(r, ycol);
    if (!xv || !yv) continue;
    double x = *xv, y = *yv;
    // Inf or NaN may reach the series only when the file holds them; never from arithmetic here.
    const bool finite_input = std::isfinite(x) && std::isfinite(y);
    if (XConversion != -1) {
      x = ConvertX(x);
      if (finite_input && !std::isfinite(x)) continue;
    }
    if (!have_previous) {
      have_previous = true;
      prev_x = x;
      prev_y = y;
      if (PlotDerivative) continue;
    } else if (PlotDerivative) {
      if (x == prev_x) continue;
      const double slope = (y - prev_y) / (x - prev_x);
      const double read_x = x;
      if (!DerivativeAtSample) x = (x + prev_x) / 2;
      prev_x = read_x;
      prev_y = y;
      y = slope;
    }
    const double px = x + x_offset;
    const double py = y * y_scale + y_offset;
    if (finite_input && !(std::isfinite(px) && std::isfinite(py))) continue;
    series.AddXY(px, py);
  }
}
