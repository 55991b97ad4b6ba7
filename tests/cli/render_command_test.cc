// Runs the tessavar-cli binary as a user would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "platform/file_system.h"
#include "support/midi_bytes.h"
#include "support/soundfont_check.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

#ifdef TESSAVAR_CLI_PATH

struct CliRun {
  int status = -1;
  std::string out, err;
};

class RenderCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.path().empty()); }

  CliRun Cli(const std::string& arguments) {
    std::string out = dir_.File("stdout.txt"), err = dir_.File("stderr.txt");
    std::string command = std::string("'") + TESSAVAR_CLI_PATH + "' " +
                          arguments + " >'" + out + "' 2>'" + err + "'";
    int raw = std::system(command.c_str());
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadWholeFile(out);
    run.err = ReadWholeFile(err);
    return run;
  }

  std::string Quote(const std::string& path) { return "'" + path + "'"; }

  testing::TempDir dir_;
};

TEST_F(RenderCommandTest, RendersAMidiFile) {
  ASSERT_TRUE(testing::DefaultSoundFontInstalled());
  std::string midi = dir_.File("song.mid");
  WriteFileAtomically(midi, testing::WriterLayoutFile({testing::Quarters(8)}));
  CliRun run =
      Cli("render " + Quote(midi) + " " + Quote(dir_.File("song.wav")));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("song.wav"), std::string::npos) << run.out;
  EXPECT_EQ(ReadWholeFile(dir_.File("song.wav")).substr(0, 4), "RIFF");

  CliRun chosen =
      Cli("render " + Quote(midi) + " " + Quote(dir_.File("other.wav")) +
          " --soundfont " + Quote(kDefaultSoundFontPath));
  EXPECT_EQ(chosen.status, 0) << chosen.err;
  EXPECT_TRUE(FileExists(dir_.File("other.wav")));
}

TEST_F(RenderCommandTest, WrongCommandLinesAndFilesExitWithTwo) {
  CliRun missing_args = Cli("render only.mid");
  EXPECT_EQ(missing_args.status, 2);
  EXPECT_NE(missing_args.err.find("usage: tessavar-cli render"),
            std::string::npos);

  EXPECT_EQ(Cli("render a.mid b.wav --soundfont").status, 2);
  EXPECT_EQ(Cli("render a.mid b.wav --loud").status, 2);

  CliRun no_file = Cli("render " + Quote(dir_.File("none.mid")) + " " +
                       Quote(dir_.File("out.wav")));
  EXPECT_EQ(no_file.status, 2);
  EXPECT_NE(no_file.err.find("none.mid"), std::string::npos) << no_file.err;
  EXPECT_FALSE(FileExists(dir_.File("out.wav")));

  CliRun help = Cli("render --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--soundfont FILE.sf2"), std::string::npos);
}

#endif  // TESSAVAR_CLI_PATH

}  // namespace
}  // namespace tessavar
