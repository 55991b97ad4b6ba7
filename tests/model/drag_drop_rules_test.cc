#include "model/drag_drop_rules.h"

#include <gtest/gtest.h>

namespace tessavar {
namespace {

TEST(DragDropRulesTest, TheDraggedFileCarriesTheCompositionsName) {
  EXPECT_EQ(DraggedMidiFileName("/home/u/Tunes/My Tune.tvx"), "My Tune.mid");
  EXPECT_EQ(DraggedMidiFileName("/home/u/a.dir/Song.v2.tvx"), "Song.v2.mid");
  EXPECT_EQ(DraggedMidiFileName("Song"), "Song.mid");
  for (const char* unnamed : {"", "/home/u/a.dir/", "/home/u/.tvx", ". .tvx"}) {
    EXPECT_EQ(DraggedMidiFileName(unnamed), "Untitled.mid") << unnamed;
  }
}

TEST(DragDropRulesTest, OneCompositionOrMidiFileLoadsWhenLoadingIsAvailable) {
  const CommandAvailability idle;
  for (const char* file :
       {"/t/Song.tvx", "/t/SONG.TVX", "/t/Song.mid", "/t/a.dir/song.MID"}) {
    const DropDecision decision = DecideDrop({file}, idle, false);
    EXPECT_EQ(decision.command, DropCommand::kLoadComposition) << file;
    EXPECT_EQ(decision.path, file);
  }
  for (const char* file :
       {"/t/notes.txt", "/t/Song.midi", "/t/tvx", "/t/a.tvx/readme", ""}) {
    EXPECT_EQ(DecideDrop({file}, idle, false).command, DropCommand::kRefuse)
        << file;
  }
  EXPECT_EQ(DecideDrop({}, idle, false).command, DropCommand::kRefuse);
  EXPECT_EQ(DecideDrop({"/t/a.tvx", "/t/b.tvx"}, idle, false).command,
            DropCommand::kRefuse);
  EXPECT_EQ(DecideDrop({"/t/a.mid"}, idle, true).command, DropCommand::kRefuse);
  CommandAvailability busy;
  busy.file_commands = false;
  EXPECT_EQ(DecideDrop({"/t/a.tvx"}, busy, false).command,
            DropCommand::kRefuse);
  CommandAvailability no_load;
  no_load.load = false;
  EXPECT_EQ(DecideDrop({"/t/a.tvx"}, no_load, false).command,
            DropCommand::kRefuse);
}

}  // namespace
}  // namespace tessavar
