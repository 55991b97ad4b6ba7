// tessavar-cli as a scripting tool: settings by name, many pieces in one
// run, JSON, show, and the conventions every command keeps.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "base/file_system.h"
#include "files/file_fields.h"
#include "midi/midi_timing.h"
#include "support/cli_process.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

namespace fs = std::filesystem;
using testing::CliOutcome;

class ComposeBatchTest : public ::testing::Test {
 protected:
  CliOutcome Cli(std::vector<std::string> words) {
    return testing::RunCliWords(words, dir_.path());
  }
  // A single compose of one mapping: the reference for a batch's files.
  std::string Single(const std::string& mapping) {
    std::string path = dir_ / ("single-" + mapping + ".mid");
    EXPECT_EQ(Cli({"compose", "-o", path, "--mapping", mapping}).status, 0);
    return ReadWholeFile(path);
  }
  // The entries of a directory that are not the captured output.
  std::vector<std::string> Written() const { return dir_.Entries(); }

  testing::TempDir dir_;
};

// The line of the composition file holding a field, from 0.
size_t LineOf(FieldTarget target, int index) {
  const std::vector<FileField>& fields = CompositionFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].target == target && fields[i].index == index) return i;
  }
  ADD_FAILURE() << "no such field";
  return 0;
}

std::string DefaultPath() {
  return std::string(TESSAVAR_SOURCE_DIR) + "/share/DEFAULT.TVX";
}

std::string DefaultComposition() { return ReadWholeFile(DefaultPath()); }

// The factory default with another structure text.
std::string CompositionWithStructure(const std::string& structure) {
  std::vector<std::string> lines = testing::Lines(DefaultComposition());
  lines[LineOf(FieldTarget::kStructure, 0)] = structure;
  return testing::CrLfLines(lines);
}

TEST_F(ComposeBatchTest, SettingsOnTheCommandLineEqualTheSameValuesInAFile) {
  std::vector<std::string> lines = testing::Lines(
      ReadWholeFile(std::string(TESSAVAR_SOURCE_DIR) + "/share/DEFAULT.TVX"));
  lines[LineOf(FieldTarget::kMapping, 0)] = "77";
  lines[LineOf(FieldTarget::kTempo, 0)] = "90";
  lines[LineOf(FieldTarget::kTonality, 0)] = "2";
  lines[LineOf(FieldTarget::kVolume, 1)] = "70";
  lines[LineOf(FieldTarget::kInstrument, 2)] = "42";
  dir_.Write("edited.tvx", testing::CrLfLines(lines));
  ASSERT_EQ(Cli({"compose", dir_ / "edited.tvx", "-o", dir_ / "file.mid",
                 "--save-composition", dir_ / "file.tvx"})
                .status,
            0);
  CliOutcome flags =
      Cli({"compose", "--mapping=77", "--tempo", "90", "--tonality", "minor",
           "--set", "volume.2=70", "--set", "instrument.3=cello", "-o",
           dir_ / "flags.mid", "--save-composition", dir_ / "flags.tvx"});
  ASSERT_EQ(flags.status, 0) << flags.err;
  EXPECT_EQ(dir_.Read("flags.mid"), dir_.Read("file.mid"));
  EXPECT_EQ(dir_.Read("flags.tvx"), dir_.Read("file.tvx"));

  // show reads the settings back under the same names.
  CliOutcome shown = Cli({"show", dir_ / "flags.tvx"});
  for (const char* line : {"mapping=77\n", "tempo=90\n", "tonality=2\n",
                           "volume.2=70\n", "auto=1\n"}) {
    EXPECT_NE(shown.out.find(line), std::string::npos) << line;
  }
  nlohmann::json json =
      nlohmann::json::parse(Cli({"show", "--json", dir_ / "flags.tvx"}).out);
  EXPECT_EQ(json["tempo"], "90");
  // Every name fields lists is shown, and nothing else.
  std::vector<std::string> names = testing::Lines(Cli({"fields"}).out);
  ASSERT_EQ(json.size(), names.size());
  for (const std::string& line : names) {
    EXPECT_TRUE(json.contains(line.substr(0, line.find(' ')))) << line;
  }
}

