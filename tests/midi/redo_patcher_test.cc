#include "midi/redo_patcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/status.h"
#include "midi/writer_layout_file.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::LayoutFile;
using testing::LayoutTrack;
using testing::SampleTracks;
using testing::TempDir;
using testing::WriterLayoutFile;

// Settings that repeat what the sample file already holds.
RedoSettings SettingsOfSample(int tracks) {
  RedoSettings settings;
  for (int t = 0; t < kTrackCount; ++t) {
    settings.channel[t] = t + 1;
    settings.instrument[t] = t < tracks ? 10 + t : 0;
    settings.pan[t] = t < tracks ? 30 + t : 64;
  }
  return settings;
}

std::vector<size_t> ChangedOffsets(const std::string& a, const std::string& b) {
  std::vector<size_t> changed;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] != b[i]) changed.push_back(i);
  }
  return changed;
}

unsigned char At(const std::string& bytes, size_t offset) {
  return static_cast<unsigned char>(bytes[offset]);
}

TEST(RedoPatcherTest, ExactlyTwoBytesChangeForOneTrack) {
  LayoutFile file = WriterLayoutFile(150, SampleTracks(4));
  RedoSettings settings = SettingsOfSample(4);
  settings.instrument[2] = 40;
  settings.pan[2] = 20;
  std::string bytes = file.bytes;
  EXPECT_EQ(PatchProgramsAndPans(bytes, settings), 4);
  ASSERT_EQ(bytes.size(), file.bytes.size());
  std::vector<size_t> expected = {file.program_offsets[2], file.pan_offsets[2]};
  EXPECT_EQ(ChangedOffsets(file.bytes, bytes), expected);
  EXPECT_EQ(At(bytes, file.program_offsets[2]), 0x28);
  EXPECT_EQ(At(bytes, file.program_offsets[2] - 1), 0xC2);
  EXPECT_EQ(At(bytes, file.pan_offsets[2]), 0x14);
  EXPECT_EQ(At(bytes, file.pan_offsets[2] - 2), 0xB2);
  EXPECT_EQ(At(bytes, file.pan_offsets[2] - 1), 0x0A);
}

TEST(RedoPatcherTest, TrackOnChannelTenIsFoundOnItsChannel) {
  std::vector<LayoutTrack> tracks = SampleTracks(3);
  tracks[0].channel = 10;
  LayoutFile file = WriterLayoutFile(120, tracks);
  RedoSettings settings = SettingsOfSample(3);
  settings.channel[0] = 10;
  settings.instrument[0] = 5;
  settings.pan[0] = 100;
  std::string bytes = file.bytes;
  PatchProgramsAndPans(bytes, settings);
  EXPECT_EQ(At(bytes, file.program_offsets[0] - 1), 0xC9);
  EXPECT_EQ(At(bytes, file.program_offsets[0]), 5);
  EXPECT_EQ(At(bytes, file.pan_offsets[0] - 2), 0xB9);
  EXPECT_EQ(At(bytes, file.pan_offsets[0]), 100);
  EXPECT_EQ(ChangedOffsets(file.bytes, bytes).size(), 2u);
}

TEST(RedoPatcherTest, TracksSharingAChannelEachGetTheirOwnValues) {
  std::vector<LayoutTrack> tracks = SampleTracks(3);
  for (auto& track : tracks) track.channel = 3;
  LayoutFile file = WriterLayoutFile(120, tracks);
  RedoSettings settings = SettingsOfSample(3);
  for (int t = 0; t < 3; ++t) {
    settings.channel[t] = 3;
    settings.instrument[t] = 70 + t;
    settings.pan[t] = 5 + t;
  }
  std::string bytes = file.bytes;
  EXPECT_EQ(PatchProgramsAndPans(bytes, settings), 3);
  for (int t = 0; t < 3; ++t) {
    EXPECT_EQ(At(bytes, file.program_offsets[t]), 70 + t) << t;
    EXPECT_EQ(At(bytes, file.pan_offsets[t]), 5 + t) << t;
  }
  EXPECT_EQ(ChangedOffsets(file.bytes, bytes).size(), 6u);
}

