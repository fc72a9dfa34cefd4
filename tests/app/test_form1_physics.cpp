// The "Line physics" choice of the T && P page on the demonstration lists: switching to HITRAN gives the
// Spectra Type group its profiles and replots from the cross-sections (the same numbers as
// absorbview-cli --physics hitran), the titles name the physics and unit, the Power page shows the
// band's blackbody power, and switching back restores the classic numbers exactly. The INI key sets
// the physics at start-up.
#include "Form1TestSupport.h"
#include "zqChart.h"
#include "zqCli.h"
#include "zqNumberEdit.h"
#include "zqNumberText.h"
#include "zqRadioGroup.h"
#include "zqSpinEdit.h"

#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <sstream>

using namespace form1test;

namespace {

std::vector<std::vector<std::string>> run_cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunAbsorbviewCli(args, out, err);
  if (code != 0) qWarning("absorbview-cli exit %d: %s", code, err.str().c_str());
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

std::string g12(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.12g", v);
  return text;
}

} // namespace

class Form1PhysicsTest : public QObject {
  Q_OBJECT
  std::unique_ptr<Harness> h;
  TForm1* f = nullptr;

  std::vector<std::vector<double>> plotted() const {
    return {f->WaterSeries->YValues(), f->CO2Series->YValues(), f->CombinedSeries->YValues()};
  }
  QString title() const { return f->Chart1->Title().Lines().join("\n"); }
  QString leftTitle() const { return f->Chart1->LeftAxis().Title().Caption(); }

private slots:
  void init() {
    h = std::make_unique<Harness>(StartOptions{.data = Data::Demo, .ini = "; physics\n"});
    f = h->form.get();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
  }
  void cleanup() { h.reset(); }

  void switchingModesReplotsAndClassicComesBackExactly() {
    QCOMPARE(f->Line_Physics_UIRadioGroup->ItemIndex(), 0);
    Type(f->Wavenumber_Min_UIzqSpinEdit, "600");
    Type(f->Wavenumber_Max_UIzqSpinEdit, "700");
    Type(f->Temp_K_UIzqSpinEdit, "250");
    Type(f->Pressure_UIzqSpinEdit, "500");
    Type(f->CO2_Concentration_UIzqSpinEdit, "400");
    Type(f->Water_Concentration_UIzqSpinEdit, "3000");
    f->Spectra_Type_UIRadioGroup->SetItemIndex(2);
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QVERIFY2(f->StatusText().isEmpty(), qPrintable(f->StatusText()));
    const auto classic = plotted();
    const QString classicTitle = title(), classicLeft = leftTitle();
    QCOMPARE(classic[2].size(), std::size_t(50000));

    f->Line_Physics_UIRadioGroup->SetItemIndex(1);
    QVERIFY2(f->StatusText().isEmpty(), qPrintable(f->StatusText()));
    QCOMPARE(f->Spectra_Type_UIRadioGroup->ItemCount(), 6);
    QCOMPARE(f->Spectra_Type_UIRadioGroup->ItemText(4), QString("Voigt"));
    QCOMPARE(f->Spectra_Type_UIRadioGroup->ItemText(5), QString("Continuum"));
    QCOMPARE(f->Spectra_Type_UIRadioGroup->ItemIndex(), 2); // pressure broadening -> Lorentz
    QVERIFY(plotted() != classic);
    QVERIFY2(title().contains("Lorentz Profile, HITRAN Line Physics"), qPrintable(title()));
    QVERIFY2(leftTitle().contains("Cross-section x 1E20 [cm2/molecule]"), qPrintable(leftTitle()));

    // Voigt, as the CLI computes it: every point of the three series.
    Click(f->Spectra_Type_UIRadioGroup, 4);
    QVERIFY2(title().contains("Voigt"), qPrintable(title()));
    const auto rows = run_cli({"spectrum",  "--ini",      (h->dir / "absorbview.ini").string(),
                               "--physics", "hitran",     "--spectra",
                               "voigt",     "--min",      "600",
                               "--max",     "700",        "--temperature",
                               "250",       "--pressure", "500",
                               "--co2",     "400",        "--h2o",
                               "3000",      "--quiet"});
    QCOMPARE(rows.size(), std::size_t(50001));
    const auto voigt = plotted();
    for (std::size_t i = 0; i < 50000; i += 13)
      for (int s = 0; s < 3; ++s)
        QCOMPARE(rows[i + 1][static_cast<std::size_t>(s) + 1], g12(voigt[static_cast<std::size_t>(s)][i]));

    // Optical depth: the profile stays selectable and named.
    Click(f->Plot_Type_UIRadioGroup, 1);
    QVERIFY(f->Spectra_Type_UIRadioGroup->isEnabled());
    QVERIFY2(leftTitle().contains("Optical Depth"), qPrintable(leftTitle()));
    QVERIFY2(title().contains("Voigt"), qPrintable(title()));

    // The Power page: the band's blackbody power appears beside the absorbed powers.
    Type(f->Wavenumber_Min_2_UIzqSpinEdit, "600");
    Type(f->Wavenumber_Max_2_UIzqSpinEdit, "700");
    QTest::mouseClick(f->L3_UIButton, Qt::LeftButton);
    QVERIFY2(f->StatusText().isEmpty(), qPrintable(f->StatusText()));
    QVERIFY(f->Band_Power_UIzqNumberEdit->Value() > f->Combined_2x_UIzqNumberEdit->Value());
    QVERIFY(f->Combined_1x_UIzqNumberEdit->Value() > 0);

    // Back to classic: the classic group and the classic numbers, bit for bit.
    Click(f->Plot_Type_UIRadioGroup, 0);
    f->Line_Physics_UIRadioGroup->SetItemIndex(0);
    QCOMPARE(f->Spectra_Type_UIRadioGroup->ItemCount(), 4);
    QCOMPARE(f->Spectra_Type_UIRadioGroup->ItemIndex(), 2); // Voigt -> pressure broadening
    QVERIFY(plotted() == classic);
    QCOMPARE(title(), classicTitle);
    QCOMPARE(leftTitle(), classicLeft);
    QTest::mouseClick(f->L3_UIButton, Qt::LeftButton);
    QVERIFY(f->Band_Power_UIzqNumberEdit->text().isEmpty());
  }

  // "[Line Physics] Model" chooses the physics at start-up; a value that is neither is named in a box.
  void iniKeyChoosesThePhysicsAtStartUp() {
    h.reset();
    h = std::make_unique<Harness>(
        StartOptions{.data = Data::Demo, .ini = "[Line Physics]\nModel = HITRAN\n"});
    QCOMPARE(h->form->Line_Physics_UIRadioGroup->ItemIndex(), 1);
    QCOMPARE(h->form->Spectra_Type_UIRadioGroup->ItemCount(), 6);
    QVERIFY(h->fake.messages.empty());
    h.reset();
    h = std::make_unique<Harness>(StartOptions{.data = Data::Demo, .ini = "[Line Physics]\nModel = exact\n"});
    QCOMPARE(h->form->Line_Physics_UIRadioGroup->ItemIndex(), 0);
    QCOMPARE(h->fake.messages.size(), std::size_t(1));
    QVERIFY(h->fake.messages[0].text.find("[Line Physics] Model") != std::string::npos);
  }
};

std::vector<std::unique_ptr<QObject>> MakePhysicsTests() {
  std::vector<std::unique_ptr<QObject>> v;
  v.push_back(std::make_unique<Form1PhysicsTest>());
  return v;
}

#include "test_form1_physics.moc"