TEST_F(ComposeBatchTest, EveryPieceOfARangeEqualsItsSingleCompose) {
  fs::create_directory(dir_ / "one");
  fs::create_directory(dir_ / "two");
  ASSERT_EQ(Cli({"compose", "--mapping", "1..4,9", "-j", "1", "-o",
                 dir_ / "one/{mapping}.mid"})
                .status,
            0);
  CliOutcome two = Cli({"compose", "--mapping", "1..4,9", "-j", "2", "-o",
                        dir_ / "two/m{mapping}.mid"});
  ASSERT_EQ(two.status, 0) << two.err;
  // One summary line per piece, in piece order whatever worker wrote it.
  EXPECT_LT(two.out.find("m4.mid:"), two.out.find("m9.mid:"));
  for (const char* mapping : {"1", "2", "3", "4", "9"}) {
    std::string single = Single(mapping);
    EXPECT_EQ(ReadWholeFile(dir_ / ("one/" + std::string(mapping) + ".mid")),
              single)
        << mapping;
    EXPECT_EQ(ReadWholeFile(dir_ / ("two/m" + std::string(mapping) + ".mid")),
              single)
        << mapping;
  }
  EXPECT_EQ(testing::EntriesOf(dir_ / "two").size(), 5u);

  // Two axes: every combination, each under its own name.
  ASSERT_EQ(Cli({"compose", "--mapping", "3,4", "--tempo", "90,100", "-o",
                 dir_ / "one/{mapping}-{tempo}.mid"})
                .status,
            0);
  CliOutcome tempo = Cli(
      {"compose", "--mapping", "4", "--tempo", "100", "-o", dir_ / "t.mid"});
  ASSERT_EQ(tempo.status, 0);
  EXPECT_EQ(dir_.Read("t.mid"), ReadWholeFile(dir_ / "one/4-100.mid"));
  EXPECT_EQ(testing::EntriesOf(dir_ / "one").size(), 9u);

  // A placeholder of a setting not listed takes the composition's value,
  // after the settings given.
  ASSERT_EQ(Cli({"compose", "--mapping", "4", "--set", "tempo=100", "-o",
                 dir_ / "two/{tempo}-{mapping}.mid"})
                .status,
            0);
  EXPECT_EQ(ReadWholeFile(dir_ / "two/100-4.mid"), dir_.Read("t.mid"));
}

