#include "model/app_commands.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <system_error>
#include <utility>

#include "base/file_system.h"
#include "files/file_names.h"
#include "midi/composition_info.h"
#include "midi/midi_reader.h"
#include "model/audio_stems.h"
#include "model/browse_session.h"
#include "model/composition_file_io.h"
#include "model/drag_drop_rules.h"
#include "model/export_naming.h"
#include "model/file_pairs.h"
#include "model/midi_file_transfer.h"
#include "model/note_entry.h"
#include "model/orchestration_file_io.h"
#include "model/recent_compositions.h"
#include "model/scale_file_io.h"
#include "model/settings_file_io.h"
#include "model/system_soundfont.h"

namespace tessavar {

namespace {

constexpr char kCompositionExtension[] = "tvx";
constexpr char kOrchestrationExtension[] = "orc";
constexpr char kScaleExtension[] = "sca";
// The first of the audio formats, taken when the name has no extension.
constexpr char kAudioExtension[] = "wav";
constexpr char kSoundFontExtension[] = "sf2";
constexpr char kNothingToExport[] =
    "There is no composed music to export yet. Compose first.";
constexpr char kStaleMusic[] =
    "The panel has changed since the music was composed. Compose it again "
    "before exporting.";
constexpr char kWorkingFileGone[] =
    "The working MIDI file no longer exists. Compose again to save or "
    "export this piece.";
constexpr char kRecentTitle[] = "Recent Compositions";
constexpr char kExportAudioTitle[] = "Export Audio";
constexpr char kStemsTitle[] = "Export Stems";
// Completed with the composition's name and a closing quote.
constexpr char kStemsFolderTitle[] = "Export Stems - Where to Put the \"";
constexpr char kStemsFormatPrompt[] = "Write the stems as:";
constexpr char kBitratePrompt[] = "Bit rate:";
constexpr char kExportDoneTitle[] = "Export Finished";
// Added to the title while a MIDI file without a composition is listened
// to.
constexpr char kMidiOnlyTitle[] = " - MIDI file only, without a composition";
constexpr char kUnsavedMark[] = " *";

// The files a save writes: the program's files get lower-case names.
std::vector<std::string> LowerCased(const std::string& path) {
  return {LowerCaseFileName(path)};
}
std::vector<std::string> CompositionFiles(const std::string& path) {
  return {LowerCaseFileName(path), LowerCaseFileName(CompanionMidiPath(path))};
}

// Closes the progress display before each box, so that the box is on top
// and can be answered.
class ProgressClosingReporter : public ErrorReporter {
 public:
  ProgressClosingReporter(ErrorReporter& reporter,
                          std::function<void()> close_progress)
      : reporter_(reporter), close_progress_(std::move(close_progress)) {}
  ErrorChoice ShowError(const std::string& message) override {
    if (close_progress_) close_progress_();
    return reporter_.ShowError(message);
  }
  void ShowFailure(const std::string& message) override {
    if (close_progress_) close_progress_();
    reporter_.ShowFailure(message);
  }

 private:
  ErrorReporter& reporter_;
  std::function<void()> close_progress_;
};

bool EntryExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

// Why an existing file that a save is about to replace cannot be replaced,
// or ok: it is not a regular file, or it is write-protected.
Status ReplaceProblem(const std::string& path) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status)) return Status();
  if (!std::filesystem::is_regular_file(status)) return NotRegularFile(path);
  if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
    return Status(ErrorNumberFromErrno(errno), path);
  }
  return Status();
}

// The target exists and is not the file `own` names, which is on disk
// under that exact name.
bool IsAnotherFile(const std::string& target, const std::string& own) {
  std::error_code ec;
  return ExactFileExists(own) && EntryExists(target) &&
         !std::filesystem::equivalent(target, own, ec);
}

// The reader's reason as the first line of a message.
std::string Sentence(std::string reason) {
  if (!reason.empty()) {
    reason[0] =
        static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])));
  }
  return reason + ".";
}

// The described filter of each file kind; FluidSynth also reads SoundFonts
// in the compressed .sf3 form.
std::string FilterFor(std::string_view extension) {
  struct Kind {
    std::string_view extension;
    const char* filter;
  };
  static constexpr Kind kKinds[] = {
      {kCompositionExtension, "Compositions (*.tvx)"},
      {kOrchestrationExtension, "Orchestrations (*.orc)"},
      {kScaleExtension, "Scales (*.sca)"},
      {kSoundFontExtension, "SoundFonts (*.sf2 *.sf3)"}};
  if (extension == kAudioExtension) return AudioDialogFilter();
  for (const Kind& kind : kKinds) {
    if (kind.extension == extension) return kind.filter;
  }
  return "*." + std::string(extension);
}

}  // namespace

