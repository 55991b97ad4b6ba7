// Runs the tessavar-cli binary as a user would.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/file_system.h"
#include "midi/midi_timing.h"
#include "support/cli_process.h"
#include "support/midi_bytes.h"
#include "support/soundfont_check.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

#ifdef TESSAVAR_CLI_PATH

using CliRun = testing::CliOutcome;

class RenderCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.path().empty()); }

  // Runs the program with the arguments, quoted already where need be.
  CliRun Cli(const std::string& arguments) {
    return testing::RunCaptured(
        testing::ShellQuoted(TESSAVAR_CLI_PATH) + " " + arguments, dir_.path());
  }

  std::string Quote(const std::string& path) {
    return testing::ShellQuoted(path);
  }

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
          " --soundfont " + Quote(DefaultSoundFontPath()));
  EXPECT_EQ(chosen.status, 0) << chosen.err;
  EXPECT_TRUE(FileExists(dir_.File("other.wav")));
}

// The extension chooses the format; any other is refused with the list.
// --stems writes a file per track in the --format asked for. Off a
// terminal (and with -q) nothing but the report reaches the output.
TEST_F(RenderCommandTest, FormatsByExtensionAndStems) {
  ASSERT_TRUE(testing::DefaultSoundFontInstalled());
  std::string midi = dir_.File("song.mid");
  WriteFileAtomically(midi, testing::WriterLayoutFile(
                                {testing::Quarters(4), testing::Quarters(2)}));
  CliRun flac =
      Cli("render -q " + Quote(midi) + " " + Quote(dir_.File("song.flac")));
  EXPECT_EQ(flac.status, 0) << flac.err;
  EXPECT_EQ(flac.err, "");
  EXPECT_EQ(flac.out, "");  // quiet: no summary either
  EXPECT_EQ(ReadWholeFile(dir_.File("song.flac")).substr(0, 4), "fLaC");

  CliRun aac = Cli("render " + Quote(midi) + " " + Quote(dir_.File("s.aac")));
  EXPECT_EQ(aac.status, 2);
  EXPECT_NE(aac.err.find("s.aac: unknown audio format (use .wav, .flac, "
                         ".ogg, .mp3 or .opus)"),
            std::string::npos)
      << aac.err;
  EXPECT_FALSE(FileExists(dir_.File("s.aac")));

  CliRun stems = Cli("render " + Quote(midi) + " --stems " +
                     Quote(dir_.File("stems")) + " --format ogg");
  EXPECT_EQ(stems.status, 0) << stems.err;
  EXPECT_NE(stems.out.find("01 Piano.ogg"), std::string::npos) << stems.out;
  EXPECT_EQ(ReadWholeFile(dir_.File("stems/02 Piano.ogg")).substr(0, 4),
            "OggS");
  EXPECT_EQ(Cli("render " + Quote(midi) + " --stems " +
                Quote(dir_.File("stems")) + " --format aac")
                .status,
            2);
}

// A MIDI file of one track: a tempo, then the end of the track after
// `ticks` (at most 0x0FFFFFFF), with division 1.
std::string OneTempoMidi(uint32_t tempo, uint32_t ticks) {
  std::string track = {0,
                       '\xFF',
                       0x51,
                       3,
                       static_cast<char>(tempo >> 16),
                       static_cast<char>(tempo >> 8),
                       static_cast<char>(tempo)};
  for (int shift = 21; shift > 0; shift -= 7) {
    track += static_cast<char>(0x80 | ((ticks >> shift) & 0x7F));
  }
  track += static_cast<char>(ticks & 0x7F);
  track += "\xFF\x2F";
  track += '\0';
  std::string header("MThd\0\0\0\x06\0\0\0\x01\0\x01MTrk\0\0\0", 21);
  return header + static_cast<char>(track.size()) + track;
}

// What cannot be rendered is refused before a byte is written: a tempo of
// 0, a piece longer than a WAV file holds, the input as its own output, a
// bit rate the format does not take.
TEST_F(RenderCommandTest, RefusedUpFrontWithTheReason) {
  const std::string wav = dir_.File("out.wav");
  WriteFileAtomically(dir_.File("zero.mid"), OneTempoMidi(0, 96));
  WriteFileAtomically(dir_.File("long.mid"),
                      OneTempoMidi(0xFFFFFF, 0x0FFFFFFF));
  WriteFileAtomically(dir_.File("slow.mid"), OneTempoMidi(0xFFFFFF, 1500));
  WriteFileAtomically(dir_.File("fine.mid"), OneTempoMidi(500000, 96));
  WriteFileAtomically(dir_.File("midi.flac"), OneTempoMidi(500000, 96));
  struct Case {
    std::string args, reason;
  };
  for (const Case& c :
       {Case{Quote(dir_.File("zero.mid")) + " " + Quote(wav), "tempo of 0"},
        Case{Quote(dir_.File("long.mid")) + " " + Quote(wav),
             "1250999 h 49 min"},
        Case{Quote(dir_.File("slow.mid")) + " " + Quote(wav),
             "lasts 6 h 59 min; a WAV file holds at most 6 h 45 min"},
        Case{
            Quote(dir_.File("midi.flac")) + " " + Quote(dir_.File("midi.flac")),
            "also an input"},
        Case{Quote(dir_.File("fine.mid")) + " " + Quote(dir_.File("no/x.wav")),
             "no/x.wav: Path not found"},
        Case{Quote(dir_.File("fine.mid")) + " x.mp3 --bitrate 400",
             "MP3 takes a bit rate from 32 to 320 kbit/s"},
        Case{Quote(dir_.File("fine.mid")) + " --stems s --bitrate 128",
             "WAV has no bit rate to choose"},
        Case{Quote(dir_.File("fine.mid")) + " x.opus --bitrate 0",
             "a bit rate is a whole number of kbit/s"}}) {
    CliRun run = Cli("render " + c.args);
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadWholeFile(dir_.File("midi.flac")), OneTempoMidi(500000, 96));
  for (const std::string& name : dir_.Entries()) {
    EXPECT_NE(name[0], '.');
    EXPECT_TRUE(name != "s" && name != "x.mp3") << name;
  }
}

