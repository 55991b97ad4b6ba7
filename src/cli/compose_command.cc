// tessavar-cli compose: composes a composition file (or the factory default)
// exactly as the desktop program's Compose command does and writes the MIDI
// file; settings on the command line apply on top of the file, and lists of
// mappings, structures and tempi compose many pieces in parallel.
#include "model/compose_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/batch_writer.h"
#include "base/file_system.h"
#include "base/sha256.h"
#include "base/terminal_text.h"
#include "cli/batch_report.h"
#include "cli/cli_command.h"
#include "cli/field_names.h"
#include "cli/interrupt_guard.h"
#include "cli/piece_plan.h"
#include "cli/shard.h"
#include "cli/shared_file.h"
#include "cli/standard_streams.h"
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

constexpr const char* kStandardOutput = kStandardStream;

constexpr char kDescription[] =
    "Composes a composition file exactly as the desktop program's Compose\n"
    "command does and writes the MIDI file it would write. Settings given\n"
    "on the command line apply on top of the file, through the same rules\n"
    "as typing them in the window; the Compose checks then run with their\n"
    "messages. --mapping, --structure and --tempo take lists and ranges\n"
    "(1,5,9  1..500  and for the mapping 'all'); OUT is then a pattern with\n"
    "{mapping}, {structure} and {tempo}, as in -o 'out/{mapping}.mid', and\n"
    "the pieces are composed in parallel; a placeholder of a setting that\n"
    "is not listed stands for the composition's own value. Every file\n"
    "name is checked before the first piece is composed: no two pieces may\n"
    "write one file, no output may be the composition read, and a value\n"
    "that fills a placeholder may not hold '/' or a NUL nor start with\n"
    "'..'. A value listed twice is composed once; one run composes at most\n"
    "1000000 pieces; the folders a pattern names are made when missing.\n"
    "Each file is the one a single compose of that piece\n"
    "writes. On success one line per piece on standard output tells the\n"
    "tracks, the notes and rests, and the length in seconds (with --json\n"
    "one JSON object per piece instead). --shard K/N composes only the\n"
    "pieces whose number (from 0, mapping varying fastest) leaves K when\n"
    "divided by N, so that N machines share one batch; --manifest records\n"
    "each MIDI file with its SHA-256, as sha256sum writes it.";

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

// Workers beyond this many per core only cost memory.
constexpr unsigned kJobsPerCore = 4;
// Pieces that fail the checks before composing, told one by one.
constexpr size_t kMaxReportedPieces = 10;

struct ComposeArguments {
  std::optional<std::string> composition;  // none = the factory default
  std::string output;
  std::string save_composition;
  std::optional<std::string> info;
  std::vector<std::pair<std::string, std::string>> settings;  // in order
  std::array<std::string, kAxes.size()> axis_lists;
  std::optional<std::string> jobs;  // as typed; none = one per core
  bool json = false;
  bool quiet = false;
  bool force = false;    // replace write-protected files
  std::string shard;     // "K/N" or "auto"
  std::string shards;    // N for --shard auto
  std::string manifest;  // "SHA-256  FILE" lines of the MIDI files
};

// What every piece shares.
struct Batch {
  const ComposeArguments& args;
  std::string source;          // the composition file loaded for every piece
  std::string source_on_disk;  // the file that name finds when read
  PiecePlan plan;
  // The program's state after loading the composition at start-up, which
  // every piece starts from; read once for the whole run.
  std::unique_ptr<ProgramState> loaded;
  std::vector<std::string> loaded_values;  // NamedFields() as loaded
  // The values that name the pieces where a list was not given: the
  // composition's own, after the command line's settings.
  Piece own_values;

  // The piece's values, the composition's own where no list was given.
  Piece Values(const Piece& piece) const {
    Piece values = piece;
    for (size_t axis = 0; axis < kAxes.size(); ++axis) {
      if (values.values[axis].empty()) {
        values.values[axis] = own_values.values[axis];
      }
    }
    return values;
  }
  // A piece's output pattern with every placeholder filled in.
  std::string OutputName(const std::string& pattern, const Piece& piece) const {
    return ExpandPattern(pattern, Values(piece));
  }
};

// The outcome of one piece.
struct PieceResult {
  PieceResult() = default;
  PieceResult(int status_value, std::string text, bool check = false)
      : status(status_value), line(std::move(text)), check_message(check) {}
  int status = kExitOk;
  std::string line;  // for standard output, or the failure's message
  // A Compose check's message, printed as the window shows it.
  bool check_message = false;
  std::string digest;  // the MIDI file's SHA-256, for the manifest
};

