// The window and absorbview-cli drive one session: for the same controls they give the same spectra
// (every point of the three series) and the same Power page, on the demonstration lists the first run
// writes, so no outside data is needed. Also the CO2 default both take from "[CO2] ppmv", and (with
// AER's continuum file) the "Continuum" spectra type from the file both take from "[Continuum] File".
#include "Form1TestSupport.h"
#include "TestSupport.h"
#include "zqChart.h"
#include "zqCli.h"
#include "zqNumberEdit.h"
#include "zqNumberText.h"
#include "zqRadioGroup.h"
#include "zqSpinEdit.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <sstream>

using namespace form1test;

namespace {

std::vector<std::vector<std::string>> run_cli(const std::vector<std::string>& args,
                                              std::string* err = nullptr) {
  std::ostringstream out, errs;
  const int code = RunAbsorbviewCli(args, out, errs);
  if (err) *err = errs.str();
  if (code != 0) qWarning("absorbview-cli exit %d: %s", code, errs.str().c_str());
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(out.str());
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> cells;
    std::istringstream cellsIn(line);
    for (std::string cell; std::getline(cellsIn, cell, ',');)
      cells.push_back(cell);
    rows.push_back(cells);
  }
  return rows;
}

// The CLI's number format.
std::string g12(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.12g", v);
  return text;
}

const char* kIni = "; window and command line\n";

} // namespace

class Form1CliTest : public QObject {
  Q_OBJECT
  std::unique_ptr<Harness> h;
  TForm1* f = nullptr;

  // The General page's controls as the CLI options below give them.
  void setControls(int plot, int spectra, int scaling) {
    Type(f->Wavenumber_Min_UIzqSpinEdit, "600");
    Type(f->Wavenumber_Max_UIzqSpinEdit, "700");
    Type(f->Temp_K_UIzqSpinEdit, "250");
    Type(f->Pressure_UIzqSpinEdit, "500");
    Type(f->CO2_Concentration_UIzqSpinEdit, "400");
    Type(f->Water_Concentration_UIzqSpinEdit, "3000");
    f->Plot_Type_UIRadioGroup->SetItemIndex(plot);
    f->Spectra_Type_UIRadioGroup->SetItemIndex(spectra);
    f->Scaling_UIRadioGroup->SetItemIndex(scaling);
  }
  std::vector<std::string> cliArgs(const char* command) const {
    return {command,      "--ini",         (h->dir / "absorbview.ini").string(),
            "--min",      "600",           "--max",
            "700",        "--temperature", "250",
            "--pressure", "500",           "--co2",
            "400",        "--h2o",         "3000",
            "--quiet"};
  }

private slots:
  void init() {
    h = std::make_unique<Harness>(StartOptions{.data = Data::Demo, .ini = kIni});
    f = h->form.get();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
  }
  void cleanup() { h.reset(); }

  void spectraAreTheSameNumbers() {
    struct Case {
      int plot, spectra, scaling;
      const char *cliPlot, *cliSpectra, *cliScaling;
    };
    for (const Case& c :
         {Case{0, 2, 0, "Spectra", "pressure", "raw"}, Case{0, 3, 1, "Spectra", "doppler", "Mixing Ratio"},
          Case{1, 2, 0, "Optical Depth", "pressure", "raw"}, Case{2, 2, 0, "Mean Path", "pressure", "raw"}}) {
      setControls(c.plot, c.spectra, c.scaling);
      QTest::mouseClick(f->Button1, Qt::LeftButton);
      QVERIFY2(f->StatusText().isEmpty(), qPrintable(f->StatusText()));
      auto args = cliArgs("spectrum");
      args.insert(args.end(), {"--plot", c.cliPlot, "--spectra", c.cliSpectra, "--scaling", c.cliScaling});
      const auto rows = run_cli(args);
      const TLineSeries* series[] = {f->WaterSeries, f->CO2Series, f->CombinedSeries};
      QCOMPARE(rows.size(), series[0]->Count() + 1);
      QCOMPARE(rows.size(), std::size_t(50001));
      for (std::size_t i = 0; i < series[0]->Count(); ++i) {
        QCOMPARE(rows[i + 1][0], g12(series[0]->XValues()[i]));
        for (int s = 0; s < 3; ++s)
          if (rows[i + 1][s + 1] != g12(series[s]->YValues()[i]))
            QFAIL(qPrintable(QString("%1: series %2, point %3: CLI %4, window %5")
                                 .arg(c.cliPlot)
                                 .arg(s)
                                 .arg(i)
                                 .arg(QString::fromStdString(rows[i + 1][s + 1]))
                                 .arg(QString::fromStdString(g12(series[s]->YValues()[i])))));
      }
    }
  }

