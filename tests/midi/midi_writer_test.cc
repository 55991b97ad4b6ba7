#include "midi/midi_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "support/counting_progress_hook.h"
#include "support/fluid_midi_check.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::CountingProgressHook;
using testing::LoadWithFluidSynth;
using testing::TempDir;

using Bytes = std::vector<int>;

Bytes ToBytes(const std::string& text) {
  Bytes bytes;
  for (unsigned char c : text) bytes.push_back(c);
  return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

bool Contains(const Bytes& haystack, const Bytes& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(),
                     needle.end()) != haystack.end();
}

int CountOf(const Bytes& haystack, const Bytes& needle) {
  int count = 0;
  for (auto it = haystack.begin();
       (it = std::search(it, haystack.end(), needle.begin(), needle.end())) !=
       haystack.end();
       ++it) {
    ++count;
  }
  return count;
}

const Bytes kHeaderTwoTracks = {0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00,
                                0x06, 0x00, 0x01, 0x00, 0x02, 0x00, 0x60};

Bytes TempoTrack(int h, int m) {
  return {0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x00, 0x24, 0x00, 0xFF, 0x03,
          0x07, 'T',  'V',  'X',  ' ',  ' ',  ' ',  ' ',  0x00, 0xFF, 0x51,
          0x03, h,    m,    0x20, 0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18,
          0x08, 0x00, 0xFF, 0x59, 0x02, 0x00, 0x00, 0x00, 0xFF, 0x2F, 0x00};
}

class MidiWriterTest : public ::testing::Test {
 protected:
  MidiWriterTest() {
    settings_.tempo = 120;
    settings_.pans.fill(64);
    for (int t = 0; t < kTrackCount; ++t) settings_.channel_map[t] = t + 1;
  }

  void NameTracks(int count) {
    for (int t = 0; t < count; ++t) {
      names_[t] = "Track " + std::to_string(t + 1);
    }
  }

  void Put(int track, int slot, int pitch, int velocity, int duration) {
    score_.At(track, slot) = {pitch, velocity, duration};
  }

  // Builds the file, keeping its bytes for the checks below.
  MidiWriteOutcome Build() {
    MidiFileBytes file =
        BuildMidiFile(score_, names_, instruments_, settings_, ui_);
    bytes_ = ToBytes(file.bytes);
    return file.outcome;
  }

  // Ticks of the longest named track, summed from the score itself.
  int ExpectedTicks(int tracks) const {
    int longest = 0;
    for (int t = 0; t < tracks; ++t) {
      int ticks = 0;
      for (int p = 0; p < score_.SlotCount(t); ++p) {
        ticks += std::max(score_.Get(t, p).duration, 0) * 12;
      }
      longest = std::max(longest, ticks);
    }
    return longest;
  }

  // FluidSynth reads the built bytes from a file.
  testing::FluidMidiLoad LoadBuilt() {
    const std::string path = dir_ / "built.mid";
    dir_.Write("built.mid", std::string(bytes_.begin(), bytes_.end()));
    return LoadWithFluidSynth(path);
  }

  void ExpectFluidSynthReads(int tracks) {
    testing::FluidMidiLoad load = LoadBuilt();
    EXPECT_TRUE(load.accepted);
    EXPECT_EQ(load.total_ticks, ExpectedTicks(tracks));
  }

  // The event data of the one score track of a file with a single track.
  Bytes FirstTrackEvents() const {
    return Bytes(bytes_.begin() + 14 + 44 + 8, bytes_.end());
  }

  TempDir dir_;
  Score score_;
  std::array<std::string, kTrackCount> names_;
  std::array<int, kTrackCount> instruments_{};
  MidiFileSettings settings_;
  CountingProgressHook ui_;
  Bytes bytes_;
};

