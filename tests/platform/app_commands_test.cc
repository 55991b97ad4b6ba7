// The window's commands without a window: dialogs answered by doubles, the
// player a fake, every test in a fresh program directory.
#include "model/app_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "base/file_system.h"
#include "midi/composition_info.h"
#include "midi/midi_reader.h"
#include "model/composition_file_io.h"
#include "model/midi_save.h"
#include "model/note_entry.h"
#include "model/recent_compositions.h"
#include "platform/audio_renderer.h"
#include "support/app_commands_fixture.h"
#include "support/midi_bytes.h"
#include "support/score_file.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_error_reporter.h"
#include "support/soundfont_check.h"
#include "support/temp_dir.h"

namespace tessavar::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> TempDirEntries(const std::string& path) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

AppCommands::WindowHooks ClosingProgress(std::function<void()> close) {
  AppCommands::WindowHooks hooks;
  hooks.close_progress = std::move(close);
  return hooks;
}

class AppCommandsTest : public AppCommandsFixture {
 protected:
  AppCommandsTest() : AppCommandsFixture(&renderer_) {}

  // A working MIDI file as the writer makes it, from a one-note score.
  void WriteWorkingMidi(int key = 60) {
    ScriptedErrorReporter reporter;
    ASSERT_TRUE(WriteScoreFile(state_.paths.working_midi, 1, key, state_.panel,
                               state_.channel_map, reporter));
  }
  std::string Working() {
    return ReadFile(FindExistingPath(state_.paths.working_midi));
  }

  FluidAudioRenderer renderer_;

  void OnEditInfo(std::function<void()> edit) {
    AppCommands::WindowHooks hooks;
    hooks.edit_composition_info = std::move(edit);
    commands_.SetWindowHooks(hooks);
  }
};

TEST_F(AppCommandsTest, OrchestrationAndScaleDialogsAreSetUpPerKind) {
  commands_.FileLoadOrchestration();
  commands_.FileSaveOrchestration();
  commands_.FileLoadScale();
  commands_.FileSaveScale();
  ASSERT_EQ(dialogs_.open_requests.size(), 2u);
  ASSERT_EQ(dialogs_.save_requests.size(), 2u);
  const FileDialogRequest& load_orc = dialogs_.open_requests[0];
  EXPECT_EQ(load_orc.title, "Load Orchestration");
  EXPECT_EQ(load_orc.filter, "Orchestrations (*.orc)");
  EXPECT_EQ(load_orc.default_extension, "orc");
  EXPECT_TRUE(load_orc.must_exist);
  const FileDialogRequest& save_orc = dialogs_.save_requests[0];
  EXPECT_EQ(save_orc.title, "Save Orchestration As");
  EXPECT_FALSE(save_orc.must_exist);
  EXPECT_EQ(dialogs_.open_requests[1].title, "Load User-Defined Scale");
  EXPECT_EQ(dialogs_.open_requests[1].filter, "Scales (*.sca)");
  EXPECT_EQ(dialogs_.save_requests[1].title, "Save User-Defined Scale As");
  EXPECT_EQ(dialogs_.save_requests[1].default_extension, "sca");
  // All four were cancelled: nothing chosen, nothing written or reported.
  EXPECT_EQ(state_.orchestration_path, "");
  EXPECT_EQ(state_.scale_path, "");
  EXPECT_TRUE(dir_.Entries().empty());
  EXPECT_TRUE(errors_.messages.empty());
}

TEST_F(AppCommandsTest, SavedOrchestrationGetsItsExtensionAndLowerCaseName) {
  state_.panel.SetText({Box::kVolume, 4}, "100");
  dialogs_.file_answers.push_back(dir_ / "BASS.TXT");
  commands_.FileSaveOrchestration();
  EXPECT_EQ(state_.orchestration_path, dir_ / "BASS.orc");
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"bass.orc"});

  // Loading it into a panel with another volume brings the 100 back.
  state_.panel.SetText({Box::kVolume, 4}, "12");
  dialogs_.file_answers.push_back(dir_ / "BASS");
  commands_.FileLoadOrchestration();
  EXPECT_EQ(state_.panel.Text({Box::kVolume, 4}), "100");
  EXPECT_TRUE(errors_.messages.empty());
}

TEST_F(AppCommandsTest, SavingIntoANewFolderCreatesThatOneFolder) {
  state_.engine.user_scale = " 0 2 4 5 7 911";
  dialogs_.file_answers.push_back(dir_ / "scales/MINE");
  commands_.FileSaveScale();
  EXPECT_EQ(ReadFile(dir_ / "scales/mine.sca"), "\" 0 2 4 5 7 911\"\r\n");

  state_.engine.user_scale = "";
  dialogs_.file_answers.push_back(dir_ / "scales/MINE.sca");
  commands_.FileLoadScale();
  EXPECT_EQ(state_.engine.user_scale, " 0 2 4 5 7 911");
}

TEST_F(AppCommandsTest, CancelledDialogKeepsThePreviousPath) {
  WriteFile(dir_ / "strings.orc", "");
  state_.orchestration_path = dir_ / "strings.orc";
  state_.composition_path = dir_ / "song.tvx";
  commands_.FileSaveOrchestration();  // no answer: cancelled
  commands_.FileSaveCompositionAs();
  EXPECT_EQ(state_.orchestration_path, dir_ / "strings.orc");
  EXPECT_EQ(ReadFile(dir_ / "strings.orc"), "");
  // Each dialog offered the file in use.
  ASSERT_EQ(dialogs_.save_requests.size(), 2u);
  EXPECT_EQ(dialogs_.save_requests[0].start_path, dir_ / "strings.orc");
  EXPECT_EQ(dialogs_.save_requests[1].start_path, dir_ / "song.tvx");
}

TEST_F(AppCommandsTest, OptionsToggleTheirOwnMarkOnly) {
  commands_.ToggleAutoplay();
  EXPECT_TRUE(state_.options.autoplay);
  EXPECT_FALSE(state_.options.autoplay_redo);
  EXPECT_FALSE(state_.options.lock_mapped);
  commands_.ToggleLockMapped();
  commands_.ToggleAutoplay();
  EXPECT_FALSE(state_.options.autoplay);
  EXPECT_TRUE(state_.options.lock_mapped);
  commands_.ToggleAutoplayRedo();
  EXPECT_TRUE(state_.options.autoplay_redo);
  EXPECT_TRUE(player_.log.empty());
}

