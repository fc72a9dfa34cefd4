// File actions over the text-file component: New, Open, Save and Save As bound to one component, Save All
// over every listed component, and Exit. Dialogs and errors reach the user through the platform interface;
// an error never escapes an action into the event loop.
#pragma once

#include <QAction>

#include <vector>

class TzqCustomFile_IO;

// Lists a file component for Save All and for the prompt before Exit while this object lives.
class TzqFileRegistration {
public:
  explicit TzqFileRegistration(TzqCustomFile_IO& file);
  ~TzqFileRegistration();
  TzqFileRegistration(const TzqFileRegistration&) = delete;
  TzqFileRegistration& operator=(const TzqFileRegistration&) = delete;

private:
  TzqCustomFile_IO* file_;
};

// The listed components, in the order they were listed.
std::vector<TzqCustomFile_IO*> zqRegisteredFiles();

// An action that stands for one operation of the component in its zqFile_IO property. It is enabled
// exactly while it has a component; the component must outlive the binding (unbind with nullptr).
class TzqFileAction : public QAction {
  Q_OBJECT
public:
  enum class Operation { New, Open, Save, SaveAs };
  explicit TzqFileAction(Operation operation, QObject* parent = nullptr);

  Operation FileOperation() const { return operation_; }
  TzqCustomFile_IO* zqFile_IO() const { return file_; }
  void SetzqFile_IO(TzqCustomFile_IO* file);

private:
  void Run();
  Operation operation_;
  TzqCustomFile_IO* file_ = nullptr;
};

// Saves every listed component that has unsaved changes (one without a name asks for one). A failure is
// shown and the remaining files are still saved.
void zqFileSaveAll();

// Offers to save each listed component with changes, closes the windows and ends the application. Stops,
// leaving everything open, when the user cancels, a save fails or a window refuses to close.
void zqFileExit();
