// tessavar-cli compose: composes a composition file (or the factory default)
// exactly as the desktop program's Compose command does and writes the MIDI
// file; settings on the command line apply on top of the file, and lists of
// mappings, structures and tempi compose many pieces in parallel.
#include "model/compose_command.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/batch_writer.h"
#include "base/file_system.h"
#include "cli/batch_report.h"
#include "cli/cli_command.h"
#include "cli/field_names.h"
#include "cli/interrupt_guard.h"
#include "cli/piece_plan.h"
#include "midi/composition_info.h"
#include "midi/midi_timing.h"
#include "model/composition_file_io.h"
#include "model/error_reporter.h"
#include "model/program_paths.h"
#include "model/program_state.h"
#include "model/silent_player.h"
#include "model/ui_host.h"

namespace tessavar::cli {
namespace {

namespace fs = std::filesystem;

constexpr char kStandardOutput[] = "-";

constexpr char kDescription[] =
    "Composes a composition file exactly as the desktop program's Compose\n"
    "command does and writes the MIDI file it would write. Settings given\n"
    "on the command line apply on top of the file, through the same rules\n"
    "as typing them in the window; the Compose checks then run with their\n"
    "messages. --mapping, --structure and --tempo take lists and ranges\n"
    "(1,5,9  1..500  and for the mapping 'all'); OUT is then a pattern with\n"
    "{mapping}, {structure} and {tempo}, as in -o 'out/{mapping}.mid', and\n"
    "the pieces are composed in parallel; a placeholder of a setting that\n"
    "is not listed stands for the composition's own value. Each file is\n"
    "the one a single compose of that piece writes. On success one line\n"
    "per piece on standard output tells the tracks, the notes and rests,\n"
    "and the length in seconds (with --json one JSON object per piece\n"
    "instead).";

// A named option and the setting it sets.
struct NamedOption {
  const char* option;
  const char* setting;
  const char* help;
};
constexpr NamedOption kNamedOptions[] = {
    {"--variation", "variation", "Variation, 0 to 10"},
    {"--tracks", "tracks", "Tracks, 1 to 16"},
    {"--tonality", "tonality", "Tonality: list index or entry (MAJOR)"},
    {"--smooth", "smooth", "Smooth: list index or entry (PHRASES)"},
    {"--phrase", "phrase", "Phrase (meter): list index or entry"},
    {"--fade", "fade", "Fade: list index or entry (FADE IN)"},
    {"--auto", "auto", "Auto of the mapped parameters: on or off"},
};

struct ComposeArguments {
  std::string composition;  // empty = the factory default
  std::string output;
  std::string save_composition;
  std::optional<std::string> info;
  std::vector<std::pair<std::string, std::string>> settings;  // in order
  std::array<std::string, kAxes.size()> axis_lists;
  unsigned jobs = 0;  // 0 = one per core
  bool json = false;
  bool quiet = false;
  bool force = false;  // replace write-protected files
};

// What every piece shares.
struct Batch {
  const ComposeArguments& args;
  std::string source;  // the composition file loaded for every piece
  PiecePlan plan;
  // The program's state after loading the composition at start-up, which
  // every piece starts from; read once for the whole run.
  std::unique_ptr<ProgramState> loaded;
  std::vector<std::string> loaded_values;  // NamedFields() as loaded
  // The values that name the pieces where a list was not given: the
  // composition's own, after the command line's settings.
  Piece own_values;