TEST_F(AppCommandsTest, AStaleScoreClosesThePlayer) {
  state_.panel.SetText({Box::kStructure}, "123");
  EXPECT_EQ(player_.log, std::vector<std::string>{"Close"});
}

TEST_F(AppCommandsTest, ExportWithoutComposedMusicSaysSoAndAsksNothing) {
  commands_.FileExportAudio();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text,
            "There is no composed music to export yet. Compose first.");
  EXPECT_TRUE(dialogs_.save_requests.empty());
}

TEST_F(AppCommandsTest, ExportRendersTheWorkingFileAndCanBeCancelled) {
  ASSERT_TRUE(DefaultSoundFontInstalled());
  WriteFile(dir_ / "tvx.mid", WriterLayoutFile({{{0, 60, 192}, {0, 64, 192}}}));
  state_.panel.set_save_enabled(true);

  state_.composition_path = dir_ / "tunes/Song.tvx";
  dialogs_.file_answers.push_back(dir_ / "out/Song");
  int reports = 0;
  int closes = 0;
  commands_.SetWindowHooks(ClosingProgress([&closes] { ++closes; }));
  commands_.FileExportAudio([&reports](double) {
    ++reports;
    return true;
  });
  ASSERT_EQ(dialogs_.save_requests.size(), 1u);
  EXPECT_EQ(dialogs_.save_requests[0].title, "Export Audio");
  EXPECT_EQ(dialogs_.save_requests[0].filter, AudioDialogFilter());
  // The composition's name is offered.
  EXPECT_EQ(dialogs_.save_requests[0].start_path, dir_ / "tunes/Song.wav");
  EXPECT_GT(reports, 0);
  EXPECT_TRUE(errors_.messages.empty());
  const std::string wav = ReadFile(dir_ / "out/Song.wav");
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  // The progress closes before the notice of the file written.
  EXPECT_EQ(closes, 1);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text,
            "Exported Song.wav to\n" + dir_ / "out.");
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kInformation);

  dialogs_.file_answers.push_back(dir_ / "cancelled.wav");
  commands_.FileExportAudio([](double) { return false; });
  EXPECT_FALSE(fs::exists(dir_ / "cancelled.wav"));
  EXPECT_TRUE(errors_.messages.empty());
  EXPECT_EQ(dialogs_.messages.size(), 1u);  // nothing written, no notice
}

// A name of another format is refused with the supported ones. Stems go
// into a chosen folder, in a chosen format, replace earlier stems only
// when the user agrees, and the notice names the muted tracks left out.
TEST_F(AppCommandsTest, ExportRefusesUnknownFormatsAndWritesStems) {
  ASSERT_TRUE(DefaultSoundFontInstalled());
  WriteFile(dir_ / "tvx.mid",
            WriterLayoutFile({{{0, 60, 192}}, {{0, 64, 96}}}));
  state_.panel.set_save_enabled(true);
  dialogs_.file_answers.push_back(dir_ / "Song.aac");
  commands_.FileExportAudio();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].text.find(SupportedAudioExtensions()),
            std::string::npos);
  EXPECT_NE(dialogs_.messages[0].text.find("Song.aac"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "Song.aac"));

  const size_t flac = 1;  // the formats' order: WAV, FLAC, Ogg Vorbis
  // The stems go into a folder named after the composition in the folder
  // chosen, or into the chosen one when it has that name.
  state_.composition_path = dir_ / "Song.tvx";
  dialogs_.file_answers.push_back(dir_.path());
  dialogs_.item_answers.push_back(flac);
  commands_.FileExportAudio({}, {}, true);
  ASSERT_EQ(dialogs_.folder_requests.size(), 1u);
  EXPECT_EQ(dialogs_.folder_requests[0].title,
            "Export Stems - Where to Put the \"Song\" Folder");
  EXPECT_EQ(dialogs_.folder_requests[0].start_path, dir_.path());
  EXPECT_EQ(dialogs_.inputs.back().title, "Export Stems");
  EXPECT_EQ(TempDirEntries(dir_ / "Song"),
            (std::vector<std::string>{"01 Piano.flac", "02 Piano.flac"}));
  EXPECT_EQ(dialogs_.messages.back().text,
            "Exported 2 files to\n" + dir_ / "Song.");

  dialogs_.file_answers.push_back(dir_ / "Song");
  dialogs_.item_answers.push_back(flac);
  dialogs_.yes_no_answers.push_back(true);
  commands_.FileExportAudio({}, {false, false, true}, true);
  EXPECT_EQ(dialogs_.messages.back().text,
            "Exported 01 Piano.flac to\n" + dir_ / "Song." +
                "\n\nLeft out because muted:\n02 Piano");

  WriteFile(dir_ / "Song/01 Piano.flac", "kept");
  dialogs_.file_answers.push_back(dir_ / "Song");
  dialogs_.item_answers.push_back(flac);
  commands_.FileExportAudio({}, {false, false, true}, true);
  ASSERT_EQ(dialogs_.questions.size(), 2u);
  EXPECT_EQ(dialogs_.questions[1].text,
            "01 Piano.flac already exists.\nDo you want to replace it?");
  EXPECT_EQ(ReadFile(dir_ / "Song/01 Piano.flac"), "kept");
  EXPECT_TRUE(errors_.messages.empty());

  // A cancelled export leaves no folder of its own behind.
  fs::create_directory(dir_ / "Later");
  dialogs_.file_answers.push_back(dir_ / "Later");
  dialogs_.item_answers.push_back(flac);
  commands_.FileExportAudio([](double) { return false; }, {}, true);
  EXPECT_FALSE(fs::exists(dir_ / "Later/Song"));

  // Tracks sharing a channel render one stem after another: cancelled in
  // the second, the first goes too unless it replaced a file.
  WriteFile(dir_ / "tvx.mid",
            Header(1, 3, 96) +
                Chunk("MTrk", Tempo(0, kWriterTempo) + EndOfTrack()) +
                NoteTrack(0, 0, Quarters(4)) + NoteTrack(0, 0, Quarters(4)));
  const auto in_second_stem = [](double done) { return done < 0.75; };
  dialogs_.file_answers.push_back(dir_ / "Later");
  dialogs_.item_answers.push_back(flac);
  commands_.FileExportAudio(in_second_stem, {}, true);
  EXPECT_FALSE(fs::exists(dir_ / "Later/Song"));
  WriteFile(dir_ / "Song/01 Piano.flac", "old");
  fs::remove(dir_ / "Song/02 Piano.flac");
  dialogs_.file_answers.push_back(dir_ / "Song");
  dialogs_.item_answers.push_back(flac);
  dialogs_.yes_no_answers.push_back(true);
  commands_.FileExportAudio(in_second_stem, {}, true);
  EXPECT_EQ(TempDirEntries(dir_ / "Song"),
            (std::vector<std::string>{"01 Piano.flac"}));
  EXPECT_NE(ReadFile(dir_ / "Song/01 Piano.flac"), "old");
  EXPECT_TRUE(errors_.messages.empty());
}

