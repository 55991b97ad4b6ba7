// tessavar-cli compose: composes a composition file (or the factory default)
// exactly as the desktop program's Compose command does and writes the MIDI
// file.
#include "model/compose_command.h"

#include <cmath>
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
#include "base/atomic_file.h"
#include "base/file_system.h"
#include "base/temporary_files.h"
#include "model/player.h"
#include "model/silent_player.h"

namespace tessavar::cli {
namespace {

namespace fs = std::filesystem;


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
  return kExitFailure;
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
  if (parsed.info) {
    // Trailing spaces are not kept, as when a composition is saved.
    parsed.info->erase(parsed.info->find_last_not_of(' ') + 1);
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

// The MIDI file with the information embedded when there is one.
std::string OutputBytes(const std::string& working, const Arguments& args) {
  std::string midi = ReadWholeFile(working);
  if (!args.info) return midi;
  std::optional<std::string> with_info = BytesWithCompInfo(midi, *args.info);
  if (!with_info) throw RunTimeError(kErrInvalidCall, args.output);
  return *with_info;
}

// The composition file's bytes as the program writes them; throws naming the
// field that cannot be written faithfully.
std::string CompositionBytes(const ProgramState& state,
                             const std::string& path) {
  std::string problem;
  std::optional<std::string> bytes = CompositionFileBytes(state, &problem);
  if (!bytes) throw RunTimeError(Status(kErrInvalidCall, path, 0, problem));
  return *bytes;
}

// The files the command writes, prepared before anything is composed: each
// is refused when it is not a regular file or is an input, and none is
// replaced before all of them are complete.
struct Outputs {
  Outputs(const Arguments& args, const std::string& source)
      : midi(args.output, {source}) {
    if (!args.save_composition) return;
    if (IsSameFile(*args.save_composition, args.output)) {
      throw RunTimeError(Status(kErrPathFileAccess, *args.save_composition, 0,
                                ErrorMessage(kErrPathFileAccess) +
                                    " (the MIDI file is written there)"));
    }
    composition.emplace(*args.save_composition,
                        std::vector<std::string>{source});
  }
  AtomicFile midi;
  std::optional<AtomicFile> composition;
};

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
  if (!LoadPanel(state, source, host)) return kExitFailure;

  ComposeValidation validation = ValidateCompose(state.panel);
  if (!validation.passed()) {
    std::cerr << validation.text << "\n";
    return kExitCheckFailed;
  }

  Outputs outputs(*parsed, source);
  // The composer writes its working file beside the output.
  ScopedTemporaryFile working(outputs.midi.target());
  state.paths.working_midi = working.path();
  SilentPlayer player;
  ComposeOutcome outcome =
      ComposeCommand(state, player, host, reporter).Click();
  if (outcome.result <= 0) {
    std::cerr << "tessavar-cli compose: " << parsed->output
              << ": the MIDI file was not written\n";
    return kExitFailure;
  }
  const std::string midi = OutputBytes(working.path(), *parsed);
  outputs.midi.Write(midi);
  if (outputs.composition) {
    outputs.composition->Write(
        CompositionBytes(state, *parsed->save_composition));
  }
  outputs.midi.Commit();
  if (outputs.composition) outputs.composition->Commit();

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
