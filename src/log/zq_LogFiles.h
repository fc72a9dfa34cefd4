// Time-stamped log files: Tzq_LogFiles appends "stamp - message" lines to a general and an error log,
// creating files and directories as needed. Logging never throws into its caller; a file that cannot be
// written is reported once on stderr. The clock and the base folder can be replaced (tests do).
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace zqlog {

// Local calendar time to the second, as the stamp shows it (Month 1-12, Hour 0-23).
struct LocalTime {
  int Year = 0;
  int Month = 1;
  int Day = 1;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

// Where log stamps and elapsed times come from. Elapsed times use the monotonic reading, so a timing
// across midnight or a clock change stays correct.
struct Clock {
  std::function<LocalTime()> Local;
  std::function<std::chrono::steady_clock::time_point()> Monotonic;
};

// The operating system's local clock and steady clock.
Clock SystemClock();
const Clock& CurrentClock();
// Installs a clock and returns the previous one, so a scope can restore it.
Clock InstallClock(Clock clock);

// Folder against which relative log paths resolve; empty (the default) means the current directory.
const std::filesystem::path& LogFolder();
// Sets the folder and returns the previous one.
std::filesystem::path InstallLogFolder(std::filesystem::path folder);

// "yyyy/mm/dd hh:nn:ss AM/PM" with a 12-hour clock (midnight is 12 AM, noon 12 PM).
std::string FormatStamp(const LocalTime& t);

} // namespace zqlog

// True when path names an existing directory.
bool DirectoryPresent(const std::string& path);
// Creates path and every missing parent. Throws std::runtime_error("Unable to create directory") for an
// empty path; returns false when a directory cannot be created.
bool CreateDirectoryChain(const std::string& path);

class Tzq_LogFiles {
public:
  std::string LogFile = "Log.txt";
  std::string ErrorFile = "Errors.txt";
  bool ErrorsLogged = false;

  // The log line for a message: stamp, " - ", message.
  std::string TimeStamped(const std::string& message) const;
  // Append a stamped line to LogFile. Never throws.
  void Log(const std::string& message);
  // Append a stamped line to ErrorFile and then LogFile, and set ErrorsLogged. Never throws.
  void LogError(const std::string& message);
  // Appends line and CR LF to path (nothing for an empty path), creating the file and its directory
  // first. Returns false when the line could not be written. Throws std::runtime_error("Cannot create "
  // + dir) when the directory is missing and cannot be created.
  bool WriteLine(const std::string& path, const std::string& line);
  // Creates a missing directory chain, logging the outcome; throws "Cannot create " + dir on failure.
  void EnsureDirectory(const std::string& dir);
  void SetLogFile(const std::string& path) { LogFile = path; }

private:
  // WriteLine for the logging calls: any failure goes to stderr, never to the caller.
  void write_quietly(const std::string& path, const std::string& line);
  // Files whose creation is under way; a nested write to one of them does not create its directory
  // again, which would recurse without end when the directory cannot be made.
  std::vector<std::string> creating_;
};

// Lives for the whole run; nothing in the program writes through it, but any part may.
extern Tzq_LogFiles DefaultLogFiles;
