#include "model/compose_command.h"

#include <string_view>
#include <vector>

#include "base/text.h"
#include "engine/composer.h"
#include "engine/text_characters.h"
#include "engine/text_number.h"
#include "model/midi_save.h"
#include "model/panel_compose.h"
#include "model/playback_monitor.h"

namespace tessavar {
namespace {

bool AllOneCharacter(const std::vector<std::string_view>& characters) {
  for (const auto& ch : characters) {
    if (ch != characters.front()) return false;
  }
  return true;
}

ComposeValidation Message(std::string text, Box focus) {
  return {ComposeValidation::Kind::kMessage, std::move(text), focus};
}

ComposeValidation Note(std::string text) {
  return {ComposeValidation::Kind::kNote, std::move(text), Box::kStructure};
}

bool OutOfRange(const PanelModel& panel, Box box, double low, double high) {
  double value = NumericValue(panel.Text({box}));
  return value < low || value > high;
}

// The host's yields, answering from the command whether to stop.
class StoppableProgress : public ProgressHook {
 public:
  StoppableProgress(ProgressHook& host, const bool& stop_pending)
      : host_(host), stop_pending_(stop_pending) {}
  void Yield() override { host_.Yield(); }
  bool StopRequested() const override { return stop_pending_; }

 private:
  ProgressHook& host_;
  const bool& stop_pending_;
};

}  // namespace

ComposeValidation ValidateCompose(const PanelModel& panel) {
  const std::string& structure = panel.Text({Box::kStructure});
  auto characters = SplitCharacters(structure);
  if (characters.size() < 3 || characters.size() > 16) {
    return Message("Structure should be 3 to 16 digits in length.",
                   Box::kStructure);
  }
  if (AllOneCharacter(characters)) {
    return Message("Structure should not be all one digit.", Box::kStructure);
  }
  if (OutOfRange(panel, Box::kMapping, 1, 32767)) {
    return Message("Mapping should be in the range 1 - 32767.", Box::kMapping);
  }
  if (OutOfRange(panel, Box::kVariation, 0, 10)) {
    return Message("Variation should be in the range 0 - 10.", Box::kVariation);
  }
  if (OutOfRange(panel, Box::kTracks, 1, kTrackCount)) {
    return Message("Tracks should be in the range 1 - 16.", Box::kTracks);
  }
  if (OutOfRange(panel, Box::kTempo, 20, 420)) {
    return Message("Tempo should be in the range 20 - 420.", Box::kTempo);
  }
  auto trimmed = SplitCharacters(TrimSpaces(structure));
  if (trimmed.size() < 3 || trimmed.size() > 32) {
    return Note("Note:  Structure must be 3 to 32 digits in length");
  }
  if (AllOneCharacter(trimmed)) {
    return Note("Note:  Structure must not be all one digit");
  }
  return {};
}

ComposeOutcome ComposeCommand::Click() {
  ComposeOutcome outcome;
  CommandState& commands = state_.commands;
  if (commands.compose_stops()) {
    RequestStop();
    outcome.kind = ComposeOutcome::Kind::kStopRequested;
    return outcome;
  }
  if (commands.busy()) {
    outcome.kind = ComposeOutcome::Kind::kBusy;
    return outcome;
  }
  outcome.validation = ValidateCompose(state_.panel);
  if (!outcome.validation.passed()) {
    if (outcome.validation.kind == ComposeValidation::Kind::kNote) {
      state_.panel.set_status_text(outcome.validation.text);
    }
    outcome.kind = ComposeOutcome::Kind::kInvalid;
    return outcome;
  }
  Prepare();
  outcome.written = ComposeAndWrite();
  if (outcome.written) OpenWorkingFile();
  Restore();
  if (outcome.written && state_.options.autoplay) Autoplay();
  commands.Finish();
  return outcome;
}

void ComposeCommand::Prepare() {
  state_.commands.Start(RunningCommand::kCompose);
  stop_pending_ = false;
  host_.SetBusyPointer(true);
  state_.panel.DisablePanel();
  state_.panel.set_save_enabled(false);
  state_.panel.set_score_current(false);  // the working file is rewritten
  state_.commands.SetLoadAndRedoEnabled(false);
  state_.play_slider = 0;
  state_.commands.SetComposeStops(true);
  player_.Close();
  host_.Yield();
}

bool ComposeCommand::ComposeAndWrite() {
  StoppableProgress progress(host_, stop_pending_);
  PanelComposeHook hook(state_.panel, progress);
  const ComposeRequest request =
      ComposeRequestFromPanel(state_.panel, state_.engine.user_scale);
  if (!ComposeAndFinishScore(request, state_.engine, hook).composed)
    return false;
  state_.panel.set_status_text(kGeneratingStatus);
  const MidiFileSettings settings =
      MidiFileSettingsFromPanel(state_.panel, state_.channel_map);
  if (midi_bytes_) {
    const EngineState& engine = state_.engine;
    MidiFileBytes file =
        BuildMidiFile(engine.score, engine.track_name, engine.track_instrument,
                      settings, progress);
    if (file.outcome != MidiWriteOutcome::kWritten) return false;
    *midi_bytes_ = std::move(file.bytes);
    return true;
  }
  return SaveScoreAsMidiFile(state_.paths.working_midi, state_.engine, settings,
                             errors_, progress)
      .written();
}

void ComposeCommand::OpenWorkingFile() {
  if (!midi_bytes_) {
    player_.Close();
    player_.SetFileName(state_.paths.working_midi);
    player_.Open();
  }
  state_.panel.set_compose_enabled(false);
  state_.panel.set_save_enabled(true);
}

void ComposeCommand::Restore() {
  state_.commands.SetComposeStops(false);
  state_.panel.set_status_text("");
  state_.panel.EnablePanel();
  state_.commands.SetLoadAndRedoEnabled(true);
  host_.SetBusyPointer(false);
  stop_pending_ = false;
}

void ComposeCommand::Autoplay() {
  host_.Yield();
  player_.SetFrom(
      StartPositionForSlider(state_.play_slider, player_.LengthMs()));
  player_.Play();
}

}  // namespace tessavar
