// TzqNumberEdit: value and text, change handlers, range colours and clamping, typed keys, the wheel.
#include "FakePlatform.h"
#include "zqNumberEdit.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include <stdexcept>

namespace {

// Counts change notifications and remembers the text each one saw.
struct ChangeLog {
  explicit ChangeLog(TzqNumberEdit& e) {
    e.OnChange = [this](TzqNumberEdit& sender) {
      texts << sender.text();
      sender_ = &sender;
    };
  }
  QStringList texts;
  TzqNumberEdit* sender_ = nullptr;
};

void typeText(TzqNumberEdit& e, const QString& s) {
  e.clear();
  QTest::keyClicks(&e, s);
}

// Sends a wheel event and returns whether the edit took it.
bool wheel(TzqNumberEdit& e, QPoint angle, Qt::KeyboardModifiers modifiers) {
  const QPointF pos(5, 5);
  QWheelEvent ev(pos, e.mapToGlobal(pos), QPoint(), angle, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&e, &ev);
  return ev.isAccepted();
}

} // namespace

class NumberEditTest : public QObject {
  Q_OBJECT
  zq::FakePlatform platform_; // refused keys beep through it

private slots:
  void writesWithItsPrecision() {
    TzqNumberEdit e;
    e.SetValue(1.0 / 3);
    QCOMPARE(e.text(), QString("0.33333333"));
    e.SetValue(123456789);
    QCOMPARE(e.text(), QString("1.2345679E8"));
    e.SetPrecision(4);
    QCOMPARE(e.text(), QString("1.2345679E8")); // storing the precision does not reformat
    e.SetValue(12346);
    QCOMPARE(e.text(), QString("1.235E4"));
    e.SetValue(0.000012);
    QCOMPARE(e.text(), QString("0.000012"));
    e.SetValue(0.000001);
    QCOMPARE(e.text(), QString("1E-6"));
    QCOMPARE(e.GetValue(), 0.000001);
  }

  void changeHandlerRunsOnlyWhenTheTextChanges() {
    TzqNumberEdit e;
    ChangeLog log(e);
    e.SetValue(0); // equals the initial LastSetValue
    QVERIFY(e.text().isEmpty());
    QCOMPARE(log.texts.size(), 0);
    e.SetValue(5);
    QCOMPARE(log.texts, QStringList{"5"});
    QCOMPARE(log.sender_, &e);
    e.SetValue(5);
    QCOMPARE(log.texts.size(), 1);
    typeText(e, "7");
    QCOMPARE(log.texts.last(), QString("7"));
    // Code assigning the value it last assigned leaves the typed text standing.
    e.SetValue(5);
    QCOMPARE(e.text(), QString("7"));
    QCOMPARE(e.LastSetValue(), 5.0);
    e.SetValue(5.5);
    QCOMPARE(e.text(), QString("5.5"));
  }

