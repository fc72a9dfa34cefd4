// Program entry: the Qt application, the desktop platform, and the main window.
#include "zqQtPlatform.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Absorbview");
  QApplication::setApplicationVersion(ABSORBVIEW_VERSION);
  zq::QtPlatform platform(argc, argv);
  zq::InstallPlatform(&platform);

  QMainWindow window;
  window.setWindowTitle(QString("Absorbview %1").arg(ABSORBVIEW_VERSION));
  window.setCentralWidget(new QLabel(QString("Absorbview %1").arg(ABSORBVIEW_VERSION)));
  window.resize(1200, 800);
  platform.SetDialogParent(&window);
  window.show();
  return app.exec();
}
