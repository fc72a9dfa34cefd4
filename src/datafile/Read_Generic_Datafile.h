// A plain text file of whitespace-separated columns, plotted one column against another: the data-file
// class for FileType "Generic". Columns are named by the header line's tokens or by their number.
#pragma once

#include "zqDatafile.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The kept lines of a column file: each record is its list of tokens in column order. Tokens are stored
// back to back in one block, so keeping a line costs no allocation of its own.
class TzqColumnRecords {
public:
  void Clear();
  std::size_t Count() const { return record_end_.size(); }
  bool Empty() const { return record_end_.empty(); }
  std::size_t TokenCount(std::size_t record) const;
  // Token column (counting from 0) of a record; empty when the record has no such token.
  std::string_view Token(std::size_t record, std::size_t column) const;
  void Append(const std::vector<std::string_view>& tokens);

private:
  std::string chars_;                   // every token, back to back
  std::vector<std::size_t> token_end_;  // end of each token in chars_
  std::vector<std::size_t> record_end_; // one past each record's last token in token_end_
};

class TzqGeneric_Datafile : public TzqDatafile {
public:
  // Declares "Header" (notrim), "Missing" ("NaN"), "NumberOfColumns" (2) and "First_Line" (0).
  TzqGeneric_Datafile();

  TzqColumnRecords Records;

  // Skips to the line after Header (when set), then FirstLine more lines, and returns the next line. The
  // header line's tokens name columns 1, 2, ...
  std::string_view ReadFirstDataLine() override;
  // Keeps the line when it has exactly NumberOfColumns tokens (split at blank, tab, CR and LF).
  void ProcessLine(std::string_view line) override;
  // seriesType: the y column's number; xType: the x column's name (or its number in decimal).
  void PlotSeries(TLineSeries& series, const std::string& seriesType, const std::string& xType) override;
  bool AppliesPlotAdjustments() const override { return true; }

  void ClearRecords() override { Records.Clear(); }
  std::size_t RecordCount() const override { return Records.Count(); }

private:
  std::vector<std::string_view> tokens_; // reused for every line
  std::string missing_key_;              // reused for every missing-value test
};