std::string FactoryDefaultPath() {
  return (fs::path(ShareDirectory()) / kDefaultCompositionName).string();
}

int Fail(int status, const std::string& message) {
  std::cerr << "tessavar-cli compose: "
            << TerminalText(NamingStandardInput(message)) << "\n";
  return status;
}

// "NAME: what went wrong", the name said once.
std::string Problem(const std::string& name, const RunTimeError& error) {
  return error.status().WithPath(name).LineText();
}

std::string OutOfMemory(const std::string& name) {
  return name + ": out of memory";
}

// Runs a step that writes `name`: nothing when it succeeds, otherwise
// what went wrong.
std::optional<std::string> ProblemOf(const std::string& name,
                                     const std::function<void()>& step) {
  try {
    step();
    return std::nullopt;
  } catch (const RunTimeError& e) {
    return Problem(name, e);
  } catch (const std::bad_alloc&) {
    return OutOfMemory(name);
  }
}

// Loads the composition as the program does at start-up.
PieceResult LoadComposition(Batch& batch) {
  const std::string cannot_read = "cannot read the composition: ";
  UiHost host;
  batch.loaded = std::make_unique<ProgramState>();
  ProgramState& state = *batch.loaded;
  // Never written: the MIDI file is kept in memory.
  state.paths = ProgramPaths::FromDirectory(".");
  const Status loaded = LoadStartupComposition(state, batch.source, host);
  if (!loaded.ok()) {
    return {kExitFile, cannot_read + LoadProblemText(loaded)};
  }
  for (const NamedField& field : NamedFields()) {
    batch.loaded_values.push_back(NamedFieldValue(state, field));
  }
  return {};
}

// Sets the values on the panel, each as typing it in its box would.
PieceResult ApplySettings(
    ProgramState& state,
    const std::vector<std::pair<std::string, std::string>>& settings) {
  for (const auto& [name, value] : settings) {
    if (std::optional<SetProblem> problem = SetNamedField(state, name, value)) {
      return {problem->unknown_name ? kExitFile : kExitInvalid,
              problem->message};
    }
  }
  return {};
}

std::vector<std::pair<std::string, std::string>> PieceSettings(
    const Piece& piece) {
  std::vector<std::pair<std::string, std::string>> settings;
  for (Axis axis : kAxes) {
    if (!piece.Value(axis).empty()) {
      settings.emplace_back(AxisName(axis), piece.Value(axis));
    }
  }
  return settings;
}

// The panel as the program has it after loading the composition, with the
// command line's settings and the piece's values on top.
PieceResult PreparePanel(ProgramState& state, const Batch& batch,
                         const Piece& piece) {
  PieceResult result = ApplySettings(state, batch.args.settings);
  if (result.status != kExitOk) return result;
  return ApplySettings(state, PieceSettings(piece));
}

// Writes the MIDI file to the output (or to standard output), embedding
// the information on the way; returns the bytes written.
std::string PublishOutput(std::string midi, const std::string& output,
                          const Batch& batch, BatchWriter& writer) {
  if (batch.args.info) {
    std::optional<std::string> with_info =
        BytesWithCompInfo(midi, *batch.args.info);
    if (!with_info) throw RunTimeError(kErrInvalidCall);
    midi = *with_info;
  }
  if (output == kStandardOutput) {
    // A failed write is reported once, by the checked standard output.
    std::cout.write(midi.data(), static_cast<std::streamsize>(midi.size()));
    std::cout.flush();
  } else {
    // Through the safe writer: a link is written through, a device or the
    // input is refused, and an existing file keeps its mode.
    writer.Write(output, midi, {batch.source_on_disk});
  }
  return midi;
}

struct PieceSummary {
  size_t number = 0;
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
  return TerminalText(output) + ": " + std::to_string(s.tracks) +
         (s.tracks == 1 ? " track, " : " tracks, ") + std::to_string(s.events) +
         " notes and rests, " + seconds + " seconds\n";
}

bool IsMapped(const NamedField& field) {
  return field.field.target == FieldTarget::kMapped;
}

