#include "model/command_state.h"

namespace tessavar {

void CommandState::Start(RunningCommand command) {
  running_ = command;
  Changed();
}

void CommandState::Finish() {
  running_ = RunningCommand::kNone;
  compose_stops_ = false;
  Changed();
}

void CommandState::SetComposeStops(bool stops) {
  compose_stops_ = stops;
  Changed();
}

void CommandState::SetLoadAndRedoEnabled(bool enabled) {
  load_enabled_ = enabled;
  redo_enabled_ = enabled;
  Changed();
}

CommandAvailability CommandState::Availability(
    const PanelModel& panel, const AvailabilityFacts& facts) const {
  CommandAvailability availability;
  availability.compose = panel.compose_enabled();
  availability.compose_stops = compose_stops_;
  availability.redo = redo_enabled_ && facts.working_midi_exists &&
                      !facts.listening_to_midi_only;
  availability.load = load_enabled_;
  availability.save = panel.save_enabled() && !busy();
  availability.file_commands = !busy();
  availability.export_audio = availability.save;
  availability.midi_drag = availability.save && facts.working_midi_exists;
  availability.browse = !busy() && panel.enabled();
  availability.undo_change = availability.browse && facts.can_undo_change;
  availability.redo_change = availability.browse && facts.can_redo_change;
  availability.transport = facts.player_open;
  return availability;
}

void CommandState::Changed() {
  if (on_changed) on_changed();
}

}  // namespace tessavar
