// The session's atmosphere column: every gas's line list behind a HITRAN column source (and, with the
// continuum switched on and loaded, the continuum added to water), one column with its cache of layer
// cross-sections, refusals and notes as status; the continuum file the session holds.
#include "zqColumnMemory.h"
#include "zqContinuum.h"
#include "zqContinuumUse.h"
#include "zqHITRAN.h"
#include "zqHitranColumnSource.h"
#include "zqSession.h"

#include <algorithm>

namespace zqsession {

TzqSession::TzqSession() = default;
TzqSession::~TzqSession() = default;

TStatusItem NoListNote(TzqColumnGas gas) {
  return {SectionOf(gas),
          std::string(ColumnGasInfo(gas).Name) + " has no line list: it absorbs nothing in the column"};
}

bool IsNoListNote(const TStatusItem& note) {
  for (const TzqColumnGasInfo& gas : ColumnGases())
    if (note == NoListNote(gas.Gas)) return true;
  return false;
}

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
  TzqPerGas<TListKey> keys{};
  TzqPerGas<const T_zq_HITRAN*> lists{};
  for (const TzqColumnGasInfo& gas : ColumnGases()) {
    lists[gas.Gas] = GasList(gas.Gas);
    keys[gas.Gas] = key_of(lists[gas.Gas]);
  }
  if (!column_source_) {
    column_source_ = std::make_unique<TzqHitranColumnSource>(lists);
  } else if (!(keys == column_lists_)) {
    column_source_->SetLists(lists); // a new revision: the column drops what it holds
  }
  column_lists_ = keys;
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

void TzqSession::note_column(const TzqColumnResult& result, TzqStatus& status) const {
  for (const TzqColumnGasInfo& gas : ColumnGases()) {
    const T_zq_HITRAN* list = GasList(gas.Gas);
    if (list) status.Note(SectionOf(gas.Gas), list->ReadNote());
    if (list && !list->Records.empty()) continue;
    // The profile holds the gas, but nothing computes what it absorbs: the user must know.
    const bool present = std::any_of(result.Profile.Layers.begin(), result.Profile.Layers.end(),
                                     [&](const TzqColumnLayer& l) { return l.Ppmv[gas.Gas] > 0; });
    if (present) {
      const TStatusItem note = NoListNote(gas.Gas);
      status.Note(note.Source, note.Text);
    }
  }
  for (const std::string& note : result.Notes)
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
  note_column(run.Result, run.Status);
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
  note_column(run.Balance.Result, run.Status);
  return run;
}

} // namespace zqsession
