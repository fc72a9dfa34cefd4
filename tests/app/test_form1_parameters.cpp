// The coupled parameter controls driven as a user would: temperature scales, nominal layers, planet
// presets, water vapour and humidity, the wavenumber/wavelength pair and the altitude box.
#include "Form1TestSupport.h"
#include "zqChart.h"
#include "zqNumberEdit.h"
#include "zqRadioGroup.h"
#include "zqSpinEdit.h"

#include <QPushButton>
#include <QTest>

#include <cmath>

using namespace form1test;

namespace {

QString text(TzqNumberEdit* e) {
  return e->text();
}

bool finite_text(TzqNumberEdit* e) {
  return !e->text().contains("NAN", Qt::CaseInsensitive) && !e->text().contains("INF", Qt::CaseInsensitive);
}

} // namespace

class Form1ParameterTest : public QObject {
  Q_OBJECT
  std::unique_ptr<Harness> h;
  TForm1* f = nullptr;

private slots:
  // Each case starts from a fresh window without line files: the handlers need no spectra.
  void init() {
    h = std::make_unique<Harness>(StartOptions{.data = Data::None});
    f = h->form.get();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
  }
  void cleanup() { h.reset(); }

  // A text that is no number (1e400 is beyond every real) or an impossible temperature is marked red and
  // explained where it is typed, and never stands for another number.
  void unreadableOrImpossibleValuesAreRefusedWhereTyped() {
    auto refused = [](TzqNumberEdit* e) { return e->FontColor() == e->ColorOfErrors(); };
    Type(f->Pressure_UIzqSpinEdit, "1e400");
    QVERIFY(refused(f->Pressure_UIzqSpinEdit));
    QCOMPARE(f->StatusText(), QString("Pressure: \"1e400\" is not a number"));
    QCOMPARE(f->Pressure_UIzqSpinEdit->toolTip(), f->StatusText());
    QTest::mouseClick(f->Button1, Qt::LeftButton);
    QCOMPARE(f->StatusText(), QString("Not plotted. Pressure: \"1e400\" is not a number"));
    for (const QString& line : f->Chart1->Title().Lines())
      QVERIFY2(!line.contains("1e400"), qPrintable(line));
    Type(f->Pressure_UIzqSpinEdit, "1013");
    QVERIFY(!refused(f->Pressure_UIzqSpinEdit));
    QVERIFY(!f->StatusText().contains("1e400"));

    // An altitude beyond every real shows no layer, not sea level.
    Type(f->Altitude_UIzqSpinEdit, "1e400");
    QVERIFY(refused(f->Altitude_UIzqSpinEdit));
    QVERIFY(f->Pressure2_UIzqNumberEdit->text().isEmpty());
    // A limited field keeps a text pasted into it instead of its limit.
    f->Wavenumber_Min_UIzqSpinEdit->setText("1e400");
    QCOMPARE(f->Wavenumber_Min_UIzqSpinEdit->text(), QString("1e400"));
    QVERIFY(refused(f->Wavenumber_Min_UIzqSpinEdit));
    QCOMPARE(f->StatusText(), QString("Wavenumber Min: \"1e400\" is not a number"));
    Type(f->Wavenumber_Min_UIzqSpinEdit, "0");
    Type(f->Altitude_UIzqSpinEdit, "0");
    QVERIFY(!f->Pressure2_UIzqNumberEdit->text().isEmpty());
    // The start of a number being typed is no refusal.
    Type(f->Pressure_UIzqSpinEdit, "1e");
    QVERIFY(!f->StatusText().contains("not a number"));
    Type(f->Pressure_UIzqSpinEdit, "1013");

    // -10 K is refused in the Kelvin field; the other scales keep the last usable temperature.
    Type(f->Temp_K_UIzqSpinEdit, "-10");
    QCOMPARE(f->StatusText(), QString("Temperature must be above 0 K"));
    QVERIFY(refused(f->Temp_K_UIzqSpinEdit));
    QCOMPARE(text(f->Temp_C_UIzqSpinEdit), QString("15.00"));
    Type(f->Temp_K_UIzqSpinEdit, "300");
    QVERIFY(!refused(f->Temp_K_UIzqSpinEdit));
    QCOMPARE(text(f->Temp_C_UIzqSpinEdit), QString("27.00"));
    QVERIFY(!f->StatusText().contains("above 0 K"));
  }

