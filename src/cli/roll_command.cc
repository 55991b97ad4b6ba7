// tessavar-cli roll: the piano roll of a MIDI file as a picture. The drawing
// needs Qt, which the command-line composer never loads, so this runs the
// tessavar-roll program installed beside tessavar-cli.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/program_file.h"
#include "base/terminal_text.h"
#include "cli/cli_command.h"
#include "cli/sibling_program.h"
#include "cli/standard_streams.h"

namespace tessavar::cli {
namespace {

constexpr char kCommand[] = "roll";
constexpr char kDrawingProgram[] = "tessavar-roll";

constexpr char kDescription[] =
    "Draws the piano roll of a MIDI file as the window shows it: time\n"
    "across with bar lines (every fourth numbered), keys up with octave\n"
    "labels, one colour per track with a legend of the track names. The\n"
    "picture is PNG or SVG by the extension of OUT; a MIDI file that cannot\n"
    "be read writes no picture.";

struct RollArguments {
  std::string midi_path;
  std::string picture_path;
  std::string size;
  std::string format;
  bool force = false;
};

int RunRoll(const RollArguments& args) {
  const Result<std::string> found = SiblingProgramPath(kDrawingProgram);
  if (!found.ok()) return ReportError(kCommand, found.status());
  const std::string& program = found.value();
  if (::access(program.c_str(), X_OK) != 0) {
    std::cerr << "tessavar-cli roll: " << TerminalText(program)
              << " is missing; it is built with the desktop program\n";
    return kExitFile;
  }
  const InputFile midi(args.midi_path);
  std::vector<std::string> words;
  if (!args.size.empty()) words.push_back("--size=" + args.size);
  if (!args.format.empty()) words.push_back("--format=" + args.format);
  if (args.force) words.push_back("--force");
  if (args.midi_path == kStandardStream) {
    words.push_back(std::string("--input-name=") + kStandardStream);
  }
  // The names are never taken for options, whatever they start with.
  words.insert(words.end(), {"--", midi.path(), args.picture_path});
  const Result<int> status = RunSiblingProgram(program, words);
  if (!status.ok()) {
    std::cerr << "tessavar-cli roll: cannot start " << TerminalText(program)
              << "\n";
    return kExitFile;
  }
  return status.value();
}

std::function<int()> Setup(CLI::App& app) {
  app.description(kDescription);
  auto args = std::make_shared<RollArguments>();
  app.add_option("IN.mid", args->midi_path,
                 "the MIDI file ('-' reads standard input)")
      ->required()
      ->type_name("FILE");
  app.add_option("OUT", args->picture_path,
                 "the picture: OUT.png or OUT.svg; '-' writes standard "
                 "output in the --format")
      ->required()
      ->type_name("FILE");
  app.add_option("--format", args->format,
                 "png or svg (default: by the extension of OUT, png for "
                 "'-')")
      ->type_name("WORD");
  SetValueWords(app, "--format", {"png", "svg"});
  app.add_option("--size", args->size,
                 "WIDTHxHEIGHT in pixels (default 1200x420, at most 16384 "
                 "a side)");
  app.add_flag("--force", args->force, "replace a write-protected OUT");
  return [args] { return RunRoll(*args); };
}

const bool kRegistered = RegisterCommand(
    {kCommand, "draw the piano roll of a MIDI file (PNG or SVG)", Setup});

}  // namespace
}  // namespace tessavar::cli