// MP3 and Opus ask for a bit rate, the variable default offered first; a
// cancel there cancels the export. WAV asks nothing more.
TEST_F(AppCommandsTest, ExportAsksTheBitRateOfMp3AndOpus) {
  ASSERT_TRUE(DefaultSoundFontInstalled());
  WriteFile(dir_ / "tvx.mid", WriterLayoutFile({{{0, 60, 768}}}));
  state_.panel.set_save_enabled(true);
  const std::vector<int> mp3 = BitrateChoices(AudioFormat::kMp3);
  auto export_mp3 = [&](const std::string& name, std::optional<int> kbps) {
    dialogs_.file_answers.push_back(dir_ / name);
    if (kbps) {
      dialogs_.item_answers.push_back(std::find(mp3.begin(), mp3.end(), *kbps) -
                                      mp3.begin());
    }
    commands_.FileExportAudio();
    EXPECT_EQ(dialogs_.inputs.back().prompt, "Bit rate:");
    EXPECT_EQ(dialogs_.inputs.back().title, "Export Audio");
    EXPECT_EQ(dialogs_.inputs.back().default_text,
              BitrateName(kDefaultBitrate));
  };
  export_mp3("low.mp3", 96);
  export_mp3("high.mp3", 320);
  EXPECT_GT(fs::file_size(dir_ / "high.mp3"),
            2 * fs::file_size(dir_ / "low.mp3"));
  export_mp3("cancelled.mp3", std::nullopt);
  EXPECT_FALSE(fs::exists(dir_ / "cancelled.mp3"));
  EXPECT_EQ(dialogs_.messages.size(), 2u);  // the two notices

  const size_t asked = dialogs_.inputs.size();
  dialogs_.file_answers.push_back(dir_ / "plain.wav");
  commands_.FileExportAudio();
  EXPECT_EQ(dialogs_.inputs.size(), asked);
  EXPECT_TRUE(fs::exists(dir_ / "plain.wav"));

  // Stems: the format, then its bit rate.
  const auto& formats = AudioFormats();
  const size_t opus = std::find_if(formats.begin(), formats.end(),
                                   [](const AudioFormatInfo& info) {
                                     return info.format == AudioFormat::kOpus;
                                   }) -
                      formats.begin();
  state_.composition_path = dir_ / "Song.tvx";
  dialogs_.file_answers.push_back(dir_.path());
  dialogs_.item_answers.push_back(opus);
  dialogs_.item_answers.push_back(1);
  commands_.FileExportAudio({}, {}, true);
  EXPECT_EQ(dialogs_.inputs.size(), asked + 2);
  EXPECT_EQ(dialogs_.inputs.back().title, "Export Stems");
  EXPECT_EQ(TempDirEntries(dir_ / "Song"),
            std::vector<std::string>{"01 Piano.opus"});
  EXPECT_TRUE(errors_.messages.empty());
}

// The exports for DAWs and notation programs: refused without music,
// offered under the composition's name, written in the format of the
// chosen extension, and an existing file is replaced only when the user
// agrees.
TEST_F(AppCommandsTest, ExchangeExportsAreNamedAfterTheCompositionAndAsk) {
  commands_.FileExportMusicXml();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_TRUE(dialogs_.save_requests.empty());

  WriteWorkingMidi(62);
  state_.panel.set_save_enabled(true);
  state_.composition_path = dir_ / "songs/My Tune.tvx";
  dialogs_.file_answers.push_back(dir_ / "out/Tune.mid");
  commands_.FileExportExchangeMidi();
  ASSERT_EQ(dialogs_.save_requests.size(), 1u);
  EXPECT_EQ(dialogs_.save_requests[0].start_path,
            dir_ / "songs/My Tune (DAW).mid");
  Result<MidiContent> midi = ReadMidiContentFile(dir_ / "out/Tune.mid");
  ASSERT_TRUE(midi.ok()) << midi.status().Message();
  ASSERT_EQ(midi.value().tracks.size(), 2u);
  EXPECT_EQ(midi.value().tracks[0].name, "My Tune");
  EXPECT_EQ(midi.value().tracks[1].notes.at(0).key, 62);
  ASSERT_EQ(dialogs_.messages.size(), 2u);
  EXPECT_EQ(dialogs_.messages.back().text.rfind("Exported Tune.mid", 0), 0u);

  WriteFile(dir_ / "out/Tune.mxl", "kept");
  for (bool replace : {false, true}) {
    dialogs_.file_answers.push_back(dir_ / "out/Tune.mxl");
    dialogs_.yes_no_answers.push_back(replace);
    commands_.FileExportMusicXml();
  }
  ASSERT_EQ(dialogs_.questions.size(), 2u);
  EXPECT_EQ(dialogs_.questions[0].text,
            "Tune.mxl already exists.\nDo you want to replace it?");
  EXPECT_EQ(ReadFile(dir_ / "out/Tune.mxl").substr(0, 4), "PK\x03\x04");
  EXPECT_TRUE(errors_.messages.empty());

  // The composition's own MIDI file is refused even when the user agrees.
  fs::create_directories(dir_ / "songs");
  WriteFile(dir_ / "songs/My Tune.mid", "kept");
  dialogs_.file_answers.push_back(dir_ / "songs/My Tune.mid");
  dialogs_.yes_no_answers.push_back(true);
  commands_.FileExportExchangeMidi();
  EXPECT_EQ(ReadFile(dir_ / "songs/My Tune.mid"), "kept");
  ASSERT_EQ(errors_.messages.size(), 1u);
  EXPECT_NE(errors_.messages[0].find("also an input"), std::string::npos);
}