FileDialogRequest FileDialogFor(const std::string& title,
                                std::string_view extension, bool open) {
  FileDialogRequest request;
  request.title = title;
  request.filter = FilterFor(extension);
  request.default_extension = extension;
  request.must_exist = open;
  return request;
}

AppCommands::AppCommands(ProgramState& state, UserDialogs& dialogs,
                         ErrorReporter& errors, Player& player, UiHost& ui,
                         AudioRenderer* audio_renderer)
    : state_(state),
      dialogs_(dialogs),
      errors_(errors),
      player_(player),
      ui_(ui),
      audio_renderer_(audio_renderer) {
  // A stale score closes the player, and the panel's own yields reach the
  // window.
  state_.panel.on_score_cleared = [this] { player_.Close(); };
  state_.panel.on_yield = [this] { ui_.Yield(); };
}

AppCommands::~AppCommands() {
  state_.panel.on_score_cleared = nullptr;
  state_.panel.on_yield = nullptr;
}

bool AppCommands::FirstActivation() {
  if (activated_once_) return false;
  activated_once_ = true;
  ui_.Yield();
  // The default composition and its music, without a word when missing.
  LoadStartupComposition(state_, state_.paths.default_composition, ui_);
  state_.midi_path = state_.paths.default_midi;
  LoadMIDIFile(state_, player_, ui_, errors_);
  // Forgotten, so that the first save asks for a name.
  MarkSaved("");
  state_.midi_path.clear();
  state_.orchestration_path.clear();
  state_.scale_path.clear();

  if (hooks_.focus_compose_button) hooks_.focus_compose_button();
  ui_.Yield();
  if (hooks_.show_splash) hooks_.show_splash();
  ui_.Yield();
  LoadSettingsFile(state_.options, state_.paths.settings_file);
  if (!state_.options.soundfont.empty() && apply_soundfont_) {
    apply_soundfont_(state_.options.soundfont);
  }
  if (!file_to_open_.empty()) {
    OpenComposition(std::exchange(file_to_open_, {}));
  }
  return true;
}

void AppCommands::ShutDown() {
  // Listening to a lone MIDI file turns Save off, yet the working file may
  // still be the music of the panel as it stands.
  const bool panel_music = state_.panel.save_enabled() ||
                           (ListeningToMidiOnly() && working_is_panels_);
  player_.Close();
  const std::string midi_path = state_.midi_path;
  const std::string caption = state_.caption;
  WriteCompositionFile(state_, state_.paths.default_composition, ui_, errors_);
  state_.midi_path = state_.paths.default_midi;
  // Before the first Compose there is no music to keep, and no message.
  // Music that the panel as saved does not produce is not kept as its
  // music: an older default MIDI file would pair with it next time.
  if (FileExists(state_.paths.working_midi)) {
    if (panel_music) {
      SaveMIDIFile(state_, player_, ui_, errors_);
    } else {
      const std::string stale = LowerCaseFileName(state_.midi_path);
      std::error_code ec;
      if (std::filesystem::is_regular_file(
              std::filesystem::symlink_status(stale, ec))) {
        std::filesystem::remove(stale, ec);
      }
    }
  }
  state_.midi_path = midi_path;
  state_.caption = caption;  // the window is closing: keep its own name
  // The program ends whether or not the settings could be written.
  SaveSettingsFile(state_.options, state_.paths.settings_file);
  player_.Close();
}

void AppCommands::FileLoadComposition() {
  // The path changes only with the load: a refused file leaves it.
  std::string chosen = state_.composition_path;
  if (!ChooseFile("Load Composition", kCompositionExtension, true, &chosen)) {
    state_.composition_path = chosen;  // an empty answer forgets it
    return;
  }
  LoadComposition(chosen);
}

void AppCommands::LoadComposition(const std::string& path) {
  if (!IsMidiFileName(path)) {
    LoadCompositionFile(ReplaceExtension(path, kCompositionExtension));
    return;
  }
  const std::string composition = FindPairedFile(
      ReplaceExtension(FindExistingPath(path), kCompositionExtension));
  if (ExactFileExists(composition)) {
    LoadCompositionFile(composition);
  } else {
    ListenToMidiFile(path);
  }
}

