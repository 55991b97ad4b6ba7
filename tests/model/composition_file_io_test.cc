#include "model/composition_file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/counting_ui_host.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::CountingUiHost;
using testing::CrLfLines;
using testing::ScriptedErrorReporter;
using testing::TempDir;

constexpr CheckId kAuto{Check::kMappedAuto};
constexpr BoxId kMapping{Box::kMapping};

std::vector<std::string> SplitCrLf(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// A panel with the placeholders replaced and every kind of field set to a
// value that differs from the initial one.
void FillPanel(ProgramState& state) {
  PanelModel& panel = state.panel;
  panel.SetText({Box::kStructure}, "31415926");
  panel.SetCheck({Check::kHiddenAuto}, 1);
  panel.SetText(kMapping, "4321");
  panel.SetText({Box::kVariation}, "3");
  panel.Select({List::kSmoothing}, 2);
  panel.Select({List::kMeter}, 1);
  panel.SetText({Box::kTracks}, "11");
  panel.SetText({Box::kTempo}, "230");
  panel.Select({List::kTonality}, 7);
  for (int t = 0; t < kTrackCount; ++t) {
    panel.Select({List::kInstrument, t}, 8 * t + 3);
    panel.SetText({Box::kOctave, t}, std::to_string(36 + t));
    panel.SetText({Box::kVolume, t}, std::to_string(70 + t));
    panel.SetCheck({Check::kTie, t}, t % 3 == 0 ? 1 : 0);
    panel.SetText({Box::kPan, t}, std::to_string(8 * t));
    state.channel_map[t] = 16 - t;
  }
  for (int i = 0; i < kMappedParameterCount; ++i) {
    panel.SetText({Box::kMapped, i}, std::to_string(i % 4 + 1));
  }
  panel.SetCheck(kAuto, 1);
  panel.Select({List::kFade}, 3);
  state.engine.user_scale = "  0 3 5 7";
}

// Every value that the composition file holds.
struct Snapshot {
  std::vector<std::string> texts;
  std::vector<int> numbers;
  friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

std::vector<BoxId> AllBoxes() {
  std::vector<BoxId> boxes = {{Box::kStructure},
                              {Box::kMapping},
                              {Box::kVariation},
                              {Box::kTracks},
                              {Box::kTempo}};
  for (int t = 0; t < kTrackCount; ++t) {
    boxes.push_back({Box::kOctave, t});
    boxes.push_back({Box::kVolume, t});
    boxes.push_back({Box::kPan, t});
  }
  for (int i = 0; i < kMappedParameterCount; ++i)
    boxes.push_back({Box::kMapped, i});
  return boxes;
}

Snapshot Take(const ProgramState& state) {
  const PanelModel& panel = state.panel;
  Snapshot s;
  for (BoxId box : AllBoxes()) {
    s.texts.push_back(panel.Text(box));
    s.numbers.push_back(panel.Spinner(box));
  }
  s.texts.push_back(state.engine.user_scale);
  s.texts.push_back(state.file_format_version);
  for (List list :
       {List::kTonality, List::kSmoothing, List::kMeter, List::kFade}) {
    s.numbers.push_back(panel.Selection({list}));
  }
  for (int t = 0; t < kTrackCount; ++t) {
    s.numbers.push_back(panel.Selection({List::kInstrument, t}));
    s.numbers.push_back(panel.CheckValue({Check::kTie, t}));
    s.numbers.push_back(state.channel_map[t]);
  }
  s.numbers.push_back(panel.CheckValue(kAuto));
  s.numbers.push_back(panel.CheckValue({Check::kHiddenAuto}));
  return s;
}

class CompositionFileTest : public ::testing::Test {
 protected:
  // Saves a filled panel and returns the lines written.
  std::vector<std::string> SavedLines() {
    ProgramState state;
    FillPanel(state);
    std::string path = dir / "made.tvx";
    EXPECT_TRUE(WriteCompositionFile(state, path, host, reporter));
    return SplitCrLf(dir.Read("made.tvx"));
  }
  Status LoadLines(ProgramState& state, const std::vector<std::string>& lines) {
    dir.Write("in.tvx", CrLfLines(lines));
    std::string path = dir / "in.tvx";
    return ReadCompositionFile(state, path, host);
  }

  TempDir dir;
  CountingUiHost host;
  ScriptedErrorReporter reporter;
};

TEST_F(CompositionFileTest, WritesTheFormatLineByLine) {
  ProgramState state;
  for (int t = 0; t < kTrackCount; ++t) {
    state.panel.SetText({Box::kOctave, t}, "60");
    state.panel.SetText({Box::kVolume, t}, "64");
    state.panel.SetText({Box::kPan, t}, "64");
  }
  state.panel.Select({List::kFade}, -1);
  std::string path = dir / "SONG.tvx";
  ASSERT_TRUE(WriteCompositionFile(state, path, host, reporter));
  EXPECT_TRUE(reporter.messages.empty());
  EXPECT_FALSE(host.busy);

  // Created with a lower-case name, nothing else left in the directory.
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"song.tvx"});
  std::string bytes = dir.Read("song.tvx");
  std::vector<std::string> lines = SplitCrLf(bytes);
  ASSERT_EQ(lines.size(), 123u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  std::vector<std::string> start(lines.begin(), lines.begin() + 16);
  EXPECT_EQ(start,
            (std::vector<std::string>{"2.0", "1234567890123456", " 0 ", "32767",
                                      "5", " 0 ", " 0 ", "6", "150", " 0 ",
                                      " 0 ", "60", "64", " 0 ", "64", " 1 "}));
  EXPECT_EQ(lines[105], " 16 ");
  EXPECT_EQ(lines[106], " 0 ");
  EXPECT_EQ(lines[107], "999");
  EXPECT_EQ(lines[121], "\" 0 1 2 3 4 5 6 7 8 9101112\"");
  EXPECT_EQ(lines[122], "-1 ");
}

TEST_F(CompositionFileTest, RoundTripsEveryField) {
  ProgramState saved;
  FillPanel(saved);
  saved.file_format_version = "2.1";
  saved.panel.SetText({Box::kStructure}, "12,34");  // a comma is quoted
  std::string saved_path = dir / "Round.tvx";
  ASSERT_TRUE(WriteCompositionFile(saved, saved_path, host, reporter));

  ProgramState loaded;
  std::string loaded_path = dir / "ROUND.TVX";  // found in any case
  Status result = ReadCompositionFile(loaded, loaded_path, host);
  EXPECT_TRUE(result.ok()) << LoadProblemText(result);
  EXPECT_EQ(Take(loaded), Take(saved));
  EXPECT_EQ(loaded.panel.Text({Box::kStructure}), "12,34");
  EXPECT_EQ(loaded.caption, "Tessavar Composer [ROUND.TVX]");
  EXPECT_FALSE(host.busy);
  EXPECT_GE(host.yields, 1);
}

TEST_F(CompositionFileTest, CaptionNamesTheFileWithoutRepeating) {
  ProgramState state;
  std::string path = dir / "SONG.tvx";
  ASSERT_TRUE(WriteCompositionFile(state, path, host, reporter));
  EXPECT_EQ(state.caption, "Tessavar Composer [SONG.tvx]");
  ASSERT_TRUE(WriteCompositionFile(state, path, host, reporter));
  EXPECT_EQ(state.caption, "Tessavar Composer [SONG.tvx]");
  path = dir / "other.tvx";
  ASSERT_TRUE(WriteCompositionFile(state, path, host, reporter));
  EXPECT_EQ(state.caption, "Tessavar Composer [other.tvx]");
}

TEST_F(CompositionFileTest, EmptyPathDoesNothing) {
  ProgramState state;
  EXPECT_FALSE(WriteCompositionFile(state, "", host, reporter));
  Snapshot before = Take(state);
  Status result = ReadCompositionFile(state, "", host);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(Take(state), before);
  EXPECT_EQ(state.caption, "Tessavar Composer");
  EXPECT_TRUE(dir.Entries().empty());
}

TEST_F(CompositionFileTest, LockedMappedParametersAreWrittenButNotRead) {
  std::vector<std::string> lines = SavedLines();
  ProgramState saved;
  FillPanel(saved);
  saved.options.lock_mapped = true;
  std::string saved_path = dir / "locked.tvx";
  ASSERT_TRUE(WriteCompositionFile(saved, saved_path, host, reporter));
  EXPECT_EQ(SplitCrLf(dir.Read("locked.tvx")), lines);
  EXPECT_EQ(lines[106], " 1 ");
  EXPECT_EQ(lines[108], "2");

  ProgramState state;
  state.options.lock_mapped = true;
  state.panel.SetText({Box::kMapped, 1}, "4");
  state.panel.SetCheck(kAuto, 0);
  std::vector<std::string> mapped_before;
  for (int i = 0; i < kMappedParameterCount; ++i) {
    mapped_before.push_back(state.panel.Text({Box::kMapped, i}));
  }
  Status result = LoadLines(state, lines);
  EXPECT_TRUE(result.ok()) << LoadProblemText(result);
  EXPECT_EQ(state.panel.CheckValue(kAuto), 0);
  for (int i = 0; i < kMappedParameterCount; ++i) {
    EXPECT_EQ(state.panel.Text({Box::kMapped, i}), mapped_before[i]);
  }
  // The rest of the file is read as usual.
  EXPECT_EQ(state.panel.Text({Box::kTempo}), "230");
  EXPECT_EQ(state.panel.Selection({List::kFade}), 3);

  // Unlocked, the same file sets "Auto" and the boxes, and "Auto" survives
  // the unchecking that setting the boxes causes.
  ProgramState unlocked;
  ASSERT_TRUE(LoadLines(unlocked, lines).ok());
  EXPECT_EQ(unlocked.panel.CheckValue(kAuto), 1);
  EXPECT_EQ(unlocked.panel.Text({Box::kMapped, 1}), "2");
  EXPECT_EQ(unlocked.panel.Spinner({Box::kMapped, 1}), 2);
}

TEST_F(CompositionFileTest, ShortFileAppliesWhatItHasSilently) {
  std::vector<std::string> lines = SavedLines();
  lines.resize(10);
  ProgramState state;
  state.panel.SetCheck(kAuto, 1);
  state.panel.set_save_enabled(true);
  state.play_slider = 500;
  int closed = 0;
  state.panel.on_score_cleared = [&] { ++closed; };

  Status result = LoadLines(state, lines);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.line(), 11);
  EXPECT_NE(result.detail().find("Instrument of track 1"), std::string::npos);
  EXPECT_NE(LoadProblemText(result).find("in.tvx:11: "), std::string::npos);

  EXPECT_EQ(state.panel.Text({Box::kStructure}), "31415926");
  EXPECT_EQ(state.panel.Text({Box::kTempo}), "230");
  EXPECT_EQ(state.panel.Selection({List::kTonality}), 7);
  EXPECT_EQ(state.panel.CheckValue({Check::kHiddenAuto}), 1);
  // Orchestration, channels, mapped parameters, scale and fade unchanged.
  EXPECT_EQ(state.panel.Text({Box::kOctave, 0}), "99");
  EXPECT_EQ(state.panel.Selection({List::kInstrument, 5}), 0);
  EXPECT_EQ(state.channel_map, DefaultChannelMap());
  EXPECT_EQ(state.panel.Text({Box::kMapped, 3}), "999");
  EXPECT_EQ(state.engine.user_scale, kDefaultUserScale);
  EXPECT_EQ(state.panel.Selection({List::kFade}), 0);

  EXPECT_EQ(state.panel.CheckValue(kAuto), 0);
  EXPECT_GE(closed, 1);
  EXPECT_FALSE(state.panel.save_enabled());
  EXPECT_EQ(state.play_slider, 0);
  EXPECT_EQ(state.caption, "Tessavar Composer");
  EXPECT_FALSE(host.busy);
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(CompositionFileTest, FailureAfterAutoRestoresTheAutoReadFromTheFile) {
  std::vector<std::string> lines = SavedLines();
  lines[110] = "oops,";  // a comma makes the rest one field short
  ProgramState state;
  Status result = LoadLines(state, lines);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(state.panel.CheckValue(kAuto), 1);
  EXPECT_EQ(state.panel.Text({Box::kMapped, 0}), "1");
  EXPECT_EQ(state.panel.Text({Box::kMapped, 3}), "oops");
  EXPECT_EQ(state.panel.Text({Box::kMapped, 4}), "");
  EXPECT_EQ(state.caption, "Tessavar Composer");
}

TEST_F(CompositionFileTest, LockedAutoSurvivesAnEarlyFailure) {
  ProgramState state;
  state.options.lock_mapped = true;
  state.panel.SetCheck(kAuto, 1);
  LoadLines(state, {"2.0", "123"});
  EXPECT_EQ(state.panel.CheckValue(kAuto), 1);

  state.options.lock_mapped = false;
  LoadLines(state, {"2.0", "123"});
  EXPECT_EQ(state.panel.CheckValue(kAuto), 0);
}

TEST_F(CompositionFileTest, TextsKeepOrNormaliseTheirDigits) {
  std::vector<std::string> lines = SavedLines();
  lines[1] = "0012345";
  lines[3] = "00123";
  lines[11] = " 060 ";
  lines[121] = "\"   0 2 4\"";
  ProgramState state;
  ASSERT_TRUE(LoadLines(state, lines).ok());
  EXPECT_EQ(state.panel.Text({Box::kStructure}), "0012345");
  EXPECT_EQ(state.panel.Text(kMapping), "123");
  EXPECT_EQ(state.panel.Spinner(kMapping), 123);
  EXPECT_EQ(state.panel.Text({Box::kOctave, 0}), "60");
  EXPECT_EQ(state.engine.user_scale, "   0 2 4");
}

TEST_F(CompositionFileTest, MappingIsShownAsItsAbsoluteValue) {
  std::vector<std::string> lines = SavedLines();
  lines[3] = "-77";
  ProgramState state;
  ASSERT_TRUE(LoadLines(state, lines).ok());
  EXPECT_EQ(state.panel.Text(kMapping), "77");
  EXPECT_EQ(state.panel.Spinner(kMapping), 77);

  // Out of range: the box keeps the negated text for Compose to refuse.
  lines[3] = "40000";
  ASSERT_TRUE(LoadLines(state, lines).ok());
  EXPECT_EQ(state.panel.Text(kMapping), "-40000");
  EXPECT_EQ(state.panel.Spinner(kMapping), 77);
}

TEST_F(CompositionFileTest, ValuesAControlCannotTakeStopTheLoad) {
  struct Case {
    size_t line;  // 0-based
    std::string text;
    std::string reason_part;
  };
  const Case cases[] = {
      {9, "8", "Tonality"},       {10, "5000", "Instrument of track 1"},
      {16, "-7", "Instrument"},   {13, "3", "Tie of track 1"},
      {2, "-1", "Hidden Auto"},   {15, "99999", "too large"},
      {5, "two", "not a number"}, {106, "3", "Auto"},
      {122, " 4 ", "Fade"},       {21, std::string(500, '9'), "too large"},
  };
  std::vector<std::string> good = SavedLines();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::vector<std::string> lines = good;
    lines[c.line] = c.text;
    ProgramState state;
    Status result = LoadLines(state, lines);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.line(), static_cast<int>(c.line) + 1);
    EXPECT_NE(result.detail().find(c.reason_part), std::string::npos)
        << result.detail();
    // Fields before the failure are applied, the failing one is not.
    EXPECT_EQ(state.panel.Text({Box::kStructure}), "31415926");
    EXPECT_GE(state.panel.Selection({List::kTonality}), -1);
    EXPECT_LE(state.panel.Selection({List::kTonality}), 7);
  }
  EXPECT_TRUE(reporter.messages.empty());
}

