#include "model/browse_session.h"

#include <utility>

#include "base/file_system.h"
#include "engine/text_number.h"
#include "model/composition_file_io.h"

namespace tessavar {
namespace {

constexpr BoxId kMappingBox{Box::kMapping};
// No piece ever has this number: settings restored with it come back stale.
constexpr uint64_t kNoPiece = UINT64_MAX;

}  // namespace

void BrowseSession::Start() {
  undo_.Reset(Snapshot());
  const Status status = LoadHistoryFile(
      history_, HistoryFilePath(state_.paths.program_directory));
  history_file_usable_ = status.ok();
  if (!status.ok()) {
    state_.panel.set_status_text("Piece history not read: " + status.detail());
  }
}

void BrowseSession::Finish() {
  if (history_unsaved_) SaveHistory();
}

void BrowseSession::SaveHistory() {
  if (!history_file_usable_) return;
  history_unsaved_ =
      !SaveHistoryFile(history_,
                       HistoryFilePath(state_.paths.program_directory))
           .ok();
}

void BrowseSession::UserChanged(ChangeKey key) {
  if (state_.panel.enabled()) undo_.Commit(Snapshot(), key);
}

void BrowseSession::BoxLeft(BoxId id) {
  UserChanged(ChangeKey::Typing(id));
  undo_.Seal();
}

bool BrowseSession::Restore(const PanelSnapshot& snapshot) {
  RestoreSnapshot(snapshot, piece_, state_);
  ReopenIfFresh();
  return true;
}

// A panel that is fresh again belongs with the working file: the player
// that its change closed opens it again.
void BrowseSession::ReopenIfFresh() {
  if (!state_.panel.save_enabled() || player_.Mode() != kPlayerModeNotOpen) {
    return;
  }
  player_.SetFileName(state_.paths.working_midi);
  player_.Open();
}

bool BrowseSession::Undo() { return CanUndo() && Restore(undo_.Undo()); }

bool BrowseSession::Redo() { return CanRedo() && Restore(undo_.Redo()); }

void BrowseSession::Composed(const ComposeOutcome& outcome) {
  if (outcome.kind != ComposeOutcome::Kind::kFinished) return;
  const std::optional<size_t> renewed = std::exchange(recomposing_, {});
  // The working file was (at least partly) written again.
  ++piece_;
  undo_.Absorb(Snapshot());
  if (!outcome.written) return;
  PieceEntry entry{RecordOfPanel(), Snapshot(), {}};
  try {
    entry.midi = ReadWholeFile(state_.paths.working_midi);
  } catch (const RunTimeError&) {
    // Chosen later, the piece is composed again.
  }
  if (renewed && *renewed < history_.size() &&
      history_.entries()[*renewed].record.composition ==
          entry.record.composition) {
    history_.Renew(*renewed, std::move(entry));
  } else {
    history_.Add(std::move(entry));
  }
  SaveHistory();
}

HistoryRecord BrowseSession::RecordOfPanel() const {
  const PanelModel& panel = state_.panel;
  HistoryRecord record;
  record.time = clock();
  record.length_ms = player_.LengthMs();
  record.structure = panel.Text({Box::kStructure});
  record.mapping = panel.Text(kMappingBox);
  record.tempo = panel.Text({Box::kTempo});
  // A panel text the composition file cannot hold: this piece stays in
  // this session only.
  record.composition =
      CompositionFileBytes(state_, nullptr).value_or(std::string());
  return record;
}

void BrowseSession::StepMapping(int direction) {
  PanelModel& panel = state_.panel;
  const SpinnerRange range = PanelModel::Range(kMappingBox);
  int next = panel.Spinner(kMappingBox) + (direction > 0 ? 1 : -1);
  if (next > range.high) next = range.low;
  if (next < range.low) next = range.high;
  panel.SetText(kMappingBox, NumberToText(next));
  panel.FocusLost(kMappingBox);
  UserChanged();
}

BrowseSession::Restored BrowseSession::RestorePiece(size_t index) {
  if (index >= history_.size() || !state_.panel.enabled()) {
    return Restored::kNone;
  }
  const PieceEntry& entry = history_.entries()[index];
  Restored restored = Restored::kNeedsCompose;
  if (entry.settings && PutMusic(entry)) {
    PanelSnapshot settings = *entry.settings;
    settings.piece = piece_;
    Restore(settings);
    state_.play_slider = 0;
    restored = Restored::kWithMusic;
  } else if (entry.settings) {
    RestoreSnapshot(*entry.settings, kNoPiece, state_);
  } else {
    LoadSettingsText(entry.record.composition);
  }
  UserChanged();
  if (restored == Restored::kNeedsCompose) recomposing_ = index;
  return restored;
}

// Writes the piece's MIDI bytes as the working file; true when done.
bool BrowseSession::PutMusic(const PieceEntry& entry) {
  if (entry.midi.empty()) return false;
  player_.Close();
  const Status written = RunWithRetry(errors_, [&] {
    WriteFileAtomically(LowerCaseFileName(state_.paths.working_midi),
                        entry.midi);
  });
  if (!written.ok()) {
    ReopenIfFresh();
    return false;
  }
  ++piece_;
  return true;
}

// The settings of a piece from an earlier session, read as a composition
// file would be, the mapped parameters included even when they are locked.
void BrowseSession::LoadSettingsText(const std::string& composition) {
  const std::string caption = state_.caption;
  const bool locked = std::exchange(state_.options.lock_mapped, false);
  LoadConfigText(state_, composition, ui_);
  state_.options.lock_mapped = locked;
  state_.caption = caption;
  state_.panel.MarkScoreStale();
}

void BrowseSession::SetStarred(size_t index, bool starred) {
  if (index >= history_.size()) return;
  history_.SetStarred(index, starred);
  SaveHistory();
}

}  // namespace tessavar
