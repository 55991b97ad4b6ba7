// tessavar-cli render: a MIDI file to a WAV file with the program's
// synthesizer and SoundFont.
#include <iostream>
#include <string>
#include <vector>

#include "base/status.h"
#include "cli/cli_command.h"
#include "platform/audio_renderer.h"
#include "platform/soundfont.h"

namespace tessavar::cli {
namespace {

constexpr char kUsage[] =
    "usage: tessavar-cli render IN.mid OUT.wav [--soundfont FILE.sf2]\n"
    "\n"
    "Renders a MIDI file to a 16-bit stereo 44.1 kHz WAV file with the\n"
    "synthesizer of the desktop program, as fast as the machine allows.\n"
    "The file ends shortly after the last note.\n"
    "\n"
    "Options:\n"
    "  --soundfont FILE.sf2  the SoundFont to play with (default: the\n"
    "                        system's General MIDI SoundFont,\n"
    "                        /usr/share/sounds/sf2/default-GM.sf2)\n"
    "  --help                this text\n"
    "\n"
    "Exit status: 0 when the WAV file was written, 2 for a wrong command\n"
    "line or a file that cannot be read or written.\n";

int UsageError(const std::string& message) {
  std::cerr << "tessavar-cli render: " << message << "\n\n" << kUsage;
  return kExitFailure;
}

int RunRender(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  std::string soundfont;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--soundfont") {
      if (i + 1 >= args.size()) return UsageError("--soundfont needs a file");
      soundfont = args[++i];
    } else if (arg.starts_with("--soundfont=")) {
      soundfont = arg.substr(std::string("--soundfont=").size());
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option '" + arg + "'");
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) return UsageError("needs IN.mid and OUT.wav");
  RenderResult result = RenderMidiToWav(files[0], files[1], soundfont);
  std::cout << "wrote " << files[1] << " (" << result.seconds()
            << " s, SoundFont " << ResolveSoundFont(soundfont) << ")\n";
  return kExitOk;
}

const bool kRegistered = RegisterCommand(
    {"render", "render a MIDI file to a WAV file", kUsage, RunRender});

}  // namespace
}  // namespace tessavar::cli