TEST_F(ComposeBatchTest, RefusedCommandLinesExplainAndWriteNothing) {
  struct Case {
    std::vector<std::string> words;
    int status;
    const char* message;
  };
  const std::string out = dir_ / "out.mid";
  const std::vector<Case> cases = {
      {{"--set", "loudness=3"}, 2, "unknown setting 'loudness'"},
      {{"--set", "tempo"}, 2, "NAME=VALUE"},
      {{"--tonality", "purple"}, 1, "Tonality: 'purple'"},
      {{"--set", "instrument.3=999"}, 1, "Instrument of track 3"},
      {{"--tempo", "5"}, 1, "Tempo should be in the range 20 - 420."},
      {{"--mapping", "1..3"}, 2, "put {mapping} in the output name"},
      {{"--mapping", "9..3", "-o", dir_ / "{mapping}.mid"}, 2, "'9..3'"},
      {{"-o", dir_ / "none/x.mid"}, 2, "does not exist"},
      {{"--json", "-o", "-"}, 2, "standard output"},
      {{"--save-composition", out}, 2, "one name"},
      {{"-j", "0"}, 2, "-j/--jobs takes a number of workers from 1 up"},
      {{""}, 2, "the composition file name is empty"},
      {{"-o", ""}, 2, "the output file name is empty"},
      // Every piece is checked before the first is written.
      {{"--mapping", "5,0,a,40000", "-o", dir_ / "{mapping}.mid"},
       1,
       "mapping 40000: Mapping should be in the range 1 - 32767."},
      {{"--mapping", "1..100000", "--tempo", "1..1000", "-o",
        dir_ / "{mapping}-{tempo}.mid"},
       2,
       "100000000 pieces; one run composes at most 1000000"},
      {{"--save-composition", dir_.path()}, 2, "not a regular file"},
      {{"--save-composition", "-"}, 2, "--save-composition takes a file"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> words = {"compose", "-o", out};
    if (std::find(c.words.begin(), c.words.end(), "-o") != c.words.end()) {
      words = {"compose"};
    }
    words.insert(words.end(), c.words.begin(), c.words.end());
    CliOutcome run = Cli(words);
    EXPECT_EQ(run.status, c.status) << c.words.front() << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_TRUE(Written().empty()) << c.words.front();
  }
  // A composition is never its own output.
  dir_.Write("piece.tvx", ReadWholeFile(std::string(TESSAVAR_SOURCE_DIR) +
                                        "/share/DEFAULT.TVX"));
  const std::string original = dir_.Read("piece.tvx");
  EXPECT_EQ(
      Cli({"compose", dir_ / "piece.tvx", "-o", dir_ / "piece.tvx"}).status, 2);
  EXPECT_EQ(Cli({"compose", dir_ / "piece.tvx", "-o", dir_ / "p.mid",
                 "--save-composition", dir_ / "./piece.tvx"})
                .status,
            2);
  EXPECT_EQ(dir_.Read("piece.tvx"), original);
  EXPECT_EQ(Written(), std::vector<std::string>{"piece.tvx"});
}

TEST_F(ComposeBatchTest, OutputsThatWouldMeetAreRefusedBeforeWriting) {
  dir_.Write("song.tvx", DefaultComposition());
  fs::create_directory(dir_ / "c");
  const std::string c = dir_ / "c/";
  const std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
      {{dir_ / "SONG.TVX", "-o", dir_ / "song.tvx"},
       "song.tvx: is the composition being composed"},
      {{dir_ / "SONG.TVX", "-o", c + "x.mid", "--save-composition",
        c + "../song.tvx"},
       "is the composition being composed"},
      {{"--mapping", "1,11", "--tempo", "21,121", "-o",
        c + "{mapping}{tempo}.mid"},
       "1121.mid: the MIDI file of mapping 11 tempo 21 and the MIDI file of "
       "mapping 1 tempo 121 would have one name"},
      {{"--mapping", "1,2", "-o", c + "{mapping}2.x", "--save-composition",
        c + "1{mapping}.x"},
       "12.x: the MIDI file of mapping 1 and the composition file of "
       "mapping 2 would have one name"},
  };
  for (const auto& [words, message] : cases) {
    std::vector<std::string> line = {"compose"};
    line.insert(line.end(), words.begin(), words.end());
    CliOutcome run = Cli(line);
    EXPECT_EQ(run.status, 2) << message;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_TRUE(testing::EntriesOf(c).empty()) << message;
  }
  EXPECT_EQ(dir_.Read("song.tvx"), DefaultComposition());
  // A value listed twice is one piece, composed once.
  CliOutcome twice =
      Cli({"compose", "--mapping", "5,5", "-o", c + "{mapping}.mid"});
  EXPECT_EQ(twice.status, 0) << twice.err;
  EXPECT_EQ(testing::Lines(twice.out).size(), 1u);
}

TEST_F(ComposeBatchTest, PlaceholderValuesNeverLeaveTheFolder) {
  dir_.Write("esc.tvx", CompositionWithStructure("/../../escaped"));
  // "/../../" from here leads to the test's own directory.
  fs::create_directories(dir_ / "x/out");
  const std::string pattern = dir_ / "x/out/{structure}-{mapping}.mid";
  const std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
      {{dir_ / "esc.tvx", "--mapping", "1,2"},
       "structure '/../../escaped' cannot be part of a file name"},
      {{"--structure", dir_ / "abs"}, "holds a '/'"},
      {{"--set", "structure=..1234"}, "starts with '..'"},
  };
  for (const auto& [words, message] : cases) {
    std::vector<std::string> line = {"compose", "-o", pattern};
    line.insert(line.end(), words.begin(), words.end());
    CliOutcome run = Cli(line);
    EXPECT_EQ(run.status, 2) << message;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
  }
  EXPECT_TRUE(testing::EntriesOf(dir_ / "x/out").empty());
  EXPECT_FALSE(dir_.Exists("escaped-1.mid"));
  // A value the pattern does not use is no file name.
  EXPECT_EQ(
      Cli({"compose", dir_ / "esc.tvx", "--structure", "1234", "-o", pattern})
          .status,
      0);
}

