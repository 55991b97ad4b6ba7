#include "midi/midi_timing.h"

#include <gtest/gtest.h>

#include "base/status.h"
#include "support/midi_bytes.h"

namespace tessavar {
namespace {

using testing::Bytes;
using testing::Chunk;
using testing::EndOfTrack;
using testing::Header;
using testing::Vlq;

int ParseError(const std::string& bytes) {
  try {
    MidiTiming::Parse(bytes);
  } catch (const RunTimeError& error) {
    return error.number();
  }
  return 0;
}

TEST(MidiTimingTest, WriterLayoutWithItsFixedTempo) {
  MidiTiming timing = MidiTiming::Parse(
      testing::WriterLayoutFile({testing::Quarters(4), testing::Quarters(2)}));
  EXPECT_EQ(timing.format(), 1);
  EXPECT_EQ(timing.track_count(), 3);
  EXPECT_EQ(timing.division(), 96);
  EXPECT_EQ(timing.total_ticks(), 384);
  EXPECT_EQ(timing.LengthMicroseconds(), 1599616);  // 4 x 399,904
  EXPECT_EQ(timing.LengthMs(), 1600);
  EXPECT_EQ(timing.TicksToMs(96), 400);  // 399.904 rounds up
  EXPECT_EQ(timing.TicksToMs(1), 4);     // 4.1657
}

TEST(MidiTimingTest, TempoChangesSplitTheTimeline) {
  std::string file =
      Header(1, 2, 96) +
      Chunk("MTrk", testing::Tempo(0, 500000) + testing::Tempo(192, 250000) +
                        EndOfTrack()) +
      testing::NoteTrack(0, 0, {{0, 60, 384}});
  MidiTiming timing = MidiTiming::Parse(file);
  ASSERT_EQ(timing.tempo_changes().size(), 2u);
  EXPECT_EQ(timing.tempo_changes()[1].tick, 192);
  EXPECT_EQ(timing.TicksToMs(192), 1000);
  EXPECT_EQ(timing.TicksToMs(288), 1250);
  EXPECT_EQ(timing.LengthMs(), 1500);
  // Back from time to ticks: the last tick not after the time.
  EXPECT_EQ(timing.MsToTicks(0), 0);
  EXPECT_EQ(timing.MsToTicks(999), 191);
  EXPECT_EQ(timing.MsToTicks(1000), 192);
  EXPECT_EQ(timing.MsToTicks(1250), 288);
  EXPECT_EQ(timing.MsToTicks(1500), 384);
  EXPECT_EQ(timing.MsToTicks(99999), 384);
}

TEST(MidiTimingTest, WithoutTempoEventsAQuarterLastsHalfASecond) {
  std::string file =
      Header(0, 1, 480) + testing::NoteTrack(0, 0, {{0, 60, 960}});
  MidiTiming timing = MidiTiming::Parse(file);
  EXPECT_EQ(timing.LengthMs(), 1000);
  EXPECT_EQ(timing.tempo_changes()[0].microseconds_per_quarter, 500000);
}

TEST(MidiTimingTest, LaterTrackWinsATempoChangeAtTheSameTick) {
  std::string file = Header(1, 2, 96) +
                     Chunk("MTrk", testing::Tempo(0, 500000) + EndOfTrack()) +
                     Chunk("MTrk", testing::Tempo(0, 1000000) + Vlq(96) +
                                       Bytes({0x90, 60, 100}) + EndOfTrack());
  EXPECT_EQ(MidiTiming::Parse(file).LengthMs(), 1000);
}

TEST(MidiTimingTest, RunningStatusWithOneAndTwoDataBytes) {
  std::string track = Bytes({0x00, 0x90, 0x3C, 0x64,  // note on
                             0x60, 0x3C, 0x00,        // running, +96
                             0x00, 0xC0, 0x05,        // program
                             0x10, 0x06,              // running, +16
                             0x00, 0xFF, 0x01, 0x03, 'a',  'b',
                             'c',  0x20, 0x90, 0x40, 0x64,  // +32
                             0x81, 0x00, 0x40, 0x00})       // running, +128
                      + EndOfTrack();
  MidiTiming timing =
      MidiTiming::Parse(Header(0, 1, 96) + Chunk("MTrk", track));
  EXPECT_EQ(timing.total_ticks(), 96 + 16 + 32 + 128);
}

TEST(MidiTimingTest, LongestTrackGivesTheLength) {
  std::string shorter =
      Chunk("MTrk", Vlq(0) + Bytes({0x90, 60, 100}) + Vlq(272) +
                        Bytes({0x80, 60, 0}) + EndOfTrack());
  std::string longer = Chunk("MTrk", EndOfTrack(480));
  // No end-of-track event: the track ends with its last event.
  std::string unterminated = Chunk(
      "MTrk", Vlq(0) + Bytes({0x90, 60, 100}) + Vlq(96) + Bytes({0x80, 60, 0}));
  std::string file = Header(1, 3, 96) + shorter + longer + unterminated;
  EXPECT_EQ(MidiTiming::Parse(file).total_ticks(), 480);
  EXPECT_EQ(MidiTiming::Parse(Header(1, 2, 96) + shorter + unterminated)
                .total_ticks(),
            272);
}

TEST(MidiTimingTest, SkipsSysExLongMetaTextsAndUnknownChunks) {
  std::string track =
      Vlq(0) + Bytes({0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}) + Vlq(0) +
      Bytes({0xFF, 0x03}) + Vlq(200) + std::string(200, 'x') + EndOfTrack(10);
  std::string file = Header(1, 2, 96) + Chunk("XFIH", "whatever") +
                     Chunk("MTrk", track) +
                     Chunk("MTrk", testing::Tempo(0, 1000000) + EndOfTrack());
  MidiTiming timing = MidiTiming::Parse(file);
  EXPECT_EQ(timing.total_ticks(), 10);
  EXPECT_EQ(timing.track_count(), 2);
  EXPECT_EQ(timing.TicksToMicroseconds(96), 1000000);
}

TEST(MidiTimingTest, ChunkCutShortByTheEndOfTheFileKeepsItsEvents) {
  std::string body =
      Vlq(0) + Bytes({0x90, 60, 100}) + Vlq(96) + Bytes({0x80, 60, 0});
  std::string file =
      Header(0, 1, 96) + "MTrk" + testing::BigEndian(1000, 4) + body;
  EXPECT_EQ(MidiTiming::Parse(file).total_ticks(), 96);
}

TEST(MidiTimingTest, RefusesWhatIsNotAPlayableMidiFile) {
  EXPECT_EQ(ParseError("RIFF0000WAVEfmt data"), kErrInvalidCall);
  EXPECT_EQ(ParseError(""), kErrInvalidCall);
  EXPECT_EQ(ParseError(Header(1, 0, 96)), kErrInvalidCall);  // no track
  // Time-code division (25 frames of 40 ticks).
  EXPECT_EQ(ParseError(Chunk("MThd", testing::BigEndian(0, 2) +
                                         testing::BigEndian(1, 2) +
                                         Bytes({0xE7, 0x28})) +
                       Chunk("MTrk", EndOfTrack())),
            kErrInvalidCall);
  // A data byte with no status before it.
  EXPECT_EQ(
      ParseError(Header(0, 1, 96) + Chunk("MTrk", Bytes({0x00, 0x3C, 0x64}))),
      kErrInvalidCall);
  // An event that runs past the end of its chunk.
  EXPECT_EQ(
      ParseError(Header(0, 1, 96) + Chunk("MTrk", Bytes({0x00, 0x90, 0x3C}))),
      kErrInvalidCall);
  // A meta event longer than its chunk.
  EXPECT_EQ(ParseError(Header(0, 1, 96) +
                       Chunk("MTrk", Bytes({0x00, 0xFF, 0x01, 0x40, 'a'}))),
            kErrInvalidCall);
  // More ticks than the player can count.
  std::string huge;
  for (int i = 0; i < 9; ++i) huge += Vlq(0x0FFFFFFF) + Bytes({0x90, 60, 0});
  EXPECT_EQ(ParseError(Header(0, 1, 96) + Chunk("MTrk", huge)),
            kErrInvalidCall);
}

// The two faults of a delta time keep their own reasons.
TEST(MidiTimingTest, ADeltaTooLongOrCutOffSaysWhich) {
  const auto reason = [](const std::string& events) {
    try {
      MidiTiming::Parse(Header(0, 1, 96) + Chunk("MTrk", events));
    } catch (const RunTimeError& error) {
      return error.status().detail();
    }
    return std::string();
  };
  const std::string too_long =
      "Not a valid MIDI file: a variable-length number is longer than four "
      "bytes";
  const std::string cut_off =
      "Not a valid MIDI file: an event runs past the end of its track";
  EXPECT_EQ(reason(Bytes({0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 60, 100})),
            too_long);
  EXPECT_EQ(reason(Bytes({0x81, 0x80, 0x80, 0x80})), too_long);
  EXPECT_EQ(reason(Bytes({0x81, 0x80, 0x80})), cut_off);
  EXPECT_EQ(reason(Vlq(0) + Bytes({0x90, 60, 100, 0x81})), cut_off);
}

TEST(MidiTimingTest, ReadFileReportsAMissingFile) {
  try {
    MidiTiming::ReadFile("/nonexistent/dir/none.mid");
    FAIL() << "no error";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), kErrFileNotFound);
  }
}

}  // namespace
}  // namespace tessavar
