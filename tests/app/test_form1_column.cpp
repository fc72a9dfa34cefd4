// The Column page on the demonstration lists: the window and absorbview-cli give the same fluxes for the
// same inputs, a cancelled run leaves no numbers behind, closing the window during a run waits for it,
// and the Outgoing Radiation plot draws the column's top spectra beside three Planck curves. The
// laboratory: the atmosphere and observer inputs and the settings they make, a run kept as background
// and the differences shown, the export of both runs, and the inputs saved and restored.
#include "Form1TestSupport.h"
#include "Form1_Column.h"
#include "zqAtmosphereTable.h"
#include "zqChart.h"
#include "zqCli.h"
#include "zqHitranPhysics.h"
#include "zqLegendElement.h"
#include "zqNumberEdit.h"
#include "zqNumberText.h"
#include "zqPlanck.h"
#include "zqRadioGroup.h"
#include "zqSeriesTable.h"
#include "zqSpinEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

#include <algorithm>
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

  // A window on the real line lists, shown on the Column page (for the README's pictures).
  bool show_full_column_page() {
    h.reset();
    h = std::make_unique<Harness>(StartOptions{.data = Data::Full});
    f = h->form.get();
    p = f->ColumnPage;
    f->show();
    if (!QTest::qWaitForWindowExposed(f)) return false;
    f->PageControl1->setCurrentWidget(f->UITabSheet_Column);
    return true;
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

  void atmosphereInputsMakeTheSettings() {
    zqsession::TzqStatus status;
    // The standard atmosphere takes the page's surface and humidity; there is no table to scale.
    QVERIFY(!p->SurfaceFromTable->isEnabled());
    QVERIFY(p->SurfaceTemperature->isEnabled() && p->RelativeHumidity->isEnabled());
    QVERIFY(!p->H2OScale->isEnabled());
    p->Atmosphere->setCurrentIndex(p->Atmosphere->findData("tropical"));
    QCOMPARE(p->Atmosphere->currentText().toStdString(), BuiltInAtmosphereCaption("tropical"));
    QVERIFY(!p->RelativeHumidity->isEnabled()); // the table has its water
    QVERIFY(p->H2OScale->isEnabled() && p->SurfaceFromTable->isEnabled());
    QVERIFY(p->SurfaceFromTable->isChecked() && !p->SurfaceTemperature->isEnabled());
    QTest::mouseClick(p->SurfaceFromTable, Qt::LeftButton, {}, QPoint(8, p->SurfaceFromTable->height() / 2));
    QVERIFY(p->SurfaceTemperature->isEnabled());
    // An observer at the top stays there when the top changes (typed key by key).
    Type(p->TopAltitude, "50");
    QCOMPARE(p->ObserverAltitude->text(), QString("50"));
    std::optional<TzqColumnSettings> s = f->ColumnSettingsOfControls(status);
    QVERIFY(s.has_value());
    QVERIFY(!s->ObserverAltitude.has_value());
    Type(p->SurfaceTemperature, "290");
    Type(p->H2OScale, "1.5");
    Type(p->ObserverAltitude, "12");
    p->Look->setCurrentIndex(1);
    s = f->ColumnSettingsOfControls(status);
    QVERIFY2(s.has_value(), qPrintable(QString::fromStdString(status.Headline())));
    QCOMPARE(s->Atmosphere, std::string("tropical"));
    QVERIFY(!s->SurfaceFromTable);
    QCOMPARE(s->SurfaceTemperature, 290.0);
    QCOMPARE(s->H2OScale, 1.5);
    QCOMPARE(s->ObserverAltitude.value_or(-1), 12.0);
    QCOMPARE(s->Look, TzqLook::Up);
    QCOMPARE(s->TopAltitude, 50.0);
    // One below the observer is refused when the column runs, and says why; no run starts.
    Type(p->TopAltitude, "10");
    QCOMPARE(p->ObserverAltitude->text(), QString("12"));
    QTest::mouseClick(p->ComputeButton, Qt::LeftButton);
    QVERIFY(!p->Running());
    QVERIFY2(f->StatusText().contains("Observer altitude"), qPrintable(f->StatusText()));
  }

  // A run kept as background: both runs' figures and their difference, the plot over it and its
  // difference, the brightness temperature, wavelengths, heating rates and the export of both.
  void backgroundRunAndItsDifferences() {
    setInputs("4", "640", "700");
    p->Atmosphere->setCurrentIndex(p->Atmosphere->findData("tropical"));
    Type(p->ObserverAltitude, "20");
    p->Look->setCurrentIndex(1);
    Click(f->Plot_Type_UIRadioGroup, 3); // the plot computes the column with the page's values
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
    QVERIFY2(p->Last.has_value(), qPrintable(f->StatusText()));
    const TzqColumnResult first = *p->Last;
    QCOMPARE(first.States.size(), std::size_t(2));
    // Looking up from 20 km: the downward flux there, not the outgoing one.
    QCOMPARE(f->Chart1->Series(0).YValues(),
             std::vector<double>(first.ObservedSpectrum(0).begin(), first.ObservedSpectrum(0).end()));
    QVERIFY(first.Diagnostics[0].ObservedFlux < first.OLR1x);
    QCOMPARE(p->ObserverFlux1x->text().toStdString(),
             zq::FormatGeneral(first.Diagnostics[0].ObservedFlux, 5));
    QCOMPARE(p->ObserverFluxNx->text().toStdString(),
             zq::FormatGeneral(first.Diagnostics[1].ObservedFlux, 5));
    const auto tropopause = static_cast<std::size_t>(first.Profile.TropopauseLevel);
    QCOMPARE(p->TropopauseAltitude->text().toStdString(),
             zq::FormatGeneral(first.Profile.LevelAltitude[tropopause], 5));
    QCOMPARE(p->TropopausePressure->text().toStdString(), zq::FormatGeneral(first.TropopausePressure, 5));
    QVERIFY(p->AtmosphereCaption->text().contains(QString::fromStdString(first.Profile.Atmosphere)));
    // The surface Planck curve is at the table's ground, not at the page's 285 K.
    QCOMPARE(f->Series_3_zqSpinEdit->Value(), first.Profile.SurfaceTemperature);
    QVERIFY(first.Profile.SurfaceTemperature != 285);

    QVERIFY(p->BackgroundFigures[0]->parentWidget()->isHidden());
    QTest::mouseClick(p->KeepButton, Qt::LeftButton);
    QVERIFY(!p->BackgroundFigures[0]->parentWidget()->isHidden());
    Type(p->CO2, "700");
    QTest::mouseClick(p->ComputeButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
    QVERIFY2(p->Last.has_value(), qPrintable(f->StatusText()));
    const TzqColumnResult& second = *p->Last;
    const double shownNow[] = {second.OLR1x, second.Diagnostics[0].ObservedFlux, second.SurfaceDownwelling1x};
    const double shownThen[] = {first.OLR1x, first.Diagnostics[0].ObservedFlux, first.SurfaceDownwelling1x};
    const TzqNumberEdit* rows[] = {p->OLR1x, p->ObserverFlux1x, p->SurfaceDownwelling1x};
    for (std::size_t k = 0; k < std::size(rows); ++k) {
      const std::size_t i = std::find(p->Figures.begin(), p->Figures.end(), rows[k]) - p->Figures.begin();
      QCOMPARE(p->BackgroundFigures[i]->text().toStdString(), zq::FormatGeneral(shownThen[k], 5));
      QCOMPARE(p->DifferenceFigures[i]->text().toStdString(),
               zq::FormatGeneral(shownNow[k] - shownThen[k], 5));
    }
    QVERIFY(second.Diagnostics[0].ObservedFlux >
            first.Diagnostics[0].ObservedFlux); // more CO2 sends more down
    // The background drawn dimmed beneath, then the difference instead (no Planck curves with it).
    const int bg = p->FirstExtraSeries;
    QVERIFY(bg >= 6);
    QCOMPARE(f->Chart1->Series(bg).YValues(),
             std::vector<double>(first.ObservedSpectrum(0).begin(), first.ObservedSpectrum(0).end()));
    QVERIFY(f->Chart1->Series(bg).SeriesColor() != f->Chart1->Series(0).SeriesColor());
    p->ShowDifference->setChecked(true);
    const std::vector<double>& drawn = f->Chart1->Series(0).YValues();
    QCOMPARE(drawn.size(), second.Wavenumber.size());
    for (std::size_t j = 0; j < drawn.size(); j += 97)
      QCOMPARE(drawn[j], second.ObservedSpectrum(0)[j] - first.ObservedSpectrum(0)[j]);
    QCOMPARE(f->Chart1->Series(3).Count(), std::size_t(0));
    QCOMPARE(f->Chart1->Series(bg).Count(), std::size_t(0));

    // Export: both runs in the quantity shown, every setting of each named.
    p->Quantity->setCurrentIndex(1);
    QCOMPARE(f->Chart1->Series(1).YValues().back(), second.Diagnostics[1].BrightnessTemperature.back() -
                                                        first.Diagnostics[1].BrightnessTemperature.back());
    const std::filesystem::path file = h->dir / "both runs.csv";
    h->fake.saveAnswers.push_back(file.string());
    QTest::mouseClick(p->ExportButton, Qt::LeftButton);
    std::istringstream csv(zqtest::ReadFile(file));
    std::vector<std::string> header, table;
    for (std::string line; std::getline(csv, line);)
      (line.starts_with("#") ? header : table).push_back(line);
    const auto has = [&](const std::string& line) {
      return std::find(header.begin(), header.end(), line) != header.end();
    };
    QVERIFY(has("# current: CO2 = 700") && has("# background: CO2 = 400"));
    QVERIFY(has("# current: Atmosphere = tropical") && has("# current: ObserverAltitude = 20"));
    QVERIFY(has("# quantity: brightness temperature, K"));
    QCOMPARE(table.size(), second.Wavenumber.size() + 1);
    QCOMPARE(table[0], std::string("wavenumber_cm-1,current_1x,current_Nx,background_1x,background_Nx"));
    QCOMPARE(table[1], TableNumber(second.Wavenumber[0]) + "," +
                           TableNumber(second.Diagnostics[0].BrightnessTemperature[0]) + "," +
                           TableNumber(second.Diagnostics[1].BrightnessTemperature[0]) + "," +
                           TableNumber(first.Diagnostics[0].BrightnessTemperature[0]) + "," +
                           TableNumber(first.Diagnostics[1].BrightnessTemperature[0]));

    // Wavelengths on x; the brightness temperature's Planck "curves" are level lines (the difference off).
    p->ShowDifference->setChecked(false);
    p->XUnit->setCurrentIndex(1);
    QCOMPARE(f->Chart1->Series(0).XValues().front(), 1e4 / second.Wavenumber.front());
    for (double t : f->Chart1->Series(3).YValues())
      QCOMPARE(t, first.Profile.SurfaceTemperature);
    // The heating rates: a curve per band inside the column's band, and the total, against altitude.
    p->PlotView->setCurrentIndex(1);
    std::vector<std::string> titles;
    for (int n = bg; n < f->Chart1->SeriesCount(); ++n)
      if (f->Chart1->Series(n).Count() > 0) titles.push_back(f->Chart1->Series(n).Title());
    QCOMPARE(titles,
             (std::vector<std::string>{"550-800 cm-1", "550-800 cm-1, 3x CO2", "Total", "Total, 3x CO2"}));
    const TLineSeries& total = f->Chart1->Series(bg + 5); // after the background's two and the rebalanced
    QCOMPARE(total.XValues(), second.Diagnostics[0].Heating);
    QCOMPARE(total.YValues().front(),
             (second.Profile.LevelAltitude[0] + second.Profile.LevelAltitude[1]) / 2);

    // Another band: overlaid on its own wavenumbers, and no difference (said in the status bar).
    p->PlotView->setCurrentIndex(0);
    p->XUnit->setCurrentIndex(0);
    Type(p->WavenumberMin, "650");
    QTest::mouseClick(p->ComputeButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
    p->ShowDifference->setChecked(true);
    QVERIFY2(f->StatusText().contains("another wavenumber grid"), qPrintable(f->StatusText()));
    QCOMPARE(f->Chart1->Series(bg).XValues(), first.Wavenumber);
    // A refused run leaves no figures of its own, the background's stay.
    Type(p->Layers, "2.5");
    QTest::mouseClick(p->ComputeButton, Qt::LeftButton);
    QVERIFY(p->OLR1x->text().isEmpty() && p->DifferenceFigures[0]->text().isEmpty());
    QCOMPARE(p->BackgroundFigures[0]->text().toStdString(), zq::FormatGeneral(first.OLR1x, 5));
    QTest::mouseClick(p->ClearBackgroundButton, Qt::LeftButton);
    QVERIFY(!p->Background.has_value() && !p->ShowDifference->isChecked());
  }

  // The warming to balance: the warming and hold make the settings; a balance for each hold shows the
  // session's own answer for those settings, then their ratio, and the rebalanced spectrum is drawn; a
  // column of other inputs clears them, and a refused balance says why.
  void warmingToBalance() {
    setInputs("6", "550", "800"); // the band's wings reach the warmed troposphere
    Type(p->Warming, "1.5");
    zqsession::TzqStatus status;
    std::optional<TzqColumnSettings> s = f->ColumnSettingsOfControls(status);
    QVERIFY(s.has_value());
    QCOMPARE(s->Offset, 1.5);
    QCOMPARE(s->Hold, TzqHold::Vapour);
    Click(f->Plot_Type_UIRadioGroup, 3); // computes the column: the warmed multiple is drawn
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
    QCOMPARE(f->Chart1->Series(1).Title(),
             std::string("Top of atmosphere, 3x CO2, warmed 1.5 K (fixed vapour)"));
    QVERIFY(!p->ShowRebalanced->isEnabled());

    // The session's answers for the same settings, on lists of their own.
    zqsession::TzqSession oracle;
    oracle.Water = f->WaterLines;
    oracle.CO2 = f->CO2Lines;
    const zqsession::TBalanceRun vapour = oracle.ComputeBalance(*s, TzqHold::Vapour);
    const zqsession::TBalanceRun rh = oracle.ComputeBalance(*s, TzqHold::RH);
    QVERIFY2(vapour.Balance.Solved && rh.Balance.Solved,
             (vapour.Status.Headline() + " / " + rh.Status.Headline()).c_str());
    const auto shown = [](double v) { return QString::fromStdString(zq::FormatGeneral(v, 5)); };

    QTest::mouseClick(p->BalanceButton, Qt::LeftButton);
    QVERIFY(p->Running() && !p->ComputeButton->isEnabled() && !p->BalanceButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
    QVERIFY2(f->StatusText().isEmpty(), qPrintable(f->StatusText()));
    QCOMPARE(p->Progress->value(), 1000);
    QVERIFY(p->Current && p->Current->Balances.Vapour);
    QCOMPARE(p->Current->Balances.Vapour->Warming, vapour.Balance.Warming);
    QCOMPARE(p->BalanceFigures[0]->text(), shown(vapour.Balance.Warming));
    QCOMPARE(p->BalanceFigures[2]->text(), shown(vapour.Balance.FeedbackParameter));
    for (int i : {1, 3, 4})
      QVERIFY(p->BalanceFigures[i]->text().isEmpty());

    // The other hold (another input: the column is computed again, the first balance stays with it).
    p->Hold->setCurrentIndex(1);
    QTest::mouseClick(p->BalanceButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
    QVERIFY2(f->StatusText().isEmpty(), qPrintable(f->StatusText()));
    QCOMPARE(p->LastSettings.Hold, TzqHold::RH);
    QCOMPARE(p->BalanceFigures[0]->text(), shown(vapour.Balance.Warming));
    QCOMPARE(p->BalanceFigures[1]->text(), shown(rh.Balance.Warming));
    QCOMPARE(p->BalanceFigures[3]->text(), shown(rh.Balance.FeedbackParameter));
    QCOMPARE(p->BalanceFigures[4]->text(), shown(rh.Balance.Warming / vapour.Balance.Warming));
    QVERIFY(rh.Balance.Warming > vapour.Balance.Warming); // more water in a warmer troposphere

    // The rebalanced spectrum is the latest balance's multiple at its warming, as flux and as Tb.
    QVERIFY(p->ShowRebalanced->isEnabled() && p->ShowRebalanced->isChecked());
    const TLineSeries& rebalanced = f->Chart1->Series(p->FirstExtraSeries + 2);
    QCOMPARE(rebalanced.XValues(), rh.Balance.Result.Wavenumber);
    QCOMPARE(rebalanced.YValues(), rh.Balance.Result.ObservedSpectrum(1));
    QVERIFY(f->Chart1->SeriesBeneath(rebalanced) && !f->Chart1->SeriesBeneath(f->Chart1->Series(1)));
    QCOMPARE(rebalanced.Title(), "Top of atmosphere, 3x CO2, warmed " +
                                     zq::FormatGeneral(rh.Balance.Warming, 3) + " K (fixed RH)");
    QVERIFY(f->Chart1->LegendTexts().contains(QString::fromStdString(rebalanced.Title())));
    p->Quantity->setCurrentIndex(1);
    QCOMPARE(rebalanced.YValues(), rh.Balance.Result.Diagnostics[1].BrightnessTemperature);
    p->ShowRebalanced->setChecked(false);
    QCOMPARE(rebalanced.Count(), std::size_t(0));

    // Kept as background, the balance figures stay beside the next run's and their differences.
    QTest::mouseClick(p->KeepButton, Qt::LeftButton);
    QCOMPARE(p->BackgroundBalanceFigures[1]->text(), shown(rh.Balance.Warming));
    // Another CO2 amount: its column has no balance, and none is drawn.
    Type(p->CO2, "500");
    QTest::mouseClick(p->ComputeButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
    QVERIFY(p->Current->Balances.Empty());
    for (std::size_t i = 0; i < p->BalanceFigures.size(); ++i) {
      QVERIFY(p->BalanceFigures[i]->text().isEmpty());
      QVERIFY(p->DifferenceBalanceFigures[i]->text().isEmpty());
    }
    QCOMPARE(p->BackgroundBalanceFigures[4]->text(), shown(rh.Balance.Warming / vapour.Balance.Warming));
    QVERIFY(!p->ShowRebalanced->isEnabled());

    // Looking up there is no outgoing flux to restore: the balance is refused, in the status bar.
    p->Look->setCurrentIndex(1);
    QTest::mouseClick(p->BalanceButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
    QVERIFY2(f->StatusText().contains("look down"), qPrintable(f->StatusText()));
    QVERIFY(p->Current.has_value()); // the column itself was computed
    QVERIFY(p->Current->Balances.Empty() && p->BalanceFigures[0]->text().isEmpty());
    QCOMPARE(p->Progress->value(), 0);
    QVERIFY(p->BalanceButton->isEnabled() && !p->CancelButton->isEnabled());
  }

  void columnInputsComeBackAtTheNextStart() {
    setInputs("4", "640", "700");
    // A profile file under a name with a blank, opened through the dialog; one that cannot serve is said.
    const std::filesystem::path profile = h->dir / "my profile.csv";
    zqtest::WriteFile(profile, std::string(BuiltInAtmosphereCsv("subarctic-winter")));
    zqtest::WriteFile(h->dir / "bad.csv", "z_km,p_mb,T_K\n0,1000,280\n1,1001,275\n");
    h->fake.openAnswers.push_back((h->dir / "bad.csv").string());
    const std::size_t messages = h->fake.messages.size();
    QTest::mouseClick(p->OpenProfileButton, Qt::LeftButton);
    QCOMPARE(h->fake.messages.size(), messages + 1);
    QVERIFY(h->fake.messages.back().text.find("bad.csv") != std::string::npos);
    QCOMPARE(p->Atmosphere->currentIndex(), 0);
    h->fake.openAnswers.push_back(profile.string());
    QTest::mouseClick(p->OpenProfileButton, Qt::LeftButton);
    QVERIFY(h->fake.openRequests.back().filter.starts_with("Profiles (*.csv *.txt)|"));
    QCOMPARE(p->Atmosphere->currentText(), QString("my profile.csv"));
    QCOMPARE(p->Atmosphere->currentData().toString().toStdString(), profile.string());

    QTest::mouseClick(p->SurfaceFromTable, Qt::LeftButton, {}, QPoint(8, p->SurfaceFromTable->height() / 2));
    Type(p->H2OScale, "2.5");
    Type(p->Warming, "-2.5");
    p->Hold->setCurrentIndex(1);
    p->ShowRebalanced->setChecked(false);
    Type(p->TopAltitude, "60");
    Type(p->ObserverAltitude, "8");
    p->Look->setCurrentIndex(1);
    p->Quantity->setCurrentIndex(1);
    p->XUnit->setCurrentIndex(1);
    p->PlotView->setCurrentIndex(1);
    QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs); // the choices drew the column's plot
    f->SaveSettings_UIAction->trigger();
    zqsession::TzqStatus status;
    const std::optional<TzqColumnSettings> saved = f->ColumnSettingsOfControls(status);
    QVERIFY(saved.has_value());
    QVERIFY(saved->Offset == -2.5 && saved->Hold == TzqHold::RH);

    TForm1 next(nullptr, TFirstRun::Off);
    TzqColumnPage& q = *next.ColumnPage;
    QTRY_VERIFY_WITH_TIMEOUT(!q.Running(), kRunTimeoutMs); // it starts on the saved Outgoing Radiation plot
    QVERIFY(next.ColumnSettingsOfControls(status) == saved);
    QCOMPARE(q.Atmosphere->currentText(), QString("my profile.csv"));
    QVERIFY(!q.RelativeHumidity->isEnabled() && q.SurfaceTemperature->isEnabled());
    QCOMPARE(q.QuantityChoice(), zqsession::TColumnQuantity::BrightnessTemperature);
    QCOMPARE(q.XUnitChoice(), zqsession::TColumnXUnit::Wavelength);
    QCOMPARE(q.Look->currentIndex(), 1);
    QVERIFY(!q.ShowRebalanced->isChecked());
    // Started on the heating rates: the blackbodies' right axis is not left standing beside them.
    QVERIFY(q.HeatingShown() && q.PlotShown);
    next.Chart1->Refresh();
    QVERIFY(!next.Chart1->RightAxis().Visible());
  }

  // The README's pictures, drawn only with ABSORBVIEW_DOCS_DIR set (to the docs folder) and the real
  // line lists: a tropical run over a subarctic-winter background, and the tropical heating rates.
  void drawTheLaboratoryPictures() {
    const QString docs = QString::fromLocal8Bit(qgetenv("ABSORBVIEW_DOCS_DIR"));
    if (docs.isEmpty() || !HaveHitran()) QSKIP("only with ABSORBVIEW_DOCS_DIR and the real line lists");
    QVERIFY(show_full_column_page());
    const auto run = [&](const char* atmosphere) {
      p->Atmosphere->setCurrentIndex(p->Atmosphere->findData(atmosphere));
      QTest::mouseClick(p->ComputeButton, Qt::LeftButton);
      QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
      QVERIFY2(p->Last.has_value(), qPrintable(f->StatusText()));
    };
    Type(p->Layers, qEnvironmentVariable("ABSORBVIEW_DOCS_LAYERS", "30"));
    Type(p->WavenumberMin, "0");
    Type(p->WavenumberMax, "2500");
    run("subarctic-winter");
    QTest::mouseClick(p->KeepButton, Qt::LeftButton);
    Click(f->Plot_Type_UIRadioGroup, 3);
    run("tropical");
    auto* scroll = f->findChild<QScrollArea*>("Column_UIScrollArea");
    QVERIFY(scroll);
    scroll->ensureWidgetVisible(f->findChild<QWidget*>("Column_Results_UIGroupBox"), 0, 0);
    QCoreApplication::processEvents();
    QVERIFY(f->grab().save(docs + "/column-laboratory.png"));
    QTest::mouseClick(p->ClearBackgroundButton, Qt::LeftButton);
    p->PlotView->setCurrentIndex(1);
    scroll->ensureWidgetVisible(f->findChild<QWidget*>("Column_Plot_UIGroupBox"), 0, 0);
    QCoreApplication::processEvents();
    QVERIFY(f->grab().save(docs + "/column-heating-rates.png"));
  }

  // The README's picture of the balance, drawn only as the laboratory pictures are: the standard
  // atmosphere's warming to balance for both holds, the fixed-RH one drawn beside 1x and 2x.
  void drawTheBalancePicture() {
    const QString docs = QString::fromLocal8Bit(qgetenv("ABSORBVIEW_DOCS_DIR"));
    if (docs.isEmpty() || !HaveHitran()) QSKIP("only with ABSORBVIEW_DOCS_DIR and the real line lists");
    QVERIFY(show_full_column_page());
    Type(p->Layers, qEnvironmentVariable("ABSORBVIEW_DOCS_LAYERS", "30"));
    Type(p->WavenumberMin, "0");
    Type(p->WavenumberMax, "2500");
    for (int hold : {0, 1}) {
      p->Hold->setCurrentIndex(hold);
      QTest::mouseClick(p->BalanceButton, Qt::LeftButton);
      QTRY_VERIFY_WITH_TIMEOUT(!p->Running(), kRunTimeoutMs);
      QVERIFY2(p->Current && p->Current->Balances.Latest, qPrintable(f->StatusText()));
    }
    Click(f->Plot_Type_UIRadioGroup, 3);
    auto* scroll = f->findChild<QScrollArea*>("Column_UIScrollArea");
    QVERIFY(scroll);
    QCoreApplication::processEvents(); // the figures shown, the page's layout settles
    scroll->ensureWidgetVisible(p->BalanceFigures.back()->parentWidget(), 0, 30);
    QCoreApplication::processEvents();
    QVERIFY(f->grab().save(docs + "/column-balance.png"));
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