std::string JsonLine(const Batch& batch, const ProgramState& set,
                     const ProgramState& composed, const std::string& output,
                     const PieceSummary& summary) {
  PieceJson piece;
  piece.output = output;
  piece.number = summary.number;
  const std::vector<NamedField>& fields = NamedFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    std::string value = NamedFieldValue(set, fields[i]);
    if (value != batch.loaded_values[i]) {
      piece.settings.emplace_back(fields[i].name, value);
    }
    if (IsMapped(fields[i])) {
      piece.mapped.emplace_back(fields[i].name,
                                NamedFieldValue(composed, fields[i]));
    }
  }
  piece.tracks = summary.tracks;
  piece.notes_and_rests = summary.events;
  piece.seconds = summary.seconds;
  return PieceJsonLine(piece);
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
  if (!compose.Click().written) {
    return {kExitFile, output + ": the MIDI file was not written"};
  }
  // What the composition file will hold is known before anything is
  // published: a text that cannot be stored writes no file at all.
  std::string problem;
  std::optional<std::string> composition_bytes;
  const std::string saved = batch.OutputName(args.save_composition, piece);
  if (!args.save_composition.empty()) {
    composition_bytes = CompositionFileBytes(*state, &problem);
    if (!composition_bytes) return {kExitFile, saved + ": " + problem};
  }
  if (auto failed = ProblemOf(output, [&] {
        midi = PublishOutput(std::move(midi), output, batch, writer);
      })) {
    return {kExitFile, *failed};
  }
  if (composition_bytes) {
    if (auto failed = ProblemOf(saved, [&] {
          writer.Write(saved, *composition_bytes, {batch.source_on_disk});
        })) {
      return {kExitFile, *failed};
    }
  }
  PieceResult done;
  if (!args.manifest.empty()) done.digest = Sha256Hex(midi);
  if (!args.json && (args.quiet || output == kStandardOutput)) return done;
  PieceSummary summary = Summarize(state->engine, midi);
  summary.number = piece.number;
  done.line = args.json
                  ? JsonLine(batch, *before_compose, *state, output, summary)
                  : SummaryLine(output, summary);
  return done;
}

// Whatever goes wrong in a piece ends as its failure, never as an
// exception leaving a worker thread.
PieceResult ComposePieceSafely(const Batch& batch, const Piece& piece,
                               BatchWriter& writer) noexcept {
  try {
    try {
      return ComposePiece(batch, piece, writer);
    } catch (const RunTimeError& e) {
      return {kExitFile,
              Problem(batch.OutputName(batch.args.output, piece), e)};
    } catch (const std::bad_alloc&) {
      return {kExitFile,
              OutOfMemory(batch.OutputName(batch.args.output, piece))};
    }
  } catch (const std::bad_alloc&) {  // while naming the failure
  }
  return {kExitFile, "out of memory"};  // short: needs no allocation
}

// A piece's name in messages of a run of many: "mapping 12 tempo 90" (empty
// for a single piece).
std::string PieceName(const Batch& batch, const Piece& piece) {
  std::string name;
  for (Axis axis : kAxes) {
    if (!batch.plan.varies[static_cast<size_t>(axis)]) continue;
    name += std::string(name.empty() ? "" : " ") + AxisName(axis) + " " +
            piece.Value(axis);
  }
  return name;
}

// "mapping 12 tempo 90: " before a piece's message.
std::string PieceLabel(const Batch& batch, const Piece& piece) {
  std::string name = PieceName(batch, piece);
  return name.empty() ? name : name + ": ";
}

void ReportPieceFailure(const Batch& batch, const Piece& piece,
                        const PieceResult& result) {
  std::cerr << "tessavar-cli compose: "
            << TerminalText(
                   NamingStandardInput(PieceLabel(batch, piece) + result.line))
            << "\n";
}

void RaiseTo(std::atomic<int>& worst, int status) {
  int seen = worst.load();
  while (seen < status && !worst.compare_exchange_weak(seen, status)) {
  }
}

// Starts up to `extra` threads running work; fewer when the system has no
// more to give (a process limit), down to none.
std::vector<std::thread> StartWorkers(unsigned extra,
                                      const std::function<void()>& work) {
  std::vector<std::thread> workers;
  workers.reserve(extra);
  for (unsigned w = 0; w < extra; ++w) {
    try {
      workers.emplace_back(work);
    } catch (const std::system_error&) {
      break;
    }
  }
  return workers;
}