TEST_F(RenderCommandTest, WrongCommandLinesAndFilesExitWithTwo) {
  CliRun missing_args = Cli("render only.mid");
  EXPECT_EQ(missing_args.status, 2);
  EXPECT_NE(missing_args.err.find("OUT or --stems OUT_DIR is required"),
            std::string::npos)
      << missing_args.err;
  EXPECT_EQ(Cli("render a.mid b.wav --stems dir").status, 2);

  EXPECT_EQ(Cli("render a.mid b.wav --soundfont").status, 2);
  EXPECT_EQ(Cli("render a.mid b.wav --loud").status, 2);

  CliRun no_file = Cli("render " + Quote(dir_.File("none.mid")) + " " +
                       Quote(dir_.File("out.wav")));
  EXPECT_EQ(no_file.status, 2);
  EXPECT_NE(no_file.err.find("none.mid"), std::string::npos) << no_file.err;
  EXPECT_FALSE(FileExists(dir_.File("out.wav")));

  CliRun help = Cli("render --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--soundfont"), std::string::npos);
}

// The demo's path: compose the factory default, render it, and hear all of
// it. The WAV lasts as long as the MIDI file says and carries sound.
TEST_F(RenderCommandTest, FactoryCompositionRendersForItsWholeLength) {
  ASSERT_TRUE(testing::DefaultSoundFontInstalled());
  std::string midi = dir_.File("factory.mid");
  std::string wav = dir_.File("factory.wav");
  CliRun compose = Cli("compose -o " + Quote(midi));
  ASSERT_EQ(compose.status, 0) << compose.err;
  CliRun render = Cli("render " + Quote(midi) + " " + Quote(wav));
  ASSERT_EQ(render.status, 0) << render.err;

  double midi_seconds = MidiTiming::ReadFile(midi).LengthMs() / 1000.0;
  std::string bytes = ReadWholeFile(wav);
  ASSERT_GT(bytes.size(), 44u);
  constexpr double kBytesPerSecond = 44100.0 * 4;  // 16-bit stereo
  double wav_seconds = (bytes.size() - 44) / kBytesPerSecond;
  EXPECT_GT(midi_seconds, 60.0);
  EXPECT_NEAR(wav_seconds, midi_seconds, 0.5);

  int16_t peak = 0;
  for (size_t pos = 44; pos + 1 < bytes.size(); pos += 2) {
    auto sample =
        static_cast<int16_t>(static_cast<unsigned char>(bytes[pos]) |
                             (static_cast<unsigned char>(bytes[pos + 1]) << 8));
    peak = std::max<int16_t>(
        peak, sample == INT16_MIN ? INT16_MAX : std::abs(sample));
  }
  EXPECT_GT(peak, 1000) << "the rendered composition is (nearly) silent";
}

// Ctrl-C during a render removes the file being written: nothing is left.
TEST_F(RenderCommandTest, InterruptedRenderLeavesNoFile) {
  ASSERT_TRUE(testing::DefaultSoundFontInstalled());
  const std::string midi = dir_.File("factory.mid");
  ASSERT_EQ(Cli("compose -o " + Quote(midi)).status, 0);
  const std::string out_dir = dir_.File("out");
  std::filesystem::create_directory(out_dir);
  std::vector<std::string> words = {TESSAVAR_CLI_PATH, "render", "-q", midi,
                                    out_dir + "/factory.flac"};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(::posix_spawn(&pid, TESSAVAR_CLI_PATH, nullptr, nullptr,
                          argv.data(), environ),
            0);
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::filesystem::is_empty(out_dir) &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(pid, SIGINT);
  int raw = 0;
  ASSERT_EQ(::waitpid(pid, &raw, 0), pid);
  EXPECT_TRUE(WIFSIGNALED(raw) && WTERMSIG(raw) == SIGINT) << raw;
  EXPECT_TRUE(std::filesystem::is_empty(out_dir))
      << ::testing::PrintToString(testing::EntriesOf(out_dir));
}

#endif  // TESSAVAR_CLI_PATH

}  // namespace
}  // namespace tessavar
