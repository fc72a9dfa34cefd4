// The one door from the Qt-free core to the desktop: message boxes, file/colour/font dialogs, the cursor,
// the beep, termination, and the process's own path and arguments. The application installs a Qt
// implementation; tests install FakePlatform, which answers from a script and records what was shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zq {

enum class MsgIcon { None, Information, Warning, Error, Question };

// Button set of a message box, combined as flags.
enum MsgButton : unsigned {
  mbOK = 1u << 0,
  mbCancel = 1u << 1,
  mbYes = 1u << 2,
  mbNo = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
};

// Answer of a message box: which button was pressed (mrNone when the box was closed otherwise).
enum class ModalResult { None, OK, Cancel, Yes, No, Abort, Retry, Ignore };

enum class CursorKind { Default, HourGlass };

struct FileDialogRequest {
  std::string title;
  std::string filter; // "Text files (*.txt)|*.txt|All Files (*.*)|*.*" as the components write it
  std::string initialDir;
  std::string fileName;   // preset file name
  std::string defaultExt; // without the dot
};

struct FontChoice {
  std::string name;
  int size = 10;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  uint32_t color = 0; // red in the low byte
};

class Platform {
public:
  virtual ~Platform() = default;

  virtual ModalResult MessageBox(const std::string& caption, const std::string& text, unsigned buttons,
                                 MsgIcon icon) = 0;
  // Empty optional when the user cancels.
  virtual std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<uint32_t> ChooseColor(uint32_t initial) = 0;
  virtual std::optional<FontChoice> ChooseFont(const FontChoice& initial) = 0;
  virtual void SetCursor(CursorKind cursor) = 0;
  virtual void Beep() = 0;
  virtual void Terminate() = 0;
  virtual std::string ExecutablePath() = 0;
  virtual std::vector<std::string> Arguments() = 0; // without the program path
  // The desktop's per-user folder for this program's settings (on Linux ~/.config/absorbview), or empty
  // where there is none; the settings go there when the program's own folder cannot be written.
  virtual std::string UserConfigFolder() { return {}; }
};

// The installed platform. Throws std::logic_error when none is installed.
Platform& platform();
// Installs p (not owned) and returns the previous one, so a scope can restore it.
Platform* InstallPlatform(Platform* p);

// Shows the hourglass for the lifetime of the object and restores the default cursor, also when an
// error passes.
class HourGlass {
public:
  HourGlass() { platform().SetCursor(CursorKind::HourGlass); }
  ~HourGlass() { platform().SetCursor(CursorKind::Default); }
  HourGlass(const HourGlass&) = delete;
  HourGlass& operator=(const HourGlass&) = delete;
};

} // namespace zq
