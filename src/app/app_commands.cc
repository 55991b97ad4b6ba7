#include "app/app_commands.h"

#include <cmath>

#include "app/program_init.h"
#include "engine/text_number.h"
#include "files/composition_file.h"
#include "files/file_names.h"
#include "files/orchestration_file.h"
#include "files/scale_file.h"
#include "files/settings_file.h"
#include "platform/file_system.h"

namespace tessavar {

namespace {

constexpr char kCompositionExtension[] = "tvx";
constexpr char kOrchestrationExtension[] = "orc";
constexpr char kScaleExtension[] = "sca";
constexpr char kAudioExtension[] = "wav";
constexpr char kSoundFontExtension[] = "sf2";
constexpr char kNothingToExport[] =
    "There is no composed music to export yet. Compose first.";

}  // namespace

FileDialogRequest FileDialogFor(const std::string& title,
                                std::string_view extension, bool open) {
  FileDialogRequest request;
  request.title = title;
  request.filter = "*." + std::string(extension);
  request.default_extension = extension;
  request.must_exist = open;
  return request;
}

AppCommands::AppCommands(ProgramState& state, UserDialogs& dialogs,
                         ErrorReporter& errors, Player& player, UiHost& ui)
    : state_(state),
      dialogs_(dialogs),
      errors_(errors),
      player_(player),
      ui_(ui) {
  // A stale score closes the player, and the panel's own yields reach the
  // window.
  state_.panel.on_score_cleared = [this] { player_.Close(); };
  state_.panel.on_yield = [this] { ui_.Yield(); };
}

AppCommands::~AppCommands() {
  state_.panel.on_score_cleared = nullptr;
  state_.panel.on_yield = nullptr;
}

bool AppCommands::ChooseFile(const std::string& title,
                             std::string_view extension, bool open,
                             std::string* path) {
  const FileDialogRequest request = FileDialogFor(title, extension, open);
  std::optional<std::string> chosen =
      open ? dialogs_.OpenFileName(request) : dialogs_.SaveFileName(request);
  if (!chosen.has_value()) return false;  // cancelled: the path stays
  *path = *chosen;
  if (path->empty()) return false;
  if (!open) CheckForNewDirectory(*path);
  *path = ReplaceExtension(*path, extension);
  return true;
}

void AppCommands::FileLoadOrchestration() {
  if (!ChooseFile("Load Orchestration", kOrchestrationExtension, true,
                  &state_.orchestration_path)) {
    return;
  }
  LoadOrchestrationFile(state_, ui_, errors_);
}

void AppCommands::FileSaveOrchestration() {
  if (!ChooseFile("Save Orchestration As", kOrchestrationExtension, false,
                  &state_.orchestration_path)) {
    return;
  }
  SaveOrchestrationFile(state_, ui_, errors_);
}

void AppCommands::FileLoadScaleX() {
  if (!ChooseFile("Load User-Defined Scale", kScaleExtension, true,
                  &state_.scale_path)) {
    return;
  }
  LoadScaleFile(state_, ui_, errors_);
}

void AppCommands::FileSaveScaleX() {
  if (!ChooseFile("Save User-Defined Scale As", kScaleExtension, false,
                  &state_.scale_path)) {
    return;
  }
  SaveScaleFile(state_, ui_, errors_);
}

void AppCommands::FileExportAudio(const RenderProgress& progress) {
  const std::string midi = FindExistingPath(state_.paths.working_midi);
  if (!FileExists(midi)) {
    dialogs_.ShowMessage(kNothingToExport, "", MessageIcon::kInformation);
    return;
  }
  std::string wav;
  if (!ChooseFile("Export Audio", kAudioExtension, false, &wav)) return;
  ui_.SetBusyPointer(true);
  for (int code = 0;;) {
    try {
      RenderMidiToWav(midi, wav, state_.options.soundfont, progress);
      break;
    } catch (const RunTimeError& error) {
      ErrorHandler(code, error.number(), errors_);
      if (code != 0) break;  // Cancel; Retry renders again
    }
  }
  ui_.SetBusyPointer(false);
}

void AppCommands::OptionsSoundFont() {
  FileDialogRequest request =
      FileDialogFor("Choose SoundFont", kSoundFontExtension, true);
  std::optional<std::string> chosen = dialogs_.OpenFileName(request);
  if (!chosen.has_value() || chosen->empty()) return;
  state_.options.soundfont = *chosen;
  if (hooks.apply_soundfont) hooks.apply_soundfont(*chosen);
  // Heard at once: the open file is opened again with the new sounds.
  if (player_.Mode() != kPlayerModeNotOpen) {
    player_.Close();
    player_.Open();
  }
}

}  // namespace tessavar
