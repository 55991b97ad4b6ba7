#include "cli/exchange_source.h"

#include <iostream>

#include "base/file_system.h"
#include "base/terminal_text.h"
#include "base/text.h"
#include "cli/cli_command.h"
#include "cli/standard_streams.h"
#include "files/file_names.h"
#include "midi/composition_info.h"
#include "midi/midi_bytes.h"
#include "model/compose_command.h"
#include "model/composition_file_io.h"
#include "model/drag_drop_rules.h"
#include "model/error_reporter.h"
#include "model/exchange_export.h"
#include "model/file_pairs.h"
#include "model/silent_player.h"
#include "model/ui_host.h"

namespace tessavar::cli {
namespace {

constexpr char kCompositionExtension[] = ".tvx";
constexpr char kCompositionExtensionName[] = "tvx";

bool IsCompositionName(const std::string& path) {
  const std::string lower = AsciiLower(path);
  return lower.size() >= 4 &&
         lower.compare(lower.size() - 4, 4, kCompositionExtension) == 0;
}

ExchangeSource Failure(int status, std::string problem) {
  ExchangeSource source;
  source.status = status;
  source.problem = std::move(problem);
  return source;
}

ExchangeSource Failure(const Status& error) {
  ExchangeSource source;
  source.status = kExitFile;
  source.error = error;
  return source;
}

// Loads the composition as the program does at start-up; false with the
// problem in `source` when it cannot be read.
bool LoadComposition(ProgramState& state, const std::string& path,
                     ExchangeSource& source) {
  UiHost host;
  // Never written: the MIDI file is kept in memory.
  state.paths = ProgramPaths::FromDirectory(".");
  const Status loaded = LoadStartupComposition(state, path, host);
  if (loaded.ok()) return true;
  source = Failure(kExitFile,
                   "cannot read the composition: " + LoadProblemText(loaded));
  return false;
}

// The name a piece read from standard input takes: none, so "Untitled".
std::string NamedPath(const std::string& input, const std::string& path) {
  return input == kStandardStream ? std::string() : path;
}

ExchangeSource FromComposition(const std::string& input,
                               const std::string& path) {
  ExchangeSource source;
  ProgramState state;
  if (!LoadComposition(state, path, source)) return source;
  const ComposeValidation validation = ValidateCompose(state.panel);
  if (!validation.passed()) return Failure(kExitInvalid, validation.text);
  UiHost host;
  CancelingErrorReporter reporter;
  SilentPlayer player;
  ComposeCommand compose(state, player, host, reporter);
  std::string midi;
  compose.KeepMidiFileIn(&midi);
  if (!compose.Click().written) {
    return Failure(kExitFile, path + ": the piece was not composed");
  }
  state.composition_path = NamedPath(input, path);
  const std::string companion = FindPairedFile(CompanionMidiPath(path));
  state.composition_info = ExtractCompositionInfo(companion);
  Result<ExchangePiece> piece =
      ExchangePieceOfBytes(midi, CompositionFacts(state), path);
  if (!piece.ok()) return Failure(piece.status());
  source.piece = std::move(piece).value();
  source.inputs = {path, companion};
  return source;
}

ExchangeSource FromMidiFile(const std::string& input, const std::string& path) {
  ExchangeSource source;
  const std::string bytes = ReadWholeFile(path);
  // The composition beside the file gives the name and the key; without
  // one the file's own name and no sharps or flats.
  ProgramState state;
  state.composition_path = path;
  const std::string composition =
      FindPairedFile(ReplaceExtension(path, kCompositionExtensionName));
  if (ExactFileExists(composition) &&
      !LoadComposition(state, composition, source)) {
    return source;
  }
  const ExchangeFacts facts = {
      PieceName(NamedPath(input, path)), CompInfoFromBytes(bytes).value_or(""),
      ExactFileExists(composition)
          ? CompositionKeySignature(state.panel, state.engine.user_scale)
          : KeySignature{}};
  Result<ExchangePiece> piece = ExchangePieceOfBytes(bytes, facts, path);
  if (!piece.ok()) return Failure(piece.status());
  source.piece = std::move(piece).value();
  source.inputs = {path};
  if (ExactFileExists(composition)) source.inputs.push_back(composition);
  return source;
}

// Standard input holds a composition unless it starts as a MIDI file.
bool IsComposition(const std::string& input, const std::string& path) {
  if (input != kStandardStream) return IsCompositionName(input);
  return ReadWholeFile(path).rfind(midi::kHeaderChunkId, 0) != 0;
}

}  // namespace

ExchangeSource ReadExchangeSource(const std::string& input) {
  try {
    const InputFile file(input);
    return IsComposition(input, file.path())
               ? FromComposition(input, file.path())
               : FromMidiFile(input, file.path());
  } catch (const RunTimeError& error) {
    return Failure(error.status().path().empty()
                       ? error.status().WithPath(input)
                       : error.status());
  }
}

int RunExchangeExport(
    const std::string& command, const ExchangeExportArguments& args,
    const std::function<std::string(const ExchangePiece&)>& bytes_of) {
  const ExchangeSource source = ReadExchangeSource(args.input);
  if (source.error) return ReportError(command, *source.error);
  if (source.status != kExitOk) {
    std::cerr << "tessavar-cli " << command << ": "
              << TerminalText(NamingStandardInput(source.problem)) << '\n';
    return source.status;
  }
  try {
    WriteExchangeFile(
        args.output, bytes_of(source.piece), source.inputs,
        args.force ? WriteProtection::kOverride : WriteProtection::kRespect);
  } catch (const RunTimeError& error) {
    return ReportError(command, error.status().path().empty()
                                    ? error.status().WithPath(args.output)
                                    : error.status());
  }
  std::cout << "wrote " << TerminalText(args.output) << " ("
            << source.piece.parts.size()
            << (source.piece.parts.size() == 1 ? " part)" : " parts)") << '\n';
  return kExitOk;
}

}  // namespace tessavar::cli
