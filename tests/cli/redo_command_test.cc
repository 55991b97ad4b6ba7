#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "midi/writer_layout_file.h"
#include "model/composition_file_io.h"
#include "model/program_state.h"
#include "support/cli_process.h"
#include "support/temp_dir.h"

#ifdef TESSAVAR_CLI_PATH

namespace tessavar {
namespace {

using testing::LayoutFile;
using testing::TempDir;

// Runs `tessavar-cli redo` with the words; returns the exit status.
int Redo(const TempDir& dir, std::vector<std::string> words) {
  words.insert(words.begin(), "redo");
  return testing::RunCliWords(words, dir.path()).status;
}

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
  TempDir dir;
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

  ASSERT_EQ(Redo(dir, {dir / "piece.mid", dir / "piece.tvx"}), 0);
  std::string expected = file.bytes;
  expected[file.program_offsets[1]] = 40;
  expected[file.pan_offsets[1]] = 20;
  expected[file.program_offsets[3]] = 118;
  expected[file.pan_offsets[3]] = 100;
  EXPECT_EQ(dir.Read("piece.mid"), expected);
}

TEST(RedoCliTest, FailuresLeaveTheMidiFileAlone) {
  TempDir dir;
  LayoutFile file = testing::WriterLayoutFile(150, testing::SampleTracks(2));
  dir.Write("piece.mid", file.bytes);
  dir.Write("short.tvx", CompositionBytes().substr(0, 200));
  dir.Write("piece.tvx", CompositionBytes());

  EXPECT_EQ(Redo(dir, {dir / "piece.mid", dir / "short.tvx"}), 2);
  EXPECT_EQ(Redo(dir, {dir / "piece.mid", dir / "none.tvx"}), 2);
  EXPECT_EQ(dir.Read("piece.mid"), file.bytes);
  EXPECT_EQ(Redo(dir, {dir / "none.mid", dir / "piece.tvx"}), 2);
  EXPECT_FALSE(dir.Exists("none.mid"));
  EXPECT_EQ(Redo(dir, {dir / "piece.mid"}), 2);
}

TEST(RedoCliTest, RefusesFilesTheProgramDidNotWrite) {
  TempDir dir;
  dir.Write("song.tvx", CompositionBytes());
  dir.Write("empty.mid", "");
  dir.Write("garbage.mid", std::string(200, 'g'));
  for (const char* name : {"empty.mid", "garbage.mid", "song.tvx"}) {
    EXPECT_EQ(Redo(dir, {dir / name, dir / "song.tvx"}), 2) << name;
  }
  EXPECT_EQ(dir.Read("garbage.mid"), std::string(200, 'g'));
  EXPECT_EQ(Redo(dir, {"/dev/zero", dir / "song.tvx"}), 2);
}

}  // namespace
}  // namespace tessavar

#endif  // TESSAVAR_CLI_PATH
