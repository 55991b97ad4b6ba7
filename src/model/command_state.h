// Which of the main window's commands can be used now. The Compose and Redo
// commands record here that they run; the window, its buttons and its menus
// only show what this answers and are told of every change.
#ifndef TESSAVAR_MODEL_COMMAND_STATE_H_
#define TESSAVAR_MODEL_COMMAND_STATE_H_

#include <functional>

#include "model/panel_model.h"

namespace tessavar {

enum class RunningCommand { kNone, kCompose, kRedo };

// What the availability depends on besides the panel and the running
// command: the files, the player and the history of changes.
struct AvailabilityFacts {
  bool working_midi_exists = false;
  // The player holds a MIDI file loaded without a composition.
  bool listening_to_midi_only = false;
  bool player_open = false;
  bool can_undo_change = false;
  bool can_redo_change = false;
};

// What the window shows enabled at one moment.
struct CommandAvailability {
  bool compose = true;  // the Compose button
  // The Compose button reads "Cancel": a click asks the compose to stop.
  bool compose_stops = false;
  // The Redo Midi button: it needs the working MIDI file, and the player's
  // file to be it or a composition's music.
  bool redo = true;
  bool load = true;
  // The Save button and the "Save Composition" and "Save Again" items.
  bool save = false;
  // The other File menu items, MIDI Map and SoundFont: they read or write
  // the files a running Compose or Redo uses, so they wait for it.
  bool file_commands = true;
  // Export Audio and Export Stems: only music the panel as it stands
  // produced, as for Save.
  bool export_audio = false;
  // Dragging the piece out: music that could be saved, on disk.
  bool midi_drag = false;
  // Undo and Redo of a change, the mapping steps and the history window's
  // commands wait for a running command and a disabled panel.
  bool undo_change = false;
  bool redo_change = false;
  bool browse = true;
  // Play, pause, stop and the position slider: a file is open.
  bool transport = false;
};

class CommandState {
 public:
  RunningCommand running() const { return running_; }
  bool busy() const { return running_ != RunningCommand::kNone; }
  bool compose_stops() const { return compose_stops_; }
  bool load_enabled() const { return load_enabled_; }
  bool redo_enabled() const { return redo_enabled_; }

  void Start(RunningCommand command);
  // Ends the running command; also ends a stoppable phase left open.
  void Finish();
  void SetComposeStops(bool stops);
  void SetLoadAndRedoEnabled(bool enabled);

  // Every command's availability, from this state, the Compose and Save
  // states the panel's rules keep, and the facts.
  CommandAvailability Availability(const PanelModel& panel,
                                   const AvailabilityFacts& facts = {}) const;

  // Called after every change.
  std::function<void()> on_changed;

 private:
  void Changed();

  RunningCommand running_ = RunningCommand::kNone;
  bool compose_stops_ = false;
  bool load_enabled_ = true;
  bool redo_enabled_ = true;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_COMMAND_STATE_H_
