#include "zqApplication.h"

#include "zqPlatform.h"

#include <exception>

zqApplication::zqApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool zqApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ReportUncaught(e.what());
  } catch (...) {
    ReportUncaught("An unknown error occurred.");
  }
  return false;
}

void zqApplication::ReportUncaught(const std::string& what) {
  zq::platform().SetCursor(zq::CursorKind::Default);
  zq::platform().MessageBox("Error", what, zq::mbOK, zq::MsgIcon::Error);
}
