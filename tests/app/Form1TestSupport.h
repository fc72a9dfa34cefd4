// Starting the real main window offscreen for tests: a temporary folder as the current folder and the
// executable's folder, the real line lists copied into it under their default names (or only the lines
// of one wavenumber band, for speed) or the first run's demonstration lists, an optional INI file, and
// the scripted platform.
#pragma once

#include "FakePlatform.h"
#include "Form1.h"
#include "TestSupport.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QLineEdit;
class TzqNumberEdit;
class TzqRadioGroup;
class TLineSeries;
class T_zq_HITRAN;

namespace form1test {

// None: no line lists and no first-run lists (the "File not found" path); Demo: no line lists, so
// start-up writes the demonstration lists; Full and Band: the real lists (first run finds them).
enum class Data { None, Demo, Full, Band };

// Lines of the band kept by Data::Band (cm-1).
constexpr double BandMin = 500;
constexpr double BandMax = 800;

struct StartOptions {
  Data data = Data::Band;
  std::string ini = {};               // bytes of "absorbview.ini" beside the executable; none when empty
  std::vector<std::string> args = {}; // command line (program path excluded)
};

class Harness {
public:
  explicit Harness(const StartOptions& options = {});
  ~Harness();
  Harness(const Harness&) = delete;
  Harness& operator=(const Harness&) = delete;

  zq::FakePlatform fake;
  zqtest::TempDir dir;
  std::unique_ptr<TForm1> form;

  // The files the window reads, in the temporary folder.
  std::filesystem::path co2File() const { return dir / "02_CO2.txt"; }
  std::filesystem::path waterFile() const { return dir / "01_h2o_161_only.txt"; }

private:
  std::filesystem::path saved_;
};

// True when the real line lists are present (tests QSKIP otherwise).
bool HaveHitran();

// Replaces the edit's text by typing, as a user would (select all, then the keys).
void Type(TzqNumberEdit* edit, const QString& text);
// Clicks item index of a radio group with the mouse.
void Click(TzqRadioGroup* group, int index);
// Number of lines of the list with lo <= wavenumber <= hi (cm-1): the points a raw-line plot shows.
std::size_t LinesInRange(const T_zq_HITRAN& list, double lo, double hi);
// The edit is wide enough to show its whole text.
bool ShowsWholeText(const QLineEdit& edit);
// Every y of the series is a finite number.
bool AllFinite(const TLineSeries& series);

} // namespace form1test