// Only a first line that is a format version this reader knows makes a
// composition; anything else is refused whole, before a field is applied.
TEST_F(CompositionFileTest, AFileThatIsNotACompositionChangesNothing) {
  std::vector<std::string> lines = SavedLines();
  for (const char* version : {"2.1", " 2.0 ", "2.05"}) {
    lines[0] = version;
    ProgramState state;
    EXPECT_TRUE(LoadLines(state, lines).ok()) << version;
  }
  ProgramState filled;
  FillPanel(filled);
  filled.play_slider = 300;
  const Snapshot before = Take(filled);
  for (const std::string first :
       {"hello world", "3.0", "2", "2.x", "20.0", "", "\x89PNG"}) {
    SCOPED_TRACE(first);
    lines[0] = first;
    Status result = LoadLines(filled, lines);
    EXPECT_TRUE(IsNotAComposition(result));
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.line(), 1);
    EXPECT_NE(LoadProblemText(result).find("in.tvx:1: not a composition file"),
              std::string::npos)
        << LoadProblemText(result);
  }
  dir.Write("in.tvx", "");
  EXPECT_TRUE(
      IsNotAComposition(ReadCompositionFile(filled, dir / "in.tvx", host)));
  EXPECT_EQ(Take(filled), before);
  EXPECT_EQ(filled.caption, "Tessavar Composer");
  EXPECT_EQ(filled.play_slider, 300);
  EXPECT_FALSE(host.busy);
  // A composition damaged further down is still read field by field.
  lines[0] = "2.0";
  lines[10] = "oops";
  Status damaged = LoadLines(filled, lines);
  EXPECT_FALSE(IsNotAComposition(damaged));
  EXPECT_EQ(damaged.line(), 11);
  EXPECT_EQ(filled.play_slider, 0);
}