  // A piece's output pattern with every placeholder filled in.
  std::string OutputName(const std::string& pattern, const Piece& piece) const {
    return ExpandPattern(ExpandPattern(pattern, piece), own_values);
  }
};

// The outcome of one piece.
struct PieceResult {
  int status = kExitOk;
  std::string line;  // for standard output, or the failure's message
  // A Compose check's message, printed as the window shows it.
  bool check_message = false;
};

std::string FactoryDefaultPath() {
  return (fs::path(ShareDirectory()) / kDefaultCompositionName).string();
}

int Fail(int status, const std::string& message) {
  std::cerr << "tessavar-cli compose: " << message << "\n";
  return status;
}

// Loads the composition as the program does at start-up.
PieceResult LoadComposition(Batch& batch) {
  UiHost host;
  batch.loaded = std::make_unique<ProgramState>();
  ProgramState& state = *batch.loaded;
  state.paths = ProgramPaths::FromDirectory(fs::current_path().string());
  CompositionLoadResult loaded =
      LoadStartupComposition(state, batch.source, host);
  if (!loaded.complete) {
    return {kExitFile, "cannot read the composition: " + loaded.Describe()};
  }
  for (const NamedField& field : NamedFields()) {
    batch.loaded_values.push_back(NamedFieldValue(state, field));
  }
  return {};
}

// The panel as the program has it after loading the composition, with the
// command line's settings and the piece's values on top.
PieceResult PreparePanel(ProgramState& state, const Batch& batch,
                         const Piece& piece) {
  std::vector<std::pair<std::string, std::string>> settings =
      batch.args.settings;
  for (Axis axis : kAxes) {
    if (!piece.Value(axis).empty()) {
      settings.emplace_back(AxisName(axis), piece.Value(axis));
    }
  }
  for (const auto& [name, value] : settings) {
    if (std::optional<SetProblem> problem = SetNamedField(state, name, value)) {
      return {problem->unknown_name ? kExitFile : kExitInvalid,
              problem->message};
    }
  }
  return {};
}

// Writes the MIDI file to the output (or to standard output), embedding
// the information on the way; returns the bytes written.
std::string PublishOutput(std::string midi, const std::string& output,
                          const std::optional<std::string>& info,
                          BatchWriter& writer) {
  if (info) {
    std::optional<std::string> with_info = BytesWithCompInfo(midi, *info);
    if (!with_info) throw RunTimeError(kErrInvalidCall);
    midi = *with_info;
  }
  if (output == kStandardOutput) {
    std::cout.write(midi.data(), static_cast<std::streamsize>(midi.size()));
    std::cout.flush();
  } else {
    // Through the safe writer: a link is written through, a device or the
    // input is refused, and an existing file keeps its mode.
    writer.Write(output, midi);
  }
  return midi;
}

bool SaveComposition(const std::string& bytes, const std::string& path,
                     BatchWriter& writer, std::string* problem) {
  try {
    writer.Write(path, bytes);
  } catch (const std::exception& e) {
    *problem = e.what();
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

std::string SummaryLine(const std::string& output, const PieceSummary& s) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", s.seconds);
  return output + ": " + std::to_string(s.tracks) +
         (s.tracks == 1 ? " track, " : " tracks, ") + std::to_string(s.events) +
         " notes and rests, " + seconds + " seconds\n";
}

bool IsMapped(const NamedField& field) {
  return field.field.target == FieldTarget::kMapped;
}

std::string JsonLine(const Batch& batch, const ProgramState& set,
                     const ProgramState& composed, const std::string& output,
                     const PieceSummary& summary) {
  nlohmann::ordered_json piece;
  piece["output"] = output;
  nlohmann::ordered_json changed = nlohmann::ordered_json::object();
  nlohmann::ordered_json mapped = nlohmann::ordered_json::object();
  const std::vector<NamedField>& fields = NamedFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    std::string value = NamedFieldValue(set, fields[i]);
    if (value != batch.loaded_values[i]) changed[fields[i].name] = value;
    if (IsMapped(fields[i])) {
      mapped[fields[i].name] = NamedFieldValue(composed, fields[i]);
    }
  }
  piece["settings"] = changed;
  piece["mapped"] = mapped;
  piece["tracks"] = summary.tracks;
  piece["notes_and_rests"] = summary.events;
  piece["seconds"] = summary.seconds;
  return piece.dump() + "\n";
}

// Composes one piece with a state of its own and writes its file.
PieceResult ComposePiece(const Batch& batch, const Piece& piece,
                         BatchWriter& writer) {
  const ComposeArguments& args = batch.args;
  const std::string output = batch.OutputName(args.output, piece);
  auto state = std::make_unique<ProgramState>(*batch.loaded);
  PieceResult prepared = PreparePanel(*state, batch, piece);
  if (prepared.status != kExitOk) return prepared;
  ComposeValidation validation = ValidateCompose(state->panel);
  if (!validation.passed()) return {kExitInvalid, validation.text, true};

  std::unique_ptr<ProgramState> before_compose;
  if (args.json) before_compose = std::make_unique<ProgramState>(*state);
  UiHost host;
  CancelingErrorReporter reporter;
  SilentPlayer player;
  ComposeCommand compose(*state, player, host, reporter);
  std::string midi;
  compose.KeepMidiFileIn(&midi);
  if (compose.Click().result <= 0) {
    return {kExitFile, output + ": the MIDI file was not written"};
  }
  // What the composition file will hold is known before anything is
  // published: a text that cannot be stored writes no file at all.
  std::string problem;
  std::optional<std::string> composition_bytes;
  if (!args.save_composition.empty()) {
    composition_bytes = CompositionFileBytes(*state, &problem);
    if (!composition_bytes) {
      return {kExitFile, args.save_composition + ": " + problem};
    }
  }
  try {
    midi = PublishOutput(std::move(midi), output, args.info, writer);
  } catch (const std::exception& e) {
    return {kExitFile, output + ": " + e.what()};
  }
  if (composition_bytes &&
      !SaveComposition(*composition_bytes,
                       batch.OutputName(args.save_composition, piece), writer,
                       &problem)) {
    return {kExitFile, args.save_composition + ": " + problem};
  }
  if (!args.json && (args.quiet || output == kStandardOutput)) return {};
  PieceSummary summary = Summarize(state->engine, midi);
  if (args.json) {
    return {kExitOk, JsonLine(batch, *before_compose, *state, output, summary)};
  }
  return {kExitOk, SummaryLine(output, summary)};
}

// A piece's label in messages of a run of many: "mapping 12 tempo 90".
std::string PieceLabel(const Batch& batch, const Piece& piece) {
  std::string label;
  for (Axis axis : kAxes) {
    if (!batch.plan.varies[static_cast<size_t>(axis)]) continue;
    label += std::string(label.empty() ? "" : " ") + AxisName(axis) + " " +
             piece.Value(axis);
  }
  return label.empty() ? label : label + ": ";
}

// Composes every piece with `jobs` workers; returns the worst status.
int ComposeAll(const Batch& batch, unsigned jobs) {
  const size_t count = batch.plan.pieces.size();
  bool bar = !batch.args.quiet && count > 1 && ::isatty(STDERR_FILENO);
  BatchReport report(count, std::cout, bar ? &std::cerr : nullptr);
  std::atomic<size_t> next{0};
  std::atomic<int> worst{kExitOk};
  std::mutex errors;
  InterruptGuard guard;
  BatchWriter writer(
      count > 1 ? Durability::kFlushNewLater : Durability::kFlushEach,
      batch.args.force ? WriteProtection::kOverride
                       : WriteProtection::kRespect);
  auto work = [&] {
    for (size_t i = next++; i < count && !InterruptGuard::Received();
         i = next++) {
      const Piece& piece = batch.plan.pieces[i];
      PieceResult result = ComposePiece(batch, piece, writer);
      if (result.status != kExitOk) {
        std::lock_guard<std::mutex> lock(errors);
        std::cerr << (result.check_message ? "" : "tessavar-cli compose: ")
                  << PieceLabel(batch, piece) << result.line << "\n";
        int seen = worst.load();
        while (seen < result.status &&
               !worst.compare_exchange_weak(seen, result.status)) {
        }
        result.line.clear();
      }
      report.Finished(i, result.line);
    }
  };
  std::vector<std::thread> workers;
  for (unsigned w = 1; w < jobs; ++w) workers.emplace_back(work);
  work();
  for (std::thread& worker : workers) worker.join();
  report.Close();
  try {
    writer.Finish();  // the finished files reach the disk, also when stopped
  } catch (const std::exception& e) {
    std::cerr << "tessavar-cli compose: " << e.what() << "\n";
    worst = kExitFile;
  }
  if (int signal = InterruptGuard::Received()) {
    std::cerr << "tessavar-cli compose: interrupted; the files finished so "
                 "far are kept\n";
    return kExitSignalBase + signal;
  }
  return worst.load();
}

bool SamePath(const std::string& a, const std::string& b) {
  std::error_code error;
  return fs::equivalent(a, b, error) ||
         fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error);
}

// An output that is the composition read, or the MIDI file and the
// composition file of a piece under one name.
std::optional<std::string> OutputClash(const Batch& batch) {
  std::error_code error;
  const fs::path source = fs::weakly_canonical(batch.source, error);
  const std::string& saved = batch.args.save_composition;
  for (const Piece& piece : batch.plan.pieces) {
    std::vector<std::string> outputs = {
        batch.OutputName(batch.args.output, piece)};
    if (outputs.front() == kStandardOutput) outputs.clear();
    if (!saved.empty()) outputs.push_back(batch.OutputName(saved, piece));
    for (const std::string& output : outputs) {
      if (fs::weakly_canonical(output, error) == source) {
        return output + ": is the composition being composed";
      }
    }
    if (outputs.size() == 2 && SamePath(outputs[0], outputs[1])) {
      return outputs[0] +
             ": the MIDI file and the composition file would "
             "have one name";
    }
  }
  return std::nullopt;
}

// Checks that need no composing: nothing is written when one fails.
int CheckBatch(Batch& batch) {
  const ComposeArguments& args = batch.args;
  std::array<std::vector<std::string>, kAxes.size()> values;
  for (Axis axis : kAxes) {
    const std::string& list = args.axis_lists[static_cast<size_t>(axis)];
    if (list.empty()) continue;
    std::string problem;
    auto expanded = ExpandValues(axis, list, &problem);
    if (!expanded)
      return Fail(kExitFile,
                  "--" + std::string(AxisName(axis)) + ": " + problem);
    values[static_cast<size_t>(axis)] = *expanded;
  }
  batch.plan = PlanPieces(values);
  const bool many = batch.plan.pieces.size() > 1;
  if (auto problem = PatternProblem(args.output, batch.plan)) {
    return Fail(kExitFile, *problem);
  }
  if (many && !args.save_composition.empty()) {
    if (auto problem = PatternProblem(args.save_composition, batch.plan)) {
      return Fail(kExitFile, "--save-composition: " + *problem);
    }
  }
  if (args.output == kStandardOutput && (many || args.json)) {
    return Fail(kExitFile,
                "standard output (-) takes one MIDI file and nothing else");
  }
  PieceResult loaded = LoadComposition(batch);
  if (loaded.status != kExitOk) return Fail(loaded.status, loaded.line);
  // The settings are tried once so that a wrong name or value stops the
  // run before anything is written.
  ProgramState own(*batch.loaded);
  PieceResult tried = PreparePanel(own, batch, Piece{});
  if (tried.status != kExitOk) return Fail(tried.status, tried.line);
  for (Axis axis : kAxes) {
    batch.own_values.values[static_cast<size_t>(axis)] =
        NamedFieldValue(own, *FindNamedField(AxisName(axis)));
  }
  const Piece& first = batch.plan.pieces.front();
  const std::string output = batch.OutputName(args.output, first);
  if (output != kStandardOutput) {
    fs::path directory = fs::path(output).parent_path();
    if (!directory.empty() && !fs::is_directory(directory)) {
      return Fail(kExitFile, output + ": the directory " + directory.string() +
                                 " does not exist");
    }
  }
  if (std::optional<std::string> clash = OutputClash(batch)) {
    return Fail(kExitFile, *clash);
  }
  ProgramState trial(*batch.loaded);
  PieceResult first_tried = PreparePanel(trial, batch, first);
  if (first_tried.status != kExitOk) {
    return Fail(first_tried.status, first_tried.line);
  }
  return kExitOk;
}

int RunCompose(const ComposeArguments& args) {
  if (args.info && args.info->size() > kMaxCompInfoLength) {
    return Fail(kExitFile,
                "the composition information is longer than 127 bytes");
  }
  Batch batch{
      args,
      args.composition.empty() ? FactoryDefaultPath() : args.composition,
      {},
      {},
      {},
      {}};
  if (int status = CheckBatch(batch); status != kExitOk) return status;
  const size_t count = batch.plan.pieces.size();
  unsigned jobs = args.jobs ? args.jobs : std::thread::hardware_concurrency();
  jobs =
      static_cast<unsigned>(std::max<size_t>(1, std::min<size_t>(jobs, count)));
  return ComposeAll(batch, jobs);
}

// Splits --set NAME=VALUE.
std::string AddSetting(ComposeArguments& args, const std::string& assignment) {
  size_t equals = assignment.find('=');
  if (equals == std::string::npos || equals == 0) {
    return "--set takes NAME=VALUE, not '" + assignment + "'";
  }
  args.settings.emplace_back(assignment.substr(0, equals),
                             assignment.substr(equals + 1));
  return "";
}

std::function<int()> Setup(CLI::App& app) {
  app.description(kDescription);
  auto args = std::make_shared<ComposeArguments>();
  app.add_option("COMPOSITION.tvx", args->composition,
                 "the composition to compose (default: the factory default "
                 "DEFAULT.TVX of the installed share directory)");
  app.add_option("-o,--output", args->output,
                 "the MIDI file to write, '-' for standard output, or a "
                 "pattern with {mapping}, {structure}, {tempo}")
      ->required();
  app.add_option("--save-composition", args->save_composition,
                 "also write the composition file after composing (with Auto "
                 "on it holds the mapped parameters the composer chose)");
  app.add_option("--info", args->info,
                 "composition information (at most 127 bytes) embedded in "
                 "the MIDI file; without it the file carries \"TVX\"");
  for (Axis axis : kAxes) {
    std::string name = AxisName(axis);
    app.add_option("--" + name, args->axis_lists[static_cast<size_t>(axis)],
                   name + ": a value, a list 1,5,9 or a range 1..500" +
                       (axis == Axis::kMapping ? "; 'all' is 1..32767" : ""));
  }
  for (const NamedOption& named : kNamedOptions) {
    std::string setting = named.setting;
    app.add_option_function<std::string>(
           named.option,
           [args, setting](const std::string& value) {
             args->settings.emplace_back(setting, value);
           },
           named.help)
        ->take_all();
  }
  app.add_option_function<std::vector<std::string>>(
         "--set",
         [args](const std::vector<std::string>& assignments) {
           for (const std::string& assignment : assignments) {
             std::string problem = AddSetting(*args, assignment);
             if (!problem.empty()) throw CLI::ValidationError(problem);
           }
         },
         "NAME=VALUE: any setting (tessavar-cli fields lists the names); "
         "may be repeated")
      ->allow_extra_args(false);
  app.add_option("-j,--jobs", args->jobs,
                 "pieces composed at once (default: one per core)")
      ->check(CLI::PositiveNumber);
  app.add_flag("--json", args->json,
               "one JSON object per piece on standard output");
  app.add_flag("-q,--quiet", args->quiet,
               "no progress bar and no summary lines");
  app.add_flag("--force", args->force, "replace write-protected files");
  return [args] {
    // Trailing spaces are not kept, as when a composition is saved.
    if (args->info) args->info->erase(args->info->find_last_not_of(' ') + 1);
    return RunCompose(*args);
  };
}

const bool kRegistered = RegisterCommand(
    {"compose", "compose a composition file into MIDI files", Setup});

}  // namespace
}  // namespace tessavar::cli
