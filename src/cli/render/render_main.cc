// tessavar-render: renders a MIDI file to an audio file, or to one file per
// track. It is the only program of the command-line tools that loads the
// synthesizer and the audio file libraries, so that composing never pays
// for them; `tessavar-cli render` runs it.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "base/status.h"
#include "base/terminal_text.h"
#include "cli/cli_command.h"
#include "cli/help_format.h"
#include "cli/standard_output.h"
#include "cli/standard_streams.h"
#include "model/audio_format.h"
#include "platform/audio_renderer.h"
#include "platform/soundfont.h"

namespace tessavar::cli {
namespace {

constexpr char kCommand[] = "render";

struct RenderArguments {
  std::string midi_path;
  std::string audio_path;
  std::string stems_directory;
  std::string format = std::string(AudioExtension(kDefaultAudioFormat));
  std::string soundfont;
  int bitrate_kbps = kDefaultBitrate;
  bool quiet = false;
  bool force = false;
};

// "render: 42%" on one line of the terminal, rewritten as it rises and
// cleared at the end.
class TerminalProgress {
 public:
  explicit TerminalProgress(bool shown) : shown_(shown) {}
  ~TerminalProgress() { Clear(); }
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  // Clears the line, so that the messages that follow start on it.
  void Clear() {
    if (percent_ >= 0) std::fputs("\r\033[K", stderr);
    percent_ = -1;
  }

  RenderProgress Callback() {
    if (!shown_) return {};
    return [this](double fraction) {
      const int percent = static_cast<int>(fraction * 100);
      if (percent != percent_) {
        percent_ = percent;
        std::fprintf(stderr, "\rrendering: %3d%%", percent);
        std::fflush(stderr);
      }
      return true;
    };
  }

 private:
  bool shown_;
  int percent_ = -1;
};

int Render(const RenderArguments& args) {
  const bool stems = !args.stems_directory.empty();
  if (stems == !args.audio_path.empty()) {
    return ReportError(kCommand, Status(kErrInvalidCall, {}, 0,
                                        "name one of OUT and --stems OUT_DIR"));
  }
  const std::optional<AudioFormat> format = AudioFormatNamed(args.format);
  if (!format) {
    return ReportError(kCommand, Status(kErrInvalidCall, args.format, 0,
                                        UnknownAudioFormatText()));
  }
  try {
    const InputFile midi(args.midi_path);
    const OutputFile audio(stems ? std::string() : args.audio_path,
                           args.format);
    TerminalProgress progress(!args.quiet && ::isatty(STDERR_FILENO));
    const WriteProtection protection =
        args.force ? WriteProtection::kOverride : WriteProtection::kRespect;
    RenderResult result =
        stems ? RenderMidiStems(midi.path(), args.stems_directory, *format,
                                args.soundfont, progress.Callback(), {},
                                protection, args.bitrate_kbps)
              : RenderMidiToAudio(midi.path(), audio.path(), args.soundfont,
                                  progress.Callback(), {}, protection,
                                  args.bitrate_kbps);
    progress.Clear();
    audio.Publish();
    // Standard output carries the audio alone.
    if (args.audio_path == kStandardStream) return kExitOk;
    if (stems && result.files.empty()) {
      std::cout << "no track sounds: nothing written\n";
    }
    // Quiet means what it means for compose: no progress, no summary.
    if (args.quiet) return kExitOk;
    for (const std::string& file : result.files) {
      std::cout << "wrote " << TerminalText(file) << " (" << result.seconds()
                << " s, SoundFont "
                << TerminalText(ResolveSoundFont(args.soundfont)) << ")\n";
    }
    return kExitOk;
  } catch (const RunTimeError& error) {
    return ReportError(kCommand, error.status());
  }
}

constexpr char kVersion[] = "tessavar-render " TESSAVAR_VERSION;

int Main(int argc, char** argv) {
  // A closed standard output fails the write, so that the temporaries go.
  std::signal(SIGPIPE, SIG_IGN);
  CLI::App app(
      "Renders a MIDI file to audio with the program's synthesizer; "
      "'tessavar-cli render' runs it.",
      "tessavar-render");
  app.formatter(std::make_shared<WrappingFormatter>());
  app.set_version_flag("--version", kVersion);
  RenderArguments args;
  app.add_option("IN.mid", args.midi_path,
                 "the MIDI file ('-' reads standard input)")
      ->required();
  app.add_option("OUT", args.audio_path,
                 "the audio file to write ('-' writes standard output in "
                 "the --format)");
  app.add_option("--stems", args.stems_directory, "the stems' folder");
  app.add_option("--format", args.format,
                 "the format of the stems or of standard output");
  app.add_option("--soundfont", args.soundfont, "the SoundFont");
  app.add_option("--bitrate", args.bitrate_kbps,
                 "the bit rate of MP3 and Opus in kbit/s");
  app.add_flag("-q,--quiet", args.quiet, "no progress and no summary lines");
  app.add_flag("--force", args.force, "replace write-protected files");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return ParseFailure(app, error, "tessavar-cli render");
  }
  return Render(args);
}

}  // namespace
}  // namespace tessavar::cli

int main(int argc, char** argv) {
  tessavar::cli::StandardOutput output;
  return output.Finish(tessavar::cli::Main(argc, argv));
}
