// absorbview-cli: the spectra, absorbed power, blackbody curves and standard atmosphere of the main
// window from the command line, computed by the same model from the same INI file and line lists.
// Plain C++; the program's main only forwards its arguments here.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Exit codes of the command-line tool.
enum TzqCliExit : int {
  zqCliOK = 0,
  zqCliFailed = 1,    // the work could not be done (output not writable, computation refused)
  zqCliUsage = 2,     // unknown subcommand or option, bad or out-of-range number
  zqCliInputFile = 3, // INI file or line file missing or unreadable
};

// Runs one subcommand. args excludes the program name; results go to out (or the --output file),
// messages and progress to err. Returns one of TzqCliExit. Installs its own platform for the
// duration of the call (messages of the core become lines on err) and restores the previous one.
int RunAbsorbviewCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