TEST_F(ComposeBatchTest, OddInputsEndWithAMessageNotAnAbort) {
  // Text that is not UTF-8, in file names and in JSON, from two workers.
  const std::string structure =
      "12\xFF\xFE"
      "34";
  dir_.Write("odd.tvx", CompositionWithStructure(structure));
  CliOutcome json =
      Cli({"compose", dir_ / "odd.tvx", "--json", "--mapping", "1,2", "-j", "2",
           "-o", dir_ / "{structure}-{mapping}.mid"});
  ASSERT_EQ(json.status, 0) << json.err;
  for (const std::string& line : testing::Lines(json.out)) {
    std::string output = nlohmann::json::parse(line)["output"];
    EXPECT_NE(output.find("12\xEF\xBF\xBD"), std::string::npos) << output;
  }
  EXPECT_TRUE(dir_.Exists(structure + "-2.mid"));
  for (const std::string& name : Written()) EXPECT_NE(name.front(), '.');

  // A composition far larger than any is refused before it is read.
  dir_.Write("big.tvx", DefaultComposition() + std::string(600000, ' '));
  CliOutcome big = Cli({"compose", dir_ / "big.tvx", "-o", dir_ / "big.mid"});
  EXPECT_EQ(big.status, 2);
  EXPECT_NE(big.err.find("KB; files of at most 512 KB are read"),
            std::string::npos)
      << big.err;

  // A file-size limit fails the writes like a full disk: a message, not a
  // killed process that leaves its unfinished files.
  fs::create_directory(dir_ / "limited");
  const std::string limited =
      "ulimit -f 4 && exec " +
      testing::CliCommandLine({"compose", "--mapping", "1,2", "-o",
                               dir_ / "limited/{mapping}.mid"}) +
      " 2>/dev/null";
  EXPECT_EQ(testing::ShellStatus(limited), 2);
  EXPECT_TRUE(testing::EntriesOf(dir_ / "limited").empty());

  // Standard output closed early (a pipe into head): the run stops with
  // its finished files only.
  fs::create_directory(dir_ / "piped");
  const std::string piped =
      testing::CliCommandLine({"compose", "--json", "--mapping", "1..40", "-j",
                               "2", "-o", dir_ / "piped/{mapping}.mid"}) +
      " 2>/dev/null | head -c 1 >/dev/null";
  for (int run = 0; run < 3; ++run) {
    ASSERT_EQ(std::system(piped.c_str()), 0);
    for (const std::string& name : testing::EntriesOf(dir_ / "piped")) {
      EXPECT_NE(name.front(), '.') << "left behind: " << name;
    }
  }

  // A failed write names its file once, on one line.
  const std::string unwritable = "/proc/tessavar-test.mid";
  CliOutcome proc = Cli({"compose", "-o", unwritable});
  EXPECT_EQ(proc.status, 2);
  EXPECT_EQ(testing::Lines(proc.err).size(), 1u) << proc.err;
}

