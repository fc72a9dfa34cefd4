// The session's atmosphere column: the two line lists behind a HITRAN column source, one column with
// its cache of layer cross-sections, refusals and notes as status.
#include "zqColumnMemory.h"
#include "zqHITRAN.h"
#include "zqHitranColumnSource.h"
#include "zqSession.h"

namespace zqsession {

TzqSession::TzqSession() = default;
TzqSession::~TzqSession() = default;

TzqSession::TListKey TzqSession::key_of(const T_zq_HITRAN* list) {
  return list ? TListKey{list, list->Revision()} : TListKey{};
}

TColumnRun TzqSession::ComputeColumn(const TzqColumnSettings& settings, const TzqColumnProgress& progress) {
  TColumnRun run;
  if (!Water) run.Status.Refuse("h2o", "The column needs the water vapour line list");
  if (!CO2) run.Status.Refuse("co2", "The column needs the CO2 line list");
  if (run.Status.Refused()) {
    run.Result.Refusal = run.Status.Refusals.front().Text;
    return run;
  }
  if (const std::string why = ColumnMemoryProblem(settings); !why.empty()) {
    run.Status.Refuse("column", why);
    run.Result.Refusal = why;
    return run;
  }
  if (!column_) column_ = std::make_unique<TzqColumn>();
  const TListKey keys[2] = {key_of(Water), key_of(CO2)};
  if (!column_source_) {
    column_source_ = std::make_unique<TzqHitranColumnSource>(Water, CO2);
  } else if (!(keys[0] == column_lists_[0] && keys[1] == column_lists_[1])) {
    column_source_->SetLists(Water, CO2); // a new revision: the column drops what it holds
  }
  column_lists_[0] = keys[0];
  column_lists_[1] = keys[1];
  column_source_->SetThreads(settings.Threads);
  column_source_->SetCancel(progress.Cancel);
  run.Result = column_->Compute(settings, *column_source_, progress);
  if (!run.Result.Computed)
    run.Status.Refuse("column",
                      run.Result.Refusal.empty() ? "The column was not computed" : run.Result.Refusal);
  run.Status.Note("h2o", Water->ReadNote());
  run.Status.Note("co2", CO2->ReadNote());
  for (const std::string& note : run.Result.Notes)
    run.Status.Note("column", note);
  return run;
}

} // namespace zqsession