// Retry is offered where it can succeed (a folder that can be made), not
// for a file whose contents fail.
TEST_F(AppCommandsTest, ExportFailuresNameTheFileAndOfferRetryWhereItHelps) {
  ASSERT_TRUE(DefaultSoundFontInstalled());
  WriteFile(dir_ / "tvx.mid", WriterLayoutFile({{{0, 60, 192}}}));
  state_.panel.set_save_enabled(true);
  dialogs_.file_answers.push_back(dir_ / "a/b/x");
  ScriptedErrorReporter retry_once({ErrorChoice::kRetry});
  AppCommands commands(state_, dialogs_, retry_once, player_, ui_, &renderer_);
  // The progress is closed before each box, not left over it.
  std::vector<size_t> boxes_when_closed;
  commands.SetWindowHooks(ClosingProgress(
      [&] { boxes_when_closed.push_back(retry_once.messages.size()); }));
  commands.FileExportAudio();
  ASSERT_EQ(retry_once.messages.size(), 2u);  // retried once, then cancelled
  EXPECT_EQ(boxes_when_closed, (std::vector<size_t>{0, 1, 2}));
  EXPECT_EQ(retry_once.messages[0], "Path not found\n" + dir_ / "a/b/x.wav");
  EXPECT_EQ(retry_once.failures, 0);

  WriteFile(dir_ / "tvx.mid", "not a MIDI file");
  dialogs_.file_answers.push_back(dir_ / "x.wav");
  ScriptedErrorReporter no_retry({ErrorChoice::kRetry});
  AppCommands again(state_, dialogs_, no_retry, player_, ui_, &renderer_);
  again.FileExportAudio();
  EXPECT_EQ(no_retry.failures, 1);
  EXPECT_EQ(no_retry.messages.size(), 1u);
  EXPECT_FALSE(fs::exists(dir_ / "x.wav"));
}

// Export, like Save, never pairs music with a panel that did not produce it.
TEST_F(AppCommandsTest, ExportAndExitKeepMusicOnlyForThePanelItCameFrom) {
  WriteWorkingMidi();
  WriteFile(dir_ / "default.mid", "older music");
  EXPECT_TRUE(commands_.Availability().redo);
  EXPECT_FALSE(commands_.Availability().export_audio);  // not composed from it
  commands_.FileExportAudio();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].text.find("Compose it again"),
            std::string::npos);
  EXPECT_TRUE(dialogs_.save_requests.empty());

  commands_.ShutDown();
  EXPECT_FALSE(fs::exists(dir_ / "default.mid"));
  EXPECT_TRUE(fs::exists(dir_ / "default.tvx"));
  fs::remove(FindExistingPath(state_.paths.working_midi));
  EXPECT_FALSE(commands_.Availability().redo);
}

// The dialog checks the name typed; the program writes it lower-cased, and
// a composition also writes its MIDI file: those are the files asked about.
TEST_F(AppCommandsTest, EverySaveAsksBeforeReplacingTheFileReallyWritten) {
  WriteFile(dir_ / "my song.tvx", "kept");
  WriteFile(dir_ / "my song.mid", "kept music");
  WriteFile(dir_ / "bass.orc", "kept orchestration");
  dialogs_.file_answers = {dir_ / "My Song", dir_ / "Bass"};
  commands_.FileSaveCompositionAs();
  commands_.FileSaveOrchestration();
  ASSERT_EQ(dialogs_.questions.size(), 2u);
  EXPECT_EQ(dialogs_.questions[0].text,
            "These files already exist:\nmy song.tvx\nmy song.mid\n"
            "Do you want to replace them?");
  EXPECT_EQ(dialogs_.questions[1].text,
            "bass.orc already exists.\nDo you want to replace it?");
  EXPECT_EQ(ReadFile(dir_ / "my song.tvx"), "kept");
  EXPECT_EQ(ReadFile(dir_ / "bass.orc"), "kept orchestration");
  EXPECT_EQ(state_.composition_path, "");

  dialogs_.file_answers = {dir_ / "Bass"};
  dialogs_.yes_no_answers = {true};
  commands_.FileSaveOrchestration();
  EXPECT_NE(ReadFile(dir_ / "bass.orc"), "kept orchestration");
  dialogs_.file_answers = {dir_ / "New"};
  commands_.FileSaveScale();
  EXPECT_EQ(dialogs_.questions.size(), 3u);  // nothing to replace: no question
}

TEST_F(AppCommandsTest, ChosenSoundFontIsKeptAndReopensAnOpenPlayer) {
  std::string applied = "none";
  commands_.SetSoundFontSetter(
      [&applied](const std::string& path) { applied = path; });
  commands_.OptionsSoundFont();  // cancelled
  EXPECT_EQ(applied, "none");
  EXPECT_EQ(state_.options.soundfont, "");
  ASSERT_EQ(dialogs_.open_requests.size(), 1u);
  EXPECT_EQ(dialogs_.open_requests[0].filter, "SoundFonts (*.sf2 *.sf3)");
  EXPECT_EQ(dialogs_.open_requests[0].start_path, "/usr/share/sounds/sf2");

  player_.SetFileName("tvx.mid");
  player_.Open();
  player_.log.clear();
  dialogs_.file_answers.push_back("/fonts/Big.sf2");
  commands_.OptionsSoundFont();
  EXPECT_EQ(applied, "/fonts/Big.sf2");
  EXPECT_EQ(state_.options.soundfont, "/fonts/Big.sf2");
  commands_.OptionsSoundFont();  // the next choice starts at the last one
  EXPECT_EQ(dialogs_.open_requests.back().start_path, "/fonts/Big.sf2");
  EXPECT_EQ(player_.log, (std::vector<std::string>{"Close", "Open"}));
}

// --- Start-up and shut-down ------------------------------------------------

