// The Column page on the demonstration lists: the window and absorbview-cli give the same fluxes for the
// same inputs, a cancelled run leaves no numbers behind, closing the window during a run waits for it,
// and the Outgoing Radiation plot draws the column's top spectra beside three Planck curves.
#include "Form1TestSupport.h"
#include "Form1_Column.h"
#include "zqChart.h"
#include "zqCli.h"
#include "zqHitranPhysics.h"
#include "zqLegendElement.h"
#include "zqNumberEdit.h"
#include "zqNumberText.h"
#include "zqPlanck.h"
#include "zqRadioGroup.h"
#include "zqSpinEdit.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <sstream>

using namespace form1test;

namespace {

constexpr int kRunTimeoutMs = 300000; // the machine running the suite may be heavily loaded

// The CLI's "result,W/m2" rows by name.
std::map<std::string, std::string> run_cli_column(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunAbsorbviewCli(args, out, err);
  if (code != 0) qWarning("absorbview-cli exit %d: %s", code, err.str().c_str());
  std::map<std::string, std::string> rows;
  std::istringstream in(out.str());
  for (std::string line; std::getline(in, line);)
    if (const auto comma = line.find(','); comma != std::string::npos)
      rows[line.substr(0, comma)] = line.substr(comma + 1);
  return rows;
}

} // namespace

class Form1ColumnTest : public QObject {
  Q_OBJECT
  std::unique_ptr<Harness> h;
  TForm1* f = nullptr;
  TzqColumnPage* p = nullptr;

  void setInputs(const char* layers, const char* min, const char* max) {
    Type(p->SurfaceTemperature, "285");
    Type(p->RelativeHumidity, "50");
    Type(p->CO2, "400");
    Type(p->CO2Factor, "3");
    Type(p->TopAltitude, "50");
    Type(p->Layers, layers);
    Type(p->WavenumberMin, min);
    Type(p->WavenumberMax, max);
  }
  std::vector<TzqNumberEdit*> results() const {
    return {p->OLR1x,
            p->OLRNx,
            p->ForcingTOA,
            p->ForcingTropopause,
            p->SurfaceDownwelling1x,
            p->SurfaceDownwellingNx,
            p->SurfaceEmission};
  }

private slots:
  void init() {
    h = std::make_unique<Harness>(StartOptions{.data = Data::Demo, .ini = "; column\n"});
    f = h->form.get();
    p = f->ColumnPage;
    QVERIFY(p);
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
  }
  void cleanup() { h.reset(); }