void AppCommands::OpenComposition(const std::string& path) {
  if (IsMidiFileName(path)) {
    LoadComposition(path);
  } else {
    LoadCompositionFile(ReplaceExtension(path, kCompositionExtension),
                        MissingMusic::kCompose);
  }
}

void AppCommands::LoadCompositionFile(const std::string& path,
                                      MissingMusic missing) {
  const std::string composition = FindPairedFile(path);
  if (!ExactFileExists(composition)) {
    // Named, and the panel stays: not even its MIDI file is looked for.
    LetGoOfMusic();
    errors_.ShowFailure((EntryExists(composition)
                             ? NotRegularFile(composition)
                             : Status(kErrFileNotFound, composition))
                            .Message());
    return;
  }
  const Status loaded = ReadCompositionFile(state_, composition, ui_);
  if (IsNotAComposition(loaded)) {
    LetGoOfMusic();
    errors_.ShowFailure(Status(loaded.number(), composition, loaded.line(),
                               Sentence(loaded.detail()))
                            .Message());
    return;
  }
  listened_midi_.clear();
  state_.composition_path = composition;
  state_.midi_path = FindPairedFile(CompanionMidiPath(composition));
  if (!ExactFileExists(state_.midi_path) &&
      FindExistingPath(state_.midi_path) != state_.midi_path) {
    // Only a case twin's MIDI file is there, and it is not this one's.
    LetGoOfMusic();
    errors_.ShowFailure(Status(kErrFileNotFound, state_.midi_path).Message());
  } else if (missing == MissingMusic::kCompose && loaded.ok() &&
             !EntryExists(state_.midi_path)) {
    // The parameters define the music: the caller composes it.
    LetGoOfMusic();
    compose_requested_ = true;
  } else {
    LoadMIDIFile(state_, player_, ui_, errors_);
  }
  if (loaded.ok()) {
    RememberComposition(state_.options.recent_compositions, composition);
    MarkSaved(composition);
  } else {
    // The panel holds only part of the composition, so the MIDI file is not
    // its music: it plays, but is not saved as the panel's.
    state_.panel.set_save_enabled(false);
  }
}

void AppCommands::LetGoOfMusic() {
  // A load was asked for: what was composed before is no longer what the
  // user is working on, so it is neither played nor saved; Compose makes
  // it again from the panel.
  player_.Close();
  state_.panel.set_save_enabled(false);
  state_.panel.set_compose_enabled(true);
}

void AppCommands::ListenToMidiFile(const std::string& path) {
  const std::string file = FindExistingPath(path);
  const Result<MidiContent> content = ReadMidiContentFile(file);
  if (!content.ok()) {
    errors_.ShowFailure(content.status().Message());
    return;
  }
  // The panel stays as it is; its music, if any, stays in the working file.
  if (!ListeningToMidiOnly()) working_is_panels_ = state_.panel.save_enabled();
  player_.Close();
  state_.panel.set_save_enabled(false);
  player_.SetFileName(file);
  player_.Open();
  listened_midi_ = file;
  state_.play_slider = 0;
}

bool AppCommands::ListeningToMidiOnly() const {
  return !listened_midi_.empty() && player_.Mode() != kPlayerModeNotOpen &&
         player_.FileName() == listened_midi_;
}

std::string AppCommands::WindowTitle() const {
  if (ListeningToMidiOnly()) {
    return CaptionWithFileName(kProgramCaption, listened_midi_) +
           kMidiOnlyTitle;
  }
  const std::string named =
      title_file_.empty() ? std::string(kProgramCaption)
                          : CaptionWithFileName(kProgramCaption, title_file_);
  return HasUnsavedChanges() ? named + kUnsavedMark : named;
}

bool AppCommands::HasUnsavedChanges() const {
  if (!saved_bytes_.has_value()) return false;
  std::string problem;
  return CompositionFileBytes(state_, &problem) != saved_bytes_;
}

void AppCommands::MarkSaved(const std::string& file) {
  title_file_ = file;
  std::string problem;
  saved_bytes_ = CompositionFileBytes(state_, &problem);
}

bool AppCommands::OpenRecentComposition(const std::string& path) {
  if (ExactFileExists(path)) {
    LoadComposition(path);
    return true;
  }
  const std::string question = DisplayFileName(path) + " no longer exists.\n" +
                               path +
                               "\n\nRemove it from the list of recent "
                               "compositions?";
  if (dialogs_.AskYesNo(question, kRecentTitle)) {
    ForgetComposition(state_.options.recent_compositions, path);
  }
  return false;
}

