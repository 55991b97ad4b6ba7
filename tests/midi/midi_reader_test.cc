// The note reader over hand-built files: pairing of note-ons and note-offs,
// names, programs and meter, silencing tracks in a copy, and damaged files
// that give a reason instead of notes.
#include "midi/midi_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "support/midi_bytes.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::BigEndian;
using testing::Bytes;
using testing::Chunk;
using testing::EndOfTrack;
using testing::Header;
using testing::Tempo;
using testing::Vlq;
using testing::WriterLayoutFile;

std::string Meta(uint32_t delta, int type, const std::string& data) {
  return Vlq(delta) + Bytes({0xFF, type}) + Vlq(data.size()) + data;
}

// Tempo track in 3/4; a melody with a repeated overlapping key, a note-off
// as note-on with velocity 0 under running status; a bass whose last note
// is never released.
std::string SampleFile() {
  std::string conductor =
      Tempo(0, 500000) + Meta(0, 0x58, Bytes({3, 2, 24, 8})) + EndOfTrack();
  std::string melody = Meta(0, 0x03, "Melody") + Vlq(0) + Bytes({0xC0, 5}) +
                       Vlq(0) + Bytes({0x90, 60, 100}) +  // A on at 0
                       Vlq(48) + Bytes({60, 90}) +        // B on at 48
                       Vlq(48) + Bytes({0x80, 60, 0}) +   // A off at 96
                       Vlq(48) + Bytes({0x90, 60, 0}) +   // B off at 144
                       Vlq(0) + Bytes({64, 80}) +         // C on at 144
                       Vlq(96) + Bytes({64, 0}) +         // C off at 240
                       EndOfTrack();
  std::string bass =
      Meta(0, 0x03, "Bass") + Vlq(10) + Bytes({0x93, 36, 70}) + EndOfTrack(290);
  return Header(1, 3, 96) + Chunk("MTrk", conductor) + Chunk("MTrk", melody) +
         Chunk("MTrk", bass);
}

TEST(MidiReaderTest, ReadsNotesNamesProgramsAndMeter) {
  Result<MidiContent> read = ReadMidiContent(SampleFile());
  ASSERT_TRUE(read.ok()) << read.status().Message();
  const MidiContent& content = read.value();
  ASSERT_EQ(content.tracks.size(), 3u);
  EXPECT_TRUE(content.tracks[0].notes.empty());
  EXPECT_EQ(content.beats_per_bar, 3);
  EXPECT_EQ(content.beat_unit, 4);
  EXPECT_EQ(content.TicksPerBar(), 3 * 96);
  EXPECT_EQ(content.timing.total_ticks(), 300);

  const MidiTrack& melody = content.tracks[1];
  EXPECT_EQ(melody.name, "Melody");
  EXPECT_EQ(melody.program, 5);
  ASSERT_EQ(melody.notes.size(), 3u);
  auto span = [](const MidiNote& n) {
    return std::vector<int64_t>{n.start, n.end, n.key, n.velocity, n.channel};
  };
  EXPECT_EQ(span(melody.notes[0]), (std::vector<int64_t>{0, 96, 60, 100, 0}));
  EXPECT_EQ(span(melody.notes[1]), (std::vector<int64_t>{48, 144, 60, 90, 0}));
  EXPECT_EQ(span(melody.notes[2]), (std::vector<int64_t>{144, 240, 64, 80, 0}));

  const MidiTrack& bass = content.tracks[2];
  EXPECT_EQ(bass.name, "Bass");
  EXPECT_EQ(bass.program, -1);
  ASSERT_EQ(bass.notes.size(), 1u);
  EXPECT_EQ(span(bass.notes[0]), (std::vector<int64_t>{10, 300, 36, 70, 3}));
  EXPECT_EQ(content.NoteCount(), 4);
}

