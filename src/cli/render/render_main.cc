// tessavar-render: renders a MIDI file to a WAV file. It is the only program
// of the command-line tools that loads the synthesizer, so that composing
// never pays for the audio libraries; `tessavar-cli render` runs it.
#include <CLI/CLI.hpp>
#include <iostream>
#include <string>

#include "base/status.h"
#include "cli/cli_command.h"
#include "platform/audio_renderer.h"
#include "platform/soundfont.h"

namespace tessavar::cli {
namespace {

struct RenderArguments {
  std::string midi_path;
  std::string wav_path;
  std::string soundfont;
};

int Render(const RenderArguments& args) {
  try {
    RenderResult result =
        RenderMidiToWav(args.midi_path, args.wav_path, args.soundfont);
    std::cout << "wrote " << args.wav_path << " (" << result.seconds()
              << " s, SoundFont " << ResolveSoundFont(args.soundfont) << ")\n";
    return kExitOk;
  } catch (const RunTimeError& error) {
    return ReportError("render", error.status());
  }
}

int Main(int argc, char** argv) {
  CLI::App app("Renders a MIDI file to a WAV file.", "tessavar-cli render");
  RenderArguments args;
  app.add_option("IN.mid", args.midi_path, "the MIDI file")->required();
  app.add_option("OUT.wav", args.wav_path, "the WAV file to write")->required();
  app.add_option("--soundfont", args.soundfont, "the SoundFont");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? kExitOk : kExitFile;
  }
  return Render(args);
}

}  // namespace
}  // namespace tessavar::cli

int main(int argc, char** argv) { return tessavar::cli::Main(argc, argv); }
