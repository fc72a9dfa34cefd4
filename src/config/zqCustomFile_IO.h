// TzqCustomFile_IO: one named file that the program reads and writes. It keeps the file's name and folder,
// offers the platform's open/save dialogs, reads into a linked content object or through a read handler,
// writes through a temporary file (keeping a backup when asked), and reports through events.
#pragma once

#include <exception>
#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>

// A plain error carrying the user-facing message ("File not found", the backup messages, I/O failures).
class EzqFileError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Raised by an image content object whose file is not a picture it can read; passed on untouched.
class EzqInvalidPicture : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// What a linked multi-line text control or image control offers the file component. GUI modules adapt
// their widgets to it, so this component never needs a toolkit. An adapter whose widget is destroyed
// unlinks itself with SetLinkedControl(nullptr).
class TzqLinkedContent {
public:
  enum class Kind { Text, Image };
  virtual ~TzqLinkedContent() = default;
  virtual Kind ContentKind() const = 0;
  // Errors are reported by throwing (EzqInvalidPicture for a file that is not a readable picture).
  virtual void LoadFromFile(const std::string& path) = 0;
  virtual void SaveToFile(const std::string& path) = 0;
  // Empties the text, or removes the picture.
  virtual void Clear() = 0;
  virtual bool GetModified() const = 0;
  virtual void SetModified(bool modified) = 0;
  // Dialog filter of all picture formats the image control reads; unused for text.
  virtual std::string PictureFilter() const { return "All Files (*.*)|*.*"; }
};

class TzqCustomFile_IO {
public:
  // The general text-file filter used with a linked text control and as the base of "pas" and "c".
  static constexpr const char* TextFilesFilter =
      "Text Files|*.ini;*.txt;*.log;*.dat;*.cfg|Text Files (*.txt)|*.txt|Ini Files (*.ini)|*.ini|"
      "Log Files (*.log)|*.log|Data Files (*.dat)|*.dat|Config Files (*.cfg)|*.cfg|All Files (*.*)|*.*";

  TzqCustomFile_IO();
  virtual ~TzqCustomFile_IO() = default;
  TzqCustomFile_IO(const TzqCustomFile_IO&) = delete;
  TzqCustomFile_IO& operator=(const TzqCustomFile_IO&) = delete;

  // End of loading: reads the file once when OpenOnLoad is set.
  virtual void Loaded();

  // --- name and folder
  const std::string& Filename() const { return filename_; }
  const std::string& Directory() const { return directory_; }
  // Directory (with a trailing "/" ensured) followed by Filename.
  const std::string& FullFilename() const { return fullFilename_; }
  // A bare name keeps Directory; a name with a folder part also sets Directory.
  virtual void SetFilename(const std::string& name);
  // Takes the folder part (up to and including the last "/"), so "/a/b" means "/a/".
  virtual void SetDirectory(const std::string& dir);

  // --- linked content (not owned)
  TzqLinkedContent* LinkedControl() const { return linked_; }
  virtual void SetLinkedControl(TzqLinkedContent* control);

  // --- properties
  std::string Filter;
  bool OpenOnLoad = false;
  bool AutoOpenDialog = false;
  std::string OpenDialogTitle;
  std::string SaveDialogTitle;
  // Extension of the backup without dot; empty reads as "bak"; "~" turns a.ini into a.~ini.
  std::string BackupExtention;
  bool MakeBackup() const { return makeBackup_; }
  // Switching backups off also empties BackupExtention.
  virtual void SetMakeBackup(bool value);
  virtual std::string GetBackupExtention() const;
  virtual std::string GetFilter() const;
  virtual bool GetModified() const;
  virtual void SetModified(bool value);
  // The file written first; a bare name lies in the target's folder (so the final rename stays on
  // one file system).
  const std::string& TempFilename() const { return tempFilename_; }
  virtual void SetTempFilename(const std::string& name) { tempFilename_ = name; }

  // --- handlers a descendant binds
  std::function<void(TzqCustomFile_IO&, const std::string&)> OpenHandler;
  std::function<void(TzqCustomFile_IO&, const std::string&)> SaveHandler;
  std::function<void(TzqCustomFile_IO&, std::istream&)> ReadHandler;
  std::function<void(TzqCustomFile_IO&, std::ostream&)> WriteHandler;

  // --- operations
  virtual void FileNew();
  virtual void FileOpen();
  virtual void FileSave();
  virtual void FileSaveAs();
  virtual void OpenFile(const std::string& name);
  virtual void ReadFile();
  virtual void WriteFile(const std::string& name);
  // True when the caller may go on (nothing unsaved, or saved, or the user discarded the changes).
  virtual bool QuerySave();

protected:
  // Event dispatch; the published events live in TzqFile_IO_Events so that their sender has the
  // concrete type.
  virtual void RaiseReadComplete() {}
  virtual void RaiseWriteComplete() {}
  // Returns false when no OnNotFound handler is assigned.
  virtual bool RaiseNotFound(const std::string&) { return false; }
  virtual bool DoReadError(const std::string&, const std::exception&) { return false; }
  virtual bool DoWriteError(const std::string&, const std::exception&) { return false; }