// Notes stacked on one key pair first in first out, per channel; a key
// whose notes all ended starts afresh; what still sounds ends with its track.
TEST(MidiReaderTest, OverlappingNotesOnOneKeyPairInOrder) {
  std::string events = Vlq(0) + Bytes({0x90, 60, 11}) +   // a on at 0
                       Vlq(0) + Bytes({0x91, 60, 21}) +   // x on at 0, ch 2
                       Vlq(10) + Bytes({0x90, 60, 12}) +  // b on at 10
                       Vlq(10) + Bytes({60, 13}) +        // c on at 20
                       Vlq(10) + Bytes({0x80, 60, 0}) +   // a off at 30
                       Vlq(0) + Bytes({0x81, 60, 0}) +    // x off at 30
                       Vlq(10) + Bytes({0x90, 60, 0}) +   // b off at 40
                       Vlq(10) + Bytes({60, 0}) +         // c off at 50
                       Vlq(0) + Bytes({60, 0}) +          // nothing to end
                       Vlq(10) + Bytes({60, 14}) +        // d on at 60
                       Vlq(10) + Bytes({60, 15}) +        // e on at 70
                       Vlq(10) + Bytes({60, 0}) +         // d off at 80
                       EndOfTrack(20);                    // e ends at 100
  Result<MidiContent> read =
      ReadMidiContent(Header(1, 1, 96) + Chunk("MTrk", events));
  ASSERT_TRUE(read.ok()) << read.status().Message();
  std::vector<std::vector<int64_t>> spans;
  for (const MidiNote& n : read.value().tracks[0].notes) {
    spans.push_back({n.velocity, n.start, n.end, n.channel});
  }
  EXPECT_EQ(spans, (std::vector<std::vector<int64_t>>{{11, 0, 30, 0},
                                                      {21, 0, 30, 1},
                                                      {12, 10, 40, 0},
                                                      {13, 20, 50, 0},
                                                      {14, 60, 80, 0},
                                                      {15, 70, 100, 0}}));
}

TEST(MidiReaderTest, AFileAboveTheReadLimitIsRefusedByName) {
  testing::TempDir dir;
  dir.Write("huge.mid", Header(1, 1, 96));
  std::filesystem::resize_file(dir / "huge.mid", kMaxReadFileBytes + 1);
  Result<MidiContent> read = ReadMidiContentFile(dir / "huge.mid");
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.status().number(), kErrOverflow);
  EXPECT_EQ(read.status().path(), dir / "huge.mid");
}

TEST(MidiReaderTest, SilencedTracksKeepTimingAndOtherTracks) {
  const std::string file =
      WriterLayoutFile({testing::Quarters(4, 60), testing::Quarters(6, 67)});
  const std::string copy = SilenceTracks(file, {false, true, false});
  ASSERT_EQ(copy.size(), file.size());
  Result<MidiContent> before = ReadMidiContent(file);
  Result<MidiContent> after = ReadMidiContent(copy);
  ASSERT_TRUE(before.ok() && after.ok());
  EXPECT_EQ(before.value().tracks[1].notes.size(), 4u);
  EXPECT_TRUE(after.value().tracks[1].notes.empty());
  EXPECT_EQ(after.value().tracks[2].notes.size(), 6u);
  EXPECT_EQ(after.value().timing.total_ticks(),
            before.value().timing.total_ticks());
  EXPECT_EQ(SilenceTracks(file, {}), file);
}

TEST(MidiReaderTest, DamagedFilesGiveAOneLineReason) {
  const std::string good = SampleFile();
  const std::vector<std::string> damaged = {
      "",
      "RIFF\x10\0\0\0WAVEfmt ",
      good.substr(0, 10),
      Header(1, 1, 96) + Chunk("MTrk", Bytes({0x00, 0x40, 0x40})),
      Header(1, 1, 96) + Chunk("MTrk", Vlq(0) + Bytes({0x90, 60})),
      Header(1, 1, 96) + Chunk("MThd", "")};
  for (const std::string& bytes : damaged) {
    Result<MidiContent> read = ReadMidiContent(bytes);
    ASSERT_FALSE(read.ok()) << ::testing::PrintToString(bytes);
    const std::string message = read.status().Message();
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
  }
  Result<MidiContent> missing = ReadMidiContentFile("/nonexistent/x.mid");
  EXPECT_EQ(missing.status().number(), kErrFileNotFound);
}

// Random damage: reading never crashes, and every note it gives is sane.
TEST(MidiReaderTest, RandomDamageNeverCrashes) {
  const std::string good = SampleFile();
  std::mt19937 random(13);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = good.substr(0, random() % (good.size() + 1));
    for (int flips = random() % 4; flips > 0 && !bytes.empty(); --flips) {
      bytes[random() % bytes.size()] = static_cast<char>(random());
    }
    Result<MidiContent> read = ReadMidiContent(bytes);
    if (!read.ok()) continue;
    for (const MidiTrack& track : read.value().tracks) {
      for (const MidiNote& note : track.notes) {
        ASSERT_LT(note.start, note.end);
        ASSERT_LE(note.end, read.value().timing.total_ticks());
        ASSERT_LT(note.key, 128);
      }
    }
    SilenceTracks(bytes, {true, true, true});
  }
}

}  // namespace
}  // namespace tessavar
