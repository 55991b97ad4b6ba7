// Everything a user sets in the window that decides the music, taken as a
// whole: the panel exactly as it stands (texts, spinner positions,
// selections, checks, enabled states, the stale-score state and the status
// line), the user-defined scale and the channel map. Undo and the piece
// history restore these without raising any of the panel's reactions.
#ifndef TESSAVAR_MODEL_PANEL_SNAPSHOT_H_
#define TESSAVAR_MODEL_PANEL_SNAPSHOT_H_

#include <cstdint>
#include <string>

#include "model/panel_model.h"
#include "model/program_state.h"

namespace tessavar {

struct PanelSnapshot {
  PanelModel panel;
  std::string user_scale;
  ChannelMap channel_map{};
  // The number of the piece the player held when the snapshot was taken;
  // a fresh (not stale) panel is fresh only with that piece.
  uint64_t piece = 0;
};

// A copy of the program's settings, without the panel's callbacks.
PanelSnapshot TakeSnapshot(const ProgramState& state, uint64_t piece);

// True when both panels hold the same values: texts, spinner positions,
// selections and check values (not the enabled, stale or status state).
bool SameSettings(const PanelModel& a, const PanelModel& b);
bool SameSettings(const PanelSnapshot& a, const PanelSnapshot& b);

// Puts the snapshot back into the program state as it was, keeping the
// panel's callbacks; on_changed fires once and no other reaction runs. A
// snapshot that was fresh with another piece than `current_piece` comes
// back stale (Compose enabled, Save disabled, status line empty).
void RestoreSnapshot(const PanelSnapshot& snapshot, uint64_t current_piece,
                     ProgramState& state);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PANEL_SNAPSHOT_H_