TEST(RedoPatcherTest, UnusedOrMismatchedTracksChangeNothing) {
  LayoutFile file = WriterLayoutFile(120, SampleTracks(2));
  RedoSettings settings = SettingsOfSample(2);
  for (int t = 2; t < kTrackCount; ++t) {
    settings.instrument[t] = 99;
    settings.pan[t] = 1;
  }
  std::string bytes = file.bytes;
  EXPECT_EQ(PatchProgramsAndPans(bytes, settings), 2);
  EXPECT_EQ(bytes, file.bytes);

  // A channel other than the one the track was written on: left alone.
  settings.channel[1] = 7;
  settings.instrument[1] = 99;
  EXPECT_EQ(PatchProgramsAndPans(bytes, settings), 1);
  EXPECT_EQ(bytes, file.bytes);
}

TEST(RedoPatcherTest, ChunksAreCountedNotSearched) {
  // A track name holding "MTrk" and the program-change pattern must not be
  // mistaken for a chunk or for the start of a track.
  std::vector<LayoutTrack> tracks = SampleTracks(2);
  tracks[0].name = std::string("MTrk\x00\xC1\x01\x00\xB1\x0A\x02", 11);
  LayoutFile file = WriterLayoutFile(120, tracks);
  RedoSettings settings = SettingsOfSample(2);
  settings.instrument[1] = 77;
  settings.pan[1] = 33;
  std::string bytes = file.bytes;
  PatchProgramsAndPans(bytes, settings);
  std::vector<size_t> expected = {file.program_offsets[1], file.pan_offsets[1]};
  EXPECT_EQ(ChangedOffsets(file.bytes, bytes), expected);
}

TEST(RedoPatcherTest, StoppedFilePatchesTheTracksItHolds) {
  LayoutFile file = WriterLayoutFile(120, SampleTracks(2), 5);
  RedoSettings settings = SettingsOfSample(5);
  for (int t = 0; t < 5; ++t) settings.instrument[t] = 1;
  std::string bytes = file.bytes;
  EXPECT_EQ(PatchProgramsAndPans(bytes, settings), 2);
  EXPECT_EQ(ChangedOffsets(file.bytes, bytes).size(), 2u);
}

TEST(RedoPatcherTest, ValuesAreClamped) {
  EXPECT_EQ(ProgramByte(-1), 0);
  EXPECT_EQ(ProgramByte(127), 127);
  EXPECT_EQ(ProgramByte(300), 127);
  EXPECT_EQ(PanByte(20), 20);
  EXPECT_EQ(PanByte(200), 127);
  EXPECT_EQ(PanByte(-5), 0);
  EXPECT_EQ(PanByte(int64_t{1} << 40), 127);

  LayoutFile file = WriterLayoutFile(120, SampleTracks(1));
  RedoSettings settings = SettingsOfSample(1);
  settings.instrument[0] = -1;
  settings.pan[0] = 300;
  std::string bytes = file.bytes;
  PatchProgramsAndPans(bytes, settings);
  EXPECT_EQ(At(bytes, file.program_offsets[0]), 0);
  EXPECT_EQ(At(bytes, file.pan_offsets[0]), 127);
}

TEST(RedoPatcherFileTest, PatchesInPlaceWhateverTheFileSize) {
  // One track with 70,000 notes makes a file far above half a megabyte.
  std::vector<LayoutTrack> tracks = SampleTracks(3);
  tracks[1].notes.assign(70000, {60, 100, 24});
  LayoutFile file = WriterLayoutFile(120, tracks);
  ASSERT_GT(file.bytes.size(), 500001u);
  TempDir dir;
  dir.Write("big.mid", file.bytes);
  RedoSettings settings = SettingsOfSample(3);
  settings.instrument[2] = 42;
  settings.pan[2] = 9;
  EXPECT_EQ(PatchMIDIFile(dir / "BIG.MID", settings), 3);
  std::string after = dir.Read("big.mid");
  std::vector<size_t> expected = {file.program_offsets[2], file.pan_offsets[2]};
  EXPECT_EQ(ChangedOffsets(file.bytes, after), expected);
  EXPECT_EQ(after.size(), file.bytes.size());
}

TEST(RedoPatcherFileTest, MissingOrUnwritableFileIsAnError) {
  TempDir dir;
  RedoSettings settings = SettingsOfSample(1);
  try {
    PatchMIDIFile(dir / "none.mid", settings);
    ADD_FAILURE() << "no error for a missing file";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), kErrFileNotFound);
  }
  EXPECT_TRUE(dir.Entries().empty());
  std::filesystem::create_directory(dir / "folder.mid");
  EXPECT_THROW(PatchMIDIFile(dir / "folder.mid", settings), RunTimeError);
}

}  // namespace
}  // namespace tessavar
