// Runs the tessavar-cli binary as a user would.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/file_system.h"
#include "midi/composition_info.h"
#include "model/compose_command.h"
#include "model/composition_file_io.h"
#include "support/cli_process.h"
#include "support/fake_player.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

namespace fs = std::filesystem;

using RunResult = testing::CliOutcome;
using testing::CrLfLines;
using testing::Lines;
using testing::ShellQuoted;

class ComposeCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    factory_ = Lines(
        ReadWholeFile(std::string(TESSAVAR_SOURCE_DIR) + "/share/DEFAULT.TVX"));
    ASSERT_EQ(factory_.size(), 123u);
  }
  std::string Path(const std::string& name) const { return dir_ / name; }

  RunResult Run(const std::vector<std::string>& args) {
    std::vector<std::string> words = {"compose"};
    words.insert(words.end(), args.begin(), args.end());
    return testing::RunCliWords(words, dir_.path());
  }

  // The factory default with some lines (numbered from 1) replaced.
  std::string Variant(const std::string& name,
                      std::vector<std::pair<int, std::string>> changes) {
    std::vector<std::string> lines = factory_;
    for (const auto& [line, text] : changes) lines[line - 1] = text;
    WriteFileAtomically(Path(name), CrLfLines(lines));
    return Path(name);
  }

  testing::TempDir dir_;
  std::vector<std::string> factory_;
};

