#include "midi/exchange_piece.h"

#include <gtest/gtest.h>

#include "midi/exchange_midi_writer.h"
#include "midi/music_xml_writer.h"
#include "support/midi_bytes.h"

namespace tessavar {
namespace {

TEST(ExchangePieceTest, KeySignaturesOfMajorAndMinorKeys) {
  const struct {
    int tonic;
    bool minor;
    int fifths;
  } kCases[] = {{0, false, 0}, {7, false, 1},  {5, false, -1},
                {6, false, 6}, {1, false, -5}, {9, true, 0},
                {0, true, -3}, {14, true, -1}, {-1, false, 5}};
  for (const auto& c : kCases) {
    const KeySignature key = KeySignatureOf(c.tonic, c.minor);
    EXPECT_EQ(key.fifths, c.fifths) << c.tonic << (c.minor ? "m" : "");
    EXPECT_EQ(key.minor, c.minor);
  }
}

// Tracks without notes are left out; the exchange file read back by the
// program's reader has the same notes, names and time signature, and the
// length of the original with its trailing rest.
TEST(ExchangePieceTest, ExchangeFileKeepsTheNotesOfTheSoundingTracks) {
  const std::string working = testing::WriterLayoutFile(
      {testing::Quarters(2, 60), {}, {{48, 67, 96}, {0, 69, 192}}});
  Result<MidiContent> content = ReadMidiContent(working);
  ASSERT_TRUE(content.ok());
  ExchangePiece piece =
      ExchangePieceOf(content.value(), [](const MidiTrack& track) {
        return "Part " + std::to_string(track.notes.front().channel);
      });
  ASSERT_EQ(piece.parts.size(), 2u);
  EXPECT_EQ(piece.parts[1].name, "Part 2");
  EXPECT_EQ(piece.QuartersPerMinute(), 150);
  piece.title = "Tune";
  piece.key = KeySignatureOf(2, false);

  Result<MidiContent> exchange = ReadMidiContent(BuildExchangeMidiFile(piece));
  ASSERT_TRUE(exchange.ok());
  const MidiContent& read = exchange.value();
  ASSERT_EQ(read.tracks.size(), 3u);
  EXPECT_EQ(read.tracks[0].name, "Tune");
  for (size_t p = 0; p < piece.parts.size(); ++p) {
    const MidiTrack& track = read.tracks[p + 1];
    EXPECT_EQ(track.name, piece.parts[p].name);
    ASSERT_EQ(track.notes.size(), piece.parts[p].notes.size());
    for (size_t n = 0; n < track.notes.size(); ++n) {
      EXPECT_EQ(track.notes[n].start, piece.parts[p].notes[n].start);
      EXPECT_EQ(track.notes[n].end, piece.parts[p].notes[n].end);
      EXPECT_EQ(track.notes[n].key, piece.parts[p].notes[n].key);
    }
  }
  EXPECT_EQ(read.timing.total_ticks(), content.value().timing.total_ticks());
  EXPECT_EQ(read.timing.tempo_changes().front().microseconds_per_quarter,
            testing::kWriterTempo);
}

// A time signature whose bar is not a whole number of ticks, or less than
// one, is written in common time; the score can then be written.
TEST(ExchangePieceTest, BarsTheTicksCannotHoldFallBackToCommonTime) {
  const struct {
    int division, beats, unit_power, written_beats, written_unit;
  } kCases[] = {{8, 1, 6, 4, 4},
                {10, 1, 4, 4, 4},  // 0 and 2.5 ticks
                {10, 3, 3, 3, 8},
                {96, 5, 6, 5, 64}};  // 15 and 30 ticks
  for (const auto& c : kCases) {
    using testing::Bytes;
    const std::string file =
        testing::Header(1, 2, c.division) +
        testing::Chunk("MTrk", testing::Tempo(0, testing::kWriterTempo) +
                                   Bytes({0, 0xFF, 0x58, 4, c.beats,
                                          c.unit_power, 24, 8}) +
                                   testing::EndOfTrack()) +
        testing::NoteTrack(0, 0, testing::Quarters(2));
    Result<MidiContent> content = ReadMidiContent(file);
    ASSERT_TRUE(content.ok()) << content.status().Message();
    const ExchangePiece piece = ExchangePieceOf(
        content.value(), [](const MidiTrack&) { return "Part"; });
    EXPECT_EQ(piece.beats_per_bar, c.written_beats) << c.division;
    EXPECT_EQ(piece.beat_unit, c.written_unit) << c.division;
    EXPECT_FALSE(BuildMusicXml(piece).empty());
  }
}

}  // namespace
}  // namespace tessavar