bool AppCommands::CheckWorkingFile() {
  const std::string& working = state_.paths.working_midi;
  if (working.empty() || FileExists(working)) return false;
  const bool playing_it =
      player_.Mode() != kPlayerModeNotOpen &&
      LowerCaseFileName(player_.FileName()) == LowerCaseFileName(working);
  if (!state_.panel.save_enabled() && !playing_it) return false;
  WorkingFileLost();
  return true;
}

void AppCommands::WorkingFileLost() {
  player_.Stop();
  player_.Close();
  state_.panel.set_save_enabled(false);
  state_.panel.set_status_text("The working MIDI file " +
                               WorkingMidiFile(state_.paths) +
                               " no longer exists.");
}

void AppCommands::FileSaveCompositionAs() {
  if (!ChooseFile("Save Composition As", kCompositionExtension, false,
                  &state_.composition_path, CompositionFiles)) {
    return;
  }
  SaveComposition(true);
}

void AppCommands::FileSaveComposition() {
  if (state_.composition_path.empty()) {
    FileSaveCompositionAs();
  } else if (state_.panel.save_enabled()) {
    // Saving writes lower-case names: another file that this would replace
    // (a case twin of the loaded one) is asked about first.
    const std::vector<std::string> written =
        CompositionFiles(state_.composition_path);
    const std::string own[] = {state_.composition_path, state_.midi_path};
    std::vector<std::string> others;
    for (size_t i = 0; i < written.size(); ++i) {
      if (IsAnotherFile(written[i], own[i])) others.push_back(written[i]);
    }
    if (!ConfirmReplacing("Save Composition", others)) return;
    SaveComposition(false);
  }
}

void AppCommands::SaveComposition(bool edit_info) {
  // Both files are checked before either is written, so that a save never
  // leaves half of a pair. A composition that could not be written (or was
  // refused) gets no companion file and no information either.
  if (!PairCanBeSaved()) return;
  if (!WriteCompositionFile(state_, state_.composition_path, ui_, errors_))
    return;
  // The list and the title name the file really written.
  RememberComposition(state_.options.recent_compositions,
                      LowerCaseFileName(state_.composition_path));
  MarkSaved(LowerCaseFileName(state_.composition_path));
  state_.midi_path = CompanionMidiPath(state_.composition_path);
  if (!SaveMIDIFile(state_, player_, ui_, errors_)) return;
  if (edit_info && hooks_.edit_composition_info) {
    hooks_.edit_composition_info();
  }
  ui_.Yield();
  ui_.SetBusyPointer(true);
  EmbedCompositionInfo(state_);
  ui_.SetBusyPointer(false);
}

bool AppCommands::PairCanBeSaved() {
  if (!FileExists(state_.paths.working_midi)) {
    WorkingFileLost();
    errors_.ShowFailure(Status(kErrFileNotFound, WorkingMidiFile(state_.paths),
                               0, kWorkingFileGone)
                            .Message());
    return false;
  }
  const Status midi_target = ReplaceProblem(
      LowerCaseFileName(CompanionMidiPath(state_.composition_path)));
  if (!midi_target.ok()) {
    errors_.ShowFailure(midi_target.Message());
    return false;
  }
  return true;
}

void AppCommands::FileMelodyToStructure() {
  const std::string answer = dialogs_.InputBox(kMelodyPrompt, kMelodyTitle, "");
  if (answer.empty()) return;  // cancelled: nothing changes
  if (std::optional<std::string> structure = MelodyToStructure(answer)) {
    state_.panel.SetText({Box::kStructure}, *structure);
  }
  // Applied to every answer, also to a melody too short to use.
  state_.panel.Select({List::kTonality}, 0);
  state_.panel.SetText(MappedBox(MappedParameter::kCompression), "0");
}

void AppCommands::FileUserDefinedScale() {
  const std::string answer =
      dialogs_.InputBox(kScalePrompt, kScaleTitle,
                        UserScaleDefaultText(state_.engine.user_scale));
  if (std::optional<std::string> scale = UserScaleFromNotes(answer)) {
    state_.engine.user_scale = *scale;
  }
}

