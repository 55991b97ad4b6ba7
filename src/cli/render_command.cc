// tessavar-cli render: a MIDI file to a WAV file with the program's
// synthesizer and SoundFont. The synthesizer lives in tessavar-render,
// beside this program, which this command runs in its place.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_command.h"

namespace tessavar::cli {
namespace {

namespace fs = std::filesystem;

constexpr char kRendererName[] = "tessavar-render";

constexpr char kDescription[] =
    "Renders a MIDI file to a 16-bit stereo 44.1 kHz WAV file with the\n"
    "synthesizer of the desktop program, as fast as the machine allows.\n"
    "The file ends shortly after the last note.";

struct RenderArguments {
  std::string midi_path;
  std::string wav_path;
  std::string soundfont;
};

// The renderer beside this program (both are installed in one directory).
std::string RendererPath() {
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  return (self.parent_path() / kRendererName).string();
}

int RunRenderer(const RenderArguments& args) {
  std::string renderer = RendererPath();
  std::vector<std::string> words = {renderer, "--", args.midi_path,
                                    args.wav_path};
  if (!args.soundfont.empty()) {
    words.insert(words.begin() + 1, "--soundfont=" + args.soundfont);
  }
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  ::execv(renderer.c_str(), argv.data());
  std::cerr << "tessavar-cli render: cannot run " << renderer << ": "
            << std::strerror(errno) << "\n";
  return kExitFile;
}

std::function<int()> Setup(CLI::App& app) {
  app.description(kDescription);
  auto args = std::make_shared<RenderArguments>();
  app.add_option("IN.mid", args->midi_path, "the MIDI file")->required();
  app.add_option("OUT.wav", args->wav_path, "the WAV file to write")
      ->required();
  app.add_option("--soundfont", args->soundfont,
                 "the SoundFont to play with (default: the system's General "
                 "MIDI SoundFont, /usr/share/sounds/sf2/default-GM.sf2)");
  return [args] { return RunRenderer(*args); };
}

const bool kRegistered =
    RegisterCommand({"render", "render a MIDI file to a WAV file", Setup});

}  // namespace
}  // namespace tessavar::cli
