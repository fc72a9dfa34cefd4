// Scripted stand-in for the desktop: answers dialogs from queues and records every message, cursor
// change, beep and termination request, so tests can check what a user would have seen.
#pragma once

#include "zqPlatform.h"

#include <deque>
#include <string>
#include <vector>

namespace zq {

struct ShownMessage {
  std::string caption;
  std::string text;
  unsigned buttons = 0;
  MsgIcon icon = MsgIcon::None;
};

class FakePlatform : public Platform {
public:
  // Installs itself on construction and restores the previous platform on destruction.
  FakePlatform();
  ~FakePlatform() override;

  // Scripted answers, consumed in order. With an empty queue a message box answers OK (or the first
  // button it has) and a dialog is cancelled.
  std::deque<ModalResult> messageAnswers;
  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  std::deque<std::optional<uint32_t>> colorAnswers;
  std::deque<std::optional<FontChoice>> fontAnswers;

  // What happened.
  std::vector<ShownMessage> messages;
  std::vector<FileDialogRequest> openRequests;
  std::vector<FileDialogRequest> saveRequests;
  std::vector<uint32_t> colorRequests; // initial colour of each colour dialog
  std::vector<CursorKind> cursors;
  int beeps = 0;
  int terminateRequests = 0;

  std::string executablePath = "/opt/absorbview/absorbview";
  std::vector<std::string> arguments;
  std::string userConfigFolder; // empty: no per-user settings folder

  ModalResult MessageBox(const std::string& caption, const std::string& text, unsigned buttons,
                         MsgIcon icon) override;
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
  std::optional<uint32_t> ChooseColor(uint32_t initial) override;
  std::optional<FontChoice> ChooseFont(const FontChoice& initial) override;
  void SetCursor(CursorKind cursor) override { cursors.push_back(cursor); }
  void Beep() override { ++beeps; }
  void Terminate() override { ++terminateRequests; }
  std::string ExecutablePath() override { return executablePath; }
  std::vector<std::string> Arguments() override { return arguments; }
  std::string UserConfigFolder() override { return userConfigFolder; }

private:
  Platform* previous_ = nullptr;
};

} // namespace zq
