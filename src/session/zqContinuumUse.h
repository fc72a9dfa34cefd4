// The water-vapour continuum (MT_CKD, zqContinuum.h) as the session uses it: where its file comes from
// ("[Continuum] File" of the INI file, else the published name beside the water line list), whether a
// computation uses it, and the acknowledgement of AER and citation that every result computed with it
// carries (the About box, the "#" lines of every CSV table). Plain C++.
#pragma once

#include <string>
#include <vector>

class TzqINI_File;

namespace zqsession {

struct TControls;

inline constexpr const char* kContinuumSection = "Continuum";
inline constexpr const char* kContinuumKey = "File";
// The name AER publishes the coefficient file under (AER-RC/MT_CKD_H2O, data/, release 4.3).
inline constexpr const char* kContinuumFileName = "absco-ref_wv-mt-ckd.nc";

// "[Continuum] File" of the INI file (a relative name taken in the INI file's folder); empty when absent.
std::string IniContinuumFile(const TzqINI_File& ini);
void WriteContinuumFile(TzqINI_File& ini, const std::string& file);
// The file start-up reads: the INI file's when it names one, else kContinuumFileName in the folder of
// the water line list's file when it is there, else none (empty).
std::string StartupContinuumFile(const TzqINI_File& ini, const std::string& waterLineFile);

// Whether the plots, paths and Power table of these controls add the continuum: the HITRAN physics,
// the switch on and a table loaded. (The column, always of HITRAN lines, needs the switch and a table.)
bool ContinuumUsed(const TControls& controls, bool tableLoaded);
// Whether the numbers of the plot (or Power table) of these controls include it: used, and neither the
// Doppler profile nor a plot of the lines as read. What their tables acknowledge.
bool ContinuumInResults(const TControls& controls, bool tableLoaded);

// What Help > How to get the continuum says: where AER publishes the file, its licence in a sentence
// (why the program does not ship it), where to put it.
std::string ContinuumInstructions();

// The acknowledgement of AER and the citation of MT_CKD, one sentence a line, without comment marks.
std::vector<std::string> ContinuumAcknowledgement();
// The same as the "#" lines that open a CSV table ("# " + line + "\n" each).
std::string ContinuumCommentLines();

} // namespace zqsession
