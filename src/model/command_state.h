// Which of the main window's commands can be used now. The Compose and Redo
// commands record here that they run; the window, its buttons and its menus
// only show what this holds and are told of every change.
#ifndef TESSAVAR_MODEL_COMMAND_STATE_H_
#define TESSAVAR_MODEL_COMMAND_STATE_H_

#include <functional>

#include "model/panel_model.h"

namespace tessavar {

enum class RunningCommand { kNone, kCompose, kRedo };

// What the window shows enabled at one moment.
struct CommandAvailability {
  bool compose = true;  // the Compose button
  // The Compose button reads "Cancel": a click asks the compose to stop.
  bool compose_stops = false;
  bool redo = true;
  bool load = true;
  // The Save button and the "Save Composition" menu item.
  bool save = false;
  // The other File menu items, MIDI Map and SoundFont: they read or write
  // the files a running Compose or Redo uses, so they wait for it.
  bool file_commands = true;
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

  // The command availability, with the Compose and Save states the panel's
  // rules keep.
  CommandAvailability Availability(const PanelModel& panel) const;

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
