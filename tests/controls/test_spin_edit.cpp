// TzqSpinButtons and TzqSpinEdit: placement, clicks and modifiers, auto-repeat, slider drag, keys,
// read-only state and ownership of the spin column.
#include "FakePlatform.h"
#include "zqSpinEdit.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <stdexcept>

namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent ev(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, held, modifiers);
  QApplication::sendEvent(w, &ev);
}

} // namespace

class SpinEditTest : public QObject {
  Q_OBJECT
  zq::FakePlatform platform_;
  QWidget* window_ = nullptr;
  TzqSpinEdit* edit_ = nullptr;

  TzqSpinButtons* buttons() const { return edit_->SpinButtons(); }

private slots:
  void init() {
    window_ = new QWidget;
    window_->resize(400, 200);
    edit_ = new TzqSpinEdit(window_);
    edit_->setObjectName("Temp_K_UIzqSpinEdit");
    edit_->setGeometry(144, 30, 49, 21);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
  }

  void cleanup() { delete window_; }

  void columnSitsBesideTheEdit() {
    QCOMPARE(window_->findChild<TzqSpinButtons*>("zqSpinButtons"), buttons());
    QCOMPARE(buttons()->parentWidget(), window_);
    QCOMPARE(buttons()->geometry(), QRect(196, 30, 13, 21));
    QCOMPARE(buttons()->UpButton()->objectName(), QString("SpinUpButton"));
    QCOMPARE(buttons()->DownButton()->objectName(), QString("SpinDnButton"));
    QCOMPARE(buttons()->Slider()->objectName(), QString("SpinSlider"));
    QCOMPARE(buttons()->UpButton()->geometry(), QRect(0, 0, 13, 9));
    QCOMPARE(buttons()->Slider()->geometry(), QRect(0, 9, 13, 3));
    QCOMPARE(buttons()->DownButton()->geometry(), QRect(0, 12, 13, 9));
    QCOMPARE(buttons()->Slider()->cursor().shape(), Qt::SizeVerCursor);

    edit_->setGeometry(10, 50, 60, 25);
    QCOMPARE(buttons()->geometry(), QRect(73, 50, 13, 25));
    QCOMPARE(buttons()->Slider()->geometry(), QRect(0, 11, 13, 3));
    QCOMPARE(buttons()->DownButton()->geometry(), QRect(0, 14, 13, 11));

    edit_->hide();
    QVERIFY(buttons()->isHidden());
    edit_->show();
    QVERIFY(buttons()->isVisible());
  }

