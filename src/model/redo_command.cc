#include "model/redo_command.h"

#include <cstdint>

#include "base/file_system.h"
#include "midi/redo_patcher.h"
#include "model/error_reporter.h"
#include "model/midi_save.h"
#include "model/playback_monitor.h"
#include "model/player.h"
#include "model/program_state.h"
#include "model/ui_host.h"

namespace tessavar {
namespace {

// Patches the working file, asking the user on failure; Retry tries again.
bool PatchWorkingFile(const ProgramState& state, ErrorReporter& errors) {
  return RunWithRetry(errors,
                      [&] {
                        PatchMIDIFile(
                            ProgramFileOnDisk(state.paths.working_midi),
                            RedoSettingsFromState(state));
                      })
      .ok();
}

}  // namespace

bool RedoCommand(ProgramState& state, Player& player, UiHost& ui,
                 ErrorReporter& errors) {
  PanelModel& panel = state.panel;
  CommandState& commands = state.commands;
  if (commands.busy()) return false;
  commands.Start(RunningCommand::kRedo);

  player.Close();
  ui.Yield();

  ui.SetBusyPointer(true);
  panel.DisablePanel();
  const bool save_was_enabled = panel.save_enabled();
  panel.set_save_enabled(false);
  panel.set_status_text(kRedoStatusText);
  panel.set_compose_enabled(false);
  commands.SetLoadAndRedoEnabled(false);
  ui.Yield();

  const bool patched = PatchWorkingFile(state, errors);

  player.SetFileName(ProgramFileOnDisk(state.paths.working_midi));
  player.Open();
  panel.set_status_text("");
  ui.Yield();
  panel.EnablePanel();
  // Patching makes the file the panel's music only when nothing but
  // instruments and pans changed since it was composed.
  panel.set_save_enabled(save_was_enabled ||
                         (patched && panel.score_current()));
  ui.SetBusyPointer(false);
  panel.set_compose_enabled(true);
  commands.SetLoadAndRedoEnabled(true);

  if (patched && state.options.autoplay_redo) {
    ui.Yield();
    player.SetFrom(
        StartPositionForSlider(state.play_slider, player.LengthMs()));
    player.Play();
  }
  commands.Finish();
  return patched;
}

}  // namespace tessavar