bool AppCommands::ChooseFile(const std::string& title,
                             std::string_view extension, bool open,
                             std::string* path, const WrittenFiles& written) {
  FileDialogRequest request = FileDialogFor(title, extension, open);
  request.start_path = *path;
  std::optional<std::string> chosen =
      open ? dialogs_.OpenFileName(request) : dialogs_.SaveFileName(request);
  if (!chosen.has_value()) return false;  // cancelled: the path stays
  if (chosen->empty()) {
    path->clear();
    return false;
  }
  const std::string named = ReplaceExtension(*chosen, extension);
  if (!open && written && !ConfirmReplacing(title, written(named))) {
    return false;
  }
  if (!open) CreateParentDirectory(*chosen);
  *path = named;
  return true;
}

bool AppCommands::ConfirmReplacing(const std::string& title,
                                   const std::vector<std::string>& files) {
  std::vector<std::string> existing;
  for (const std::string& file : files) {
    if (EntryExists(file)) existing.push_back(DisplayFileName(file));
  }
  if (existing.empty()) return true;
  std::string text;
  if (existing.size() == 1) {
    text = existing[0] + " already exists.\nDo you want to replace it?";
  } else {
    text = "These files already exist:\n";
    for (const std::string& name : existing) text += name + "\n";
    text += "Do you want to replace them?";
  }
  return dialogs_.AskYesNo(text, title);
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
                  &state_.orchestration_path, LowerCased)) {
    return;
  }
  SaveOrchestrationFile(state_, ui_, errors_);
}

void AppCommands::FileLoadScale() {
  if (!ChooseFile("Load User-Defined Scale", kScaleExtension, true,
                  &state_.scale_path)) {
    return;
  }
  LoadScaleFile(state_, ui_, errors_);
}

void AppCommands::FileSaveScale() {
  if (!ChooseFile("Save User-Defined Scale As", kScaleExtension, false,
                  &state_.scale_path, LowerCased)) {
    return;
  }
  SaveScaleFile(state_, ui_, errors_);
}

void AppCommands::FileExportAudio(const RenderProgress& progress,
                                  const std::vector<bool>& silent_tracks,
                                  bool stems) {
  const std::string midi = MusicToExport(audio_renderer_ != nullptr);
  if (midi.empty()) return;
  const std::string title = stems ? kStemsTitle : kExportAudioTitle;
  std::string audio;
  std::string folder;
  AudioFormat format = kDefaultAudioFormat;
  if (stems ? !ChooseStemsTarget(&folder, &format)
            : !ChooseAudioFile(title, &audio)) {
    return;
  }
  if (!stems) format = AudioFormatOfPath(audio).value_or(format);
  int bitrate_kbps = kDefaultBitrate;
  if (!ChooseBitrate(title, format, &bitrate_kbps)) return;
  const Result<MidiContent> content = ReadMidiContentFile(midi);
  std::vector<std::string> written = {audio};
  if (stems) {
    written.clear();
    for (const Stem& stem :
         content.ok() ? PlanStems(content.value(), silent_tracks, format)
                      : std::vector<Stem>()) {
      written.push_back(folder + "/" + stem.file_name);
    }
  }
  if (!ConfirmReplacing(title, written)) return;
  if (!stems) CreateParentDirectory(audio);
  const bool folder_existed = stems && EntryExists(folder);
  std::vector<std::string> fresh;
  std::copy_if(written.begin(), written.end(), std::back_inserter(fresh),
               [](const std::string& path) { return !EntryExists(path); });
  ui_.SetBusyPointer(true);
  // No box opens under the progress display.
  ProgressClosingReporter errors(errors_, hooks_.close_progress);
  RenderResult result;
  // Retry renders again.
  const Status status = RunWithRetry(errors, [&] {
    result =
        stems ? audio_renderer_->RenderStems(midi, folder, format,
                                             state_.options.soundfont, progress,
                                             silent_tracks, bitrate_kbps)
              : audio_renderer_->Render(midi, audio, state_.options.soundfont,
                                        progress, silent_tracks, bitrate_kbps);
  });
  ui_.SetBusyPointer(false);
  if (hooks_.close_progress) hooks_.close_progress();
  if (!status.ok() || result.cancelled) {
    // What this export wrote goes again, never a file that was there
    // before, and then a stems folder it made.
    std::error_code ec;
    for (const std::string& path : fresh) std::filesystem::remove(path, ec);
    if (stems && !folder_existed) std::filesystem::remove(folder, ec);
    return;
  }
  ShowExportDone(result.files,
                 content.ok()
                     ? SilencedTrackNames(content.value(), silent_tracks)
                     : std::vector<std::string>());
}

