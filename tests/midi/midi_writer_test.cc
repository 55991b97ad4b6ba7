#include "midi/midi_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "support/fluid_midi_check.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::LoadWithFluidSynth;
using testing::ScriptedErrorReporter;
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

Bytes ReadBytes(const std::string& path) {
  return ToBytes(ReadWholeFile(path));
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

// Records yields and can act on the n-th one (1-based).
class ScriptedUiHost : public UiHost {
 public:
  void Yield() override {
    ++yields;
    if (on_yield) on_yield(yields);
  }
  int yields = 0;
  std::function<void(int)> on_yield;
};

class MidiWriterTest : public ::testing::Test {
 protected:
  MidiWriterTest() {
    settings_.tempo_text = "120";
    for (auto& pan : settings_.pan_texts) pan = "64";
  }

  void NameTracks(int count) {
    for (int t = 0; t < count; ++t) {
      engine_.track_name[t] = "Track " + std::to_string(t + 1);
    }
  }

  void Put(int track, int slot, int pitch, int velocity, int duration) {
    engine_.score.At(track, slot) = {pitch, velocity, duration};
  }

  int Save(const std::string& path) {
    return SaveScoreInMIDIFormat(path, engine_, settings_, reporter_, ui_);
  }

  // Ticks of the longest named track, summed from the score itself.
  int ExpectedTicks(int tracks) const {
    int longest = 0;
    for (int t = 0; t < tracks; ++t) {
      int ticks = 0;
      for (int p = 0; p < engine_.score.SlotCount(t); ++p) {
        ticks += std::max(engine_.score.Get(t, p).duration, 0) * 12;
      }
      longest = std::max(longest, ticks);
    }
    return longest;
  }

  void ExpectFluidSynthReads(const std::string& path, int tracks) {
    testing::FluidMidiLoad load = LoadWithFluidSynth(path);
    EXPECT_TRUE(load.accepted) << path;
    EXPECT_EQ(load.total_ticks, ExpectedTicks(tracks)) << path;
  }

  // The event data of the one score track of a file with a single track.
  Bytes FirstTrackEvents(const std::string& path) {
    Bytes bytes = ReadBytes(path);
    return Bytes(bytes.begin() + 14 + 44 + 8, bytes.end());
  }

  TempDir dir_;
  EngineState engine_;
  MidiFileSettings settings_;
  ScriptedErrorReporter reporter_;
  ScriptedUiHost ui_;
};

TEST_F(MidiWriterTest, WritesTheSmallestFileByteForByte) {
  NameTracks(1);
  Put(0, 0, 60, 100, 8);
  ASSERT_EQ(Save(dir_ / "TVX.MID"), 1);

  const std::string path = dir_ / "tvx.mid";
  Bytes expected =
      Concat({kHeaderTwoTracks,
              TempoTrack(0x07, 0xA1),
              {0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x00, 0x22},
              {0x00, 0xFF, 0x03, 0x07, 'T', 'r', 'a', 'c', 'k', ' ', '1'},
              {0x00, 0xC0, 0x00, 0x00, 0xB0, 0x0A, 0x40},
              {0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x00},
              {0x00, 0xB0, 0x7B, 0x00, 0x00, 0xFF, 0x2F, 0x00}});
  EXPECT_EQ(expected.size(), 100u);
  EXPECT_EQ(ReadBytes(path), expected);
  EXPECT_THAT(dir_.Entries(), ElementsAre("tvx.mid"));
  EXPECT_TRUE(reporter_.messages.empty());
  ExpectFluidSynthReads(path, 1);
}

TEST_F(MidiWriterTest, TrimsThePathAndLowerCasesOnlyTheFileName) {
  std::filesystem::create_directory(dir_ / "Songs");
  NameTracks(1);
  Put(0, 0, 60, 100, 8);
  ASSERT_EQ(Save("  " + (dir_ / "Songs/My Song.MID") + "  "), 1);
  EXPECT_THAT(dir_.Entries(), ElementsAre("Songs"));
  EXPECT_TRUE(std::filesystem::is_regular_file(dir_ / "Songs/my song.mid"));
  EXPECT_EQ(ReadBytes(dir_ / "Songs/my song.mid").size(), 100u);
}

TEST_F(MidiWriterTest, ReplacesAnExistingFile) {
  WriteFileAtomically(dir_ / "tvx.mid", std::string(500, 'x'));
  NameTracks(1);
  Put(0, 0, 60, 100, 8);
  ASSERT_EQ(Save(dir_ / "TVX.MID"), 1);
  EXPECT_EQ(ReadBytes(dir_ / "tvx.mid").size(), 100u);
  EXPECT_THAT(dir_.Entries(), ElementsAre("tvx.mid"));
}

TEST_F(MidiWriterTest, PadsLongNotesWithFillerEvents) {
  NameTracks(1);
  Put(0, 0, 60, 90, 1400);  // 700 units = 16800 ticks
  const std::string path = dir_ / "long.mid";
  ASSERT_EQ(Save(path), 1);
  Bytes events = FirstTrackEvents(path);
  EXPECT_TRUE(Contains(events, {0x00, 0x90, 0x3C, 90, 0xFF, 0x7F, 0x80, 0x00,
                                0x00, 0x83, 0x21, 0x80, 0x3C, 0x00}));
  EXPECT_EQ(CountOf(events, {0xFF, 0x7F, 0x80, 0x00, 0x00}), 1);
  ExpectFluidSynthReads(path, 1);
}

TEST_F(MidiWriterTest, ALengthOfExactlyTheLongestDeltaNeedsNoFurtherFiller) {
  NameTracks(1);
  Put(0, 0, 60, 90, 5461);  // 65532 ticks = 4 x 16383
  const std::string path = dir_ / "exact.mid";
  ASSERT_EQ(Save(path), 1);
  Bytes events = FirstTrackEvents(path);
  EXPECT_EQ(CountOf(events, {0xFF, 0x7F, 0x80, 0x00, 0x00}), 3);
  EXPECT_TRUE(Contains(events, {0x80, 0x00, 0x00, 0xFF, 0x7F, 0x80, 0x3C, 0x00,
                                0x00, 0xB0, 0x7B}));
  ExpectFluidSynthReads(path, 1);
}

TEST_F(MidiWriterTest, WritesOneAndTwoByteDeltasAndSkipsEmptySlots) {
  NameTracks(1);
  Put(0, 0, 60, 80, 10);  // 5 units = 120 ticks
  Put(0, 3, 62, 80, 12);  // 6 units = 144 ticks
  Put(0, 4, 64, 80, 7);   // an odd half-unit code: 84 ticks
  Put(0, 9, 65, 0, 0);    // empty slot: no event, no time
  const std::string path = dir_ / "deltas.mid";
  ASSERT_EQ(Save(path), 1);
  Bytes notes = {0x00, 0x90, 0x3C, 80,   0x78, 0x80, 0x3C, 0x00, 0x00, 0x90,
                 0x3E, 80,   0x81, 0x10, 0x80, 0x3E, 0x00, 0x00, 0x90, 0x40,
                 80,   0x54, 0x80, 0x40, 0x00, 0x00, 0xB0, 0x7B, 0x00};
  EXPECT_TRUE(Contains(FirstTrackEvents(path), notes));
  ExpectFluidSynthReads(path, 1);
}

TEST_F(MidiWriterTest, KeepsEveryDataByteWithinSevenBits) {
  NameTracks(1);
  Put(0, 0, 0, 200, 2);
  Put(0, 1, -5, -3, 2);
  Put(0, 2, 128, 0, 2);
  Put(0, 3, 127, 1, 2);
  Put(0, 4, 1, 127, 2);
  engine_.track_instrument[0] = 300;
  settings_.pan_texts[0] = "999";
  const std::string path = dir_ / "keys.mid";
  ASSERT_EQ(Save(path), 1);
  Bytes events = FirstTrackEvents(path);
  EXPECT_TRUE(Contains(events, {0x00, 0xC0, 0x7F, 0x00, 0xB0, 0x0A, 0x7F}));
  EXPECT_TRUE(Contains(
      events, {0x00, 0x90, 0x00, 0x7F, 0x18, 0x80, 0x00, 0x00, 0x00, 0x90,
               0x00, 0x00, 0x18, 0x80, 0x00, 0x00, 0x00, 0x90, 0x00, 0x00,
               0x18, 0x80, 0x00, 0x00, 0x00, 0x90, 0x7F, 0x01, 0x18, 0x80,
               0x7F, 0x00, 0x00, 0x90, 0x01, 0x7F, 0x18, 0x80, 0x01, 0x00}));
  ExpectFluidSynthReads(path, 1);
}

TEST_F(MidiWriterTest, RoundsAndClampsPansProgramsAndChannels) {
  NameTracks(4);
  const std::vector<std::string> pans = {"63.5", "64.5", "-4", "abc"};
  const std::vector<int> programs = {-1, 0, 127, 128};
  const std::vector<int> channels = {0, 17, 16, 1};
  for (int t = 0; t < 4; ++t) {
    Put(t, 0, 60, 100, 8);
    settings_.pan_texts[t] = pans[t];
    engine_.track_instrument[t] = programs[t];
    settings_.channel_map[t] = channels[t];
  }
  const std::string path = dir_ / "clamp.mid";
  ASSERT_EQ(Save(path), 1);
  Bytes bytes = ReadBytes(path);
  EXPECT_TRUE(Contains(bytes, {'1', 0x00, 0xC0, 0x00, 0x00, 0xB0, 0x0A, 64}));
  EXPECT_TRUE(Contains(bytes, {'2', 0x00, 0xCF, 0x00, 0x00, 0xBF, 0x0A, 64}));
  EXPECT_TRUE(Contains(bytes, {'3', 0x00, 0xCF, 0x7F, 0x00, 0xBF, 0x0A, 0}));
  EXPECT_TRUE(Contains(bytes, {'4', 0x00, 0xC0, 0x7F, 0x00, 0xB0, 0x0A, 0}));
  ExpectFluidSynthReads(path, 4);
}

TEST_F(MidiWriterTest, ChannelTenPutsEveryEventOfTheTrackOnNibbleNine) {
  NameTracks(1);
  Put(0, 0, 38, 100, 4);
  settings_.channel_map[0] = 10;
  const std::string path = dir_ / "drums.mid";
  ASSERT_EQ(Save(path), 1);
  Bytes events = FirstTrackEvents(path);
  EXPECT_TRUE(Contains(events, {0x00, 0xC9, 0x00, 0x00, 0xB9, 0x0A, 0x40, 0x00,
                                0x99, 0x26, 0x64, 0x30, 0x89, 0x26, 0x00, 0x00,
                                0xB9, 0x7B, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
  ExpectFluidSynthReads(path, 1);
}

TEST_F(MidiWriterTest, WritesOnlyTheTracksBeforeTheFirstEmptyName) {
  engine_.track_name[0] = "  Track 1 ";
  engine_.track_name[1] = "   ";
  engine_.track_name[2] = "Track 3";
  Put(0, 0, 60, 100, 8);
  Put(2, 0, 67, 100, 800);
  const std::string path = dir_ / "gap.mid";
  ASSERT_EQ(Save(path), 1);
  Bytes bytes = ReadBytes(path);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 14), kHeaderTwoTracks);
  EXPECT_EQ(bytes.size(), 100u);
  EXPECT_EQ(CountOf(bytes, ToBytes("MTrk")), 2);
  EXPECT_EQ(engine_.track_name[0], "Track 1");
  ExpectFluidSynthReads(path, 1);
}

TEST_F(MidiWriterTest, RefusesWithoutPathFirstNameOrPositiveTempo) {
  NameTracks(2);
  Put(0, 0, 60, 100, 8);
  const std::string path = dir_ / "refused.mid";
  for (const char* tempo : {"0", "abc", "", "-120", "0.4"}) {
    settings_.tempo_text = tempo;
    EXPECT_EQ(Save(path), -1) << "tempo " << tempo;
  }
  settings_.tempo_text = "120";
  EXPECT_EQ(Save("   "), -1);
  engine_.track_name[0] = "  ";
  EXPECT_EQ(Save(path), -1);
  EXPECT_TRUE(dir_.Entries().empty());
  EXPECT_TRUE(reporter_.messages.empty());
  EXPECT_EQ(ui_.yields, 0);
}

TEST_F(MidiWriterTest, RoundsTheTempoBeforeDividing) {
  NameTracks(1);
  Put(0, 0, 60, 100, 8);
  struct Case {
    const char* text;
    int h;
    int m;
  };
  // 234360 \ tempo: 120 and 120.5 give 1953, 121.5 rounds to 122 (1920),
  // 150 gives 1562 (399904 microseconds), and 1 to 3 would not fit two
  // bytes, so they hold the slowest tempo that does.
  for (Case c : {Case{"120", 0x07, 0xA1}, Case{"120.5", 0x07, 0xA1},
                 Case{"121.5", 0x07, 0x80}, Case{"150", 0x06, 0x1A},
                 Case{" 420 bpm", 0x02, 0x2E}, Case{"2", 0xFF, 0xFF}}) {
    settings_.tempo_text = c.text;
    const std::string path = dir_ / "tempo.mid";
    ASSERT_EQ(Save(path), 1) << c.text;
    Bytes bytes = ReadBytes(path);
    EXPECT_EQ(Bytes(bytes.begin() + 14, bytes.begin() + 58),
              TempoTrack(c.h, c.m))
        << c.text;
    EXPECT_EQ(LoadWithFluidSynth(path).midi_tempo, (c.h * 256 + c.m) * 256 + 32)
        << c.text;
  }
}

TEST_F(MidiWriterTest, ScansGrownTracksAndWritesLongChunks) {
  NameTracks(2);
  // 9000 notes of 24 ticks: more than 65535 bytes of event data.
  for (int p = 0; p < 9000; ++p) Put(0, p, 60 + p % 12, 100, 2);
  Put(1, 20000, 72, 100, 4);  // beyond the classic 16384 slots
  const std::string path = dir_ / "big.mid";
  ASSERT_EQ(Save(path), 1);
  Bytes bytes = ReadBytes(path);
  const size_t length =
      (bytes[62] << 24) | (bytes[63] << 16) | (bytes[64] << 8) | bytes[65];
  EXPECT_GT(length, 65535u);
  const size_t second = 66 + length;
  ASSERT_LT(second + 8, bytes.size());
  EXPECT_EQ(Bytes(bytes.begin() + second, bytes.begin() + second + 4),
            ToBytes("MTrk"));
  EXPECT_TRUE(Contains(bytes, {0x00, 0x91, 72, 100, 0x30, 0x81, 72, 0x00}));
  // Every 128 slots of each track, the first slot included.
  EXPECT_EQ(ui_.yields, (9000 + 127) / 128 + (20001 + 127) / 128);
  ExpectFluidSynthReads(path, 2);
}

TEST_F(MidiWriterTest, StopWhileTrackTwoIsScannedKeepsTheCompletedTracks) {
  NameTracks(3);
  for (int t = 0; t < 3; ++t) {
    Put(t, 0, 60 + t, 100, 8);
    Put(t, 150, 64 + t, 100, 4);
    Put(t, 299, 67 + t, 100, 2);
  }
  const std::string full_path = dir_ / "full.mid";
  ASSERT_EQ(Save(full_path), 1);
  ExpectFluidSynthReads(full_path, 3);
  ASSERT_EQ(ui_.yields, 9);  // slots 0, 128 and 256 of each track
  Bytes full = ReadBytes(full_path);

  // Tracks 0 and 1 take three yields each; the eighth comes at slot 128 of
  // track 2.
  const std::string path = dir_ / "stopped.mid";
  WriteFileAtomically(path, "an older file");
  ui_.yields = 0;
  ui_.on_yield = [this](int n) {
    if (n == 8) engine_.stop_requested = 1;
  };
  EXPECT_EQ(Save(path), -1);
  EXPECT_EQ(ui_.yields, 8);

  Bytes partial = ReadBytes(path);
  // Chunk head, name, program, pan, three notes, all notes off, end.
  const size_t track_chunk = 8 + 11 + 3 + 4 + 3 * 8 + 4 + 4;
  EXPECT_EQ(partial, Bytes(full.begin(), full.end() - track_chunk));
  EXPECT_EQ(CountOf(partial, ToBytes("MTrk")), 3);
  EXPECT_EQ(partial[11], 4);  // the header still announces every track
  EXPECT_TRUE(reporter_.messages.empty());
}

TEST_F(MidiWriterTest, StopDuringTheFirstTrackLeavesHeaderAndTempoTrack) {
  NameTracks(1);
  Put(0, 0, 60, 100, 8);
  engine_.stop_requested = 1;
  const std::string path = dir_ / "stopped.mid";
  EXPECT_EQ(Save(path), -1);
  EXPECT_EQ(ReadBytes(path),
            Concat({kHeaderTwoTracks, TempoTrack(0x07, 0xA1)}));
}

// A path whose parent is a regular file cannot be created, even by root.
TEST_F(MidiWriterTest, CancelAfterAFailedCreateGivesMinusTheErrorAndNoFile) {
  NameTracks(1);
  Put(0, 0, 60, 100, 8);
  WriteFileAtomically(dir_ / "blocker", "");
  reporter_ = ScriptedErrorReporter({ErrorChoice::kCancel});
  EXPECT_EQ(Save(dir_ / "blocker/TVX.MID"), -kErrPathNotFound);
  EXPECT_THAT(reporter_.messages, ElementsAre(HasSubstr("Path not found")));
  EXPECT_THAT(dir_.Entries(), ElementsAre("blocker"));

  reporter_ = ScriptedErrorReporter({ErrorChoice::kCancel});
  EXPECT_EQ(Save(dir_ / "missing/TVX.MID"), -kErrPathNotFound);
  EXPECT_THAT(dir_.Entries(), ElementsAre("blocker"));
}

TEST_F(MidiWriterTest, AFailedReplacementKeepsTheOldTargetAndLeavesNoTempFile) {
  NameTracks(1);
  Put(0, 0, 60, 100, 8);
  std::filesystem::create_directory(dir_ / "tvx.mid");
  reporter_ =
      ScriptedErrorReporter({ErrorChoice::kRetry, ErrorChoice::kCancel});
  EXPECT_EQ(Save(dir_ / "TVX.MID"), -kErrPathFileAccess);
  EXPECT_EQ(reporter_.messages.size(), 2u);
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "tvx.mid"));
  EXPECT_THAT(dir_.Entries(), ElementsAre("tvx.mid"));
}

