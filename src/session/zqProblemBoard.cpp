// Standing reasons by source, latest last.
#include "zqProblemBoard.h"

#include <algorithm>

namespace zqsession {

void TzqProblemBoard::Report(const std::string& source, const std::string& why, const std::string& field) {
  Clear(source);
  if (!why.empty()) entries_.push_back({source, why, field});
}

void TzqProblemBoard::Clear(const std::string& source) {
  std::erase_if(entries_, [&](const Entry& e) { return e.Source == source; });
}

bool TzqProblemBoard::Has(const std::string& source) const {
  return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.Source == source; });
}

std::string TzqProblemBoard::Shown() const {
  return entries_.empty() ? std::string() : entries_.back().Why;
}

std::string TzqProblemBoard::ReasonFor(const std::string& field) const {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (!field.empty() && it->Field == field) return it->Why;
  return {};
}

std::vector<std::string> TzqProblemBoard::RefusedFields() const {
  std::vector<std::string> fields;
  for (const Entry& e : entries_)
    if (!e.Field.empty() && std::find(fields.begin(), fields.end(), e.Field) == fields.end())
      fields.push_back(e.Field);
  return fields;
}

} // namespace zqsession