void AppCommands::ShowExportDone(const std::vector<std::string>& files,
                                 const std::vector<std::string>& left_out) {
  dialogs_.ShowMessage(ExportFinishedText(files, left_out), kExportDoneTitle,
                       MessageIcon::kInformation);
}

bool AppCommands::ChooseAudioFile(const std::string& title, std::string* path) {
  FileDialogRequest request = FileDialogFor(title, kAudioExtension, false);
  request.start_path =
      SuggestedExportFile(state_.composition_path, kAudioExtension);
  std::optional<std::string> chosen = dialogs_.SaveFileName(request);
  if (!chosen.has_value() || chosen->empty()) return false;
  *path = DisplayFileName(*chosen).find('.') == std::string::npos
              ? ReplaceExtension(*chosen, kAudioExtension)
              : *chosen;
  if (AudioFormatOfPath(*path).has_value()) return true;
  dialogs_.ShowMessage(
      Status(kErrInvalidCall, *path, 0, UnknownAudioFormatText()).Message(),
      title, MessageIcon::kExclamation);
  return false;
}

bool AppCommands::ChooseStemsTarget(std::string* folder, AudioFormat* format) {
  FileDialogRequest request;
  request.title =
      kStemsFolderTitle + PieceName(state_.composition_path) + "\" Folder";
  // The composition's own folder (empty: the current one).
  request.start_path =
      std::filesystem::path(state_.composition_path).parent_path().string();
  std::optional<std::string> chosen = dialogs_.FolderName(request);
  if (!chosen.has_value() || chosen->empty()) return false;
  std::vector<std::string> names;
  for (const AudioFormatInfo& info : AudioFormats()) {
    names.push_back(std::string(info.name) + " (." +
                    std::string(info.extension) + ")");
  }
  const std::optional<size_t> choice =
      dialogs_.ChooseItem(kStemsFormatPrompt, kStemsTitle, names);
  if (!choice.has_value() || *choice >= names.size()) return false;
  *folder = ExportFolderIn(*chosen, state_.composition_path);
  *format = AudioFormats()[*choice].format;
  return true;
}

bool AppCommands::ChooseBitrate(const std::string& title, AudioFormat format,
                                int* kbps) {
  if (!HasBitrateChoice(format)) return true;
  const std::vector<int> choices = BitrateChoices(format);
  std::vector<std::string> names;
  for (int choice : choices) names.push_back(BitrateName(choice));
  const std::optional<size_t> choice =
      dialogs_.ChooseItem(kBitratePrompt, title, names);
  if (!choice.has_value() || *choice >= choices.size()) return false;
  *kbps = choices[*choice];
  return true;
}

std::string AppCommands::MusicToExport(bool can_render) {
  const std::string midi = FindExistingPath(state_.paths.working_midi);
  if (!FileExists(midi) || !can_render) {
    dialogs_.ShowMessage(kNothingToExport, "", MessageIcon::kInformation);
    return {};
  }
  if (!Availability().export_audio) {
    dialogs_.ShowMessage(kStaleMusic, "", MessageIcon::kInformation);
    return {};
  }
  return midi;
}

CommandAvailability AppCommands::Availability(
    const BrowseSession* browse) const {
  AvailabilityFacts facts;
  facts.working_midi_exists = FileExists(state_.paths.working_midi);
  facts.listening_to_midi_only = ListeningToMidiOnly();
  facts.player_open = player_.Mode() != kPlayerModeNotOpen;
  if (browse != nullptr) {
    facts.can_undo_change = browse->CanUndo();
    facts.can_redo_change = browse->CanRedo();
  }
  return state_.commands.Availability(state_.panel, facts);
}

void AppCommands::OptionsSoundFont() {
  FileDialogRequest request =
      FileDialogFor("Choose SoundFont", kSoundFontExtension, true);
  request.start_path = state_.options.soundfont.empty()
                           ? kSystemSoundFontDirectory
                           : state_.options.soundfont;
  std::optional<std::string> chosen = dialogs_.OpenFileName(request);
  if (!chosen.has_value() || chosen->empty()) return;
  state_.options.soundfont = *chosen;
  if (apply_soundfont_) apply_soundfont_(*chosen);
  // Heard at once: the open file is opened again with the new sounds.
  if (player_.Mode() != kPlayerModeNotOpen) {
    player_.Close();
    player_.Open();
  }
}

}  // namespace tessavar
