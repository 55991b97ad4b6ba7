#include "midi/composition_info.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <string>

#include "engine/engine_state.h"
#include "engine/progress_hook.h"
#include "midi/midi_writer.h"
#include "midi/writer_layout_file.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::LayoutTrack;
using testing::TempDir;
using testing::WriterLayoutFile;

std::string FreshFile() {
  return WriterLayoutFile(120, testing::SampleTracks(2)).bytes;
}

// The helper builds exactly what the MIDI writer writes for the same score.
TEST(WriterLayoutFileTest, MatchesTheMidiWriter) {
  std::vector<LayoutTrack> tracks = testing::SampleTracks(3);
  tracks[2].channel = 10;
  EngineState engine;
  MidiFileSettings settings;
  settings.tempo = 97;
  for (int t = 0; t < 3; ++t) {
    engine.track_name[t] = tracks[t].name;
    engine.track_instrument[t] = tracks[t].program;
    settings.pans[t] = tracks[t].pan;
    settings.channel_map[t] = tracks[t].channel;
    for (size_t i = 0; i < tracks[t].notes.size(); ++i) {
      const testing::LayoutNote& note = tracks[t].notes[i];
      engine.score.At(t, static_cast<int>(i)) = {
          note.key, note.velocity, note.ticks / kMidiTicksPerHalfUnit};
    }
  }
  ProgressHook hook;
  MidiFileBytes file = BuildMidiFile(engine.score, engine.track_name,
                                     engine.track_instrument, settings, hook);
  ASSERT_EQ(file.outcome, MidiWriteOutcome::kWritten);
  EXPECT_EQ(file.bytes, WriterLayoutFile(97, tracks).bytes);
  EXPECT_EQ(CompInfoFromBytes(file.bytes), "TVX");
}

TEST(CompInfoBytesTest, FreshFileCarriesTVX) {
  EXPECT_EQ(CompInfoFromBytes(FreshFile()), "TVX");
}

TEST(CompInfoBytesTest, SevenCharactersReplaceTheNameInPlace) {
  std::string fresh = FreshFile();
  std::string embedded = BytesWithCompInfo(fresh, "My song").value();
  ASSERT_EQ(embedded.size(), fresh.size());
  EXPECT_EQ(embedded[21], 0x24);
  EXPECT_EQ(embedded[25], 7);
  EXPECT_EQ(embedded.substr(26, 7), "My song");
  // Nothing but the seven characters changes.
  EXPECT_EQ(embedded.substr(0, 26), fresh.substr(0, 26));
  EXPECT_EQ(embedded.substr(33), fresh.substr(33));
  EXPECT_EQ(CompInfoFromBytes(embedded), "My song");
}

TEST(CompInfoBytesTest, TwentyCharactersGrowTheFirstChunk) {
  std::string fresh = FreshFile();
  const std::string text = "A longer description";
  ASSERT_EQ(text.size(), 20u);
  std::string embedded = BytesWithCompInfo(fresh, text).value();
  ASSERT_EQ(embedded.size(), fresh.size() + 13);
  EXPECT_EQ(embedded.substr(0, 21), fresh.substr(0, 21));
  EXPECT_EQ(static_cast<unsigned char>(embedded[21]), 0x31);
  EXPECT_EQ(embedded.substr(22, 3), fresh.substr(22, 3));
  EXPECT_EQ(embedded[25], 0x14);
  EXPECT_EQ(embedded.substr(26, 20), text);
  // Every byte from the old offset 33 on moves 13 places further.
  EXPECT_EQ(embedded.substr(46), fresh.substr(33));
  EXPECT_EQ(CompInfoFromBytes(embedded), text);
}

TEST(CompInfoBytesTest, EmptyTextIsStoredAsOneSpace) {
  std::string embedded = BytesWithCompInfo(FreshFile(), "").value();
  EXPECT_EQ(embedded[25], 1);
  EXPECT_EQ(embedded[26], ' ');
  EXPECT_EQ(embedded[21], 0x24 - 7 + 1);
  EXPECT_EQ(CompInfoFromBytes(embedded), "");
}

TEST(CompInfoBytesTest, SecondTextReplacesTheFirstCompletely) {
  std::string fresh = FreshFile();
  std::string twice =
      BytesWithCompInfo(
          BytesWithCompInfo(fresh, "A first, much longer text").value(), "Hi")
          .value();
  EXPECT_EQ(twice, BytesWithCompInfo(fresh, "Hi").value());
  EXPECT_EQ(CompInfoFromBytes(twice), "Hi");
}