TEST_F(MidiWriterTest, WritesTheSmallestFileByteForByte) {
  NameTracks(1);
  Put(0, 0, 60, 100, 8);
  ASSERT_EQ(Build(), MidiWriteOutcome::kWritten);

  Bytes expected =
      Concat({kHeaderTwoTracks,
              TempoTrack(0x07, 0xA1),
              {0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x00, 0x22},
              {0x00, 0xFF, 0x03, 0x07, 'T', 'r', 'a', 'c', 'k', ' ', '1'},
              {0x00, 0xC0, 0x00, 0x00, 0xB0, 0x0A, 0x40},
              {0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x00},
              {0x00, 0xB0, 0x7B, 0x00, 0x00, 0xFF, 0x2F, 0x00}});
  EXPECT_EQ(expected.size(), 100u);
  EXPECT_EQ(bytes_, expected);
  ExpectFluidSynthReads(1);
}

TEST(MidiFileTargetTest, TrimsTheNameAndLowerCasesOnlyTheFileName) {
  EXPECT_EQ(MidiFileTarget("  Songs/My Song.MID  "), "Songs/my song.mid");
  EXPECT_EQ(MidiFileTarget("TVX.MID"), "tvx.mid");
  EXPECT_EQ(MidiFileTarget("   "), "");
  EXPECT_EQ(MidiFileTarget(""), "");
}

TEST_F(MidiWriterTest, PadsLongNotesWithFillerEvents) {
  NameTracks(1);
  Put(0, 0, 60, 90, 1400);  // 700 units = 16800 ticks
  ASSERT_EQ(Build(), MidiWriteOutcome::kWritten);
  Bytes events = FirstTrackEvents();
  EXPECT_TRUE(Contains(events, {0x00, 0x90, 0x3C, 90, 0xFF, 0x7F, 0x80, 0x00,
                                0x00, 0x83, 0x21, 0x80, 0x3C, 0x00}));
  EXPECT_EQ(CountOf(events, {0xFF, 0x7F, 0x80, 0x00, 0x00}), 1);
  ExpectFluidSynthReads(1);
}

TEST_F(MidiWriterTest, ALengthOfExactlyTheLongestDeltaNeedsNoFurtherFiller) {
  NameTracks(1);
  Put(0, 0, 60, 90, 5461);  // 65532 ticks = 4 x 16383
  ASSERT_EQ(Build(), MidiWriteOutcome::kWritten);
  Bytes events = FirstTrackEvents();
  EXPECT_EQ(CountOf(events, {0xFF, 0x7F, 0x80, 0x00, 0x00}), 3);
  EXPECT_TRUE(Contains(events, {0x80, 0x00, 0x00, 0xFF, 0x7F, 0x80, 0x3C, 0x00,
                                0x00, 0xB0, 0x7B}));
  ExpectFluidSynthReads(1);
}

TEST_F(MidiWriterTest, WritesOneAndTwoByteDeltasAndSkipsEmptySlots) {
  NameTracks(1);
  Put(0, 0, 60, 80, 10);  // 5 units = 120 ticks
  Put(0, 3, 62, 80, 12);  // 6 units = 144 ticks
  Put(0, 4, 64, 80, 7);   // an odd half-unit code: 84 ticks
  Put(0, 9, 65, 0, 0);    // empty slot: no event, no time
  ASSERT_EQ(Build(), MidiWriteOutcome::kWritten);
  Bytes notes = {0x00, 0x90, 0x3C, 80,   0x78, 0x80, 0x3C, 0x00, 0x00, 0x90,
                 0x3E, 80,   0x81, 0x10, 0x80, 0x3E, 0x00, 0x00, 0x90, 0x40,
                 80,   0x54, 0x80, 0x40, 0x00, 0x00, 0xB0, 0x7B, 0x00};
  EXPECT_TRUE(Contains(FirstTrackEvents(), notes));
  ExpectFluidSynthReads(1);
}

TEST_F(MidiWriterTest, KeepsEveryDataByteWithinSevenBits) {
  NameTracks(1);
  Put(0, 0, 0, 200, 2);
  Put(0, 1, -5, -3, 2);
  Put(0, 2, 128, 0, 2);
  Put(0, 3, 127, 1, 2);
  Put(0, 4, 1, 127, 2);
  instruments_[0] = 300;
  settings_.pans[0] = 999;
  ASSERT_EQ(Build(), MidiWriteOutcome::kWritten);
  Bytes events = FirstTrackEvents();
  EXPECT_TRUE(Contains(events, {0x00, 0xC0, 0x7F, 0x00, 0xB0, 0x0A, 0x7F}));
  EXPECT_TRUE(Contains(
      events, {0x00, 0x90, 0x00, 0x7F, 0x18, 0x80, 0x00, 0x00, 0x00, 0x90,
               0x00, 0x00, 0x18, 0x80, 0x00, 0x00, 0x00, 0x90, 0x00, 0x00,
               0x18, 0x80, 0x00, 0x00, 0x00, 0x90, 0x7F, 0x01, 0x18, 0x80,
               0x7F, 0x00, 0x00, 0x90, 0x01, 0x7F, 0x18, 0x80, 0x01, 0x00}));
  ExpectFluidSynthReads(1);
}