TEST_F(AppCommandsTest, FirstStartWithoutDefaultFilesIsSilent) {
  int splashes = 0;
  int focus_moves = 0;
  AppCommands::WindowHooks hooks;
  hooks.focus_compose_button = [&focus_moves] { ++focus_moves; };
  hooks.show_splash = [&splashes] { ++splashes; };
  commands_.SetWindowHooks(hooks);
  state_.composition_info = "old";
  state_.channel_map[3] = 9;

  EXPECT_TRUE(commands_.FirstActivation());
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_TRUE(errors_.messages.empty());
  EXPECT_EQ(state_.panel.Text({Box::kVolume, 0}), "999");  // placeholders
  EXPECT_EQ(state_.panel.Text({Box::kOctave, 15}), "99");
  EXPECT_EQ(state_.panel.Text({Box::kMapped, 5}), "999");
  EXPECT_EQ(state_.panel.CheckValue({Check::kMappedAuto}), 0);
  EXPECT_EQ(state_.channel_map[3], 4);
  EXPECT_EQ(state_.composition_info, "");
  EXPECT_EQ(state_.composition_path, "");
  EXPECT_EQ(state_.midi_path, "");
  EXPECT_FALSE(state_.options.autoplay);
  EXPECT_FALSE(state_.panel.save_enabled());
  EXPECT_EQ(splashes, 1);
  EXPECT_EQ(focus_moves, 1);
  EXPECT_TRUE(dir_.Entries().empty());  // nothing created

  // A second activation (after a dialog) does nothing at all.
  state_.panel.SetText({Box::kTracks}, "3");
  EXPECT_FALSE(commands_.FirstActivation());
  EXPECT_EQ(state_.panel.Text({Box::kTracks}), "3");
  EXPECT_EQ(splashes, 1);
}

