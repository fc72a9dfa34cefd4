// Log files: stamped lines appended to "Log.txt" and "Errors.txt", one open/close per line so external
// readers always see whole lines.
#include "zq_LogFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <set>
#include <stdexcept>

namespace fs = std::filesystem;

namespace zqlog {

namespace {

Clock& installed_clock() {
  static Clock clock = SystemClock();
  return clock;
}

fs::path& installed_folder() {
  static fs::path folder;
  return folder;
}

} // namespace

Clock SystemClock() {
  Clock c;
  c.Local = [] {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  };
  c.Monotonic = [] { return std::chrono::steady_clock::now(); };
  return c;
}

const Clock& CurrentClock() {
  return installed_clock();
}

Clock InstallClock(Clock clock) {
  std::swap(installed_clock(), clock);
  return clock;
}

const fs::path& LogFolder() {
  return installed_folder();
}

fs::path InstallLogFolder(fs::path folder) {
  std::swap(installed_folder(), folder);
  return folder;
}

std::string FormatStamp(const LocalTime& t) {
  int hour12 = t.Hour % 12 == 0 ? 12 : t.Hour % 12;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d %s", t.Year, t.Month, t.Day, hour12, t.Minute,
                t.Second, t.Hour < 12 ? "AM" : "PM");
  return buf;
}

} // namespace zqlog

namespace {

// Relative log paths resolve against the installed log folder, or the current directory without one.
fs::path resolve(const std::string& path) {
  fs::path p(path);
  if (p.is_relative() && !zqlog::LogFolder().empty()) return zqlog::LogFolder() / p;
  return p;
}

// Files whose last write failed and was reported; a file is reported again only after it recovered.
std::set<std::string>& reported_failures() {
  static std::set<std::string> files;
  return files;
}

void report_failure(const fs::path& file, const std::string& reason) {
  if (reported_failures().insert(file.string()).second)
    std::cerr << "Absorbview: cannot write log file " << file.string() << ": " << reason << std::endl;
}

void note_success(const fs::path& file) {
  reported_failures().erase(file.string());
}

std::string errno_text(const char* what) {
  return errno != 0 ? std::string(what) + " (" + std::strerror(errno) + ")" : std::string(what);
}

} // namespace

Tzq_LogFiles DefaultLogFiles;

bool DirectoryPresent(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return fs::is_directory(path, ec);
}

bool CreateDirectoryChain(const std::string& path) {
  if (path.empty()) throw std::runtime_error("Unable to create directory");
  std::error_code ec;
  fs::path full = fs::absolute(path, ec);
  if (ec) return false;
  std::string text = full.lexically_normal().string();
  if (text.size() > 1 && text.back() == '/') text.pop_back();
  fs::path dir(text);
  if (DirectoryPresent(text)) return true;
  fs::path parent = dir.parent_path();
  // A missing root cannot be made; claiming success would only move the failure to the file write.
  if (parent.empty() || parent == dir) return false;
  if (!CreateDirectoryChain(parent.string())) return false;
  fs::create_directory(dir, ec);
  return !ec && DirectoryPresent(text);
}

std::string Tzq_LogFiles::TimeStamped(const std::string& message) const {
  return zqlog::FormatStamp(zqlog::CurrentClock().Local()) + " - " + message;
}

void Tzq_LogFiles::write_quietly(const std::string& path, const std::string& line) {
  try {
    WriteLine(path, line);
  } catch (const std::exception& e) {
    report_failure(resolve(path), e.what());
  } catch (...) {
    report_failure(resolve(path), "unknown error");
  }
}

void Tzq_LogFiles::Log(const std::string& message) {
  write_quietly(LogFile, TimeStamped(message));
}

void Tzq_LogFiles::LogError(const std::string& message) {
  std::string line = TimeStamped(message);
  write_quietly(ErrorFile, line);
  write_quietly(LogFile, line);
  ErrorsLogged = true;
}

bool Tzq_LogFiles::WriteLine(const std::string& path, const std::string& line) {
  if (path.empty()) return true;
  fs::path file = resolve(path);
  std::error_code ec;
  if (!fs::exists(file, ec)) {
    bool nested = std::find(creating_.begin(), creating_.end(), path) != creating_.end();
    if (!nested) {
      creating_.push_back(path);
      struct Pop {
        std::vector<std::string>& v;
        ~Pop() { v.pop_back(); }
      } pop{creating_};
      fs::path full = fs::absolute(file, ec);
      EnsureDirectory((ec ? file : full).parent_path().string());
    }
    if (!fs::exists(file, ec)) {
      errno = 0;
      std::ofstream create(file, std::ios::binary | std::ios::app);
      if (!create) {
        report_failure(file, errno_text("cannot create the file"));
        return false;
      }
      create.close();
      Log("File created - " + path);
    }
  }
  errno = 0;
  std::ofstream out(file, std::ios::binary | std::ios::app);
  if (!out) {
    report_failure(file, errno_text("cannot open the file for appending"));
    return false;
  }
  out << line << "\r\n";
  out.flush();
  if (!out) {
    report_failure(file, errno_text("cannot append to the file"));
    return false;
  }
  note_success(file);
  return true;
}

void Tzq_LogFiles::EnsureDirectory(const std::string& dir) {
  if (dir.empty()) return;
  std::string full = resolve(dir).string();
  if (DirectoryPresent(full)) return;
  if (!CreateDirectoryChain(full)) {
    LogError("*** ERROR - Can not create directory - \r\n   " + dir);
    throw std::runtime_error("Cannot create " + dir);
  }
  Log("Created directory - " + dir);
}
