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

// True when both names lead to one file (hard links of each other).
bool same_file(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// A second name of the existing file, or a copy where the file system has no hard links. The name must
// be free: anything planted there makes this fail rather than be written through.
bool make_backup(const std::string& file, const std::string& backup) {
  if (::link(file.c_str(), backup.c_str()) == 0) return true;
  if (errno == EEXIST) return false;
  try {
    zqWriteNewFileBytes(backup, zqReadFileBytes(file), zqFilePermissions(file));
    return true;
  } catch (const EzqFileError&) {
    return false;
  }
}

// Gives the temporary file the permission bits of the file it replaces (a private 0600 file stays
// private), then the file's name.
bool replace_with(const std::string& temp, const std::string& file) {
  const int permissions = zqFilePermissions(file);
  if (permissions >= 0) ::chmod(temp.c_str(), static_cast<mode_t>(permissions));
  return ::rename(temp.c_str(), file.c_str()) == 0;
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

namespace {

// Writes bytes to an open descriptor; on failure closes it and throws naming path.
void write_all(int fd, const std::string& path, std::string_view bytes) {
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
}

// Writes bytes to an open descriptor, flushes them to the disk and closes it; throws naming path.
void write_all_and_close(int fd, const std::string& path, std::string_view bytes) {
  write_all(fd, path, bytes);
  // The new version must be on the disk before it replaces the old one by rename.
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    std::string reason = system_reason();
    ::close(fd);
    throw EzqFileError("Cannot write file \"" + path + "\": " + reason);
  }
}

} // namespace

void zqWriteFileBytes(const std::string& path, std::string_view bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw EzqFileError("Cannot create file \"" + path + "\": " + system_reason());
  write_all_and_close(fd, path, bytes);
}

void zqWriteNewFileBytes(const std::string& path, std::string_view bytes, int permissions) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) throw EzqFileError("Cannot create file \"" + path + "\": " + system_reason());
  if (permissions >= 0 && ::fchmod(fd, static_cast<mode_t>(permissions)) != 0) {
    std::string reason = system_reason();
    ::close(fd);
    ::unlink(path.c_str());
    throw EzqFileError("Cannot create file \"" + path + "\": " + reason);
  }
  try {
    write_all_and_close(fd, path, bytes);
  } catch (...) {
    ::unlink(path.c_str());
    throw;
  }
}

int zqFilePermissions(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int>(st.st_mode & 07777);
}

std::string zqResolveLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n < 0) return current;
    target.resize(static_cast<std::size_t>(n));
    // A relative link is relative to the folder that holds it.
    current = (!target.empty() && target[0] == '/') ? target : zqExtractFilePath(current) + target;
  }
  throw EzqFileError("Cannot save \"" + path + "\": too many levels of symbolic links");
}

void zqReplaceFileBytes(const std::string& target, std::string_view bytes) {
  zqReplaceFileWith(target, [bytes](const zqFileWriter& write) { write(bytes); });
}

void zqReplaceFileWith(const std::string& target, const std::function<void(const zqFileWriter&)>& produce) {
  const std::string file = zqResolveLinks(target);
  std::string temp = file + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) throw EzqFileError("Cannot create a file beside \"" + file + "\": " + system_reason());
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  bool open = true;
  try {
    // Pieces gather in a buffer of bounded size, so a long text never sits in memory whole.
    std::string buffer;
    constexpr std::size_t kBuffer = 1u << 20;
    produce([&](std::string_view piece) {
      buffer.append(piece);
      if (buffer.size() < kBuffer) return;
      open = false;
      write_all(fd, temp, buffer);
      open = true;
      buffer.clear();
    });
    open = false;
    write_all_and_close(fd, temp, buffer);
  } catch (...) {
    if (open) ::close(fd);
    ::unlink(temp.c_str());
    throw;
  }
  // mkstemp makes the file private; a new file gets the usual permissions, an old one keeps its own.
  if (zqFilePermissions(file) < 0) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(temp.c_str(), 0666 & ~mask);
  }
  if (!replace_with(temp, file)) {
    std::string reason = system_reason();
    ::unlink(temp.c_str());
    throw EzqFileError("Cannot replace \"" + file + "\": " + reason);
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
  return zqExtractFilePath(zqResolveLinks(fullFilename_)) + tempFilename_;
}

std::string TzqCustomFile_IO::BackupFilename() const {
  std::string ext = GetBackupExtention();
  const std::string file = zqResolveLinks(fullFilename_);
  std::string backupExt;
  if (ext != "~") {
    backupExt = "." + ext;
  } else {
    std::string own = zqExtractFileExt(file);
    backupExt = own.empty() ? ".bak" : ".~" + own.substr(1);
  }
  if (backupExt == ".") backupExt = ".bak";
  return zqChangeFileExt(file, backupExt);
}

void TzqCustomFile_IO::CommitBackup() {
  // Through a link the file it names is saved, so the link stays a link.
  const std::string file = zqResolveLinks(fullFilename_);
  std::string backup = BackupFilename();
  // A backup name equal to the file's own would delete the only copy; there is nothing to keep apart.
  // A backup that is already a second name of the file (another save made it a moment ago) is kept.
  if (backup != file && path_present(file) && !same_file(file, backup)) {
    // The new backup is made under a name of its own and then takes the backup's name in one step, so
    // at every moment one backup exists; the file stays in place until the new version replaces it.
    const std::string fresh = backup + ".zqnew";
    ::unlink(fresh.c_str());
    if (!make_backup(file, fresh)) throw EzqFileError("Unable to create backup file.");
    if (::rename(fresh.c_str(), backup.c_str()) != 0) {
      ::unlink(fresh.c_str());
      throw EzqFileError("Unable to delete backup file.");
    }
    // Renaming onto a second name of the same file does nothing and keeps the fresh name (a concurrent
    // save linked the same file there meanwhile): that name is then the backup's twin and goes.
    if (same_file(fresh, backup)) ::unlink(fresh.c_str());
  }
  if (!replace_with(TempPath(), file)) throw EzqFileError("Unable to complete the file save.");
}

void TzqCustomFile_IO::CommitSave() {
  if (makeBackup_)
    CommitBackup();
  else if (!replace_with(TempPath(), zqResolveLinks(fullFilename_)))
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
      zqWriteNewFileBytes(temp, out.str(), zqFilePermissions(target));
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