  void typingCelsiusUpdatesEveryScaleAndThePower() {
    Type(f->Temp_K_UIzqSpinEdit, "300");
    QCOMPARE(text(f->Temp_C_UIzqSpinEdit), QString("27.00"));
    Type(f->Temp_C_UIzqSpinEdit, "15");
    QCOMPARE(text(f->Temp_K_UIzqSpinEdit), QString("288.00"));
    QCOMPARE(text(f->Temp_F_UIzqSpinEdit), QString("59.00"));
    QCOMPARE(text(f->Temp_K_2_UIzqSpinEdit), QString("288.00"));
    QCOMPARE(text(f->Power_UIzqSpinEdit), QString("390.08"));
    QCOMPARE(text(f->Series_3_zqSpinEdit), QString("288")); // the first blackbody curve follows
    Type(f->Temp_F_UIzqSpinEdit, "32");
    QCOMPARE(text(f->Temp_K_UIzqSpinEdit), QString("273.00"));
    QCOMPARE(text(f->Temp_C_UIzqSpinEdit), QString("0.00"));
  }

  void temperatureBeyondTheShownRangeKeepsEveryFieldFinite() {
    for (auto* edit : {f->Temp_K_UIzqSpinEdit, f->Temp_C_UIzqSpinEdit, f->Temp_F_UIzqSpinEdit}) {
      Type(edit, "1E39");
      f->Button1->setFocus(); // leaving the field shows it in the common format again
      for (auto* e : f->findChildren<TzqNumberEdit*>())
        QVERIFY2(finite_text(e), qPrintable(e->objectName() + ": " + e->text()));
    }
  }

  void kelvinOffTheLayerSelectsCustom() {
    QCOMPARE(f->Atmosphere_Layer_UIRadioGroup->ItemIndex(), 7);
    Type(f->Temp_K_UIzqSpinEdit, "300");
    QCOMPARE(f->Atmosphere_Layer_UIRadioGroup->ItemIndex(), 8);
    Click(f->Atmosphere_Layer_UIRadioGroup, 7);
    QCOMPARE(text(f->Temp_K_UIzqSpinEdit), QString("288.00"));
    QCOMPARE(f->Atmosphere_Layer_UIRadioGroup->ItemIndex(), 7);
    Type(f->Pressure_UIzqSpinEdit, "900");
    QCOMPARE(f->Atmosphere_Layer_UIRadioGroup->ItemIndex(), 8);
  }

  void mesopauseSetsItsPressureAndTemperatureAndStaysSelected() {
    Click(f->Atmosphere_Layer_UIRadioGroup, 0);
    QCOMPARE(text(f->Pressure_UIzqSpinEdit), QString("0.003"));
    QCOMPARE(text(f->Temp_C_UIzqSpinEdit), QString("-86.20"));
    QCOMPARE(text(f->Temp_K_UIzqSpinEdit), QString("186.80"));
    QCOMPARE(f->Atmosphere_Layer_UIRadioGroup->ItemIndex(), 0);
    Click(f->Atmosphere_Layer_UIRadioGroup, 4); // Tropopause 2: 226 mb, -70 C
    QCOMPARE(text(f->Pressure_UIzqSpinEdit), QString("226"));
    QCOMPARE(text(f->Temp_C_UIzqSpinEdit), QString("-70.00"));
    QCOMPARE(f->Atmosphere_Layer_UIRadioGroup->ItemIndex(), 4);
  }

