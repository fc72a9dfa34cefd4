// The reasons the window's status bar gives, one per source (the humidity, each blackbody curve, the
// plot, ...) with the field whose value was refused. A source's reason stands exactly until that source
// succeeds again, so a mended cause never leaves a stale reason behind.
#pragma once

#include <string>
#include <vector>

namespace zqsession {

class TzqProblemBoard {
public:
  // Sets source's reason (an empty why clears it) and the field it refuses (empty: none); it becomes the
  // latest reason.
  void Report(const std::string& source, const std::string& why, const std::string& field = {});
  void Clear(const std::string& source);
  bool Has(const std::string& source) const;
  // The latest reason still standing; empty when none.
  std::string Shown() const;
  // The latest standing reason that refuses field; empty when none does.
  std::string ReasonFor(const std::string& field) const;
  // Every field some standing reason refuses.
  std::vector<std::string> RefusedFields() const;

private:
  struct Entry {
    std::string Source, Why, Field;
  };
  std::vector<Entry> entries_; // oldest first
};

} // namespace zqsession