// "\" before a line whose name needs escaping, as sha256sum writes it.
std::string ManifestLine(const std::string& digest, const std::string& name) {
  std::string escaped;
  for (char c : name) {
    escaped += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : std::string(1, c);
  }
  return (escaped != name ? "\\" : "") + digest + "  " + escaped + "\n";
}

// The manifest of the files written, in piece order: `sha256sum -c` checks
// it, and the manifests of all shards together list the whole batch.
void WriteManifest(const Batch& batch,
                   const std::vector<std::string>& digests) {
  if (batch.args.manifest.empty()) return;
  std::string text;
  for (size_t i = 0; i < digests.size(); ++i) {
    if (digests[i].empty()) continue;
    text += ManifestLine(
        digests[i], batch.OutputName(batch.args.output, batch.plan.pieces[i]));
  }
  WriteFileAtomically(batch.args.manifest, text, {batch.source_on_disk},
                      Durability::kFlushEach,
                      batch.args.force ? WriteProtection::kOverride
                                       : WriteProtection::kRespect);
}

// Composes every piece with `jobs` workers; returns the worst status.
int ComposeAll(const Batch& batch, unsigned jobs) {
  const size_t count = batch.plan.pieces.size();
  bool bar = !batch.args.quiet && count > 1 && ::isatty(STDERR_FILENO);
  BatchReport report(count, std::cout, bar ? &std::cerr : nullptr);
  std::atomic<size_t> next{0};
  std::atomic<int> worst{kExitOk};
  std::vector<std::string> digests(count);
  std::mutex errors;
  InterruptGuard guard;
  BatchWriter writer(
      count > 1 ? Durability::kFlushNewLater : Durability::kFlushEach,
      batch.args.force ? WriteProtection::kOverride
                       : WriteProtection::kRespect);
  auto work = [&] {
    for (size_t i = next++;
         i < count && !InterruptGuard::Received() && !report.OutputClosed();
         i = next++) {
      const Piece& piece = batch.plan.pieces[i];
      PieceResult result = ComposePieceSafely(batch, piece, writer);
      digests[i] = std::move(result.digest);
      try {
        if (result.status != kExitOk) {
          std::lock_guard<std::mutex> lock(errors);
          ReportPieceFailure(batch, piece, result);
          RaiseTo(worst, result.status);
          result.line.clear();
        }
        report.Finished(i, std::move(result.line));
      } catch (...) {
        RaiseTo(worst, kExitFile);  // out of memory for the report
      }
    }
  };
  std::vector<std::thread> workers = StartWorkers(jobs - 1, work);
  work();
  for (std::thread& worker : workers) worker.join();
  report.Close();
  try {
    writer.Finish();  // the finished files reach the disk, also when stopped
    WriteManifest(batch, digests);
  } catch (const RunTimeError& e) {
    Fail(kExitFile, e.status().LineText());
    worst = kExitFile;
  } catch (const std::bad_alloc&) {
    std::cerr << "tessavar-cli compose: "
              << TerminalText(OutOfMemory("flushing the files")) << "\n";
    worst = kExitFile;
  }
  // The run stopped at the first failed line; the checked standard output
  // says why, and the files finished so far are kept.
  if (report.OutputClosed()) return kExitFile;
  if (int signal = InterruptGuard::Received()) {
    std::cerr << "tessavar-cli compose: interrupted; the files finished so "
                 "far are kept\n";
    return kExitSignalBase + signal;
  }
  return worst.load();
}

