// tessavar-cli render: a MIDI file to an audio file (or one per track) with
// the program's synthesizer and SoundFont. The synthesizer lives in
// tessavar-render, beside this program, which this command runs in its place.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/terminal_text.h"
#include "cli/cli_command.h"

namespace tessavar::cli {
namespace {

namespace fs = std::filesystem;

constexpr char kRendererName[] = "tessavar-render";

constexpr char kDescription[] =
    "Renders a MIDI file to a 16-bit stereo 44.1 kHz audio file with the\n"
    "synthesizer of the desktop program, as fast as the machine allows:\n"
    "WAV, FLAC or Ogg Vorbis by the extension of OUT. With --stems, writes\n"
    "one file per sounding track into OUT_DIR instead (\"03 Violin.wav\"),\n"
    "which mixed give the full render. The files end shortly after the\n"
    "last note. A percentage shows on a terminal.";

struct RenderArguments {
  std::string midi_path;
  std::string audio_path;
  std::string stems_directory;
  std::string format;
  std::string soundfont;
  bool quiet = false;
  bool force = false;
};

// The renderer beside this program (both are installed in one directory).
std::string RendererPath() {
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  return (self.parent_path() / kRendererName).string();
}

int RunRenderer(const RenderArguments& args) {
  std::string renderer = RendererPath();
  std::vector<std::string> words = {renderer};
  if (!args.soundfont.empty()) words.push_back("--soundfont=" + args.soundfont);
  if (!args.stems_directory.empty()) {
    words.push_back("--stems=" + args.stems_directory);
  }
  if (!args.format.empty()) words.push_back("--format=" + args.format);
  if (args.quiet) words.push_back("--quiet");
  if (args.force) words.push_back("--force");
  words.push_back("--");
  words.push_back(args.midi_path);
  if (!args.audio_path.empty()) words.push_back(args.audio_path);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  ::execv(renderer.c_str(), argv.data());
  std::cerr << "tessavar-cli render: cannot run " << TerminalText(renderer)
            << ": " << std::strerror(errno) << "\n";
  return kExitFile;
}

std::function<int()> Setup(CLI::App& app) {
  app.description(kDescription);
  auto args = std::make_shared<RenderArguments>();
  app.add_option("IN.mid", args->midi_path, "the MIDI file")->required();
  CLI::Option* out = app.add_option(
      "OUT", args->audio_path, "the audio file to write: .wav, .flac or .ogg");
  CLI::Option* stems = app.add_option(
      "--stems", args->stems_directory,
      "write one file per sounding track into this folder (made when "
      "missing), named by track number and instrument");
  out->excludes(stems);
  app.add_option("--format", args->format,
                 "the format of the stems: wav (default), flac or ogg")
      ->needs(stems);
  app.add_flag("-q,--quiet", args->quiet, "no progress and no summary lines");
  app.add_flag("--force", args->force, "replace write-protected files");
  app.add_option("--soundfont", args->soundfont,
                 "the SoundFont to play with (default: the system's General "
                 "MIDI SoundFont, /usr/share/sounds/sf2/default-GM.sf2)");
  return [args, out, stems] {
    if (out->count() == 0 && stems->count() == 0) {
      std::cerr << "tessavar-cli render: OUT or --stems OUT_DIR is required\n";
      return kExitFile;
    }
    return RunRenderer(*args);
  };
}

const bool kRegistered =
    RegisterCommand({"render", "render a MIDI file to audio", Setup});

}  // namespace
}  // namespace tessavar::cli
