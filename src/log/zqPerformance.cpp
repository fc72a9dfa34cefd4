// Performance timer state and its log. Elapsed times come from the monotonic clock, so an operation that
// runs across midnight is still timed correctly.
#include "zqPerformance.h"

#include "zq_LogFiles.h"

#include <memory>
#include <optional>

namespace {

struct TimerState {
  std::optional<std::chrono::steady_clock::time_point> start;
  std::string label;
};

TimerState& timer() {
  static TimerState state;
  return state;
}

// Created on the first report and kept to the end of the run.
std::unique_ptr<Tzq_LogFiles>& PerformanceLog() {
  static std::unique_ptr<Tzq_LogFiles> log;
  return log;
}

} // namespace

namespace zqlog {

std::string PerformanceText(const std::string& label, std::chrono::nanoseconds elapsed) {
  using namespace std::chrono;
  long long total_ms = elapsed.count() < 0 ? 0 : round<milliseconds>(elapsed).count();
  long long ms = total_ms % 1000;
  long long sec = total_ms / 1000 % 60;
  long long min = total_ms / 60000 % 60;
  std::string text;
  if (min > 0) text = std::to_string(min) + " min  ";
  text += std::to_string(sec) + " sec  " + std::to_string(ms) + " ms";
  if (!label.empty()) text = label + " - " + text;
  return text;
}

} // namespace zqlog

void StartPerformanceTimer(const std::string& label) {
  timer().label = label;
  timer().start = zqlog::CurrentClock().Monotonic();
}

void StopPerformanceTimer() {
  try {
    auto stop = zqlog::CurrentClock().Monotonic();
    if (!timer().start) return;
    if (!PerformanceLog()) {
      PerformanceLog() = std::make_unique<Tzq_LogFiles>();
      PerformanceLog()->SetLogFile("Performance_Log.txt");
    }
    PerformanceLog()->Log(zqlog::PerformanceText(timer().label, stop - *timer().start));
  } catch (...) {
    // Timing is an aside of the operation it measures; it must never abort it.
  }
}