TEST(CompInfoBytesTest, TextIsLimitedTo127Bytes) {
  std::string long_text(200, 'x');
  std::string embedded = BytesWithCompInfo(FreshFile(), long_text).value();
  EXPECT_EQ(embedded[25], 127);
  EXPECT_EQ(CompInfoFromBytes(embedded), std::string(127, 'x'));
  EXPECT_EQ(static_cast<unsigned char>(embedded[21]), 0x24 - 7 + 127);

  // A two-byte character across the limit is dropped whole.
  std::string accented = std::string(126, 'a') + "\xC3\xA9" + "b";
  EXPECT_EQ(StoredCompInfo(accented), std::string(126, 'a'));
}

TEST(CompInfoBytesTest, TrailingSpacesAreRemovedOnReading) {
  std::string embedded = BytesWithCompInfo(FreshFile(), " lead  ").value();
  EXPECT_EQ(CompInfoFromBytes(embedded), " lead");
}

TEST(CompInfoBytesTest, ShortOrForeignBytesAreRefused) {
  std::string fresh = FreshFile();
  EXPECT_EQ(CompInfoFromBytes(fresh.substr(0, 25)), std::nullopt);
  // The name text is announced but cut off.
  EXPECT_EQ(CompInfoFromBytes(fresh.substr(0, 30)), std::nullopt);
  EXPECT_EQ(CompInfoFromBytes(fresh.substr(0, 33)), "TVX");

  EXPECT_EQ(BytesWithCompInfo(fresh.substr(0, 30), "x"), std::nullopt);
  std::string no_name_event = fresh;
  no_name_event[23] = 0x51;
  EXPECT_EQ(BytesWithCompInfo(no_name_event, "x"), std::nullopt);
  std::string not_midi = fresh;
  not_midi[0] = 'X';
  EXPECT_EQ(BytesWithCompInfo(not_midi, "x"), std::nullopt);
  std::string long_name = fresh;
  long_name[25] = static_cast<char>(0x81);
  EXPECT_EQ(BytesWithCompInfo(long_name, "x"), std::nullopt);
}

TEST(CompInfoFileTest, EmbedsAndExtractsThroughTheFile) {
  TempDir dir;
  dir.Write("song.mid", FreshFile());
  EXPECT_EQ(ExtractCompositionInfo(dir / "song.mid"), "TVX");
  ASSERT_TRUE(EmbedCompositionInfo(dir / "song.mid", "My song"));
  EXPECT_EQ(ExtractCompositionInfo(dir / "song.mid"), "My song");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"song.mid"});
}

TEST(CompInfoFileTest, FindsTheFileWhateverTheCaseOfItsName) {
  TempDir dir;
  dir.Write("song.mid", FreshFile());
  ASSERT_TRUE(EmbedCompositionInfo(dir / "SONG.MID", "Upper"));
  EXPECT_EQ(ExtractCompositionInfo(dir / "SONG.MID"), "Upper");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"song.mid"});
}

TEST(CompInfoFileTest, MissingOrShortFileGivesEmptyTextAndCreatesNothing) {
  TempDir dir;
  EXPECT_EQ(ExtractCompositionInfo(dir / "none.mid"), "");
  EXPECT_FALSE(EmbedCompositionInfo(dir / "none.mid", "text"));
  EXPECT_TRUE(dir.Entries().empty());

  dir.Write("short.mid", FreshFile().substr(0, 20));
  EXPECT_EQ(ExtractCompositionInfo(dir / "short.mid"), "");
  EXPECT_FALSE(EmbedCompositionInfo(dir / "short.mid", "text"));
  EXPECT_EQ(dir.Read("short.mid"), FreshFile().substr(0, 20));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"short.mid"});

  EXPECT_EQ(ExtractCompositionInfo(""), "");
}

TEST(CompInfoFileTest, FailedWriteLeavesTargetAndNoTemporaryFile) {
  TempDir dir;
  std::string fresh = FreshFile();
  dir.Write("song.mid", fresh);
  // Writing more than a few bytes now fails with "file too large".
  struct sigaction ignore = {}, previous = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  rlimit old_limit;
  getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit small = old_limit;
  small.rlim_cur = 40;
  setrlimit(RLIMIT_FSIZE, &small);
  bool embedded =
      EmbedCompositionInfo(dir / "song.mid", "A longer description");
  setrlimit(RLIMIT_FSIZE, &old_limit);
  sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_FALSE(embedded);
  EXPECT_EQ(dir.Read("song.mid"), fresh);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"song.mid"});
}

}  // namespace
}  // namespace tessavar
