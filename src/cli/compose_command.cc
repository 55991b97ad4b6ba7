// tessavar-cli compose: composes a composition file (or the factory default)
// exactly as the desktop program's Compose command does and writes the MIDI
// file.
#include "model/compose_command.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "model/error_reporter.h"
#include "model/program_paths.h"
#include "model/program_state.h"
#include "model/ui_host.h"
#include "cli/cli_command.h"
#include "model/composition_file_io.h"
#include "midi/composition_info.h"
#include "midi/midi_timing.h"
#include "base/file_system.h"
#include "model/player.h"
#include "model/silent_player.h"

namespace tessavar::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kExitInvalid = 1;
constexpr int kExitFile = 2;

constexpr char kUsage[] =
    "usage: tessavar-cli compose [COMPOSITION.tvx] -o OUT.mid\n"
    "                            [--save-composition OUT.tvx] [--info TEXT]\n"
    "\n"
    "Composes a composition file exactly as the desktop program's Compose\n"
    "command does and writes the MIDI file it would write.\n"
    "\n"
    "  COMPOSITION.tvx          the composition to compose; without it the\n"
    "                           factory default composition (DEFAULT.TVX of\n"
    "                           the installed share directory) is composed\n"
    "  -o, --output OUT.mid     the MIDI file to write (required; replaced\n"
    "                           only when the new file is complete)\n"
    "  --save-composition OUT.tvx\n"
    "                           also write the composition file after\n"
    "                           composing; with \"Auto\" on it holds the\n"
    "                           mapped parameters the composer chose\n"
    "  --info TEXT              composition information (at most 127\n"
    "                           bytes) embedded in the MIDI file as saving a\n"
    "                           composition does; without it the file\n"
    "                           carries \"TVX\" as the working file does\n"
    "  --help                   show this help\n"
    "\n"
    "The parameters are checked as Compose checks them; a failed check\n"
    "prints its message. On success one line on standard output tells the\n"
    "tracks, the notes and rests, and the length in seconds.\n"
    "\n"
    "Exit status: 0 composed; 1 a parameter check failed; 2 a file could\n"
    "not be read or written, or the arguments are wrong.\n";

struct Arguments {
  std::optional<std::string> composition;
  std::string output;
  std::optional<std::string> save_composition;
  std::optional<std::string> info;
};

int UsageError(const std::string& message) {
  std::cerr << "tessavar-cli compose: " << message << "\n"
            << "Run 'tessavar-cli compose --help' for the options.\n";
  return kExitFile;
}

std::optional<Arguments> ParseArguments(const std::vector<std::string>& args,
                                        std::string& error) {
  Arguments parsed;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        error = "option " + arg + " needs a value";
        return std::nullopt;
      }
      return args[++i];
    };
    if (arg == "-o" || arg == "--output") {
      auto v = value();
      if (!v) return std::nullopt;
      parsed.output = *v;
    } else if (arg == "--save-composition") {
      if (!(parsed.save_composition = value())) return std::nullopt;
    } else if (arg == "--info") {
      if (!(parsed.info = value())) return std::nullopt;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return std::nullopt;
    } else if (parsed.composition) {
      error = "only one composition file can be composed";
      return std::nullopt;
    } else {
      parsed.composition = arg;
    }
  }
  if (parsed.output.empty()) {
    error = "the output MIDI file is missing (-o OUT.mid)";
    return std::nullopt;
  }
  if (parsed.info && parsed.info->size() > kMaxCompInfoLength) {
    error = "the composition information is longer than 127 bytes";
    return std::nullopt;
  }
  return parsed;
}

// The factory default, in the share directory beside the program.
std::string FactoryDefaultPath() {
  return (fs::path(ShareDirectory()) / kDefaultCompositionName).string();
}

// The panel as the program has it after loading its default composition
// at start-up, from the given file.
bool LoadPanel(ProgramState& state, const std::string& path, UiHost& host) {
  CompositionLoadResult loaded = LoadStartupComposition(state, path, host);
  if (!loaded.complete) {
    std::cerr << "tessavar-cli compose: cannot read the composition: "
              << loaded.Describe() << "\n";
    return false;
  }
  return true;
}

