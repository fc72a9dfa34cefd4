// Performance timing: one operation at a time, its elapsed time appended with a label to
// "Performance_Log.txt" as "label - [m min  ]s sec  ms ms".
#pragma once

#include <chrono>
#include <string>

// Remembers the label and the current monotonic time as the start.
void StartPerformanceTimer(const std::string& label);
// Appends the time since the last StartPerformanceTimer to the performance log. Never throws; without a
// preceding start there is nothing to report and nothing is written.
void StopPerformanceTimer();

namespace zqlog {

// The report text for an elapsed time: minutes only when there are any, hours dropped, milliseconds
// rounded; the label and " - " in front when the label is not empty.
std::string PerformanceText(const std::string& label, std::chrono::nanoseconds elapsed);

} // namespace zqlog
