// Program entry: registers the data-file types, creates the application and the main window (whose
// construction runs the whole start-up), and runs the message loop until the window is closed. With
// "--screenshot FILE" it writes the window's picture after start-up and ends instead; "--plot" and
// "--spectra" choose the first plot; "--version" and "--help" print before any window system is needed.
#include "Form1.h"
#include "zqApplication.h"
#include "zqQtPlatform.h"
#include "zqRegisterTypes.h"
#include "zqScreenshot.h"
#include "zqStartOptions.h"
#include "zq_LogFiles.h"

#include <QStandardPaths>

#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>

namespace {
std::vector<std::string> arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}
} // namespace

int main(int argc, char** argv) {
  const TStartOptions early = SplitStartOptions(arguments(argc, argv));
  if (early.ShowVersion) {
    std::cout << "absorbview " ABSORBVIEW_VERSION << std::endl;
    return 0;
  }
  if (early.ShowHelp) {
    for (const std::string& line : StartOptionsHelp())
      std::cout << line << '\n';
    std::cout << std::flush;
    return 0;
  }
  RegisterDatafileTypes();
  zqApplication app(argc, argv);
  zqApplication::setApplicationName("Absorbview");
  zqApplication::setApplicationVersion(ABSORBVIEW_VERSION);
  zqApplication::setDesktopFileName("io.github.absorbview.Absorbview");
  // The log files (Log.txt, Errors.txt, Performance_Log.txt) go to the per-user data folder, not into
  // whatever folder the program was started from.
  if (const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
      !folder.isEmpty()) {
    std::error_code error;
    std::filesystem::create_directories(folder.toStdString(), error);
    if (!error) zqlog::InstallLogFolder(folder.toStdString());
  }

  // The program's own options leave the arguments before the INI command line, which would take any
  // switch it does not know for a request for help. Qt has taken its own options out of argv by now.
  const TStartOptions options = SplitStartOptions(arguments(argc, argv));
  if (!options.Error.empty()) {
    std::cerr << "absorbview: " << options.Error << std::endl;
    return 2;
  }
  const bool screenshot = !options.ScreenshotFile.empty();
  zq::QtPlatform platform(options.IniArgs);
  platform.SetUnattended(screenshot);
  zq::InstallPlatform(&platform);

  std::unique_ptr<TForm1> Form1;
  try {
    Form1 = std::make_unique<TForm1>();
  } catch (const std::exception& e) {
    zqApplication::ReportUncaught(std::string("The main window could not be created.\n\n") + e.what());
    return 1;
  }
  platform.SetDialogParent(Form1.get());
  if (const std::string error = Form1->SelectStartPlot(options.Plot, options.Spectra); !error.empty()) {
    std::cerr << "absorbview: " << error << std::endl;
    platform.SetDialogParent(nullptr);
    return 2;
  }
  Form1->show();
  int rc = 0;
  if (screenshot) {
    QString error;
    if (!SaveWindowScreenshot(*Form1, QString::fromStdString(options.ScreenshotFile), error)) {
      std::cerr << "absorbview: the screenshot could not be written to " << options.ScreenshotFile << ": "
                << error.toStdString() << std::endl;
      rc = 1;
    }
  } else {
    rc = app.exec();
  }
  platform.SetDialogParent(nullptr);
  return rc;
}