// Expands the lists into the pieces and checks the output patterns.
int PlanBatch(Batch& batch) {
  const ComposeArguments& args = batch.args;
  std::array<std::vector<std::string>, kAxes.size()> values;
  for (Axis axis : kAxes) {
    const std::string& list = args.axis_lists[static_cast<size_t>(axis)];
    if (list.empty()) continue;
    std::string problem;
    auto expanded = ExpandValues(axis, list, &problem);
    if (!expanded) {
      return Fail(kExitFile,
                  "--" + std::string(AxisName(axis)) + ": " + problem);
    }
    values[static_cast<size_t>(axis)] = std::move(*expanded);
  }
  std::string problem;
  std::optional<PiecePlan> plan = PlanPieces(values, &problem);
  if (!plan) return Fail(kExitFile, problem);
  batch.plan = std::move(*plan);
  const bool many = batch.plan.pieces.size() > 1;
  if (!args.shard.empty()) {
    std::optional<Shard> shard =
        ParseShard(args.shard, args.shards, ProcessEnvironment, &problem);
    if (!shard) return Fail(kExitFile, problem);
    KeepShard(batch.plan, shard->index, shard->count);
  } else if (!args.shards.empty()) {
    return Fail(kExitFile, "--shards goes with --shard auto");
  }
  if (args.manifest == kStandardOutput) {
    return Fail(kExitFile, "--manifest takes a file name");
  }
  if (auto pattern_problem = PatternProblem(args.output, batch.plan)) {
    return Fail(kExitFile, *pattern_problem);
  }
  if (many && !args.save_composition.empty()) {
    if (auto pattern_problem =
            PatternProblem(args.save_composition, batch.plan)) {
      return Fail(kExitFile, "--save-composition: " + *pattern_problem);
    }
  }
  if (args.save_composition == kStandardOutput) {
    return Fail(kExitFile,
                "--save-composition takes a file name; standard output (-) "
                "takes the MIDI file only");
  }
  if (args.output == kStandardOutput && (many || args.json)) {
    return Fail(kExitFile,
                "standard output (-) takes one MIDI file and nothing else");
  }
  return kExitOk;
}

// The axes whose placeholder an output name uses.
std::array<bool, kAxes.size()> NamingAxes(const ComposeArguments& args) {
  std::array<bool, kAxes.size()> naming{};
  for (Axis axis : kAxes) {
    const std::string placeholder = Placeholder(axis);
    naming[static_cast<size_t>(axis)] =
        args.output.find(placeholder) != std::string::npos ||
        args.save_composition.find(placeholder) != std::string::npos;
  }
  return naming;
}

// Why a value of the piece (the composition's own where it has none)
// cannot fill the placeholders the output names use, or nullopt.
std::optional<std::string> NamingProblem(
    const Piece& piece, const std::array<bool, kAxes.size()>& naming) {
  for (Axis axis : kAxes) {
    if (!naming[static_cast<size_t>(axis)]) continue;
    const std::string& value = piece.Value(axis);
    if (value.empty()) continue;
    if (std::optional<std::string> problem = PlaceholderValueProblem(value)) {
      return std::string(AxisName(axis)) + " '" + value +
             "' cannot be part of a file name: " + *problem;
    }
  }
  return std::nullopt;
}

// Why a piece cannot be composed, found without composing it: a value that
// cannot name a file, a setting refused, a Compose check failed.
PieceResult CheckPiece(const ProgramState& own, const Piece& piece,
                       const std::array<bool, kAxes.size()>& naming) {
  if (std::optional<std::string> problem = NamingProblem(piece, naming)) {
    return {kExitFile, *problem};
  }
  ProgramState trial(own);
  PieceResult applied = ApplySettings(trial, PieceSettings(piece));
  if (applied.status != kExitOk) return applied;
  ComposeValidation validation = ValidateCompose(trial.panel);
  if (!validation.passed()) return {kExitInvalid, validation.text, true};
  return {};
}

// Checks every piece before the first is composed; tells the first few
// that fail and returns the worst status.
int CheckPieces(const Batch& batch, const ProgramState& own) {
  const std::array<bool, kAxes.size()> naming = NamingAxes(batch.args);
  // The composition's own values, shared by every piece, are told once.
  Piece shared;
  for (size_t axis = 0; axis < kAxes.size(); ++axis) {
    if (batch.args.axis_lists[axis].empty()) {
      shared.values[axis] = batch.own_values.values[axis];
    }
  }
  if (std::optional<std::string> problem = NamingProblem(shared, naming)) {
    return Fail(kExitFile, *problem);
  }
  int worst = kExitOk;
  size_t failed = 0;
  for (const Piece& piece : batch.plan.pieces) {
    PieceResult result = CheckPiece(own, piece, naming);
    if (result.status == kExitOk) continue;
    worst = std::max(worst, result.status);
    if (++failed <= kMaxReportedPieces) {
      ReportPieceFailure(batch, piece, result);
    }
  }
  if (failed > kMaxReportedPieces) {
    Fail(worst, std::to_string(failed - kMaxReportedPieces) +
                    " more pieces fail; nothing was written");
  }
  return worst;
}

// The number of files OutputNameAt names.
size_t FileCount(const Batch& batch) {
  return 2 + 2 * batch.plan.pieces.size();
}

bool IsManifest(const Batch& batch, size_t index) {
  return index + 1 == FileCount(batch);
}