// Retry repeats the write; here the user removes the obstacle meanwhile.
class FixingErrorReporter : public ErrorReporter {
 public:
  explicit FixingErrorReporter(std::function<void()> fix)
      : fix_(std::move(fix)) {}
  ErrorChoice ShowError(const std::string& message) override {
    messages.push_back(message);
    if (messages.size() == 2) fix_();
    return ErrorChoice::kRetry;
  }
  std::vector<std::string> messages;

 private:
  std::function<void()> fix_;
};

TEST_F(MidiWriterTest, RetryRepeatsTheWriteUntilItSucceeds) {
  NameTracks(1);
  Put(0, 0, 60, 100, 8);
  WriteFileAtomically(dir_ / "out", "");
  FixingErrorReporter reporter([this] {
    std::filesystem::remove(dir_ / "out");
    std::filesystem::create_directory(dir_ / "out");
  });
  EXPECT_EQ(SaveScoreInMIDIFormat(dir_ / "out/TVX.MID", engine_, settings_,
                                  reporter, ui_),
            1);
  EXPECT_EQ(reporter.messages.size(), 2u);
  EXPECT_EQ(ReadBytes(dir_ / "out/tvx.mid").size(), 100u);
  ExpectFluidSynthReads(dir_ / "out/tvx.mid", 1);
}

TEST(MidiFileSettingsTest, TakesTempoAndPansFromThePanel) {
  PanelModel panel;
  panel.SetText({Box::kTempo}, "90");
  panel.SetText({Box::kPan, 3}, "17");
  ChannelMap channels = DefaultChannelMap();
  channels[3] = 10;
  MidiFileSettings settings = MidiFileSettingsFromPanel(panel, channels);
  EXPECT_EQ(settings.tempo_text, "90");
  EXPECT_EQ(settings.pan_texts[3], "17");
  EXPECT_EQ(settings.pan_texts[0], panel.Text({Box::kPan, 0}));
  EXPECT_EQ(settings.channel_map[3], 10);
}

}  // namespace
}  // namespace tessavar