  void windowAndCliGiveTheSameFluxes() {
    setInputs("6", "600", "720");
    QTest::mouseClick(p->ComputeButton, Qt::LeftButton);
    QVERIFY(p->Running());
    QVERIFY(!p->ComputeButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
    QVERIFY2(f->StatusText().isEmpty(), qPrintable(f->StatusText()));
    QVERIFY(p->Last.has_value());
    QCOMPARE(p->Progress->value(), 1000);
    QVERIFY(p->ComputeButton->isEnabled());

    const auto rows = run_cli_column({"column",
                                      "--ini",
                                      (h->dir / "absorbview.ini").string(),
                                      "--surface-temperature",
                                      "285",
                                      "--rh",
                                      "50",
                                      "--co2",
                                      "400",
                                      "--co2-factor",
                                      "3",
                                      "--top",
                                      "50",
                                      "--layers",
                                      "6",
                                      "--min",
                                      "600",
                                      "--max",
                                      "720",
                                      "--quiet"});
    const TzqColumnResult& r = *p->Last;
    const std::pair<const char*, double> expected[] = {{"OLR 1x", r.OLR1x},
                                                       {"OLR 2x", r.OLRNx},
                                                       {"Forcing TOA", r.ForcingTOA},
                                                       {"Forcing tropopause", r.ForcingTropopause},
                                                       {"Surface downwelling 1x", r.SurfaceDownwelling1x},
                                                       {"Surface downwelling 2x", r.SurfaceDownwellingNx},
                                                       {"Surface emission", r.SurfaceEmission}};
    const std::vector<TzqNumberEdit*> edits = results();
    for (std::size_t i = 0; i < std::size(expected); ++i) {
      const auto& [name, value] = expected[i];
      QVERIFY2(rows.count(name), name);
      const double cli = std::stod(rows.at(name));
      // The CLI writes 12 significant digits of the same computation.
      QVERIFY2(std::abs(cli - value) <= 1e-10 * std::abs(value) + 1e-12, name);
      QCOMPARE(edits[i]->text().toStdString(), zq::FormatGeneral(value, edits[i]->Precision()));
    }
    // A CO2 band: tripled CO2 lowers the outgoing flux, and the surface sees more coming down.
    QVERIFY(r.ForcingTOA > 0);
    QVERIFY(r.SurfaceDownwellingNx > r.SurfaceDownwelling1x);
    QCOMPARE(p->LastSettings.CO2Factor, 3.0);
  }

  void cancelLeavesNoNumbers() {
    // A first run fills the results, so a cancelled second one must clear them.
    setInputs("4", "640", "700");
    QTest::mouseClick(p->ComputeButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
    QVERIFY(p->Last.has_value());
    QVERIFY(!p->OLR1x->text().isEmpty());

    setInputs("120", "0", "2500");
    QTest::mouseClick(p->ComputeButton, Qt::LeftButton);
    QVERIFY(p->Running());
    QVERIFY(p->CancelButton->isEnabled());
    QTest::mouseClick(p->CancelButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
    QVERIFY(!p->Last.has_value());
    for (TzqNumberEdit* e : results())
      QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName() + ": " + e->text()));
    QVERIFY(!f->StatusText().isEmpty()); // the cancel is said, not shown as a result
    QCOMPARE(p->Progress->value(), 0);
    QVERIFY(p->ComputeButton->isEnabled());
    QVERIFY(!p->CancelButton->isEnabled());
  }

  void refusalsGoToTheStatusBar() {
    setInputs("2.5", "600", "700");
    QTest::mouseClick(p->ComputeButton, Qt::LeftButton);
    QVERIFY(!p->Running());
    QVERIFY(f->StatusText().contains("whole number"));
    // A run that computed, then a refused one (an empty band): its results go with the old inputs.
    setInputs("4", "640", "700");
    QTest::mouseClick(p->ComputeButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
    QVERIFY(!p->OLR1x->text().isEmpty());
    setInputs("4", "700", "600");
    QTest::mouseClick(p->ComputeButton, Qt::LeftButton);
    QVERIFY(!p->Running());
    QVERIFY(!f->StatusText().isEmpty());
    QVERIFY(!p->Last.has_value());
    for (TzqNumberEdit* e : results())
      QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName() + ": " + e->text()));
  }

