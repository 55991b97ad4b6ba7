// Browsing and remembering: undo and redo of the user's changes, the
// history of the pieces composed, and stepping the mapping to audition one
// mapping after another. The window forwards its user changes and the
// outcome of each Compose here and shows what this holds.
#ifndef TESSAVAR_MODEL_BROWSE_SESSION_H_
#define TESSAVAR_MODEL_BROWSE_SESSION_H_

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "model/compose_command.h"
#include "model/error_reporter.h"
#include "model/piece_history.h"
#include "model/player.h"
#include "model/program_state.h"
#include "model/ui_host.h"
#include "model/undo_stack.h"

namespace tessavar {

class BrowseSession {
 public:
  BrowseSession(ProgramState& state, Player& player, UiHost& ui,
                ErrorReporter& errors)
      : state_(state), player_(player), ui_(ui), errors_(errors) {}

  // Start-up, once the default composition is in: the panel becomes the
  // undo base and the history file is read. A file that cannot be used
  // leaves one notice in the status line.
  void Start();
  // Shut-down: a history that could not be written when it changed is
  // written once more; a failure is ignored.
  void Finish();

  // --- Undo ----------------------------------------------------------------
  // After every user change of the panel, a loaded file included.
  void UserChanged(ChangeKey key = {});
  // The user left a box: its last typing is recorded and ends there.
  void BoxLeft(BoxId id);
  bool CanUndo() const { return state_.panel.enabled() && undo_.CanUndo(); }
  bool CanRedo() const { return state_.panel.enabled() && undo_.CanRedo(); }
  bool Undo();
  bool Redo();

  // --- Pieces --------------------------------------------------------------
  // After the Compose command: what it wrote into the panel is no step, and
  // a composed piece enters the history, which is written at once (so is a
  // star): a crash loses at most the piece being composed. The history
  // file is never written over one that could not be read.
  void Composed(const ComposeOutcome& outcome);
  // After a command that put another MIDI file into the player.
  void PieceReplaced() { ++piece_; }
  uint64_t piece() const { return piece_; }

  // Sets the mapping to the next (+1) or previous (-1) value, wrapping
  // around, as typing it and leaving the box would; the caller composes.
  void StepMapping(int direction);

  enum class Restored { kNone, kWithMusic, kNeedsCompose };
  // Brings back a piece of the history: its settings and, when its MIDI
  // bytes are at hand, its music in the player. kNeedsCompose: the settings
  // are in and composing gives the music.
  Restored RestorePiece(size_t index);
  void SetStarred(size_t index, bool starred);
  const PieceHistory& history() const { return history_; }

  // Seconds since 1970 for new pieces.
  std::function<int64_t()> clock = [] {
    return static_cast<int64_t>(std::time(nullptr));
  };

 private:
  PanelSnapshot Snapshot() const { return TakeSnapshot(state_, piece_); }
  bool Restore(const PanelSnapshot& snapshot);
  void ReopenIfFresh();
  HistoryRecord RecordOfPanel() const;
  bool PutMusic(const PieceEntry& entry);
  void LoadSettingsText(const std::string& composition);
  void SaveHistory();

  ProgramState& state_;
  Player& player_;
  UiHost& ui_;
  ErrorReporter& errors_;
  UndoStack undo_;
  PieceHistory history_;
  uint64_t piece_ = 0;
  bool history_file_usable_ = true;
  // The last write of the history file failed.
  bool history_unsaved_ = false;
  // The entry chosen last whose piece has to be composed again; the next
  // compose of the same composition renews it instead of adding a twin.
  std::optional<size_t> recomposing_;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_BROWSE_SESSION_H_