  void clicksStepWithTheModifiers() {
    QTest::mouseClick(buttons()->UpButton(), Qt::LeftButton);
    QCOMPARE(edit_->GetValue(), 1.0);
    QTest::mouseClick(buttons()->UpButton(), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(edit_->GetValue(), 11.0);
    QTest::mouseClick(buttons()->UpButton(), Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(edit_->GetValue(), 111.0);
    QTest::mouseClick(buttons()->UpButton(), Qt::LeftButton, Qt::AltModifier);
    QCOMPARE(edit_->GetValue(), 111.1);
    QTest::mouseClick(buttons()->DownButton(), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(edit_->GetValue(), -888.9);
    QVERIFY(!buttons()->Repeating());
  }

  void holdingAButtonRepeats() {
    QPushButton* up = buttons()->UpButton();
    QTest::mousePress(up, Qt::LeftButton);
    QVERIFY(buttons()->Repeating());
    QCOMPARE(buttons()->CurrentRepeatInterval(), TzqSpinButtons::FirstDelay);
    QCOMPARE(edit_->GetValue(), 0.0);
    buttons()->RepeatTick();
    QCOMPARE(buttons()->CurrentRepeatInterval(), TzqSpinButtons::RepeatInterval);
    QCOMPARE(edit_->GetValue(), 1.0);
    buttons()->RepeatTick();
    QCOMPARE(edit_->GetValue(), 2.0);
    QTest::mouseRelease(up, Qt::LeftButton);
    QVERIFY(!buttons()->Repeating());
    QCOMPARE(edit_->GetValue(), 3.0); // the release clicks once more

    QTest::mousePress(buttons()->DownButton(), Qt::LeftButton);
    buttons()->RepeatTick();
    QTest::mouseRelease(buttons()->DownButton(), Qt::LeftButton);
    QCOMPARE(edit_->GetValue(), 1.0);
  }

  void repeatFollowsTheClock() {
    QPushButton* down = buttons()->DownButton();
    QTest::mousePress(down, Qt::LeftButton);
    QTest::qWait(350);
    QCOMPARE(edit_->GetValue(), 0.0); // nothing before the first delay
    QTRY_VERIFY_WITH_TIMEOUT(edit_->GetValue() <= -3.0, 10000);
    QTest::mouseRelease(down, Qt::LeftButton);
    QVERIFY(!buttons()->Repeating());
    const double released = edit_->GetValue();
    QTest::qWait(300);
    QCOMPARE(edit_->GetValue(), released);
  }

  void failingStepStopsTheRepeat() {
    edit_->OnChange = [](TzqNumberEdit&) { throw std::runtime_error("step failed"); };
    buttons()->StartRepeat();
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, buttons()->RepeatTick());
    QVERIFY(!buttons()->Repeating());
    // A click's failing step reaches the caller once the button has finished its release.
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, QTest::mouseClick(buttons()->UpButton(), Qt::LeftButton));
    QVERIFY(!buttons()->UpButton()->isDown());
    QVERIFY(!buttons()->Repeating());
    edit_->OnChange = nullptr;
    QTest::mouseClick(buttons()->UpButton(), Qt::LeftButton);
    QCOMPARE(edit_->GetValue(), 3.0); // each failed step had written its value before its handler failed
  }

  void sliderDragSteps() {
    QWidget* slider = buttons()->Slider();
    sendMouse(slider, QEvent::MouseButtonPress, {5, 1}, Qt::LeftButton);
    QVERIFY(buttons()->Dragging());
    sendMouse(slider, QEvent::MouseMove, {5, -4}, Qt::LeftButton); // 5 up
    QCOMPARE(edit_->GetValue(), 5.0);
    sendMouse(slider, QEvent::MouseMove, {5, -2}, Qt::LeftButton); // 2 down
    QCOMPARE(edit_->GetValue(), 3.0);
    sendMouse(slider, QEvent::MouseMove, {5, -3}, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(edit_->GetValue(), 13.0);
    sendMouse(slider, QEvent::MouseButtonRelease, {5, -3}, Qt::NoButton);
    QVERIFY(!buttons()->Dragging());
    sendMouse(slider, QEvent::MouseMove, {5, -20}, Qt::NoButton);
    QCOMPARE(edit_->GetValue(), 13.0);
  }

  void arrowKeysStepAndMoveTheFocus() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QPushButton* up = buttons()->UpButton();
    QPushButton* down = buttons()->DownButton();
    up->setFocus();
    QTest::keyClick(up, Qt::Key_Down);
    QCOMPARE(edit_->GetValue(), -1.0);
    QCOMPARE(QApplication::focusWidget(), down);
    QTest::keyClick(down, Qt::Key_Right);
    QCOMPARE(edit_->GetValue(), 0.0);
    QCOMPARE(QApplication::focusWidget(), up);
    QTest::keyClick(up, Qt::Key_Left);
    QCOMPARE(edit_->GetValue(), -1.0);
    buttons()->setFocus();
    QTest::keyClick(buttons(), Qt::Key_Up);
    QCOMPARE(edit_->GetValue(), 0.0);
    QCOMPARE(QApplication::focusWidget(), up);
  }

  void spaceOnAButtonRepeatsUntilReleased() {
    QPushButton* up = buttons()->UpButton();
    up->setFocus();
    QTest::keyPress(up, Qt::Key_Space);
    QVERIFY(buttons()->Repeating());
    QVERIFY(up->isDown());
    buttons()->RepeatTick();
    QTest::keyRelease(up, Qt::Key_Space);
    QVERIFY(!buttons()->Repeating());
    QCOMPARE(edit_->GetValue(), 2.0); // one tick and the click of the release
  }

  void wheelOverTheColumnSteps() {
    QWheelEvent ev(QPointF(3, 3), QPointF(), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(buttons(), &ev);
    QVERIFY(ev.isAccepted());
    QCOMPARE(edit_->GetValue(), 2.0);
  }

  void readOnlyDisablesTheColumn() {
    edit_->SetReadOnly(true);
    QVERIFY(!buttons()->isEnabled());
    QCOMPARE(edit_->BackgroundColor(), edit_->ColorWhenReadOnly());
    edit_->SetReadOnly(false);
    QVERIFY(buttons()->isEnabled());
    edit_->setEnabled(false);
    QVERIFY(!buttons()->isEnabled());
    edit_->setEnabled(true);
    QVERIFY(buttons()->isEnabled());
  }

  void columnLivesAndDiesWithItsEdit() {
    auto* second = new TzqSpinEdit(window_);
    QVERIFY(second->SpinButtons() != buttons());
    QPointer<TzqSpinButtons> column = second->SpinButtons();
    delete second;
    QVERIFY(column.isNull());

    auto* orphan = new TzqSpinEdit;
    QCOMPARE(orphan->SpinButtons()->parentWidget(), orphan);
    orphan->setParent(window_);
    orphan->setGeometry(20, 100, 40, 21);
    orphan->show(); // a hidden widget's moves reach it when it is shown
    QCOMPARE(orphan->SpinButtons()->parentWidget(), window_);
    QCOMPARE(orphan->SpinButtons()->geometry(), QRect(63, 100, 13, 21));
  }
};

QTEST_MAIN(SpinEditTest)
#include "test_spin_edit.moc"
