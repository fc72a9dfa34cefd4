// The application object: an error that a handler lets escape ends at the event boundary as a message
// box instead of ending the program.
#pragma once

#include <QApplication>

#include <string>

class zqApplication : public QApplication {
  Q_OBJECT
public:
  zqApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // Shows an error that reached the event boundary (caption "Error").
  static void ReportUncaught(const std::string& what);
};