TEST_F(MidiWriterTest, ClampsPansProgramsAndChannels) {
  NameTracks(4);
  const std::vector<int64_t> pans = {64, 200, -4, 0};
  const std::vector<int> programs = {-1, 0, 127, 128};
  const std::vector<int> channels = {0, 17, 16, 1};
  for (int t = 0; t < 4; ++t) {
    Put(t, 0, 60, 100, 8);
    settings_.pans[t] = pans[t];
    instruments_[t] = programs[t];
    settings_.channel_map[t] = channels[t];
  }
  ASSERT_EQ(Build(), MidiWriteOutcome::kWritten);
  EXPECT_TRUE(Contains(bytes_, {'1', 0x00, 0xC0, 0x00, 0x00, 0xB0, 0x0A, 64}));
  EXPECT_TRUE(Contains(bytes_, {'2', 0x00, 0xCF, 0x00, 0x00, 0xBF, 0x0A, 127}));
  EXPECT_TRUE(Contains(bytes_, {'3', 0x00, 0xCF, 0x7F, 0x00, 0xBF, 0x0A, 0}));
  EXPECT_TRUE(Contains(bytes_, {'4', 0x00, 0xC0, 0x7F, 0x00, 0xB0, 0x0A, 0}));
  ExpectFluidSynthReads(4);
}

