#include "zqScreenshot.h"

#include "Form1.h"
#include "Form1_Column.h"
#include "zqChart.h"

#include <QCoreApplication>
#include <QImageWriter>
#include <QPixmap>
#include <QSaveFile>
#include <QThread>

bool SaveWindowScreenshot(TForm1& form, const QString& file, QString& error) {
  if (!form.isVisible()) form.show();
  // Layout and first paint happen in the event loop; a few turns settle them.
  for (int i = 0; i < 5; ++i)
    QCoreApplication::processEvents();
  // A plot waiting for the atmosphere column is taken once the column is drawn.
  while (form.ColumnPage && form.ColumnPage->Running()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(20);
  }
  for (int i = 0; i < 5; ++i)
    QCoreApplication::processEvents();
  form.Chart1->Refresh();
  const QPixmap picture = form.grab();
  if (picture.isNull()) {
    error = "the window could not be captured";
    return false;
  }
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) {
    error = out.errorString();
    return false;
  }
  QImageWriter writer(&out, "png");
  if (!writer.write(picture.toImage())) {
    error = writer.errorString();
    out.cancelWriting();
    return false;
  }
  if (!out.commit()) {
    error = out.errorString();
    return false;
  }
  return true;
}
