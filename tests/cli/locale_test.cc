// The same music and the same composition file in a locale that writes
// numbers with a decimal comma as in the C locale: from the command line
// and through the window's model in a process that took the locale.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "model/compose_command.h"
#include "model/composition_file_io.h"
#include "support/cli_process.h"
#include "support/decimal_comma_locale.h"
#include "support/fake_player.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar::testing {
namespace {

// A general box and a track box with fractions.
constexpr char kTempo[] = "100.7";
constexpr char kVolume[] = "99.5";

// What the window's model leaves after a compose.
struct ModelRun {
  std::string tempo_text;
  std::string working_midi;
  std::string composition;  // what saving it now would write
};

// Loads the factory composition, types the fractions into the boxes and
// composes, working in the directory.
ModelRun ComposeInWindowModel(const std::string& directory) {
  ProgramState state;
  state.paths = ProgramPaths::FromDirectory(directory);
  UiHost host;
  LoadStartupComposition(state, TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX", host);
  // The fraction stays in the box while its spinner does not move.
  state.panel.SetText({Box::kTempo}, "100");
  state.panel.SetText({Box::kTempo}, kTempo);
  state.panel.SetText({Box::kVolume, 0}, kVolume);
  ModelRun run;
  run.tempo_text = state.panel.Text({Box::kTempo});
  FakePlayer player;
  ScriptedErrorReporter errors;
  if (!ComposeCommand(state, player, host, errors).Click().written) {
    return run;
  }
  run.working_midi = ReadWholeFile(state.paths.working_midi);
  std::string problem;
  run.composition = CompositionFileBytes(state, &problem).value_or(problem);
  return run;
}

class DecimalCommaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!locale_.available()) GTEST_SKIP() << locale_.reason();
  }

  // Composes from the command line with the fractions, in the C locale or
  // in the decimal-comma one, saving the composition too.
  CliOutcome Compose(bool decimal_comma, const std::string& name) {
    const std::string command =
        (decimal_comma ? locale_.CommandPrefix() : std::string("LC_ALL=C ")) +
        CliCommandLine({"compose", "-o", dir_ / (name + ".mid"), "--tempo",
                        kTempo, "--set", std::string("volume.1=") + kVolume,
                        "--save-composition", dir_ / (name + ".tvx")}) +
        " >/dev/null 2>" + ShellQuoted(dir_ / (name + ".err"));
    CliOutcome outcome;
    outcome.status = testing::ShellStatus(command);
    outcome.err = dir_.Read(name + ".err");
    return outcome;
  }

  DecimalCommaLocale locale_;
  TempDir dir_;
};

TEST_F(DecimalCommaTest, CommandLineWritesTheSameFiles) {
  CliOutcome plain = Compose(false, "c");
  ASSERT_EQ(plain.status, 0) << plain.err;
  CliOutcome comma = Compose(true, "de");
  ASSERT_EQ(comma.status, 0) << comma.err;
  EXPECT_TRUE(dir_.Read("de.mid") == dir_.Read("c.mid"))
      << "the MIDI files differ";
  EXPECT_EQ(dir_.Read("de.tvx"), dir_.Read("c.tvx"));
  EXPECT_NE(dir_.Read("de.tvx").find(std::string("\r\n") + kVolume + "\r\n"),
            std::string::npos);
}

TEST_F(DecimalCommaTest, WindowModelComposesAndSavesTheSameFiles) {
  std::filesystem::create_directory(dir_ / "c");
  std::filesystem::create_directory(dir_ / "de");
  const ModelRun plain = ComposeInWindowModel(dir_ / "c");
  ModelRun comma;
  {
    ScopedProcessLocale german(locale_);
    ASSERT_TRUE(german.active());
    comma = ComposeInWindowModel(dir_ / "de");
  }
  ASSERT_FALSE(plain.working_midi.empty());
  EXPECT_EQ(plain.tempo_text, kTempo);
  EXPECT_EQ(comma.tempo_text, kTempo);
  EXPECT_TRUE(comma.working_midi == plain.working_midi)
      << "the working MIDI files differ";
  EXPECT_EQ(comma.composition, plain.composition);
}

}  // namespace
}  // namespace tessavar::testing
