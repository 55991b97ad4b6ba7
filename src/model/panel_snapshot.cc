#include "model/panel_snapshot.h"

#include <utility>

namespace tessavar {
namespace {

constexpr Box kGeneralBoxes[] = {Box::kStructure, Box::kMapping,
                                 Box::kVariation, Box::kTracks, Box::kTempo};
constexpr Box kTrackBoxes[] = {Box::kOctave, Box::kVolume, Box::kPan};
constexpr List kGeneralLists[] = {List::kTonality, List::kSmoothing,
                                  List::kMeter, List::kFade};

bool SameBox(const PanelModel& a, const PanelModel& b, BoxId id) {
  return a.Text(id) == b.Text(id) && a.Spinner(id) == b.Spinner(id);
}

bool SameTracks(const PanelModel& a, const PanelModel& b) {
  for (int t = 0; t < kTrackCount; ++t) {
    for (Box box : kTrackBoxes) {
      if (!SameBox(a, b, {box, t})) return false;
    }
    if (a.Selection({List::kInstrument, t}) !=
            b.Selection({List::kInstrument, t}) ||
        a.CheckValue({Check::kTie, t}) != b.CheckValue({Check::kTie, t})) {
      return false;
    }
  }
  return true;
}

void ClearCallbacks(PanelModel& panel) {
  panel.on_score_cleared = nullptr;
  panel.on_changed = nullptr;
  panel.on_yield = nullptr;
}

}  // namespace

PanelSnapshot TakeSnapshot(const ProgramState& state, uint64_t piece) {
  PanelSnapshot snapshot{state.panel, state.engine.user_scale,
                         state.channel_map, piece};
  ClearCallbacks(snapshot.panel);
  return snapshot;
}

bool SameSettings(const PanelModel& a, const PanelModel& b) {
  for (Box box : kGeneralBoxes) {
    if (!SameBox(a, b, {box})) return false;
  }
  for (List list : kGeneralLists) {
    if (a.Selection({list}) != b.Selection({list})) return false;
  }
  for (int i = 0; i < kMappedParameterCount; ++i) {
    if (!SameBox(a, b, {Box::kMapped, i})) return false;
  }
  for (Check check : {Check::kMappedAuto, Check::kHiddenAuto}) {
    if (a.CheckValue({check}) != b.CheckValue({check})) return false;
  }
  return SameTracks(a, b);
}

bool SameSettings(const PanelSnapshot& a, const PanelSnapshot& b) {
  return a.user_scale == b.user_scale && a.channel_map == b.channel_map &&
         SameSettings(a.panel, b.panel);
}

void RestoreSnapshot(const PanelSnapshot& snapshot, uint64_t current_piece,
                     ProgramState& state) {
  PanelModel& panel = state.panel;
  auto on_score_cleared = std::move(panel.on_score_cleared);
  auto on_changed = std::move(panel.on_changed);
  auto on_yield = std::move(panel.on_yield);
  panel = snapshot.panel;
  panel.on_score_cleared = std::move(on_score_cleared);
  panel.on_yield = std::move(on_yield);
  if (panel.save_enabled() && snapshot.piece != current_piece) {
    // The player holds another piece now: these settings must be composed.
    panel.set_compose_enabled(true);
    panel.set_save_enabled(false);
    panel.set_status_text("");
  }
  state.engine.user_scale = snapshot.user_scale;
  state.channel_map = snapshot.channel_map;
  panel.on_changed = std::move(on_changed);
  if (panel.on_changed) panel.on_changed();
}

}  // namespace tessavar