  void failingHandlerErrorReachesTheWriter() {
    TzqNumberEdit e;
    int calls = 0;
    e.OnChange = [&](TzqNumberEdit&) {
      ++calls;
      throw std::runtime_error("handler failed");
    };
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, e.SetValue(5));
    QCOMPARE(e.text(), QString("5"));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, e.SetText("6"));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, QTest::keyClick(&e, '7'));
    QCOMPARE(e.text(), QString("67"));
    QCOMPARE(calls, 3);
    e.OnChange = nullptr;
    e.SetValue(8); // nothing is left held over
    QCOMPARE(e.text(), QString("8"));
  }

  void qtSignalAccompaniesTheHandler() {
    TzqNumberEdit e;
    int emitted = 0;
    QObject::connect(&e, &TzqNumberEdit::changed, [&](TzqNumberEdit* s) {
      QCOMPARE(s, &e);
      ++emitted;
    });
    e.SetValue(3);
    typeText(e, "12");
    QCOMPARE(emitted, 1 + 1 + 2); // SetValue, clear, two keys
  }

  void readsTheDefaultForEmptyOrUnreadableText() {
    TzqNumberEdit e;
    e.SetValueDefault(42);
    QCOMPARE(e.GetValue(), 42.0);
    e.setText("abc");
    QCOMPARE(e.FontColor(), e.ColorOfFont()); // the default lies in the (empty) range
    QCOMPARE(e.GetValue(), 42.0);
    QCOMPARE(e.FontColor(), e.ColorOfErrors());
    e.setText("1,5");
    QCOMPARE(e.GetValue(), 42.0);
    e.setText("  -.5e1");
    QCOMPARE(e.GetValue(), -5.0);
  }

  void colourShowsTheRange() {
    TzqNumberEdit e;
    e.SetValue(-5); // min = max = 0: no range
    QCOMPARE(e.FontColor(), e.ColorOfFont());
    QVERIFY(e.InRange());
    e.SetValueMax(10);
    e.SetValue(20);
    QCOMPARE(e.FontColor(), e.ColorOfErrors());
    QVERIFY(!e.InRange());
    QCOMPARE(e.text(), QString("20")); // shown, not changed, without LimitValue
    typeText(e, "10");
    QCOMPARE(e.FontColor(), e.ColorOfFont());
    e.SetColorOfFont(Qt::darkBlue);
    QCOMPARE(e.FontColor(), QColor(Qt::darkBlue));
  }

  void limitClampsWhenTheValueIsRead() {
    TzqNumberEdit e;
    e.SetValueMax(100);
    e.SetLimitValue(true);
    typeText(e, "150");
    QCOMPARE(e.text(), QString("150"));
    QCOMPARE(e.FontColor(), e.ColorOfErrors());
    QCOMPARE(e.GetValue(), 100.0);
    QCOMPARE(e.text(), QString("100"));
    QCOMPARE(e.FontColor(), e.ColorOfFont());
    e.SetValue(-3);
    QCOMPARE(e.text(), QString("0"));
    QCOMPARE(e.LastSetValue(), 0.0);
  }

  void limitHoldsEvenWhenTheClampedValueWasTheLastOneSet() {
    TzqNumberEdit e;
    e.SetValueMax(100);
    e.SetLimitValue(true);
    e.SetValue(100);
    typeText(e, "150");
    QCOMPARE(e.GetValue(), 100.0);
    QCOMPARE(e.text(), QString("100"));
    QCOMPARE(e.FontColor(), e.ColorOfFont());
  }

  void changeHandlerReadingTheValueEndsItsRecursion() {
    TzqNumberEdit e;
    e.SetValueMax(100);
    e.SetLimitValue(true);
    QList<double> seen;
    e.OnChange = [&](TzqNumberEdit& s) { seen << s.GetValue(); };
    e.SetValue(250);
    QCOMPARE(e.text(), QString("100"));
    QCOMPARE(seen.last(), 100.0);
    QVERIFY(seen.size() <= 3);
  }

  void noClampingWhileLoading() {
    TzqNumberEdit e;
    e.BeginLoading();
    e.SetValueMax(100);
    e.SetLimitValue(true);
    e.SetValue(150);
    QCOMPARE(e.text(), QString("150"));
    e.Loaded();
    QVERIFY(!e.IsLoading());
    QCOMPARE(e.GetValue(), 100.0);
  }

  void loadingReplacesTheOwnNameByTheDefault() {
    TzqNumberEdit named;
    named.setObjectName("Temp_F_UIzqSpinEdit");
    named.setText("Temp_F_UIzqSpinEdit");
    named.SetValueDefault(59);
    named.Loaded();
    QCOMPARE(named.text(), QString("59"));

    TzqNumberEdit zeroDefault;
    zeroDefault.setObjectName("Edit1");
    zeroDefault.setText("Edit1");
    zeroDefault.Loaded(); // SetValue(0) equals LastSetValue: nothing happens
    QCOMPARE(zeroDefault.text(), QString("Edit1"));
  }

  void asIntRoundsHalvesToEven() {
    TzqNumberEdit e;
    e.SetValue(2.5);
    QCOMPARE(e.AsInt(), 2);
    e.SetValue(3.5);
    QCOMPARE(e.AsInt(), 4);
    e.SetAsInt(-7);
    QCOMPARE(e.text(), QString("-7"));
    e.SetAsDouble(1e12);
    QCOMPARE(e.AsInt(), std::numeric_limits<int32_t>::max());
  }

  void filtersTypedKeys() {
    zq::FakePlatform& platform = platform_;
    platform.beeps = 0;
    TzqNumberEdit e;
    QTest::keyClicks(&e, "1d5");
    QCOMPARE(e.text(), QString("1E5"));
    QCOMPARE(platform.beeps, 0);
    QTest::keyClick(&e, 'E');
    QCOMPARE(e.text(), QString("1E5"));
    QCOMPARE(platform.beeps, 1);
    e.setCursorPosition(2);
    QTest::keyClick(&e, '-');
    QCOMPARE(e.text(), QString("1E-5"));
    e.setText("-3");
    e.setCursorPosition(0);
    QTest::keyClick(&e, '5');
    QCOMPARE(e.text(), QString("-3"));
    QCOMPARE(platform.beeps, 2);
    // Selection replaces: the selected point may be typed over by a point.
    e.setText("1.5");
    e.setSelection(1, 1);
    QTest::keyClick(&e, '.');
    QCOMPARE(e.text(), QString("1.5"));
    QTest::keyClick(&e, 'x');
    QCOMPARE(platform.beeps, 3);
    // Editing keys without text pass untouched.
    e.setText("12");
    e.setCursorPosition(0);
    QTest::keyClick(&e, Qt::Key_Delete);
    QCOMPARE(e.text(), QString("2"));
    e.end(false);
    QTest::keyClick(&e, Qt::Key_Backspace);
    QVERIFY(e.text().isEmpty());
    QCOMPARE(platform.beeps, 3);
    // X11 and Wayland give Delete the text "\x7f"; it is still an editing key, even before a sign.
    e.setText("-12");
    e.setCursorPosition(0);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
    QApplication::sendEvent(&e, &del);
    QCOMPARE(e.text(), QString("12"));
    QCOMPARE(platform.beeps, 3);
  }

  void ownerKeyAndMouseHandlers() {
    TzqNumberEdit e;
    QList<int> released;
    int doubleClicks = 0;
    e.OnKeyPress = [](TzqNumberEdit&, char32_t& key) {
      if (key == U'7') key = 0; // the owner drops it
    };
    e.OnKeyUp = [&](TzqNumberEdit& s, int key, Qt::KeyboardModifiers) {
      QCOMPARE(&s, &e);
      released << key;
    };
    e.OnDblClick = [&](TzqNumberEdit&) { ++doubleClicks; };
    QTest::keyClicks(&e, "172");
    QCOMPARE(e.text(), QString("12"));
    QCOMPARE(released, (QList<int>{Qt::Key_1, Qt::Key_7, Qt::Key_2}));
    QTest::mouseDClick(&e, Qt::LeftButton);
    QCOMPARE(doubleClicks, 1);
  }

  void wheelStepsWithModifiers() {
    TzqNumberEdit e;
    e.SetValue(1);
    QVERIFY(wheel(e, {0, 120}, Qt::ControlModifier | Qt::ShiftModifier));
    QCOMPARE(e.GetValue(), 1001.0);
    QVERIFY(wheel(e, {0, -120}, Qt::AltModifier));
    QCOMPARE(e.GetValue(), 1000.9);
    QVERIFY(wheel(e, {120, 0}, Qt::AltModifier)); // Alt may turn the wheel horizontal
    QCOMPARE(e.GetValue(), 1001.0);
    QVERIFY(wheel(e, {0, 240}, Qt::ShiftModifier));
    QCOMPARE(e.GetValue(), 1021.0);
    QVERIFY(wheel(e, {0, 60}, Qt::NoModifier)); // less than a notch: taken, no step
    QCOMPARE(e.GetValue(), 1021.0);
    e.Step(-3, Qt::ControlModifier);
    QCOMPARE(e.GetValue(), 721.0);
  }

  void wheelIgnoredWhenReadOnlyOrDisabled() {
    TzqNumberEdit e;
    e.SetValue(1);
    e.SetReadOnly(true);
    QVERIFY(!wheel(e, {0, 120}, Qt::NoModifier));
    QCOMPARE(e.GetValue(), 1.0);
    e.SetReadOnly(false);
    e.SetDisableMouseWheel(true);
    QVERIFY(!wheel(e, {0, 120}, Qt::NoModifier));
    QCOMPARE(e.GetValue(), 1.0);
  }

  void backgroundFollowsReadOnly() {
    TzqNumberEdit e;
    QCOMPARE(e.BackgroundColor(), e.ColorWhenReadWrite());
    e.SetReadOnly(true);
    QCOMPARE(e.BackgroundColor(), e.ColorWhenReadOnly());
    e.SetColorWhenReadOnly(Qt::yellow);
    QCOMPARE(e.BackgroundColor(), QColor(Qt::yellow));
    e.SetColorWhenReadWrite(Qt::cyan); // stored until the edit is writable
    QCOMPARE(e.BackgroundColor(), QColor(Qt::yellow));
    e.setReadOnly(false); // the plain QLineEdit call works too
    QCOMPARE(e.BackgroundColor(), QColor(Qt::cyan));
  }
};

QTEST_MAIN(NumberEditTest)
#include "test_number_edit.moc"