TEST_F(CompositionFileTest, ChannelsAreStoredAsReadAndRounded) {
  std::vector<std::string> lines = SavedLines();
  lines[15] = " 0 ";
  lines[21] = " 20.6 ";
  lines[27] = "-3";
  ProgramState state;
  ASSERT_TRUE(LoadLines(state, lines).ok());
  EXPECT_EQ(state.channel_map[0], 0);
  EXPECT_EQ(state.channel_map[1], 21);
  EXPECT_EQ(state.channel_map[2], -3);
}

TEST_F(CompositionFileTest, MissingOrUnreadableFilesChangeNothing) {
  ProgramState initial;
  Snapshot fresh = Take(initial);
  for (std::string path : {dir / "DEFAULT.TVX", dir.path(), std::string()}) {
    ProgramState state;
    Status result = ReadCompositionFile(state, path, host);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(Take(state), fresh);
    EXPECT_EQ(state.caption, "Tessavar Composer");
  }
  ProgramState state;
  EXPECT_EQ(ReadCompositionFile(state, dir / "DEFAULT.TVX", host).detail(),
            "File not found");
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(CompositionFileTest, RefusesATextThatWouldNotReadBack) {
  ProgramState state;
  state.panel.SetText({Box::kMapped, 6}, "\"quoted");
  std::string path = dir / "bad.tvx";
  EXPECT_FALSE(WriteCompositionFile(state, path, host, reporter));
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_NE(reporter.messages[0].find("Note Duration"), std::string::npos);
  EXPECT_TRUE(dir.Entries().empty());
  EXPECT_EQ(state.caption, "Tessavar Composer");

  state.panel.SetText({Box::kMapped, 6}, "13");
  state.engine.user_scale = " 0 \"2";
  EXPECT_FALSE(WriteCompositionFile(state, path, host, reporter));
  ASSERT_EQ(reporter.messages.size(), 2u);
  EXPECT_NE(reporter.messages[1].find("scale"), std::string::npos);
}

TEST_F(CompositionFileTest, WriteErrorsOfferRetryAndCancel) {
  ProgramState state;
  std::string path = dir / "new/SONG.tvx";
  EXPECT_FALSE(WriteCompositionFile(state, path, host, reporter));
  EXPECT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(state.caption, "Tessavar Composer");
  EXPECT_FALSE(host.busy);

  // Creates the missing directory when the error is shown, then retries.
  ScriptedErrorReporter fixing({ErrorChoice::kRetry});
  fixing.on_show = [&](int) { std::filesystem::create_directory(dir / "new"); };
  EXPECT_TRUE(WriteCompositionFile(state, path, host, fixing));
  EXPECT_EQ(fixing.messages.size(), 1u);
  EXPECT_TRUE(dir.Exists("new/song.tvx"));
  EXPECT_EQ(state.caption, "Tessavar Composer [SONG.tvx]");
}

TEST_F(CompositionFileTest, AFailedSaveLeavesNoTemporaryFile) {
  std::filesystem::create_directory(dir / "taken.tvx");
  dir.Write("keep.txt", "old");
  ProgramState state;
  std::string path = dir / "taken.tvx";
  EXPECT_FALSE(WriteCompositionFile(state, path, host, reporter));
  EXPECT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"keep.txt", "taken.tvx"}));
}

}  // namespace
}  // namespace tessavar