  void powerPageIsTheSameNumbers() {
    setControls(0, 2, 0);
    Type(f->Wavenumber_Min_2_UIzqSpinEdit, "600");
    Type(f->Wavenumber_Max_2_UIzqSpinEdit, "700");
    QTest::mouseClick(f->L3_UIButton, Qt::LeftButton);
    QVERIFY2(f->StatusText().isEmpty(), qPrintable(f->StatusText()));
    auto args = cliArgs("power");
    args.insert(args.end(), {"--spectra", "pressure", "--path", "1000"});
    const auto rows = run_cli(args);
    QCOMPARE(rows.size(), std::size_t(9));
    const std::pair<const char*, TzqNumberEdit*> results[] = {{"CO2 1x", f->CO2_bb_1x_UIEdit},
                                                              {"CO2 2x", f->CO2_bb_2x_UIEdit},
                                                              {"H2O 1x", f->H2O_bb_1x_UIEdit},
                                                              {"Sum 1x", f->Total_bb_1x_UIEdit},
                                                              {"Sum 2x", f->Total_bb_2x_UIEdit},
                                                              {"Combined 1x", f->Combined_1x_UIzqNumberEdit},
                                                              {"Combined 2x", f->Combined_2x_UIzqNumberEdit}};
    for (const auto& [name, edit] : results) {
      const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r[0] == name; });
      QVERIFY2(row != rows.end(), name);
      // The field shows the value at its own precision; the CLI's value written the same way is its text.
      const double v = std::stod((*row)[1]);
      QVERIFY(v > 0);
      QCOMPARE(edit->text().toStdString(), zq::FormatGeneral(v, edit->Precision()));
    }
  }

  // The continuum alone from the file of "[Continuum] File": the same numbers in the window and the CLI.
  void continuumTypeIsTheSameNumbers() {
    if (zqtest::ContinuumFile().empty())
      QSKIP("Continuum file not found beside the project (../shared/data/continuum/absco-ref_wv-mt-ckd.nc)");
    h.reset();
    h = std::make_unique<Harness>(StartOptions{.data = Data::Demo,
                                               .ini = "[Line Physics]\nModel = HITRAN\n[Continuum]\nFile = " +
                                                      zqtest::ContinuumFile().string() + "\n"});
    f = h->form.get();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    QVERIFY(f->Continuum_UICheckBox->isEnabled() && f->Continuum_UICheckBox->isChecked());
    const auto items = SpectraTypeItems(TLinePhysics::Hitran);
    const int continuum =
        static_cast<int>(std::find(items.begin(), items.end(), TSpectraType::Continuum) - items.begin());
    setControls(0, continuum, 0);
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QVERIFY2(f->StatusText().isEmpty(), qPrintable(f->StatusText()));
    auto args = cliArgs("spectrum");
    args.insert(args.end(), {"--spectra", "continuum"});
    const auto rows = run_cli(args);
    // The acknowledgement's lines, the header, then one row per point of the window's series.
    QVERIFY(rows.size() > 2 && rows[0][0].rfind("# ", 0) == 0);
    const std::size_t first = rows.size() - f->WaterSeries->Count();
    QCOMPARE(rows[first - 1][0], std::string("wavenumber_cm-1"));
    const TLineSeries* series[] = {f->WaterSeries, f->CO2Series, f->CombinedSeries};
    QVERIFY(series[0]->YValues()[25000] > 0);
    for (std::size_t i = 0; i < series[0]->Count(); ++i)
      for (int s = 0; s < 3; ++s)
        if (rows[first + i][s + 1] != g12(series[s]->YValues()[i]))
          QFAIL(qPrintable(QString("series %1, point %2").arg(s).arg(i)));
    // Unticked, the window refuses the type, as the CLI does with --continuum off.
    f->Continuum_UICheckBox->click();
    QVERIFY(!f->Continuum_UICheckBox->isChecked());
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QVERIFY2(f->StatusText().contains("Continuum spectra type"), qPrintable(f->StatusText()));
  }

  // Both front ends start from "[CO2] ppmv" and refuse, by its name, a value that is no mixing ratio.
  void co2DefaultComesFromTheIniFile() {
    h.reset();
    h = std::make_unique<Harness>(StartOptions{.data = Data::Demo, .ini = "[CO2]\nppmv = 400\n"});
    QCOMPARE(h->form->CO2_Concentration_UIzqSpinEdit->text(), QString("400"));
    QVERIFY(h->fake.messages.empty());
    h.reset();
    h = std::make_unique<Harness>(StartOptions{.data = Data::Demo, .ini = "[CO2]\nppmv = 1e400\n"});
    QCOMPARE(h->form->CO2_Concentration_UIzqSpinEdit->text(), QString("350"));
    QCOMPARE(h->fake.messages.size(), std::size_t(1));
    QVERIFY(h->fake.messages[0].text.find("[CO2] ppmv") != std::string::npos);
    std::string err;
    run_cli({"spectrum", "--ini", (h->dir / "absorbview.ini").string(), "--quiet"}, &err);
    QVERIFY2(err.find("[CO2] ppmv") != std::string::npos, err.c_str());
  }
};

std::vector<std::unique_ptr<QObject>> MakeCliTests() {
  std::vector<std::unique_ptr<QObject>> v;
  v.push_back(std::make_unique<Form1CliTest>());
  return v;
}

#include "test_form1_cli.moc"