TEST_F(AppCommandsTest, FirstStartLoadsTheDefaultsAndForgetsTheirPaths) {
  fs::copy_file(TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX", dir_ / "DEFAULT.TVX");
  WriteWorkingMidi(67);
  ASSERT_TRUE(EmbedCompositionInfo(state_.paths.working_midi, "Factory piece"));
  fs::rename(FindExistingPath(state_.paths.working_midi), dir_ / "DEFAULT.MID");
  const std::string default_midi = ReadFile(dir_ / "DEFAULT.MID");
  WriteFile(dir_ / "tvx.ini", " 1 \r\n 0 \r\n 1 \r\n");
  std::vector<std::string> soundfonts;
  commands_.SetSoundFontSetter(
      [&soundfonts](const std::string& path) { soundfonts.push_back(path); });

  ASSERT_TRUE(commands_.FirstActivation());
  EXPECT_TRUE(errors_.messages.empty());
  EXPECT_NE(state_.panel.Text({Box::kVolume, 0}), "999");
  EXPECT_NE(state_.panel.Text({Box::kOctave, 0}), "99");
  EXPECT_EQ(state_.composition_info, "Factory piece");
  EXPECT_EQ(Working(), default_midi);
  EXPECT_TRUE(player_.open);
  EXPECT_EQ(FindExistingPath(player_.file_name),
            FindExistingPath(dir_ / "DEFAULT.MID"));
  EXPECT_TRUE(state_.panel.save_enabled());
  EXPECT_EQ(state_.composition_path, "");
  EXPECT_EQ(state_.midi_path, "");
  EXPECT_TRUE(state_.options.autoplay);
  EXPECT_FALSE(state_.options.autoplay_redo);
  EXPECT_TRUE(state_.options.lock_mapped);
  EXPECT_TRUE(soundfonts.empty());  // the settings name none
}

TEST_F(AppCommandsTest, ExitSavesTheDefaultsAndLeavesANamedComposition) {
  WriteWorkingMidi();
  WriteFile(dir_ / "song.tvx", "named");
  WriteFile(dir_ / "song.mid", "named music");
  state_.composition_path = dir_ / "song.tvx";
  state_.midi_path = dir_ / "song.mid";
  state_.caption = "Tessavar Composer [song.tvx]";
  state_.options.autoplay_redo = true;
  state_.panel.SetText({Box::kTempo}, "200");
  state_.panel.set_save_enabled(true);  // composed from this panel

  commands_.ShutDown();
  EXPECT_TRUE(errors_.messages.empty());
  EXPECT_EQ(ReadFile(FindExistingPath(dir_ / "DEFAULT.MID")), Working());
  const std::string saved = ReadFile(FindExistingPath(dir_ / "DEFAULT.TVX"));
  EXPECT_NE(saved.find("\r\n200\r\n"), std::string::npos);
  EXPECT_EQ(ReadFile(dir_ / "tvx.ini"), " 0 \r\n 1 \r\n 0 \r\n");
  EXPECT_EQ(ReadFile(dir_ / "song.tvx"), "named");
  EXPECT_EQ(ReadFile(dir_ / "song.mid"), "named music");
  EXPECT_EQ(state_.composition_path, dir_ / "song.tvx");
  EXPECT_EQ(state_.midi_path, dir_ / "song.mid");
  EXPECT_EQ(state_.caption, "Tessavar Composer [song.tvx]");
  EXPECT_EQ(player_.log.front(), "Close");
  EXPECT_EQ(player_.log.back(), "Close");
}

TEST_F(AppCommandsTest, ExitBeforeTheFirstComposeIsSilent) {
  ASSERT_TRUE(commands_.FirstActivation());
  commands_.ShutDown();
  EXPECT_TRUE(errors_.messages.empty());
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(dir_.Entries(),
            (std::vector<std::string>{"default.tvx", "tvx.ini"}));
}

TEST_F(AppCommandsTest, ExitReportsADefaultMidiFileThatCannotBeWritten) {
  WriteWorkingMidi();
  state_.panel.set_save_enabled(true);         // composed from this panel
  fs::create_directory(dir_ / "default.mid");  // in the way of the file
  commands_.ShutDown();
  EXPECT_EQ(errors_.messages.size(), 1u);
  EXPECT_TRUE(fs::is_directory(dir_ / "default.mid"));
}

TEST_F(AppCommandsTest, ExitIgnoresASettingsFileThatCannotBeWritten) {
  WriteWorkingMidi();
  fs::create_directory(dir_ / "tvx.ini");  // in the way of the file
  commands_.ShutDown();
  EXPECT_TRUE(errors_.messages.empty());
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_TRUE(fs::is_directory(dir_ / "tvx.ini"));
  EXPECT_TRUE(fs::exists(FindExistingPath(dir_ / "DEFAULT.TVX")));
}

// --- Compositions
// -------------------------------------------------------------

TEST_F(AppCommandsTest, SavedCompositionCarriesItsInformationAndLoadsBack) {
  WriteWorkingMidi(64);
  state_.panel.SetText({Box::kStructure}, "31415");
  state_.panel.set_save_enabled(true);
  bool info_shown = false;
  OnEditInfo([&] {
    info_shown = true;
    state_.composition_info = "My song";
  });
  dialogs_.file_answers.push_back(dir_ / "music/SONG");
  commands_.FileSaveCompositionAs();

  ASSERT_EQ(dialogs_.save_requests.size(), 1u);
  EXPECT_EQ(dialogs_.save_requests[0].title, "Save Composition As");
  EXPECT_EQ(dialogs_.save_requests[0].filter, "Compositions (*.tvx)");
  EXPECT_EQ(dialogs_.save_requests[0].start_path, "");  // nothing named yet
  EXPECT_EQ(dialogs_.save_requests[0].default_extension, "tvx");
  EXPECT_TRUE(info_shown);
  EXPECT_EQ(state_.composition_path, dir_ / "music/SONG.tvx");
  EXPECT_EQ(state_.midi_path, dir_ / "music/SONG.MID");
  EXPECT_EQ(state_.caption, "Tessavar Composer [SONG.tvx]");
  const std::vector<std::string> saved = TempDirEntries(dir_ / "music");
  EXPECT_EQ(saved, (std::vector<std::string>{"song.mid", "song.tvx"}));
  EXPECT_EQ(ExtractCompositionInfo(dir_ / "music/song.mid"), "My song");
  EXPECT_TRUE(errors_.messages.empty());
  commands_.FileSaveComposition();  // its own files: nothing to ask
  EXPECT_TRUE(dialogs_.questions.empty());

  // A fresh program loads it by the name of its MIDI file.
  ProgramState fresh;
  fresh.paths = state_.paths;
  FakePlayer player;
  AppCommands commands(fresh, dialogs_, errors_, player, ui_);
  commands.FirstActivation();
  dialogs_.file_answers.push_back(dir_ / "music/SONG.MID");
  commands.FileLoadComposition();
  ASSERT_EQ(dialogs_.open_requests.size(), 1u);
  EXPECT_EQ(dialogs_.open_requests[0].title, "Load Composition");
  EXPECT_TRUE(dialogs_.open_requests[0].must_exist);
  EXPECT_EQ(fresh.panel.Text({Box::kStructure}), "31415");
  EXPECT_EQ(fresh.composition_info, "My song");
  // The caption names the file really read.
  EXPECT_EQ(fresh.caption, "Tessavar Composer [song.tvx]");
  EXPECT_TRUE(fresh.panel.save_enabled());
  EXPECT_EQ(Working(), ReadFile(dir_ / "music/song.mid"));
  EXPECT_TRUE(player.open);
  EXPECT_TRUE(errors_.messages.empty());
}

TEST_F(AppCommandsTest, ACompositionNamedAtStartIsLoadedAfterTheDefaults) {
  fs::copy_file(TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX", dir_ / "piece.tvx");
  WriteWorkingMidi(62);
  fs::rename(FindExistingPath(state_.paths.working_midi), dir_ / "piece.mid");
  commands_.OpenAfterStartUp(dir_ / "piece.tvx");

  ASSERT_TRUE(commands_.FirstActivation());
  EXPECT_TRUE(errors_.messages.empty());
  EXPECT_TRUE(dialogs_.open_requests.empty());
  EXPECT_EQ(state_.composition_path, dir_ / "piece.tvx");
  EXPECT_EQ(state_.caption, "Tessavar Composer [piece.tvx]");
  EXPECT_NE(state_.panel.Text({Box::kVolume, 0}), "999");
  EXPECT_EQ(Working(), ReadFile(dir_ / "piece.mid"));
  EXPECT_TRUE(player_.open);
  EXPECT_TRUE(state_.panel.save_enabled());
  EXPECT_EQ(commands_.file_to_open(), "");
}

TEST_F(AppCommandsTest, ACompositionNamedAtStartWithoutMusicIsToBeComposed) {
  fs::copy_file(TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX", dir_ / "piece.tvx");
  commands_.OpenAfterStartUp(dir_ / "piece.tvx");

  ASSERT_TRUE(commands_.FirstActivation());
  EXPECT_TRUE(errors_.messages.empty());
  EXPECT_EQ(state_.caption, "Tessavar Composer [piece.tvx]");
  EXPECT_FALSE(player_.open);
  EXPECT_TRUE(commands_.TakeComposeRequest());
  EXPECT_FALSE(commands_.TakeComposeRequest());
}

TEST_F(AppCommandsTest, RefusedCompositionGetsNoCompanionFile) {
  WriteWorkingMidi();
  state_.panel.SetText({Box::kStructure}, "\"123");  // cannot be stored
  bool info_shown = false;
  OnEditInfo([&] { info_shown = true; });
  dialogs_.file_answers.push_back(dir_ / "bad");
  commands_.FileSaveCompositionAs();
  EXPECT_FALSE(info_shown);
  EXPECT_FALSE(fs::exists(dir_ / "bad.mid"));
  EXPECT_FALSE(fs::exists(dir_ / "bad.tvx"));
}

// --- Pairs of a composition and its MIDI file
// ------------------------------------------------

// A MIDI file with no composition beside it is only listened to: the panel,
// its working file and the Save rule stay as they were.
TEST_F(AppCommandsTest, AMidiFileWithoutItsCompositionIsOnlyListenedTo) {
  WriteWorkingMidi(70);
  const std::string lone = Working();
  fs::rename(FindExistingPath(state_.paths.working_midi), dir_ / "Lone.mid");
  WriteWorkingMidi(60);
  state_.panel.SetText({Box::kStructure}, "2718");
  state_.panel.SetCheck({Check::kMappedAuto}, 1);
  state_.panel.set_save_enabled(true);
  const std::string working = Working();

  commands_.LoadComposition(dir_ / "lone.MID");
  EXPECT_EQ(state_.panel.Text({Box::kStructure}), "2718");
  EXPECT_EQ(state_.panel.CheckValue({Check::kMappedAuto}), 1);
  EXPECT_EQ(Working(), working);
  EXPECT_EQ(player_.file_name, dir_ / "Lone.mid");
  EXPECT_FALSE(state_.panel.save_enabled());
  EXPECT_FALSE(commands_.Availability().redo);
  EXPECT_TRUE(errors_.messages.empty());

  // A change of the panel closes it; the working file is Redo's again.
  state_.panel.SetText({Box::kStructure}, "27182");
  EXPECT_TRUE(commands_.Availability().redo);
  EXPECT_EQ(commands_.WindowTitle(), "Tessavar Composer");
  EXPECT_EQ(ReadFile(dir_ / "Lone.mid"), lone);
}

// The title names the file as it is on disk, whatever name was typed, and
// marks the panel's changes until they are saved.
TEST_F(AppCommandsTest, TitleNamesTheFileOnDiskAndMarksUnsavedChanges) {
  WriteWorkingMidi();
  state_.panel.set_save_enabled(true);
  dialogs_.file_answers.push_back(dir_ / "Tunes/My Song");
  commands_.FileSaveCompositionAs();
  ASSERT_TRUE(fs::exists(dir_ / "Tunes/my song.tvx"));
  EXPECT_EQ(commands_.WindowTitle(), "Tessavar Composer [my song.tvx]");

  const std::string tempo = state_.panel.Text({Box::kTempo});
  state_.panel.SetText({Box::kTempo}, "97");
  EXPECT_TRUE(commands_.HasUnsavedChanges());
  EXPECT_EQ(commands_.WindowTitle(), "Tessavar Composer [my song.tvx] *");
  state_.panel.SetText({Box::kTempo}, tempo);  // back as saved: no mark
  EXPECT_EQ(commands_.WindowTitle(), "Tessavar Composer [my song.tvx]");

  state_.panel.SetText({Box::kTempo}, "97");
  commands_.LoadComposition(dir_ / "Tunes/MY SONG.TVX");
  EXPECT_EQ(state_.panel.Text({Box::kTempo}), tempo);
  EXPECT_EQ(commands_.WindowTitle(), "Tessavar Composer [my song.tvx]");
}

// With only the lower-case twin's MIDI file there, SONG.tvx has none of
// its own: it does not take song.tvx's music.
TEST_F(AppCommandsTest, ATwinsMidiFileIsNotTaken) {
  ASSERT_TRUE(WriteCompositionFile(state_, dir_ / "song.tvx", ui_, errors_));
  fs::copy_file(dir_ / "song.tvx", dir_ / "SONG.tvx");
  WriteWorkingMidi(62);
  fs::copy_file(FindExistingPath(state_.paths.working_midi), dir_ / "song.mid");
  WriteWorkingMidi(61);
  const std::string working = Working();
  commands_.LoadComposition(dir_ / "SONG.tvx");
  EXPECT_EQ(Working(), working);
  EXPECT_FALSE(state_.panel.save_enabled());
}

// Exit while listening keeps the panel's own music as the default MIDI file.
TEST_F(AppCommandsTest, ExitWhileListeningKeepsThePanelsMusic) {
  WriteWorkingMidi(70);
  fs::rename(FindExistingPath(state_.paths.working_midi), dir_ / "Lone.mid");
  WriteWorkingMidi(60);
  state_.panel.set_save_enabled(true);
  const std::string working = Working();
  commands_.LoadComposition(dir_ / "Lone.mid");
  ASSERT_FALSE(state_.panel.save_enabled());
  commands_.ShutDown();
  EXPECT_EQ(ReadFile(FindExistingPath(state_.paths.default_midi)), working);
}

// Compositions whose names differ only in letter case each pair with the
// MIDI file of their own case; the file named is the file read.
TEST_F(AppCommandsTest, CaseTwinsPairByTheirExactNames) {
  for (const char* name : {"SONG", "song"}) {
    const std::string mapping = name[0] == 'S' ? "11" : "22";
    state_.panel.SetText({Box::kMapping}, mapping);
    ASSERT_TRUE(WriteCompositionFile(state_, dir_ / "in.tvx", ui_, errors_));
    fs::rename(dir_ / "in.tvx", dir_ / (std::string(name) + ".tvx"));
    WriteWorkingMidi(name[0] == 'S' ? 61 : 62);
    fs::rename(FindExistingPath(state_.paths.working_midi),
               dir_ / (std::string(name) + ".mid"));
  }
  for (const char* named : {"SONG.tvx", "SONG.mid"}) {
    state_.panel.SetText({Box::kMapping}, "5");
    commands_.LoadComposition(dir_ / named);
    EXPECT_EQ(state_.panel.Text({Box::kMapping}), "11") << named;
    EXPECT_EQ(Working(), ReadFile(dir_ / "SONG.mid")) << named;
    EXPECT_EQ(state_.caption, "Tessavar Composer [SONG.tvx]");
  }
  // Save Again writes lower-case names: the other twin is not replaced
  // without asking.
  const std::string twin = ReadFile(dir_ / "song.tvx");
  commands_.FileSaveComposition();
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_EQ(ReadFile(dir_ / "song.tvx"), twin);

  // A recent entry that is gone says so instead of opening its twin.
  commands_.LoadComposition(dir_ / "song.tvx");
  fs::remove(dir_ / "SONG.tvx");
  RememberComposition(state_.options.recent_compositions, dir_ / "SONG.tvx");
  dialogs_.yes_no_answers = {true};
  EXPECT_FALSE(commands_.OpenRecentComposition(dir_ / "SONG.tvx"));
  ASSERT_EQ(dialogs_.questions.size(), 2u);
  EXPECT_EQ(dialogs_.questions[1].text.rfind("SONG.tvx no longer exists.", 0),
            0u);
  EXPECT_EQ(state_.options.recent_compositions,
            std::vector<std::string>{dir_ / "song.tvx"});
  EXPECT_EQ(state_.panel.Text({Box::kMapping}), "22");

  // One entry per file, whatever name it was reached by.
  fs::create_symlink(dir_ / "song.tvx", dir_ / "Song.tvx");
  RememberComposition(state_.options.recent_compositions, dir_ / "Song.tvx");
  EXPECT_EQ(state_.options.recent_compositions,
            std::vector<std::string>{dir_ / "Song.tvx"});
  const std::vector<std::string> twice = {dir_ / "song.tvx", dir_ / "Song.tvx"};
  EXPECT_EQ(RecentCompositions(twice).size(), 1u);
}

// Music that cannot be read is named and nothing stays enabled that would
// use it; the working file keeps what it had.
TEST_F(AppCommandsTest, AnUnreadableMidiFileIsReportedAndUsedByNothing) {
  ASSERT_TRUE(WriteCompositionFile(state_, dir_ / "piece.tvx", ui_, errors_));
  WriteFile(dir_ / "piece.mid", "MThd not really");
  WriteWorkingMidi();
  state_.panel.set_save_enabled(true);
  const std::string working = Working();

  commands_.LoadComposition(dir_ / "piece.tvx");
  ASSERT_EQ(errors_.failures, 1);  // no Retry for a damaged file
  EXPECT_EQ(errors_.messages[0].rfind("Not a valid MIDI file", 0), 0u);
  EXPECT_NE(errors_.messages[0].find(dir_ / "piece.mid"), std::string::npos);
  EXPECT_FALSE(state_.panel.save_enabled());
  EXPECT_FALSE(player_.open);
  EXPECT_EQ(Working(), working);
}

// A working file deleted under the program stops playback and Save; a save
// checks both halves before it writes either.
TEST_F(AppCommandsTest, ADeletedWorkingFileStopsPlaybackAndSavesNoHalfPair) {
  WriteWorkingMidi();
  state_.panel.set_save_enabled(true);
  player_.SetFileName(FindExistingPath(state_.paths.working_midi));
  player_.Open();
  player_.Play();
  EXPECT_FALSE(commands_.CheckWorkingFile());

  fs::remove(dir_ / "tvx.mid");
  EXPECT_TRUE(commands_.CheckWorkingFile());
  EXPECT_EQ(player_.mode, kPlayerModeNotOpen);
  EXPECT_FALSE(state_.panel.save_enabled());
  EXPECT_FALSE(commands_.CheckWorkingFile());  // said once

  state_.composition_path = dir_ / "Song.tvx";
  state_.panel.set_save_enabled(true);
  commands_.FileSaveComposition();
  ASSERT_EQ(errors_.messages.size(), 1u);
  EXPECT_NE(errors_.messages[0].find(dir_ / "tvx.mid"), std::string::npos);
  EXPECT_FALSE(state_.panel.save_enabled());

  // A MIDI target that cannot be replaced stops the save before it starts.
  WriteWorkingMidi();
  state_.panel.set_save_enabled(true);
  fs::create_directory(dir_ / "song.mid");
  dialogs_.yes_no_answers = {true};
  commands_.FileSaveComposition();
  EXPECT_EQ(errors_.messages.size(), 2u);
  EXPECT_EQ(TempDirEntries(dir_.path()),
            (std::vector<std::string>{"song.mid", "tvx.mid"}));
}

// A file that is not a composition is refused by name before anything
// changes, and its MIDI file is not looked for.
TEST_F(AppCommandsTest, AFileThatIsNotACompositionIsRefusedByName) {
  WriteFile(dir_ / "garbage.tvx", "GIF89a\r\n\x01\x02 junk\r\n");
  state_.composition_path = dir_ / "earlier.tvx";
  state_.panel.SetText({Box::kStructure}, "1618");
  state_.panel.SetCheck({Check::kMappedAuto}, 1);
  state_.panel.set_save_enabled(true);
  dialogs_.file_answers.push_back(dir_ / "garbage.tvx");
  commands_.FileLoadComposition();
  ASSERT_EQ(errors_.messages.size(), 1u);
  EXPECT_EQ(errors_.messages[0].rfind("Not a composition file: its first line "
                                      "\"GIF89a\"",
                                      0),
            0u)
      << errors_.messages[0];
  EXPECT_NE(errors_.messages[0].find(dir_ / "garbage.tvx" + ", line 1"),
            std::string::npos);
  EXPECT_EQ(state_.composition_path, dir_ / "earlier.tvx");
  EXPECT_EQ(state_.panel.Text({Box::kStructure}), "1618");
  EXPECT_EQ(state_.panel.CheckValue({Check::kMappedAuto}), 1);
  // The music composed before is let go, as after any failed load.
  EXPECT_FALSE(state_.panel.save_enabled());
  EXPECT_FALSE(player_.open);
  commands_.LoadComposition(dir_ / "missing.tvx");
  EXPECT_EQ(errors_.messages.back(), "File not found\n" + dir_ / "missing.tvx");
  EXPECT_EQ(state_.panel.CheckValue({Check::kMappedAuto}), 1);
}

// --- Note entry
// -----------------------------------------------------------------

TEST_F(AppCommandsTest, MelodyBecomesTheStructureAndResetsTwoParameters) {
  state_.panel.Select({List::kTonality}, 3);
  state_.panel.SetText({Box::kMapped, 13}, "7");
  dialogs_.input_answers.push_back(" c e g ");
  commands_.FileMelodyToStructure();
  ASSERT_EQ(dialogs_.inputs.size(), 1u);
  EXPECT_EQ(dialogs_.inputs[0].title, "Melody-to-Structure Translation");
  EXPECT_EQ(dialogs_.inputs[0].prompt, kMelodyPrompt);
  EXPECT_EQ(dialogs_.inputs[0].default_text, "");
  EXPECT_EQ(state_.panel.Text({Box::kStructure}), "047");
  EXPECT_EQ(state_.panel.Selection({List::kTonality}), 0);
  EXPECT_EQ(state_.panel.Text({Box::kMapped, 13}), "0");

  // Cancelled: nothing changes.
  state_.panel.Select({List::kTonality}, 2);
  state_.panel.SetText({Box::kMapped, 13}, "5");
  state_.panel.SetCheck({Check::kMappedAuto}, 1);
  commands_.FileMelodyToStructure();
  EXPECT_EQ(state_.panel.Text({Box::kStructure}), "047");
  EXPECT_EQ(state_.panel.Selection({List::kTonality}), 2);
  EXPECT_EQ(state_.panel.Text({Box::kMapped, 13}), "5");
  EXPECT_EQ(state_.panel.CheckValue({Check::kMappedAuto}), 1);
}

TEST_F(AppCommandsTest, ScaleEntryShowsTheCurrentScaleAndKeepsItOnCancel) {
  dialogs_.input_answers.push_back("C D E G A");
  commands_.FileUserDefinedScale();
  EXPECT_EQ(state_.engine.user_scale, " 0 2 4 7 912141619212426");
  EXPECT_EQ(dialogs_.inputs[0].title, "User-Defined Scale");
  EXPECT_EQ(dialogs_.inputs[0].prompt, kScalePrompt);

  commands_.FileUserDefinedScale();  // cancelled
  EXPECT_EQ(dialogs_.inputs[1].default_text, "C D E G A");
  EXPECT_EQ(state_.engine.user_scale, " 0 2 4 7 912141619212426");
}

}  // namespace
}  // namespace tessavar::testing
