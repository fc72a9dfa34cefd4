// The desktop implementation of the platform interface, on Qt Widgets.
#pragma once

#include "zqPlatform.h"

class QWidget;

namespace zq {

class QtPlatform : public Platform {
public:
  QtPlatform(int argc, char** argv);
  // The arguments as the program passes them on (without the program path).
  explicit QtPlatform(std::vector<std::string> args) : args_(std::move(args)) {}
  // Parent for dialogs and message boxes (the main window once it exists).
  void SetDialogParent(QWidget* parent) { parent_ = parent; }
  // When nobody is there to answer (a screenshot run): message boxes are written to stderr and answered
  // with their first button, and every dialog is cancelled.
  void SetUnattended(bool unattended) { unattended_ = unattended; }

  ModalResult MessageBox(const std::string& caption, const std::string& text, unsigned buttons,
                         MsgIcon icon) override;
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
  std::optional<uint32_t> ChooseColor(uint32_t initial) override;
  std::optional<FontChoice> ChooseFont(const FontChoice& initial) override;
  void SetCursor(CursorKind cursor) override;
  void Beep() override;
  void Terminate() override;
  std::string ExecutablePath() override;
  std::vector<std::string> Arguments() override { return args_; }
  std::string UserConfigFolder() override;

private:
  QWidget* parent_ = nullptr;
  std::vector<std::string> args_;
  bool cursorOverridden_ = false;
  bool unattended_ = false;
};

// "Text (*.txt)|*.txt|All (*.*)|*.*" -> "Text (*.txt);;All (*.*)"
std::string QtFilterFromPipeFilter(const std::string& filter);

} // namespace zq
