#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "midi/scratch_directory.h"
#include "midi/writer_layout_file.h"
#include "model/composition_file_io.h"
#include "model/program_state.h"

#ifdef TESSAVAR_CLI_PATH

namespace tessavar {
namespace {

using testing::LayoutFile;
using testing::ScratchDirectory;

int RunCli(const std::string& arguments) {
  std::string command =
      std::string(TESSAVAR_CLI_PATH) + " " + arguments + " >/dev/null 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// A composition whose tracks 1 and 3 have new instruments and pans, with
// track 3 on channel 10.
std::string CompositionBytes() {
  ProgramState state;
  for (int t = 0; t < kTrackCount; ++t) {
    state.panel.Select({List::kInstrument, t}, 0);
    state.panel.SetText({Box::kPan, t}, "64");
  }
  state.panel.Select({List::kInstrument, 1}, 40);
  state.panel.SetText({Box::kPan, 1}, "20");
  state.panel.Select({List::kInstrument, 3}, 118);
  state.panel.SetText({Box::kPan, 3}, "100");
  state.channel_map[3] = 10;
  std::string problem;
  return CompositionFileBytes(state, &problem).value();
}

TEST(RedoCliTest, AppliesInstrumentsAndPansInPlace) {
  ScratchDirectory dir;
  std::vector<testing::LayoutTrack> tracks = testing::SampleTracks(4);
  // The file holds what a default composition writes.
  for (auto& track : tracks) {
    track.program = 0;
    track.pan = 64;
  }
  tracks[3].channel = 10;
  LayoutFile file = testing::WriterLayoutFile(150, tracks);
  dir.Write("piece.mid", file.bytes);
  dir.Write("piece.tvx", CompositionBytes());

  ASSERT_EQ(RunCli("redo " + Quoted(dir / "piece.mid") + " " +
                   Quoted(dir / "piece.tvx")),
            0);
  std::string expected = file.bytes;
  expected[file.program_offsets[1]] = 40;
  expected[file.pan_offsets[1]] = 20;
  expected[file.program_offsets[3]] = 118;
  expected[file.pan_offsets[3]] = 100;
  EXPECT_EQ(dir.Read("piece.mid"), expected);
}

TEST(RedoCliTest, FailuresLeaveTheMidiFileAlone) {
  ScratchDirectory dir;
  LayoutFile file = testing::WriterLayoutFile(150, testing::SampleTracks(2));
  dir.Write("piece.mid", file.bytes);
  dir.Write("short.tvx", CompositionBytes().substr(0, 200));
  dir.Write("piece.tvx", CompositionBytes());

  EXPECT_EQ(RunCli("redo " + Quoted(dir / "piece.mid") + " " +
                   Quoted(dir / "short.tvx")),
            2);
  EXPECT_EQ(RunCli("redo " + Quoted(dir / "piece.mid") + " " +
                   Quoted(dir / "none.tvx")),
            2);
  EXPECT_EQ(dir.Read("piece.mid"), file.bytes);
  EXPECT_EQ(RunCli("redo " + Quoted(dir / "none.mid") + " " +
                   Quoted(dir / "piece.tvx")),
            2);
  EXPECT_FALSE(dir.Exists("none.mid"));
  EXPECT_EQ(RunCli("redo " + Quoted(dir / "piece.mid")), 2);
}

TEST(RedoCliTest, RefusesFilesTheProgramDidNotWrite) {
  ScratchDirectory dir;
  dir.Write("song.tvx", CompositionBytes());
  dir.Write("empty.mid", "");
  dir.Write("garbage.mid", std::string(200, 'g'));
  for (const char* name : {"empty.mid", "garbage.mid", "song.tvx"}) {
    EXPECT_EQ(
        RunCli("redo " + Quoted(dir / name) + " " + Quoted(dir / "song.tvx")),
        2)
        << name;
  }
  EXPECT_EQ(dir.Read("garbage.mid"), std::string(200, 'g'));
  EXPECT_EQ(RunCli("redo /dev/zero " + Quoted(dir / "song.tvx")), 2);
}

}  // namespace
}  // namespace tessavar

#endif  // TESSAVAR_CLI_PATH