TEST_F(ComposeCliTest, FactoryDefaultWithoutAFile) {
  RunResult run = Run({"-o", Path("Factory.MID")});
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_TRUE(fs::exists(Path("Factory.MID")));  // the name as given
  std::string midi = ReadWholeFile(Path("Factory.MID"));
  EXPECT_EQ(midi.substr(0, 4), "MThd");
  EXPECT_EQ(midi[11], 7);  // 6 tracks and the tempo track
  EXPECT_EQ(run.err, "");
  // One line: tracks, notes and rests, seconds.
  EXPECT_NE(run.out.find(" 6 tracks, "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" seconds\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find('\n'), run.out.size() - 1);

  WriteFileAtomically(Path("default.tvx"), CrLfLines(factory_));
  ASSERT_EQ(Run({Path("default.tvx"), "-o", Path("same.mid")}).status, 0);
  EXPECT_EQ(ReadWholeFile(Path("same.mid")), midi);
}

// The file the desktop program's Compose writes for the same panel.
TEST_F(ComposeCliTest, SameBytesAsTheComposeCommand) {
  std::string file = Variant(
      "song.tvx",
      {{2, "3141592653"}, {4, "777"}, {8, "11"}, {10, " 2 "}, {123, " 3 "}});
  ASSERT_EQ(Run({file, "-o", Path("cli.mid")}).status, 0);

  ProgramState state;
  state.paths = ProgramPaths::FromDirectory(dir_.path());
  UiHost host;
  ASSERT_TRUE(LoadStartupComposition(state, file, host).ok());
  testing::FakePlayer player;
  testing::ScriptedErrorReporter errors;
  ComposeOutcome outcome = ComposeCommand(state, player, host, errors).Click();
  ASSERT_TRUE(outcome.written);
  EXPECT_EQ(ReadWholeFile(state.paths.working_midi),
            ReadWholeFile(Path("cli.mid")));
}

TEST_F(ComposeCliTest, EachValidationMessageExitsWithOne) {
  const std::vector<std::pair<std::pair<int, std::string>, std::string>> cases =
      {
          {{2, "12"}, "Structure should be 3 to 16 digits in length."},
          {{2, "12345678901234567"},
           "Structure should be 3 to 16 digits in length."},
          {{2, "2222"}, "Structure should not be all one digit."},
          {{4, "0"}, "Mapping should be in the range 1 - 32767."},
          {{5, "11"}, "Variation should be in the range 0 - 10."},
          {{8, "17"}, "Tracks should be in the range 1 - 16."},
          {{9, "430"}, "Tempo should be in the range 20 - 420."},
          // Quoted, so that the leading blank is kept.
          {{2, "\" 11\""}, "Note:  Structure must be 3 to 32 digits in length"},
          {{2, "\" 111\""}, "Note:  Structure must not be all one digit"},
      };
  for (const auto& [change, message] : cases) {
    std::string file = Variant("bad.tvx", {change});
    RunResult run = Run({file, "-o", Path("bad.mid")});
    EXPECT_EQ(run.status, 1) << message;
    EXPECT_EQ(run.err, "tessavar-cli compose: " + message + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(fs::exists(Path("bad.mid"))) << message;
  }
  // The first failing check wins.
  std::string both = Variant("both.tvx", {{4, "0"}, {9, "10"}});
  EXPECT_EQ(
      Run({both, "-o", Path("bad.mid")}).err,
      "tessavar-cli compose: Mapping should be in the range 1 - 32767.\n");
}

TEST_F(ComposeCliTest, DamagedFilesNameTheFileAndLine) {
  std::vector<std::string> short_file(factory_.begin(), factory_.begin() + 50);
  WriteFileAtomically(Path("short.tvx"), CrLfLines(short_file));
  RunResult run = Run({Path("short.tvx"), "-o", Path("out.mid")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(Path("short.tvx") + ":51:"), std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(Path("out.mid")));

  std::string not_number = Variant("word.tvx", {{10, "minor"}});
  run = Run({not_number, "-o", Path("out.mid")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(not_number + ":10:"), std::string::npos) << run.err;

  std::string bad_index = Variant("index.tvx", {{123, " 9 "}});
  run = Run({bad_index, "-o", Path("out.mid")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(bad_index + ":123:"), std::string::npos) << run.err;

  run = Run({Path("missing.tvx"), "-o", Path("out.mid")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(Path("missing.tvx")), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Path("out.mid")));
}

TEST_F(ComposeCliTest, SavedCompositionShowsTheChosenBoxes) {
  std::string file = Variant("auto.tvx", {{4, "4321"}, {107, " 1 "}});
  RunResult run = Run(
      {file, "-o", Path("auto.mid"), "--save-composition", Path("Chosen.TVX")});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> input = Lines(ReadWholeFile(file));
  std::vector<std::string> saved = Lines(ReadWholeFile(Path("Chosen.TVX")));
  ASSERT_EQ(saved.size(), 123u);
  EXPECT_EQ(saved[106], " 1 ");  // "Auto" stays on
  bool changed = false;
  for (int i = 107; i <= 120; ++i) changed |= saved[i] != input[i];
  EXPECT_TRUE(changed);
  for (int i = 0; i < 123; ++i) {
    if (i < 107 || i > 120) {
      EXPECT_EQ(saved[i], input[i]) << i + 1;
    }
  }
  // The chosen boxes compose the same piece by hand.
  saved[106] = " 0 ";
  WriteFileAtomically(Path("manual.tvx"), CrLfLines(saved));
  ASSERT_EQ(Run({Path("manual.tvx"), "-o", Path("manual.mid")}).status, 0);
  EXPECT_EQ(ReadWholeFile(Path("manual.mid")), ReadWholeFile(Path("auto.mid")));
}

TEST_F(ComposeCliTest, UnwritableOutputLeavesNothingBehind) {
  RunResult run = Run({"-o", Path("missing/out.mid")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(Path("missing/out.mid")), std::string::npos);
  fs::create_directories(Path("taken.mid"));
  run = Run({"-o", Path("taken.mid")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(Path("taken.mid")), std::string::npos);
  ASSERT_EQ(Run({"-o", Path("fine.mid")}).status, 0);
  for (const auto& entry : fs::directory_iterator(dir_.path())) {
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
  }
}

TEST_F(ComposeCliTest, InfoIsEmbeddedAsSavingDoes) {
  ASSERT_EQ(Run({"-o", Path("plain.mid")}).status, 0);
  const std::string info = "A piece for twenty";  // 18 characters
  RunResult run = Run({"-o", Path("info.mid"), "--info", info});
  ASSERT_EQ(run.status, 0) << run.err;
  std::string plain = ReadWholeFile(Path("plain.mid"));
  std::string with_info = ReadWholeFile(Path("info.mid"));
  EXPECT_EQ(ExtractCompositionInfo(Path("info.mid")), info);
  ASSERT_EQ(with_info.size(), plain.size() - 7 + info.size());
  EXPECT_EQ(static_cast<unsigned char>(with_info[21]), 36 - 7 + info.size());
  EXPECT_EQ(static_cast<unsigned char>(with_info[25]), info.size());
  EXPECT_EQ(with_info.substr(26, info.size()), info);
  EXPECT_EQ(with_info.substr(26 + info.size()), plain.substr(33));
  EXPECT_EQ(with_info.substr(0, 21), plain.substr(0, 21));
  // The summary does not change with the information.
  auto summary = [](const std::string& out) {
    return out.substr(out.find(".mid: "));
  };
  EXPECT_EQ(summary(run.out), summary(Run({"-o", Path("plain.mid")}).out));
}

// Outputs that are not plain new or regular files: a FIFO is refused, a
// link is written through, an input is never its own output.
TEST_F(ComposeCliTest, OutputsAreCheckedBeforeAnythingIsWritten) {
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0644), 0);
  RunResult fifo = Run({"-o", Path("fifo")});
  EXPECT_EQ(fifo.status, 2);
  EXPECT_NE(fifo.err.find("not a regular file"), std::string::npos);
  EXPECT_TRUE(fs::is_fifo(Path("fifo")));

  fs::create_symlink("real.mid", Path("link.mid"));
  ASSERT_EQ(Run({"-o", Path("link.mid")}).status, 0);
  EXPECT_TRUE(fs::is_symlink(Path("link.mid")));
  EXPECT_EQ(ReadWholeFile(Path("real.mid")).substr(0, 4), "MThd");

  const std::string source = Variant("s.tvx", {});
  for (const auto& args : std::vector<std::vector<std::string>>{
           {source, "-o", source},
           {source, "-o", Path("x.mid"), "--save-composition", source},
           {source, "-o", Path("x.mid"), "--save-composition",
            Path("x.mid")}}) {
    RunResult run = Run(args);
    EXPECT_EQ(run.status, 2) << args.back();
    EXPECT_NE(run.err.find(args.back()), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadWholeFile(source), CrLfLines(factory_));
  EXPECT_FALSE(fs::exists(Path("x.mid")));
}

TEST_F(ComposeCliTest, NothingIsPublishedWhenTheCompositionCannotBeSaved) {
  const std::string lone_cr = Variant("cr.tvx", {{2, "1234\r5678"}});
  RunResult run = Run(
      {lone_cr, "-o", Path("out.mid"), "--save-composition", Path("out.tvx")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("cannot be saved"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Path("out.mid")));
  EXPECT_FALSE(fs::exists(Path("out.tvx")));
}

TEST_F(ComposeCliTest, TrailingSpacesOfTheInfoAreTrimmedAsSavingDoes) {
  ASSERT_EQ(Run({"-o", Path("info.mid"), "--info", "Rondo   "}).status, 0);
  EXPECT_EQ(ReadWholeFile(Path("info.mid")).substr(25, 6),
            std::string("\x05Rondo"));
}

TEST_F(ComposeCliTest, ADeletedCurrentDirectoryIsAMessageNotACrash) {
  // Absolute names need no working directory; a relative one is refused.
  const std::string factory =
      std::string(TESSAVAR_SOURCE_DIR) + "/share/DEFAULT.TVX";
  const std::vector<std::pair<std::string, int>> runs = {
      {"", 0}, {ShellQuoted(factory), 0}, {ShellQuoted(factory), 2}};
  for (size_t i = 0; i < runs.size(); ++i) {
    const std::string gone = ShellQuoted(Path("gone" + std::to_string(i)));
    fs::create_directory(Path("gone" + std::to_string(i)));
    const std::string output =
        i < 2 ? Path("x" + std::to_string(i) + ".mid") : "relative.mid";
    const std::string command = "cd " + gone + " && rmdir " + gone + " && " +
                                ShellQuoted(TESSAVAR_CLI_PATH) + " compose " +
                                runs[i].first + " -o " + ShellQuoted(output) +
                                " >/dev/null 2>&1";
    EXPECT_EQ(testing::ShellStatus(command), runs[i].second) << i;
    EXPECT_EQ(fs::exists(output), i < 2) << output;
  }
}

TEST_F(ComposeCliTest, ArgumentsAndHelp) {
  EXPECT_EQ(Run({}).status, 2);
  RunResult no_output = Run({"--info", "x"});
  EXPECT_EQ(no_output.status, 2);
  EXPECT_NE(no_output.err.find("-o"), std::string::npos);
  EXPECT_EQ(Run({"-o", Path("a.mid"), "--bogus"}).status, 2);
  EXPECT_EQ(Run({"-o", Path("a.mid"), "--info", std::string(128, 'x')}).status,
            2);
  EXPECT_FALSE(fs::exists(Path("a.mid")));
  RunResult help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* option :
       {"-o", "--save-composition", "--info", "COMPOSITION.tvx", "Exit"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace tessavar