  void venusThenEarthPresets() {
    Click(f->Planet_UIRadioGroup, 0);
    QCOMPARE(text(f->Temp_K_UIzqSpinEdit), QString("737.00"));
    QCOMPARE(text(f->Temp_C_UIzqSpinEdit), QString("464.00"));
    QCOMPARE(text(f->Temp_F_UIzqSpinEdit), QString("867.20"));
    QCOMPARE(text(f->Power_UIzqSpinEdit), QString("16728.35"));
    QCOMPARE(text(f->Pressure_UIzqSpinEdit), QString("93196"));
    QCOMPARE(f->Atmosphere_Layer_UIRadioGroup->ItemIndex(), 8);
    QCOMPARE(text(f->alpha_Multiplier_UIzqSpinEdit), QString("200"));
    QCOMPARE(text(f->Wavenumber_Max_UIzqSpinEdit), QString("10000"));
    QCOMPARE(text(f->Wavenumber_Max_2_UIzqSpinEdit), QString("10000"));
    QCOMPARE(text(f->Water_Concentration_UIzqSpinEdit), QString("0"));
    QCOMPARE(text(f->CO2_Concentration_UIzqSpinEdit), QString("965000"));
    QCOMPARE(f->Chart1->RightAxis().Maximum(), 100.0);
    QCOMPARE(f->Chart1->Series(3).XValues().back(), 10000.0); // blackbody curves follow the range

    Click(f->Planet_UIRadioGroup, 1);
    QCOMPARE(text(f->Temp_K_UIzqSpinEdit), QString("288.00"));
    QCOMPARE(text(f->Pressure_UIzqSpinEdit), QString("1013"));
    QCOMPARE(text(f->Water_Concentration_UIzqSpinEdit), QString("10000"));
    QCOMPARE(text(f->CO2_Concentration_UIzqSpinEdit), QString("350"));
    QCOMPARE(text(f->Wavenumber_Max_UIzqSpinEdit), QString("3000"));
    QCOMPARE(f->Chart1->RightAxis().Maximum(), 10.0);
  }

  void waterRatioGroupAndHumidity() {
    QCOMPARE(text(f->RH_UIzqSpinEdit), QString("62.01"));
    QCOMPARE(text(f->Saturated_H2O_UIzqSpinEdit), QString("16125"));
    Click(f->H2O_Mixing_Ratio_UIRadioGroup, 5);
    QCOMPARE(text(f->Water_Concentration_UIzqSpinEdit), QString("500"));
    QCOMPARE(f->H2O_Mixing_Ratio_UIRadioGroup->ItemIndex(), 5);
    QCOMPARE(text(f->RH_UIzqSpinEdit), QString("3.101"));
    Type(f->Water_Concentration_UIzqSpinEdit, "600");
    QCOMPARE(f->H2O_Mixing_Ratio_UIRadioGroup->ItemIndex(), 8);

    Type(f->RH_UIzqSpinEdit, "100");
    QCOMPARE(text(f->Water_Concentration_UIzqSpinEdit), QString("16125.49"));
    // A humidity beyond what the water limit allows: the water edit clamps, the humidity follows it.
    Type(f->Pressure_UIzqSpinEdit, "10");
    Type(f->RH_UIzqSpinEdit, "200");
    QCOMPARE(text(f->Water_Concentration_UIzqSpinEdit), QString("1000000"));
    QVERIFY(f->RH_UIzqSpinEdit->Value() < 200);
  }

  void zeroPressureOrTemperatureLeavesTheHumidityAlone() {
    Type(f->Pressure_UIzqSpinEdit, "0");
    Type(f->Water_Concentration_UIzqSpinEdit, "5000");
    QCOMPARE(text(f->RH_UIzqSpinEdit), QString("62.01"));
    QVERIFY(f->StatusText().contains("Pressure must be above 0 mb"));
    Type(f->Pressure_UIzqSpinEdit, "1013");
    // 0 K is refused where it is typed; the humidity keeps working with the last usable temperature.
    Type(f->Temp_K_UIzqSpinEdit, "0");
    Type(f->RH_UIzqSpinEdit, "50");
    QCOMPARE(text(f->Temp_C_UIzqSpinEdit), QString("15.00"));
    QVERIFY(std::abs(f->Water_Concentration_UIzqSpinEdit->Value() -
                     0.5 * f->Saturated_H2O_UIzqSpinEdit->Value()) < 1);
    QVERIFY(f->StatusText().contains("Temperature must be above 0 K"));
    for (auto* e : f->findChildren<TzqNumberEdit*>())
      QVERIFY2(finite_text(e), qPrintable(e->objectName()));
  }

