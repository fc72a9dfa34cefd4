// The file component: names, dialogs, reading with not-found handling, and saving through a temporary
// file so that the file on disk is replaced only by a completely written new version.
#include "zqCustomFile_IO.h"

#include "zqPlatform.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <typeinfo>
#include <unistd.h>

namespace {

std::string system_reason() {
  return std::strerror(errno);
}

zq::FileDialogRequest dialog_request(const TzqCustomFile_IO& file, const std::string& title,
                                     const std::string& name) {
  zq::FileDialogRequest request;
  request.title = title;
  request.filter = file.GetFilter();
  request.initialDir = file.Directory();
  request.fileName = name;
  return request;
}

bool path_present(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The backup as a second name of the existing file, or a copy where the file system has no hard links.
bool make_backup(const std::string& file, const std::string& backup) {
  if (::link(file.c_str(), backup.c_str()) == 0) return true;
  try {
    zqWriteFileBytes(backup, zqReadFileBytes(file));
    return true;
  } catch (const EzqFileError&) {
    ::unlink(backup.c_str());
    return false;
  }
}

} // namespace

// ---- path helpers

std::string zqExtractFilePath(const std::string& path) {
  auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string zqExtractFileName(const std::string& path) {
  auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string zqExtractFileExt(const std::string& path) {
  std::string name = zqExtractFileName(path);
  auto dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string zqChangeFileExt(const std::string& path, const std::string& ext) {
  std::string folder = zqExtractFilePath(path);
  std::string name = zqExtractFileName(path);
  auto dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return folder + name + ext;
}

bool zqFileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string zqReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EzqFileError("Cannot open file \"" + path + "\": " + system_reason());
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) throw EzqFileError("Cannot read file \"" + path + "\"");
  return bytes.str();
}

void zqWriteFileBytes(const std::string& path, std::string_view bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw EzqFileError("Cannot create file \"" + path + "\": " + system_reason());
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      std::string reason = system_reason();
      ::close(fd);
      throw EzqFileError("Cannot write file \"" + path + "\": " + reason);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  // The new version must be on the disk before it replaces the old one by rename.
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    std::string reason = system_reason();
    ::close(fd);
    throw EzqFileError("Cannot write file \"" + path + "\": " + reason);
  }
}

// ---- TzqCustomFile_IO

TzqCustomFile_IO::TzqCustomFile_IO() : tempFilename_("zqFile_IO.tempfile") {
  try {
    directory_ = zqExtractFilePath(zq::platform().ExecutablePath());
  } catch (const std::logic_error&) {
    // No platform (a fuzzer or a tool): files resolve against the current folder.
  }
  UpdateFullFilename();
}

void TzqCustomFile_IO::Loaded() {
  if (!OpenOnLoad) return;
  OpenOnLoad = false;
  ReadFile();
}

void TzqCustomFile_IO::UpdateFullFilename() {
  // An empty folder means the current folder, not the root.
  if (directory_.empty())
    fullFilename_ = filename_;
  else
    fullFilename_ = directory_ + (directory_.back() == '/' ? "" : "/") + filename_;
}

void TzqCustomFile_IO::SetFilename(const std::string& name) {
  filename_ = zqExtractFileName(name);
  std::string folder = zqExtractFilePath(name);
  if (!folder.empty()) directory_ = folder;
  UpdateFullFilename();
}

void TzqCustomFile_IO::SetDirectory(const std::string& dir) {
  directory_ = zqExtractFilePath(dir);
  UpdateFullFilename();
}

void TzqCustomFile_IO::SetLinkedControl(TzqLinkedContent* control) {
  // A filter chosen for one kind of content does not suit another.
  if (!control ||
      (linked_ && (typeid(*linked_) != typeid(*control) || linked_->ContentKind() != control->ContentKind())))
    Filter.clear();
  linked_ = control;
}

void TzqCustomFile_IO::SetMakeBackup(bool value) {
  makeBackup_ = value;
  if (!value) BackupExtention.clear();
}

std::string TzqCustomFile_IO::GetBackupExtention() const {
  return BackupExtention.empty() ? "bak" : BackupExtention;
}

std::string TzqCustomFile_IO::GetFilter() const {
  std::string text = TextFilesFilter;
  const std::string all = "|All Files (*.*)|*.*";
  std::string head = text.substr(0, text.size() - all.size());
  auto first_bar = text.find('|');
  auto second_bar = text.find('|', first_bar + 1);
  if (Filter == "pas")
    return head.substr(0, second_bar) + ";*.pas;*.dfm;*.dpr" + head.substr(second_bar) +
           "|Pascal Files (*.pas;*.dpr)|*.pas;*.dpr|Form Files (*.dfm)|*.dfm" + all;
  if (Filter == "c")
    return head.substr(0, second_bar) + ";*.c;*.cpp;*.cxx;*.h;*.hpp;makefile" + head.substr(second_bar) +
           "|C/C++ Files (*.c;*.cpp;*.cxx;*.h;*.hpp;makefile)|*.c;*.cpp;*.cxx;*.h;*.hpp;makefile" + all;
  if (!Filter.empty()) return Filter;
  if (linked_ && linked_->ContentKind() == TzqLinkedContent::Kind::Text) return text;
  if (linked_ && linked_->ContentKind() == TzqLinkedContent::Kind::Image) return linked_->PictureFilter();
  return "All Files (*.*)|*.*";
}

bool TzqCustomFile_IO::GetModified() const {
  return linked_ ? linked_->GetModified() : modified_;
}

void TzqCustomFile_IO::SetModified(bool value) {
  if (linked_) linked_->SetModified(value);
  modified_ = value;
}

std::string TzqCustomFile_IO::TempPath() const {
  if (tempFilename_.find('/') != std::string::npos) return tempFilename_;
  return zqExtractFilePath(fullFilename_) + tempFilename_;
}

std::string TzqCustomFile_IO::BackupFilename() const {
  std::string ext = GetBackupExtention();
  std::string backupExt;
  if (ext != "~") {
    backupExt = "." + ext;
  } else {
    std::string own = zqExtractFileExt(fullFilename_);
    backupExt = own.empty() ? ".bak" : ".~" + own.substr(1);
  }
  if (backupExt == ".") backupExt = ".bak";
  return zqChangeFileExt(fullFilename_, backupExt);
}

void TzqCustomFile_IO::CommitBackup() {
  const std::string& file = fullFilename_;
  std::string backup = BackupFilename();
  // A backup name equal to the file's own would delete the only copy; there is nothing to keep apart.
  if (backup != file) {
    if (path_present(backup) && ::unlink(backup.c_str()) != 0)
      throw EzqFileError("Unable to delete backup file.");
    // The file stays in place until the new version replaces it, so a failure leaves it untouched.
    if (path_present(file) && !make_backup(file, backup)) throw EzqFileError("Unable to create backup file.");
  }
  if (::rename(TempPath().c_str(), file.c_str()) != 0)
    throw EzqFileError("Unable to complete the file save.");
}

void TzqCustomFile_IO::CommitSave() {
  if (makeBackup_)
    CommitBackup();
  else if (::rename(TempPath().c_str(), fullFilename_.c_str()) != 0)
    throw EzqFileError("Unable to complete the file save.");
}

void TzqCustomFile_IO::DoReadComplete() {
  SetModified(false);
  RaiseReadComplete();
}

void TzqCustomFile_IO::DoWriteComplete() {
  SetModified(false);
  RaiseWriteComplete();
}

bool TzqCustomFile_IO::FileMissing() {
  if (zqFileExists(fullFilename_)) return false;
  if (AutoOpenDialog) {
    auto chosen = zq::platform().OpenFileDialog(dialog_request(*this, OpenDialogTitle, filename_));
    if (chosen) {
      SetFilename(*chosen);
      return false;
    }
  }
  if (RaiseNotFound(fullFilename_)) return true;
  EzqFileError error("File not found\n\n        " + fullFilename_);
  if (DoReadError(fullFilename_, error)) return true;
  throw error;
}

void TzqCustomFile_IO::ReadFile() {
  if (FileMissing()) return;
  try {
    if (linked_) {
      if (linked_->ContentKind() == TzqLinkedContent::Kind::Image) {
        try {
          linked_->LoadFromFile(fullFilename_);
        } catch (...) {
          linked_->Clear();
          throw;
        }
      } else {
        linked_->LoadFromFile(fullFilename_);
      }
    } else if (ReadHandler) {
      std::ifstream in(fullFilename_, std::ios::binary);
      if (!in) throw EzqFileError("Cannot open file \"" + fullFilename_ + "\": " + system_reason());
      ReadHandler(*this, in);
      if (in.bad()) throw EzqFileError("Cannot read file \"" + fullFilename_ + "\"");
    } else {
      return;
    }
  } catch (const EzqInvalidPicture&) {
    throw;
  } catch (const std::exception& e) {
    if (!DoReadError(fullFilename_, e)) throw;
    return;
  }
  DoReadComplete();
}

void TzqCustomFile_IO::WriteFile(const std::string& name) {
  const std::string oldFilename = filename_, oldDirectory = directory_;
  SetFilename(name);
  if (!linked_ && !WriteHandler) return;
  const std::string target = fullFilename_;
  const std::string temp = TempPath();
  bool written = false;
  try {
    ::unlink(temp.c_str());
    if (linked_) {
      linked_->SaveToFile(temp);
    } else {
      std::ostringstream out;
      WriteHandler(*this, out);
      zqWriteFileBytes(temp, out.str());
    }
    written = true;
    CommitSave();
  } catch (const std::exception& e) {
    // A half-written temporary file is useless; a complete one that could not take the file's name
    // is the only copy of the new content, so it stays.
    if (!written) ::unlink(temp.c_str());
    // The component goes on naming the file it still holds.
    filename_ = oldFilename;
    directory_ = oldDirectory;
    UpdateFullFilename();
    if (!DoWriteError(target, e)) throw;
    return;
  }
  DoWriteComplete();
}

bool TzqCustomFile_IO::QuerySave() {
  if (!GetModified()) return true;
  auto answer = zq::platform().MessageBox("Save Changes", "Do you want to save your changes?",
                                          zq::mbYes | zq::mbNo | zq::mbCancel, zq::MsgIcon::Question);
  if (answer == zq::ModalResult::Yes) {
    FileSaveAs();
    return !GetModified();
  }
  return answer == zq::ModalResult::No;
}

void TzqCustomFile_IO::FileNew() {
  if (!QuerySave()) return;
  if (linked_) linked_->Clear();
  SetFilename("");
}

void TzqCustomFile_IO::FileOpen() {
  if (!QuerySave()) return;
  auto chosen = zq::platform().OpenFileDialog(dialog_request(*this, OpenDialogTitle, ""));
  if (!chosen) return;
  SetFilename(*chosen);
  if (OpenHandler)
    OpenHandler(*this, *chosen);
  else
    ReadFile();
}

void TzqCustomFile_IO::FileSave() {
  // A file that has no name yet (after FileNew) is saved under a name the user chooses.
  if (filename_.empty()) {
    FileSaveAs();
    return;
  }
  if (SaveHandler)
    SaveHandler(*this, fullFilename_);
  else
    WriteFile(fullFilename_);
}

void TzqCustomFile_IO::FileSaveAs() {
  auto chosen = zq::platform().SaveFileDialog(dialog_request(*this, SaveDialogTitle, filename_));
  if (!chosen) return;
  if (zqFileExists(*chosen) &&
      zq::platform().MessageBox("Confirm", "OK to overwrite " + *chosen, zq::mbYes | zq::mbNo | zq::mbCancel,
                                zq::MsgIcon::Question) != zq::ModalResult::Yes)
    return;
  if (SaveHandler)
    SaveHandler(*this, *chosen);
  else
    WriteFile(*chosen);
}

void TzqCustomFile_IO::OpenFile(const std::string& name) {
  SetFilename(name);
  ReadFile();
}
