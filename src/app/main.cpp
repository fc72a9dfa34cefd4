// Program entry: registers the data-file types, creates the application and the main window (whose
// construction runs the whole start-up), and runs the message loop until the window is closed.
#include "Form1.h"
#include "zqApplication.h"
#include "zqQtPlatform.h"
#include "zqRegisterTypes.h"

#include <exception>
#include <memory>

int main(int argc, char** argv) {
  RegisterDatafileTypes();
  zqApplication app(argc, argv);
  zqApplication::setApplicationName("Absorbview");
  zqApplication::setApplicationVersion(ABSORBVIEW_VERSION);
  zq::QtPlatform platform(argc, argv);
  zq::InstallPlatform(&platform);

  std::unique_ptr<TForm1> Form1;
  try {
    Form1 = std::make_unique<TForm1>();
  } catch (const std::exception& e) {
    zqApplication::ReportUncaught(std::string("The main window could not be created.\n\n") + e.what());
    return 1;
  }
  platform.SetDialogParent(Form1.get());
  Form1->show();
  int rc = app.exec();
  platform.SetDialogParent(nullptr);
  return rc;
}
