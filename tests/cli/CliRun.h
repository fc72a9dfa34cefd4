// One absorbview-cli run inside the test process: its exit code and what it wrote to stdout and stderr.
#pragma once

#include "zqCli.h"

#include <sstream>
#include <string>
#include <vector>

namespace clitest {

struct CliRun {
  int code = -1;
  std::string out, err;
};

inline CliRun cli(std::vector<std::string> args) {
  std::ostringstream out, err;
  CliRun r;
  r.code = RunAbsorbviewCli(args, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// The numbers of one CSV line.
inline std::vector<double> NumberCells(const std::string& line) {
  std::vector<double> cells;
  std::istringstream in(line);
  for (std::string cell; std::getline(in, cell, ',');)
    cells.push_back(std::stod(cell));
  return cells;
}

} // namespace clitest