  void wavenumberAndWavelength() {
    Type(f->Wavenumber_UIzqSpinEdit, "1000");
    QCOMPARE(text(f->Wavelength_UIzqSpinEdit), QString("10000"));
    Type(f->Wavenumber_UIzqSpinEdit, "0");
    QCOMPARE(text(f->Wavelength_UIzqSpinEdit), QString("10000"));
    Type(f->Wavelength_UIzqSpinEdit, "3");
    QCOMPARE(f->Wavenumber_UIzqSpinEdit->Value(), 3333333.3); // 3333333.33 at eight digits
    QCOMPARE(text(f->Wavelength_UIzqSpinEdit), QString("3"));
    // A wavelength so small that the wavenumber leaves the 64-bit range: no inf in either field.
    for (double tiny : {1e-305, 1e-300}) {
      f->Wavelength_UIzqSpinEdit->SetValue(tiny);
      QVERIFY2(finite_text(f->Wavenumber_UIzqSpinEdit), qPrintable(f->Wavenumber_UIzqSpinEdit->text()));
    }
  }

  void altitudeBox() {
    Type(f->Altitude_UIzqSpinEdit, "5");
    QVERIFY(std::abs(f->Pressure2_UIzqNumberEdit->Value() - 539.88) < 0.01);
    QCOMPARE(text(f->Temperature2_UIzqNumberEdit), QString("255.5"));
    QTest::mouseDClick(f->Pressure2_UIzqNumberEdit, Qt::LeftButton);
    QVERIFY(std::abs(f->Pressure_UIzqSpinEdit->Value() - 539.88) < 0.01);
    QCOMPARE(f->Atmosphere_Layer_UIRadioGroup->ItemIndex(), 8);
    QTest::mouseDClick(f->Temperature2_UIzqNumberEdit, Qt::LeftButton);
    QCOMPARE(text(f->Temp_K_2_UIzqSpinEdit), QString("255.50"));
    QCOMPARE(text(f->Temp_K_UIzqSpinEdit), QString("255.50"));

    // An altitude the layers cannot describe (the temperature overflows): nothing is shown.
    Type(f->Altitude_UIzqSpinEdit, "-1E308");
    QVERIFY(f->Pressure2_UIzqNumberEdit->text().isEmpty());
    QVERIFY(f->Temperature2_UIzqNumberEdit->text().isEmpty());
    QVERIFY(!f->StatusText().isEmpty());
    QTest::mouseDClick(f->Pressure2_UIzqNumberEdit, Qt::LeftButton); // nothing to copy
    QVERIFY(std::abs(f->Pressure_UIzqSpinEdit->Value() - 539.88) < 0.01);
  }

  void powerSetsTheTemperature() {
    Type(f->Power_UIzqSpinEdit, "1000");
    QCOMPARE(text(f->Temp_K_UIzqSpinEdit), QString("364.42"));
    Type(f->Power_UIzqSpinEdit, "390.08");
    QCOMPARE(text(f->Temp_K_UIzqSpinEdit), QString("288.00"));
    QCOMPARE(text(f->Power_UIzqSpinEdit), QString("390.08"));
    Type(f->Power_UIzqSpinEdit, "0");
    QCOMPARE(text(f->Temp_K_UIzqSpinEdit), QString("288.00"));
    QVERIFY(f->StatusText().contains("power"));
    Type(f->Temp_K_2_UIzqSpinEdit, "250");
    QCOMPARE(text(f->Temp_C_UIzqSpinEdit), QString("-23.00"));
  }

  void layerWithoutTemperatureChangesNothing() {
    h.reset();
    h = std::make_unique<Harness>(StartOptions{
        .data = Data::None, .ini = "[Atmosphere Layers]\nMesosphere = 0.1 mb\nStratopause = 1 mb 2,5 C\n"});
    f = h->form.get();
    Click(f->Atmosphere_Layer_UIRadioGroup, 1);
    QCOMPARE(text(f->Pressure_UIzqSpinEdit), QString("1013"));
    QCOMPARE(text(f->Temp_K_UIzqSpinEdit), QString("288.00"));
    // A temperature that is not a number: nothing changes and the status bar says why.
    Click(f->Atmosphere_Layer_UIRadioGroup, 2);
    QCOMPARE(text(f->Pressure_UIzqSpinEdit), QString("1013"));
    QCOMPARE(f->StatusText(), QString("Atmosphere layer \"Stratopause\": \"2,5\" is not a number"));
    QCOMPARE(f->Atmosphere_Layer_UIRadioGroup->ItemIndex(), 8);
  }
};

std::vector<std::unique_ptr<QObject>> MakeParameterTests() {
  std::vector<std::unique_ptr<QObject>> v;
  v.push_back(std::make_unique<Form1ParameterTest>());
  return v;
}

#include "test_form1_parameters.moc"