// "the MIDI file of mapping 3" for output `index` (see OutputNameAt).
std::string OutputRole(const Batch& batch, size_t index, bool with_piece) {
  if (IsManifest(batch, index)) return "the manifest";
  const Piece& piece = batch.plan.pieces[(index - 1) / 2];
  std::string role =
      (index - 1) % 2 == 0 ? "the MIDI file" : "the composition file";
  const std::string name = PieceName(batch, piece);
  return with_piece && !name.empty() ? role + " of " + name : role;
}

// Every file of the run by number: 0 is the composition read, then each
// piece's MIDI file and composition file (empty where there is none),
// and last the manifest.
std::string OutputNameAt(const Batch& batch, size_t index) {
  if (index == 0) return batch.source_on_disk;
  if (IsManifest(batch, index)) return batch.args.manifest;
  const Piece& piece = batch.plan.pieces[(index - 1) / 2];
  const std::string& pattern =
      (index - 1) % 2 == 0 ? batch.args.output : batch.args.save_composition;
  if (pattern.empty() || pattern == kStandardOutput) return "";
  return batch.OutputName(pattern, piece);
}

// Whether the file at `index` is named by a pattern with placeholders.
bool FromPattern(const Batch& batch, size_t index) {
  if (IsManifest(batch, index)) return false;
  const std::string& pattern =
      (index - 1) % 2 == 0 ? batch.args.output : batch.args.save_composition;
  return std::any_of(kAxes.begin(), kAxes.end(), [&pattern](Axis axis) {
    return pattern.find(Placeholder(axis)) != std::string::npos;
  });
}

// An output in a directory that does not exist (unless a pattern names it:
// it goes to *missing), or two of the run's files that are one: nothing is
// written then.
std::optional<std::string> OutputProblem(const Batch& batch,
                                         std::vector<std::string>* missing) {
  const size_t count = FileCount(batch);
  std::string last_directory;
  for (size_t i = 1; i < count; ++i) {
    const std::string output = OutputNameAt(batch, i);
    struct stat info = {};
    if (::stat(output.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
      return Problem(output, RunTimeError(NotRegularFile(output)));
    }
    const std::string directory = fs::path(output).parent_path().string();
    if (directory.empty() || directory == last_directory) continue;
    std::error_code error;
    if (!fs::is_directory(directory, error)) {
      if (!FromPattern(batch, i)) {
        return output + ": the directory " + directory + " does not exist";
      }
      missing->push_back(directory);
    }
    last_directory = directory;
  }
  auto shared = FindSharedFile(
      count, [&batch](size_t i) { return OutputNameAt(batch, i); });
  if (!shared) return std::nullopt;
  const auto [first, second] = *shared;
  const std::string name = OutputNameAt(batch, second);
  if (first == 0) return name + ": is the composition being composed";
  const bool one_piece = (first - 1) / 2 == (second - 1) / 2;
  return name + ": " + OutputRole(batch, first, !one_piece) + " and " +
         OutputRole(batch, second, !one_piece) + " would have one name";
}

// Makes the folders the patterns name, with the modes the umask leaves.
int MakeFolders(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
      return Fail(kExitFile,
                  folder + ": cannot make the folder: " + error.message());
    }
  }
  return kExitOk;
}

// Checks that need no composing: nothing is written when one fails.
int CheckBatch(Batch& batch) {
  if (int status = PlanBatch(batch); status != kExitOk) return status;
  PieceResult loaded = LoadComposition(batch);
  if (loaded.status != kExitOk) return Fail(loaded.status, loaded.line);
  // The settings are tried once so that a wrong name or value stops the
  // run before anything is written.
  ProgramState own(*batch.loaded);
  PieceResult tried = ApplySettings(own, batch.args.settings);
  if (tried.status != kExitOk) return Fail(tried.status, tried.line);
  for (Axis axis : kAxes) {
    batch.own_values.values[static_cast<size_t>(axis)] =
        NamedFieldValue(own, *FindNamedField(AxisName(axis)));
  }
  if (int status = CheckPieces(batch, own); status != kExitOk) return status;
  std::vector<std::string> missing;
  if (std::optional<std::string> problem = OutputProblem(batch, &missing)) {
    return Fail(kExitFile, *problem);
  }
  return MakeFolders(missing);
}