  virtual void DoReadComplete();
  virtual void DoWriteComplete();
  // True when reading must be skipped.
  virtual bool FileMissing();
  // The temporary file's full path for a save to FullFilename: a bare TempFilename lies beside the file
  // that FullFilename names through links, so the final rename replaces that file and keeps the link.
  std::string TempPath() const;
  // Backup of FullFilename, then the temporary file takes its name. The file at FullFilename is
  // never removed before the temporary file replaces it, and the old backup stays until the new one
  // takes its name. Through a link, the file it names is saved and backed up beside itself.
  virtual void CommitBackup();
  // The backup name CommitBackup uses for FullFilename (for the file it names through links).
  std::string BackupFilename() const;
  // Temporary file replaces FullFilename, keeping a backup when MakeBackup is set.
  void CommitSave();

private:
  void UpdateFullFilename();
  struct DialogSetup;
  std::string filename_;
  std::string directory_;
  std::string fullFilename_;
  TzqLinkedContent* linked_ = nullptr;
  bool modified_ = false;
  bool makeBackup_ = false;
  std::string tempFilename_;
};

// The published events, typed with the concrete sender (notify pattern, sender first). Error events
// return true when they handled the error.
template <class Self> class TzqFile_IO_Events : public TzqCustomFile_IO {
public:
  std::function<void(Self&)> OnReadComplete;
  std::function<void(Self&)> OnWriteComplete;
  std::function<bool(Self&, const std::string& AFilename, const std::exception& E)> OnReadError;
  std::function<bool(Self&, const std::string& AFilename, const std::exception& E)> OnWriteError;
  std::function<void(Self&, const std::string& AFilename)> OnNotFound;

protected:
  // Each handler is called through a copy, so a handler may detach or replace itself while it runs.
  void RaiseReadComplete() override {
    if (auto handler = OnReadComplete) handler(self());
  }
  void RaiseWriteComplete() override {
    if (auto handler = OnWriteComplete) handler(self());
  }
  bool RaiseNotFound(const std::string& name) override {
    auto handler = OnNotFound;
    if (!handler) return false;
    handler(self(), name);
    return true;
  }
  bool DoReadError(const std::string& name, const std::exception& e) override {
    auto handler = OnReadError;
    return handler ? handler(self(), name, e) : false;
  }
  bool DoWriteError(const std::string& name, const std::exception& e) override {
    auto handler = OnWriteError;
    return handler ? handler(self(), name, e) : false;
  }

private:
  Self& self() { return static_cast<Self&>(*this); }
};

// The plain file component.
class TzqFile_IO : public TzqFile_IO_Events<TzqFile_IO> {};

// Path helpers shared by the configuration module: folder part with its trailing "/", name part, and
// the name with its extension replaced (ext includes the dot; an empty ext removes the extension).
std::string zqExtractFilePath(const std::string& path);
std::string zqExtractFileName(const std::string& path);
std::string zqChangeFileExt(const std::string& path, const std::string& ext);
// The extension of the name part, dot included; empty when there is none.
std::string zqExtractFileExt(const std::string& path);
// A regular file (or anything but a folder) exists at path.
bool zqFileExists(const std::string& path);
// Whole file as bytes; throws EzqFileError naming the file and the system's reason.
std::string zqReadFileBytes(const std::string& path);
// Creates or truncates path, writes bytes and flushes them to the disk; throws EzqFileError.
void zqWriteFileBytes(const std::string& path, std::string_view bytes);
// The file that path names once symbolic links are followed, also when the last link points nowhere;
// path itself when it is no link. Throws EzqFileError for a loop of links.
std::string zqResolveLinks(const std::string& path);
// Creates path, which must not exist yet (a file or link planted under that name is never followed),
// writes bytes and flushes them to the disk. permissions >= 0 sets the permission bits exactly;
// otherwise they follow the process's umask. Throws EzqFileError.
void zqWriteNewFileBytes(const std::string& path, std::string_view bytes, int permissions = -1);
// Permission bits of the file at path (links followed), or -1 when there is none.
int zqFilePermissions(const std::string& path);
// Saves bytes as the new content of target without a moment in which target is missing or half
// written: a temporary file is created exclusively, under an unpredictable name, beside the file that
// target finally names, takes that file's permission bits and replaces it by rename. A link at target
// stays a link. Throws EzqFileError; target is then unchanged and no temporary file remains.
void zqReplaceFileBytes(const std::string& target, std::string_view bytes);
// The same for a text formed piece by piece: produce hands each piece to the writer it is given, and
// at most a buffer's worth (1 MiB) is held in memory. An exception from produce leaves target unchanged.
using zqFileWriter = std::function<void(std::string_view)>;
void zqReplaceFileWith(const std::string& target, const std::function<void(const zqFileWriter&)>& produce);
