#include "Form1TestSupport.h"

#include "zqHITRAN.h"
#include "zqLineSeries.h"
#include "zqNumberEdit.h"
#include "zqRadioGroup.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace form1test {

namespace {

// The lines of a HITRAN file whose wavenumber lies in the band; read once per file.
const std::string& band_of(const std::filesystem::path& file) {
  static std::map<std::filesystem::path, std::string> cache;
  auto it = cache.find(file);
  if (it != cache.end()) return it->second;
  std::ifstream in(file);
  std::string line, out;
  while (std::getline(in, line)) {
    double nu = std::atof(line.substr(3, 12).c_str());
    if (nu >= BandMin && nu <= BandMax) out += line + "\n";
  }
  return cache[file] = out;
}

void provide(Data data, const std::filesystem::path& source, const std::filesystem::path& target) {
  if (data == Data::Full)
    std::filesystem::copy_file(source, target);
  else if (data == Data::Band)
    zqtest::WriteFile(target, band_of(source));
}

} // namespace

bool HaveHitran() {
  return !zqtest::HitranDir().empty();
}

Harness::Harness(const StartOptions& options) {
  saved_ = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  fake.executablePath = (dir / "absorbview").string();
  fake.arguments = options.args;
  if (options.data == Data::Full || options.data == Data::Band) {
    provide(options.data, zqtest::HitranDir() / "co2_626_hitran.par", co2File());
    provide(options.data, zqtest::HitranDir() / "h2o_161_hitran.par", waterFile());
  }
  if (!options.ini.empty()) zqtest::WriteFile(dir / "absorbview.ini", options.ini);
  form =
      std::make_unique<TForm1>(nullptr, options.data == Data::None ? TFirstRun::Off : TFirstRun::DemoLists);
}

Harness::~Harness() {
  form.reset();
  std::filesystem::current_path(saved_);
}

void Type(TzqNumberEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  if (text.isEmpty())
    QTest::keyClick(edit, Qt::Key_Backspace);
  else
    QTest::keyClicks(edit, text);
}

void Click(TzqRadioGroup* group, int index) {
  QRadioButton* b = group->Button(index);
  QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

std::size_t LinesInRange(const T_zq_HITRAN& list, double lo, double hi) {
  return static_cast<std::size_t>(
      std::count_if(list.Records.begin(), list.Records.end(),
                    [&](const THitranLine& l) { return l.Wavenumber >= lo && l.Wavenumber <= hi; }));
}

bool ShowsWholeText(const QLineEdit& edit) {
  // The text area of a line edit: its contents less the frame and text margins (about 4 px a side).
  return edit.fontMetrics().horizontalAdvance(edit.text()) + 8 <= edit.width();
}

bool AllFinite(const TLineSeries& series) {
  for (double y : series.YValues())
    if (!std::isfinite(y)) return false;
  for (double x : series.XValues())
    if (!std::isfinite(x)) return false;
  return true;
}

} // namespace form1test
