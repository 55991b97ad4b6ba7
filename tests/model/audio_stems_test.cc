#include "model/audio_stems.h"

#include <gtest/gtest.h>

namespace tessavar {
namespace {

MidiTrack TrackWithNotes(int program, int channel, int notes) {
  MidiTrack track;
  track.program = program;
  for (int i = 0; i < notes; ++i) {
    track.notes.push_back({i * 96, i * 96 + 96, 60, 100, channel});
  }
  return track;
}

// A stem for each track that has notes and is not silenced, named by its
// number and General MIDI instrument.
TEST(AudioStemsTest, SoundingTracksAreNamedByNumberAndInstrument) {
  MidiContent content;
  content.tracks = {MidiTrack{},                // the tempo track
                    TrackWithNotes(40, 0, 2),   // Violin
                    TrackWithNotes(-1, 1, 1),   // no program: Piano
                    TrackWithNotes(0, 9, 3),    // the drum channel
                    TrackWithNotes(42, 2, 0),   // no notes
                    TrackWithNotes(73, 3, 1)};  // silenced
  std::vector<std::string> names;
  for (const Stem& stem :
       PlanStems(content, {false, false, false, false, false, true},
                 AudioFormat::kFlac)) {
    names.push_back(std::to_string(stem.track) + ":" + stem.file_name);
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"1:01 Violin.flac", "2:02 Piano.flac",
                                      "3:03 Percussion.flac"}));
  EXPECT_EQ(PlanStems(content, {}, AudioFormat::kWav).back().file_name,
            "05 Flute.wav");
}

TEST(AudioStemsTest, MoreStemsThanTheLimitAreRefusedByName) {
  MidiContent content;
  content.tracks.assign(kMaxStems, TrackWithNotes(0, 0, 1));
  std::vector<Stem> stems = PlanStems(content, {}, AudioFormat::kWav);
  EXPECT_TRUE(CheckStemCount(stems, "many.mid").ok());
  content.tracks.push_back(TrackWithNotes(0, 0, 1));
  stems = PlanStems(content, {}, AudioFormat::kWav);
  const Status status = CheckStemCount(stems, "many.mid");
  EXPECT_EQ(status.number(), kErrOverflow);
  EXPECT_EQ(status.path(), "many.mid");
  EXPECT_NE(status.detail().find("65 sounding tracks; at most 64 stems"),
            std::string::npos)
      << status.detail();
}

}  // namespace
}  // namespace tessavar