TEST_F(MidiWriterTest, ChannelTenPutsEveryEventOfTheTrackOnNibbleNine) {
  NameTracks(1);
  Put(0, 0, 38, 100, 4);
  settings_.channel_map[0] = 10;
  ASSERT_EQ(Build(), MidiWriteOutcome::kWritten);
  Bytes events = FirstTrackEvents();
  EXPECT_TRUE(Contains(events, {0x00, 0xC9, 0x00, 0x00, 0xB9, 0x0A, 0x40, 0x00,
                                0x99, 0x26, 0x64, 0x30, 0x89, 0x26, 0x00, 0x00,
                                0xB9, 0x7B, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
  ExpectFluidSynthReads(1);
}

TEST_F(MidiWriterTest, WritesOnlyTheTracksBeforeTheFirstEmptyName) {
  names_[0] = "Track 1";
  names_[2] = "Track 3";
  Put(0, 0, 60, 100, 8);
  Put(2, 0, 67, 100, 800);
  ASSERT_EQ(Build(), MidiWriteOutcome::kWritten);
  EXPECT_EQ(Bytes(bytes_.begin(), bytes_.begin() + 14), kHeaderTwoTracks);
  EXPECT_EQ(bytes_.size(), 100u);
  EXPECT_EQ(CountOf(bytes_, ToBytes("MTrk")), 2);
  ExpectFluidSynthReads(1);
}

TEST_F(MidiWriterTest, RefusesWithoutFirstNameOrPositiveTempo) {
  NameTracks(2);
  Put(0, 0, 60, 100, 8);
  for (int64_t tempo : {0, -120}) {
    settings_.tempo = tempo;
    EXPECT_EQ(Build(), MidiWriteOutcome::kRefused) << "tempo " << tempo;
    EXPECT_TRUE(bytes_.empty());
  }
  settings_.tempo = 120;
  names_[0] = "";
  EXPECT_EQ(Build(), MidiWriteOutcome::kRefused);
  EXPECT_TRUE(bytes_.empty());
  EXPECT_EQ(ui_.yields, 0);
}

TEST_F(MidiWriterTest, DividesTheTempoIntoTwoBytes) {
  NameTracks(1);
  Put(0, 0, 60, 100, 8);
  struct Case {
    int64_t tempo;
    int h;
    int m;
  };
  // 234360 \ tempo: 120 gives 1953, 122 gives 1920, 150 gives 1562 (399904
  // microseconds), and 1 to 3 would not fit two bytes, so they hold the
  // slowest tempo that does.
  for (Case c :
       {Case{120, 0x07, 0xA1}, Case{122, 0x07, 0x80}, Case{150, 0x06, 0x1A},
        Case{420, 0x02, 0x2E}, Case{2, 0xFF, 0xFF}}) {
    settings_.tempo = c.tempo;
    ASSERT_EQ(Build(), MidiWriteOutcome::kWritten) << c.tempo;
    EXPECT_EQ(Bytes(bytes_.begin() + 14, bytes_.begin() + 58),
              TempoTrack(c.h, c.m))
        << c.tempo;
    EXPECT_EQ(LoadBuilt().midi_tempo, (c.h * 256 + c.m) * 256 + 32) << c.tempo;
  }
}

TEST_F(MidiWriterTest, ScansGrownTracksAndWritesLongChunks) {
  NameTracks(2);
  // 9000 notes of 24 ticks: more than 65535 bytes of event data.
  for (int p = 0; p < 9000; ++p) Put(0, p, 60 + p % 12, 100, 2);
  Put(1, 20000, 72, 100, 4);  // beyond the classic 16384 slots
  ASSERT_EQ(Build(), MidiWriteOutcome::kWritten);
  const size_t length =
      (bytes_[62] << 24) | (bytes_[63] << 16) | (bytes_[64] << 8) | bytes_[65];
  EXPECT_GT(length, 65535u);
  const size_t second = 66 + length;
  ASSERT_LT(second + 8, bytes_.size());
  EXPECT_EQ(Bytes(bytes_.begin() + second, bytes_.begin() + second + 4),
            ToBytes("MTrk"));
  EXPECT_TRUE(Contains(bytes_, {0x00, 0x91, 72, 100, 0x30, 0x81, 72, 0x00}));
  // Every 128 slots of each track, the first slot included.
  EXPECT_EQ(ui_.yields, (9000 + 127) / 128 + (20001 + 127) / 128);
  ExpectFluidSynthReads(2);
}

TEST_F(MidiWriterTest, StopWhileTrackTwoIsScannedKeepsTheCompletedTracks) {
  NameTracks(3);
  for (int t = 0; t < 3; ++t) {
    Put(t, 0, 60 + t, 100, 8);
    Put(t, 150, 64 + t, 100, 4);
    Put(t, 299, 67 + t, 100, 2);
  }
  ASSERT_EQ(Build(), MidiWriteOutcome::kWritten);
  ExpectFluidSynthReads(3);
  ASSERT_EQ(ui_.yields, 9);  // slots 0, 128 and 256 of each track
  const Bytes full = bytes_;

  // Tracks 0 and 1 take three yields each; the eighth comes at slot 128 of
  // track 2.
  ui_.yields = 0;
  ui_.on_yield = [this](int n) {
    if (n == 8) ui_.stop = true;
  };
  EXPECT_EQ(Build(), MidiWriteOutcome::kStopped);
  EXPECT_EQ(ui_.yields, 8);

  // Chunk head, name, program, pan, three notes, all notes off, end.
  const size_t track_chunk = 8 + 11 + 3 + 4 + 3 * 8 + 4 + 4;
  EXPECT_EQ(bytes_, Bytes(full.begin(), full.end() - track_chunk));
  EXPECT_EQ(CountOf(bytes_, ToBytes("MTrk")), 3);
  EXPECT_EQ(bytes_[11], 4);  // the header still announces every track
}

TEST_F(MidiWriterTest, StopDuringTheFirstTrackLeavesHeaderAndTempoTrack) {
  NameTracks(1);
  Put(0, 0, 60, 100, 8);
  ui_.stop = true;
  EXPECT_EQ(Build(), MidiWriteOutcome::kStopped);
  EXPECT_EQ(bytes_, Concat({kHeaderTwoTracks, TempoTrack(0x07, 0xA1)}));
}

}  // namespace
}  // namespace tessavar
