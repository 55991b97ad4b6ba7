#include "model/midi_file_transfer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "midi/composition_info.h"
#include "midi/writer_layout_file.h"
#include "model/program_state.h"
#include "support/counting_ui_host.h"
#include "support/fake_player.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::CountingUiHost;
using testing::FakePlayer;
using testing::ScriptedErrorReporter;
using testing::TempDir;
using Log = std::vector<std::string>;
using ::testing::ElementsAre;

// Answers Retry once, after running a repair.
ScriptedErrorReporter RepairingErrorReporter(std::function<void()> repair) {
  ScriptedErrorReporter reporter({ErrorChoice::kRetry});
  reporter.on_show = [repair = std::move(repair)](int) { repair(); };
  return reporter;
}

std::string Working() {
  return testing::WriterLayoutFile(120, testing::SampleTracks(2)).bytes;
}

class MidiFileTransferTest : public ::testing::Test {
 protected:
  MidiFileTransferTest() {
    state.paths = ProgramPaths::FromDirectory(dir.path());
  }
  TempDir dir;
  ProgramState state;
  FakePlayer player;
  CountingUiHost ui;
  ScriptedErrorReporter errors;
};

TEST_F(MidiFileTransferTest, SaveWithoutMidiPathChangesNothing) {
  dir.Write("tvx.mid", Working());
  EXPECT_FALSE(SaveMIDIFile(state, player, ui, errors));
  EXPECT_TRUE(player.log.empty());
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"tvx.mid"});
  EXPECT_EQ(ui.busy_count, 1);
  EXPECT_FALSE(ui.busy);
}

TEST_F(MidiFileTransferTest, SaveCopiesTheWorkingFileToALowerCaseName) {
  dir.Write("tvx.mid", Working());
  dir.Write("song.mid", "old contents");
  state.midi_path = dir / "SONG.MID";
  EXPECT_TRUE(SaveMIDIFile(state, player, ui, errors));
  EXPECT_EQ(dir.Read("song.mid"), Working());
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"song.mid", "tvx.mid"}));
  EXPECT_EQ(player.log,
            (Log{"Close", "FileName " + (dir / "tvx.mid"), "Open"}));
  EXPECT_EQ(ui.yields, 1);
  EXPECT_TRUE(errors.messages.empty());
}

TEST_F(MidiFileTransferTest, FailedSaveIsReportedAndCanBeGivenUp) {
  dir.Write("tvx.mid", Working());
  state.midi_path = dir / "missing_folder/SONG.MID";
  EXPECT_FALSE(SaveMIDIFile(state, player, ui, errors));
  // The target's folder is missing; the message names the file below.
  EXPECT_THAT(errors.messages, ElementsAre("Path not found\n" +
                                           dir / "missing_folder/song.mid"));
  // The player stays closed after Cancel.
  EXPECT_EQ(player.log, Log{"Close"});
  EXPECT_FALSE(ui.busy);
}

TEST_F(MidiFileTransferTest, RetryCopiesAgain) {
  dir.Write("tvx.mid", Working());
  state.midi_path = dir / "later/SONG.MID";
  ScriptedErrorReporter retry = RepairingErrorReporter(
      [&] { std::filesystem::create_directory(dir / "later"); });
  EXPECT_TRUE(SaveMIDIFile(state, player, ui, retry));
  EXPECT_EQ(retry.messages.size(), 1u);
  EXPECT_EQ(dir.Read("later/song.mid"), Working());
  EXPECT_EQ(player.log.back(), "Open");
}

TEST_F(MidiFileTransferTest, LoadReadsInfoCopiesAndOpensTheLoadedFile) {
  std::string song = BytesWithCompInfo(Working(), "My song").value();
  dir.Write("song.mid", song);
  dir.Write("tvx.mid", "previous working file");
  state.midi_path = dir / "SONG.MID";
  state.play_slider = 700;
  EXPECT_TRUE(LoadMIDIFile(state, player, ui, errors));
  EXPECT_EQ(state.composition_info, "My song");
  EXPECT_EQ(dir.Read("tvx.mid"), song);
  EXPECT_EQ(player.log,
            (Log{"Close", "FileName " + (dir / "song.mid"), "Open"}));
  EXPECT_TRUE(state.panel.save_enabled());
  EXPECT_EQ(state.play_slider, 0);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"song.mid", "tvx.mid"}));
  EXPECT_TRUE(errors.messages.empty());
}

TEST_F(MidiFileTransferTest, MissingDefaultMidiFileIsSilent) {
  state.midi_path = state.paths.default_midi;
  state.play_slider = 300;
  EXPECT_FALSE(LoadMIDIFile(state, player, ui, errors));
  EXPECT_TRUE(errors.messages.empty());
  EXPECT_TRUE(player.log.empty());
  EXPECT_FALSE(state.panel.save_enabled());
  EXPECT_EQ(state.play_slider, 300);
  EXPECT_TRUE(dir.Entries().empty());
  EXPECT_FALSE(ui.busy);
}

TEST_F(MidiFileTransferTest, DefaultMidiFileIsFoundInLowerCase) {
  dir.Write("default.mid", BytesWithCompInfo(Working(), "Default").value());
  state.midi_path = state.paths.default_midi;
  EXPECT_TRUE(LoadMIDIFile(state, player, ui, errors));
  EXPECT_EQ(state.composition_info, "Default");
  EXPECT_TRUE(dir.Exists("tvx.mid"));
}

TEST_F(MidiFileTransferTest, OtherMissingFileIsReportedAndKeepsSaveOff) {
  dir.Write("tvx.mid", Working());
  state.midi_path = dir / "gone.mid";
  state.composition_info = "earlier";
  state.play_slider = 250;
  EXPECT_FALSE(LoadMIDIFile(state, player, ui, errors));
  EXPECT_EQ(errors.messages, Log{"File not found\n" + dir / "gone.mid"});
  EXPECT_EQ(state.composition_info, "");
  EXPECT_EQ(dir.Read("tvx.mid"), Working());
  // Nothing plays music that was not loaded.
  EXPECT_EQ(player.log, Log{"Close"});
  EXPECT_FALSE(state.panel.save_enabled());
  EXPECT_EQ(state.play_slider, 0);
}

TEST_F(MidiFileTransferTest, LoadRetryCopiesTheFileOnceItIsThere) {
  std::string song = BytesWithCompInfo(Working(), "Late").value();
  state.midi_path = dir / "late.mid";
  ScriptedErrorReporter retry =
      RepairingErrorReporter([&] { dir.Write("late.mid", song); });
  EXPECT_TRUE(LoadMIDIFile(state, player, ui, retry));
  EXPECT_EQ(retry.messages.size(), 1u);
  EXPECT_EQ(dir.Read("tvx.mid"), song);
  EXPECT_TRUE(state.panel.save_enabled());
}

TEST_F(MidiFileTransferTest, InfoFormsUseTheMidiPathAndTheStateText) {
  dir.Write("piece.mid", Working());
  state.midi_path = dir / "PIECE.MID";
  state.composition_info = "Written in the state";
  ASSERT_TRUE(EmbedCompositionInfo(state));
  state.composition_info = "something else";
  ExtractCompositionInfo(state);
  EXPECT_EQ(state.composition_info, "Written in the state");

  state.midi_path = dir / "missing.mid";
  ExtractCompositionInfo(state);
  EXPECT_EQ(state.composition_info, "");
}

}  // namespace
}  // namespace tessavar