// The working MIDI file, beside the output under a lower-case name (the
// writer creates file names in lower case), so that the finished file only
// needs renaming and the output is never seen half written.
std::string WorkingFileFor(const std::string& output) {
  fs::path directory = fs::path(output).parent_path();
  return (directory / (".tessavar-cli-" + std::to_string(::getpid()) + ".mid"))
      .string();
}

// Gives the written working file the output's name, embedding the
// information on the way when there is one; returns the file's bytes.
std::string PublishOutput(const std::string& working, const Arguments& args) {
  std::string midi = ReadWholeFile(working);
  if (!args.info) {
    if (::rename(working.c_str(), args.output.c_str()) != 0) {
      throw RunTimeError(ErrorNumberFromErrno(errno));
    }
    return midi;
  }
  std::optional<std::string> with_info = BytesWithCompInfo(midi, *args.info);
  if (!with_info) throw RunTimeError(kErrInvalidCall);
  WriteFileAtomically(args.output, *with_info);
  fs::remove(working);
  return *with_info;
}

// The composition file as the program writes it, under exactly the name
// given.
bool SaveComposition(const ProgramState& state, const std::string& path) {
  std::string problem;
  std::optional<std::string> bytes = CompositionFileBytes(state, &problem);
  if (!bytes) {
    std::cerr << "tessavar-cli compose: " << path << ": " << problem << "\n";
    return false;
  }
  try {
    WriteFileAtomically(path, *bytes);
  } catch (const std::exception& e) {
    std::cerr << "tessavar-cli compose: " << path << ": " << e.what() << "\n";
    return false;
  }
  return true;
}

struct PieceSummary {
  int tracks = 0;
  long events = 0;
  double seconds = 0;
};

PieceSummary Summarize(const EngineState& engine, const std::string& midi) {
  PieceSummary summary;
  for (int t = 0; t < kTrackCount && !engine.track_name[t].empty(); ++t) {
    ++summary.tracks;
    summary.events += engine.score.EventCount(t);
  }
  summary.seconds =
      static_cast<double>(MidiTiming::Parse(midi).LengthMicroseconds()) / 1e6;
  return summary;
}

int Run(const std::vector<std::string>& args) {
  std::string error;
  std::optional<Arguments> parsed = ParseArguments(args, error);
  if (!parsed) return UsageError(error);

  UiHost host;
  CancelingErrorReporter reporter;
  ProgramState state;
  state.paths = ProgramPaths::FromDirectory(fs::current_path().string());
  std::string source = parsed->composition.value_or(FactoryDefaultPath());
  if (!LoadPanel(state, source, host)) return kExitFile;

  ComposeValidation validation = ValidateCompose(state.panel);
  if (!validation.passed()) {
    std::cerr << validation.text << "\n";
    return kExitInvalid;
  }

  const std::string working = WorkingFileFor(parsed->output);
  state.paths.working_midi = working;
  SilentPlayer player;
  ComposeOutcome outcome =
      ComposeCommand(state, player, host, reporter).Click();
  std::error_code ignored;
  if (outcome.result <= 0) {
    fs::remove(working, ignored);
    std::cerr << "tessavar-cli compose: " << parsed->output
              << ": the MIDI file was not written\n";
    return kExitFile;
  }
  std::string midi;
  try {
    midi = PublishOutput(working, *parsed);
  } catch (const std::exception& e) {
    fs::remove(working, ignored);
    std::cerr << "tessavar-cli compose: " << parsed->output << ": " << e.what()
              << "\n";
    return kExitFile;
  }

  if (parsed->save_composition &&
      !SaveComposition(state, *parsed->save_composition)) {
    return kExitFile;
  }

  PieceSummary summary = Summarize(state.engine, midi);
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", summary.seconds);
  std::cout << parsed->output << ": " << summary.tracks
            << (summary.tracks == 1 ? " track, " : " tracks, ")
            << summary.events << " notes and rests, " << seconds
            << " seconds\n";
  return 0;
}

const bool kRegistered = RegisterCommand(
    {"compose", "compose a composition file into a MIDI file", kUsage, Run});

}  // namespace
}  // namespace tessavar::cli
