#include "model/compose_command.h"

#include <string_view>
#include <vector>

#include "engine/composer.h"
#include "engine/text_characters.h"
#include "engine/text_number.h"
#include "midi/midi_writer.h"

namespace tessavar {
namespace {

bool AllOneCharacter(const std::vector<std::string_view>& characters) {
  for (const auto& ch : characters) {
    if (ch != characters.front()) return false;
  }
  return true;
}

std::string_view TrimSpaces(std::string_view text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
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
  if (OutOfRange(panel, Box::kTracks, 1, 16)) {
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

int64_t StartPositionFromSlider(int slider, int64_t length_ms) {
  return CInt(slider / 1000.0 * static_cast<double>(length_ms));
}

ComposeOutcome ComposeCommand::Click() {
  ComposeOutcome outcome;
  if (buttons_.compose_caption == kCancelCaption) {
    state_.engine.stop_requested = 1;
    outcome.kind = ComposeOutcome::Kind::kStopRequested;
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
  outcome.result = ComposeAndWrite();
  if (outcome.result > 0) OpenWorkingFile();
  Restore();
  if (outcome.result > 0 && state_.options.autoplay) Autoplay();
  return outcome;
}

void ComposeCommand::Prepare() {
  state_.engine.stop_requested = 0;
  host_.SetBusyPointer(true);
  state_.panel.DisableLeftControls();
  buttons_.load_enabled = false;
  state_.panel.set_save_enabled(false);
  state_.panel.set_score_current(false);  // the working file is rewritten
  buttons_.redo_enabled = false;
  state_.play_slider = 0;
  buttons_.compose_caption = kCancelCaption;
  player_.Close();
  host_.Yield();
}

int ComposeCommand::ComposeAndWrite() {
  int result = CompileScore(state_.panel, state_.engine, host_);
  if (result <= 0) return result;
  state_.panel.set_status_text(kGeneratingStatus);
  return SaveScoreInMIDIFormat(
      state_.paths.working_midi, state_.engine,
      MidiFileSettingsFromPanel(state_.panel, state_.channel_map), errors_,
      host_);
}

void ComposeCommand::OpenWorkingFile() {
  player_.Close();
  player_.SetFileName(state_.paths.working_midi);
  player_.Open();
  state_.panel.set_compose_enabled(false);
  state_.panel.set_save_enabled(true);
}

void ComposeCommand::Restore() {
  buttons_.compose_caption = kComposeCaption;
  state_.panel.set_status_text("");
  state_.panel.EnableLeftControls();
  buttons_.load_enabled = true;
  buttons_.redo_enabled = true;
  host_.SetBusyPointer(false);
  state_.engine.stop_requested = 0;
}

void ComposeCommand::Autoplay() {
  host_.Yield();
  player_.SetFrom(
      StartPositionFromSlider(state_.play_slider, player_.LengthMs()));
  player_.Play();
}

}  // namespace tessavar