  void outgoingRadiationPlot() {
    setInputs("6", "500", "800");
    const QString classicLegend = f->Series_3_UILegend->text();
    const double blackbody2 = f->Series_4_zqSpinEdit->Value();
    // No column yet: choosing the plot computes one with the page's values and draws when it ends.
    Click(f->Plot_Type_UIRadioGroup, 3);
    QVERIFY(p->Running());
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
    QVERIFY2(f->StatusText().isEmpty(), qPrintable(f->StatusText()));
    QVERIFY(p->PlotShown);
    const TzqColumnResult& r = *p->Last;
    QCOMPARE(f->Chart1->Series(0).XValues(), r.Wavenumber);
    QCOMPARE(f->Chart1->Series(0).YValues(), r.OLR1xSpectrum);
    QCOMPARE(f->Chart1->Series(1).YValues(), r.OLRNxSpectrum);
    QCOMPARE(f->Chart1->Series(2).Count(), std::size_t(0));
    const double temperatures[] = {285, 250, 220};
    for (int c = 0; c < 3; ++c) {
      const TLineSeries& planck = f->Chart1->Series(3 + c);
      QVERIFY(planck.Count() > 100);
      const std::size_t k = planck.Count() / 3;
      const double x = planck.XValues()[k];
      QVERIFY(x > 500 && x < 800);
      // pi B(nu, T) in W m-2 per cm-1: about 0.41 at 600 cm-1 and 285 K
      // (pi c1 nu^3 / (exp(c2 nu / T) - 1)).
      QCOMPARE(planck.YValues()[k], zqplanck::Exitance(x, temperatures[c]));
    }
    QVERIFY(std::abs(zqplanck::Exitance(600, 285) - 0.4107) < 0.002);
    // The Blackbody panel shows the plot's Planck temperatures, and the legend names every curve.
    QCOMPARE(f->Series_3_zqSpinEdit->Value(), 285.0);
    QCOMPARE(f->Series_4_zqSpinEdit->Value(), 250.0);
    QCOMPARE(f->Series_5_zqSpinEdit->Value(), 220.0);
    QCOMPARE(f->Chart1->LegendTexts(),
             (QStringList{"Top of atmosphere, 1x CO2", "Top of atmosphere, 3x CO2", "Planck 285 K (surface)",
                          "Planck 250 K", "Planck 220 K"}));
    // Setting a temperature in the panel redraws that curve, not the blackbodies of the other plots.
    const double kelvin = f->Temp_K_UIzqSpinEdit->Value();
    Type(f->Series_4_zqSpinEdit, "230");
    const TLineSeries& second = f->Chart1->Series(4);
    QCOMPARE(second.YValues()[10], zqplanck::Exitance(second.XValues()[10], 230));
    QCOMPARE(f->Chart1->LegendTexts().value(3), QString("Planck 230 K"));
    QCOMPARE(f->Temp_K_UIzqSpinEdit->Value(), kelvin);
    QVERIFY(f->Chart1->LeftAxis().Title().Caption().contains("W m-2 / cm-1"));
    // Nothing leaves the top brighter than the surface (every level is colder), and the CO2 band
    // near 667 cm-1 takes a bite out of it; more CO2 lowers the band's total (its centre, seen from
    // the warmer stratosphere, may rise).
    double bite1x = 0, biteNx = 0, surface = 0;
    for (std::size_t j = 0; j < r.Wavenumber.size(); ++j) {
      const double b = zqplanck::Exitance(r.Wavenumber[j], 285);
      QVERIFY(r.OLR1xSpectrum[j] <= b * (1 + 1e-6));
      if (std::abs(r.Wavenumber[j] - 667) < 10) {
        bite1x += r.OLR1xSpectrum[j];
        biteNx += r.OLRNxSpectrum[j];
        surface += b;
      }
    }
    QVERIFY2(bite1x < 0.8 * surface, qPrintable(QString("%1 of %2").arg(bite1x).arg(surface)));
    QVERIFY(r.OLRNx < r.OLR1x);
    QVERIFY(biteNx > 0);

    // Back to a classic plot: the legends and blackbody curves are the line lists' and blackbodies' again.
    Click(f->Plot_Type_UIRadioGroup, 0);
    QVERIFY(!p->PlotShown);
    QCOMPARE(f->Series_3_UILegend->text(), classicLegend);
    QCOMPARE(f->Series_4_zqSpinEdit->Value(), blackbody2);
    QVERIFY(f->Chart1->Series(0).XValues() != r.Wavenumber);
  }

  // "[Window] Plot Type" chooses the first plot; a text that names none is said and ignored.
  void iniChoosesTheFirstPlot() {
    h.reset();
    h = std::make_unique<Harness>(
        StartOptions{.data = Data::Demo, .ini = "[Window]\nPlot Type = Outgoing Radiation\n"});
    QCOMPARE(h->form->Plot_Type_UIRadioGroup->ItemIndex(), 3);
    QVERIFY(h->form->ColumnPage->Running() || h->form->ColumnPage->Last.has_value());
    QTRY_VERIFY_WITH_TIMEOUT(!h->form->ColumnPage->Running(), kRunTimeoutMs);
    QVERIFY(h->form->ColumnPage->PlotShown);
    QVERIFY(h->fake.messages.empty());
    h.reset();
    h = std::make_unique<Harness>(
        StartOptions{.data = Data::Demo, .ini = "[Window]\nPlot Type = Outgoing\n"});
    QCOMPARE(h->form->Plot_Type_UIRadioGroup->ItemIndex(), 0);
    QCOMPARE(h->fake.messages.size(), std::size_t(1));
    QVERIFY(h->fake.messages[0].text.find("Outgoing") != std::string::npos);
  }

  void closingDuringARunWaitsForIt() {
    setInputs("120", "0", "2500");
    QTest::mouseClick(p->ComputeButton, Qt::LeftButton);
    QVERIFY(p->Running());
    f->close();
    QVERIFY(!p->Running());
    h.reset(); // the window and its page go; nothing of the run may outlive them
  }
};

std::vector<std::unique_ptr<QObject>> MakeColumnTests() {
  std::vector<std::unique_ptr<QObject>> v;
  v.push_back(std::make_unique<Form1ColumnTest>());
  return v;
}

#include "test_form1_column.moc"
