// The session's atmosphere column: the two line lists behind a HITRAN column source (and, with the
// continuum switched on and loaded, the continuum added to water), one column with its cache of layer
// cross-sections, refusals and notes as status; the continuum file the session holds.
#include "zqColumnMemory.h"
#include "zqContinuum.h"
#include "zqContinuumUse.h"
#include "zqHITRAN.h"
#include "zqHitranColumnSource.h"
#include "zqSession.h"

namespace zqsession {

TzqSession::TzqSession() = default;
TzqSession::~TzqSession() = default;

TzqStatus TzqSession::LoadContinuum(const std::string& file) {
  TzqStatus status;
  std::string error;
  TzqContinuumTable table = ReadContinuumFile(file, error);
  if (table.Empty()) {
    status.Refuse(kContinuumSection, error.empty() ? file + ": no continuum coefficients" : error);
    return status;
  }
  continuum_ = std::make_shared<const TzqContinuumTable>(std::move(table));
  return status;
}

void TzqSession::ClearContinuum() {
  continuum_.reset();
}

void TzqSession::ShareContinuum(std::shared_ptr<const TzqContinuumTable> table) {
  Controls.Continuum = table != nullptr;
  continuum_ = std::move(table);
}

bool TzqSession::UsesContinuum() const {
  return ContinuumUsed(Controls, continuum_ != nullptr);
}

bool TzqSession::ColumnUsesContinuum() const {
  return Controls.Continuum && continuum_;
}

TzqSession::TListKey TzqSession::key_of(const T_zq_HITRAN* list) {
  return list ? TListKey{list, list->Revision()} : TListKey{};
}

bool TzqSession::prepare_column(const TzqColumnSettings& settings, const TzqColumnProgress& progress,
                                TzqStatus& status) {
  if (!Water) status.Refuse("h2o", "The column needs the water vapour line list");
  if (!CO2) status.Refuse("co2", "The column needs the CO2 line list");
  if (status.Refused()) return false;
  if (const std::string why = ColumnMemoryProblem(settings); !why.empty()) {
    status.Refuse("column", why);
    return false;
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
  // Water's lines follow the continuum's wing convention exactly when the continuum is added to them.
  const bool continuum = ColumnUsesContinuum();
  column_source_->SetContinuumWings(continuum);
  column_sources_ = SameSourceForEveryGas(*column_source_);
  if (continuum) {
    if (!column_continuum_) column_continuum_ = std::make_unique<TzqContinuumColumnSource>();
    if (column_continuum_->Table() != continuum_) column_continuum_->SetTable(continuum_);
    column_sources_[TzqColumnGas::H2O].push_back(column_continuum_.get());
  }
  return true;
}

void TzqSession::note_column(const std::vector<std::string>& notes, TzqStatus& status) const {
  status.Note("h2o", Water->ReadNote());
  status.Note("co2", CO2->ReadNote());
  for (const std::string& note : notes)
    status.Note("column", note);
}

TColumnRun TzqSession::ComputeColumn(const TzqColumnSettings& settings, const TzqColumnProgress& progress) {
  TColumnRun run;
  if (!prepare_column(settings, progress, run.Status)) {
    run.Result.Refusal = run.Status.Refusals.front().Text;
    return run;
  }
  run.Result = column_->Compute(settings, column_sources_, progress);
  if (!run.Result.Computed)
    run.Status.Refuse("column",
                      run.Result.Refusal.empty() ? "The column was not computed" : run.Result.Refusal);
  note_column(run.Result.Notes, run.Status);
  return run;
}

TBalanceRun TzqSession::ComputeBalance(const TzqColumnSettings& settings, TzqHold hold,
                                       const TzqColumnProgress& progress) {
  TBalanceRun run;
  if (!prepare_column(settings, progress, run.Status)) {
    run.Balance.Refusal = run.Status.Refusals.front().Text;
    return run;
  }
  run.Balance = SolveBalance(*column_, settings, column_sources_, hold, progress);
  if (!run.Balance.Solved) run.Status.Refuse("column", run.Balance.Refusal);
  note_column(run.Balance.Result.Notes, run.Status);
  return run;
}

} // namespace zqsession