TEST_F(ComposeBatchTest, JsonParsesAndAgreesWithTheFiles) {
  CliOutcome run = Cli({"compose", "--json", "--mapping", "5,6", "--tracks",
                        "4", "-o", dir_ / "{mapping}.mid"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = testing::Lines(run.out);
  ASSERT_EQ(lines.size(), 2u);
  for (size_t i = 0; i < lines.size(); ++i) {
    nlohmann::json piece = nlohmann::json::parse(lines[i]);
    const std::string mapping = std::to_string(5 + i);
    EXPECT_EQ(piece["output"], dir_ / (mapping + ".mid"));
    EXPECT_EQ(piece["settings"]["mapping"], mapping);
    EXPECT_EQ(piece["settings"]["tracks"], "4");
    EXPECT_EQ(piece["settings"].size(), 2u);
    EXPECT_EQ(piece["tracks"], 4);
    std::string midi = ReadWholeFile(piece["output"].get<std::string>());
    EXPECT_EQ(midi[11], 5);  // the tracks and the tempo track
    EXPECT_DOUBLE_EQ(
        piece["seconds"].get<double>(),
        static_cast<double>(MidiTiming::Parse(midi).LengthMicroseconds()) /
            1e6);
    EXPECT_GT(piece["notes_and_rests"].get<long>(), 0);
    // The mapped values chosen are those a saved composition holds.
    ASSERT_EQ(Cli({"compose", "--mapping", mapping, "--tracks", "4", "-o",
                   dir_ / "s.mid", "--save-composition", dir_ / "s.tvx"})
                  .status,
              0);
    nlohmann::json saved =
        nlohmann::json::parse(Cli({"show", "--json", dir_ / "s.tvx"}).out);
    ASSERT_EQ(piece["mapped"].size(), 14u);
    for (auto& [name, value] : piece["mapped"].items()) {
      EXPECT_EQ(value, saved[name]) << name;
    }
  }
}

TEST_F(ComposeBatchTest, AnInterruptedBatchKeepsFinishedFilesOnly) {
  fs::create_directory(dir_ / "all");
  std::vector<std::string> words = {
      "/bin/sh", "-c",
      "exec " +
          testing::CliCommandLine({"compose", "--mapping", "all", "-j", "2",
                                   "-q", "-o", dir_ / "all/{mapping}.mid"})};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(
      ::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv.data(), environ),
      0);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  // Finished files only: the workers' temporaries start with a dot.
  auto finished = [&] {
    std::vector<std::string> names = testing::EntriesOf(dir_ / "all");
    return std::count_if(names.begin(), names.end(),
                         [](const std::string& n) { return n.front() != '.'; });
  };
  while (finished() < 5 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(pid, SIGTERM);
  int raw = 0;
  ASSERT_EQ(::waitpid(pid, &raw, 0), pid);
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 128 + SIGTERM);
  std::vector<std::string> files = testing::EntriesOf(dir_ / "all");
  EXPECT_LT(files.size(), 32767u);
  ASSERT_GE(files.size(), 5u);
  for (const std::string& name : files) {
    ASSERT_NE(name.front(), '.') << "left behind: " << name;
  }
  // A finished file is whole: the one a single compose writes.
  EXPECT_EQ(ReadWholeFile(dir_ / ("all/" + files.front())),
            Single(files.front().substr(0, files.front().find('.'))));
}

TEST_F(ComposeBatchTest, EveryCommandKeepsTheConventions) {
  for (const char* command :
       {"compose", "info", "redo", "render", "show", "fields"}) {
    CliOutcome help = Cli({command, "-h"});
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_NE(help.out.find("Exit status"), std::string::npos) << command;
  }
  // Composing loads neither the synthesizer nor Qt.
  std::string libraries = dir_ / "libraries";
  ASSERT_EQ(std::system(("ldd " + testing::ShellQuoted(TESSAVAR_CLI_PATH) +
                         " >" + testing::ShellQuoted(libraries))
                            .c_str()),
            0);
  std::string linked = ReadWholeFile(libraries);
  fs::remove(libraries);
  EXPECT_EQ(linked.find("libfluidsynth"), std::string::npos) << linked;
  EXPECT_EQ(linked.find("libsndfile"), std::string::npos) << linked;
  EXPECT_EQ(linked.find("libQt"), std::string::npos) << linked;

  CliOutcome version = Cli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("tessavar-cli ", 0), 0u);

  // A missing file is the same failure everywhere.
  const std::string none = dir_ / "none";
  for (std::vector<std::string> words :
       {std::vector<std::string>{"compose", none, "-o", dir_ / "x.mid"},
        {"info", none},
        {"redo", none, none},
        {"render", none, dir_ / "x.wav"},
        {"show", none}}) {
    EXPECT_EQ(Cli(words).status, 2) << words.front();
  }
  EXPECT_TRUE(Written().empty());

  // "-" is standard output; "--" ends the options.
  ASSERT_EQ(Cli({"compose", "--output=" + (dir_ / "a.mid")}).status, 0);
  CliOutcome piped = Cli({"compose", "-o", "-"});
  EXPECT_EQ(piped.out, dir_.Read("a.mid"));
  EXPECT_FALSE(dir_.Exists("-"));
  dir_.Write("-x.tvx", ReadWholeFile(std::string(TESSAVAR_SOURCE_DIR) +
                                     "/share/DEFAULT.TVX"));
  ASSERT_EQ(
      Cli({"compose", "-o", dir_ / "b.mid", "--", dir_ / "-x.tvx"}).status, 0);
  EXPECT_EQ(dir_.Read("b.mid"), dir_.Read("a.mid"));
}

}  // namespace
}  // namespace tessavar