// The workers for -j: as asked, but no more than the pieces and a few per
// core. nullopt for a text that is not a number from 1 up.
std::optional<unsigned> Workers(const std::optional<std::string>& asked,
                                size_t pieces) {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  uint64_t jobs = cores;
  if (asked) {
    const char* end = asked->data() + asked->size();
    auto [parsed_end, error] = std::from_chars(asked->data(), end, jobs);
    if (error == std::errc::result_out_of_range) {
      jobs = std::numeric_limits<uint64_t>::max();
    } else if (error != std::errc() || parsed_end != end || jobs == 0) {
      return std::nullopt;
    }
  }
  jobs = std::min<uint64_t>({jobs, uint64_t{cores} * kJobsPerCore, pieces});
  return static_cast<unsigned>(std::max<uint64_t>(jobs, 1));
}

int RunCompose(const ComposeArguments& args) {
  if (args.info && args.info->size() > kMaxCompInfoLength) {
    return Fail(kExitFile,
                "the composition information is longer than 127 bytes");
  }
  if (args.composition && args.composition->empty()) {
    return Fail(kExitFile, "the composition file name is empty");
  }
  if (args.output.empty()) {
    return Fail(kExitFile, "the output file name is empty");
  }
  if (args.jobs && !Workers(args.jobs, 1)) {
    return Fail(kExitFile,
                "-j/--jobs takes a number of workers from 1 up, "
                "not '" +
                    *args.jobs + "'");
  }
  // A file-size limit or a closed standard output then fails the write (as
  // a full disk does), which removes the unfinished file, instead of
  // killing the process.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  const InputFile input(args.composition ? *args.composition
                                         : FactoryDefaultPath());
  const std::string& source = input.path();
  Batch batch{args, source, FindExistingPath(source), {}, {}, {}, {}};
  if (int status = CheckBatch(batch); status != kExitOk) return status;
  return ComposeAll(batch, *Workers(args.jobs, batch.plan.pieces.size()));
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
                 "DEFAULT.TVX of the installed share directory; '-' reads "
                 "standard input)")
      ->type_name("FILE");
  app.add_option("-o,--output", args->output,
                 "the MIDI file to write, '-' for standard output, or a "
                 "pattern with {mapping}, {structure}, {tempo}; a value put "
                 "in a pattern may not hold '/' or a NUL nor start with "
                 "'..', so the files stay in the folder the pattern names")
      ->required()
      ->type_name("FILE");
  app.add_option("--save-composition", args->save_composition,
                 "also write the composition file after composing (with Auto "
                 "on it holds the mapped parameters the composer chose)")
      ->type_name("FILE");
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
        ->take_all()
        ->type_name(SettingWords(named.setting).empty() ? "VALUE" : "WORD");
    SetValueWords(app, named.option, SettingWords(named.setting));
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
      ->allow_extra_args(false)
      ->type_name("NAME=VALUE");
  app.add_option("-j,--jobs", args->jobs,
                 "pieces composed at once, from 1 (default: one per core; "
                 "at most " +
                     std::to_string(kJobsPerCore) + " per core)");
  app.add_flag("--json", args->json,
               "one JSON object per piece on standard output");
  app.add_flag("-q,--quiet", args->quiet,
               "no progress bar and no summary lines");
  app.add_flag("--force", args->force, "replace write-protected files");
  app.add_option("--shard", args->shard,
                 "K/N: compose shard K (from 0) of N, the pieces whose number "
                 "divided by N leaves K; 'auto' takes K and N from a Slurm "
                 "job array or a Kubernetes Indexed Job")
      ->type_name("K/N|auto");
  app.add_option("--shards", args->shards,
                 "N for --shard auto when the environment does not tell it "
                 "(a Kubernetes Indexed Job's completions)")
      ->type_name("N");
  app.add_option("--manifest", args->manifest,
                 "also write each MIDI file's SHA-256 and name, one a line "
                 "as sha256sum writes them, into this file")
      ->type_name("FILE");
  return [args] {
    // Trailing spaces are not kept, as when a composition is saved.
    if (args->info) *args->info = TrimCompInfo(*args->info);
    try {
      return RunCompose(*args);
    } catch (const std::bad_alloc&) {
      return Fail(kExitFile, "out of memory");
    }
  };
}

const bool kRegistered = RegisterCommand(
    {"compose", "compose a composition file into MIDI files", Setup});

}  // namespace
}  // namespace tessavar::cli
