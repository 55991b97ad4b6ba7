// The exports for DAWs and notation programs of the File menu.
#include <optional>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/path_lookup.h"
#include "files/file_names.h"
#include "model/app_commands.h"
#include "model/exchange_export.h"
#include "model/export_naming.h"
#include "model/file_pairs.h"

namespace tessavar {
namespace {

constexpr char kMidiExtension[] = "mid";
constexpr char kMidiFilter[] = "MIDI files (*.mid)";
// Keeps the offered name apart from the composition's own MIDI file.
constexpr char kMidiNameSuffix[] = " (DAW)";
constexpr char kMusicXmlExtension[] = "musicxml";
constexpr char kMusicXmlFilter[] =
    "MusicXML (*.musicxml);;Compressed MusicXML (*.mxl)";

// The format of the chosen name; a MusicXML export without a known
// extension gets the plain one.
ExchangeFormat FormatOf(std::string_view extension, std::string* path) {
  if (extension == kMidiExtension) {
    *path = ReplaceExtension(*path, kMidiExtension);
    return ExchangeFormat::kMidi;
  }
  if (std::optional<ExchangeFormat> format = MusicXmlFormatOfPath(*path)) {
    return *format;
  }
  *path = ReplaceExtension(*path, kMusicXmlExtension);
  return ExchangeFormat::kMusicXml;
}

// The name offered first: the composition's name, marked for a MIDI export
// so that it is not the composition's own MIDI file.
std::string OfferedPath(const std::string& composition_path,
                        std::string_view extension) {
  if (extension != kMidiExtension) {
    return SuggestedExportFile(composition_path, extension);
  }
  return SuggestedExportFolder(composition_path) + kMidiNameSuffix + "." +
         kMidiExtension;
}

// The files an export must never replace: the music it reads and the
// composition's own files.
std::vector<std::string> ExportInputs(const ProgramState& state,
                                      const std::string& midi) {
  std::vector<std::string> inputs = {midi, state.midi_path};
  if (!state.composition_path.empty()) {
    inputs.push_back(state.composition_path);
    inputs.push_back(FindPairedFile(CompanionMidiPath(state.composition_path)));
  }
  return inputs;
}

}  // namespace

void AppCommands::FileExportExchangeMidi() {
  ExportExchange("Export MIDI for DAW/Notation", kMidiFilter, kMidiExtension);
}

void AppCommands::FileExportMusicXml() {
  ExportExchange("Export MusicXML", kMusicXmlFilter, kMusicXmlExtension);
}

void AppCommands::ExportExchange(const std::string& title,
                                 const std::string& filter,
                                 std::string_view extension) {
  const std::string midi = MusicToExport();
  if (midi.empty()) return;
  FileDialogRequest request;
  request.title = title;
  request.filter = filter;
  request.default_extension = extension;
  request.start_path = OfferedPath(state_.composition_path, extension);
  std::optional<std::string> chosen = dialogs_.SaveFileName(request);
  if (!chosen.has_value() || chosen->empty()) return;
  std::string path = *chosen;
  const ExchangeFormat format = FormatOf(extension, &path);
  if (!ConfirmReplacing(title, {path})) return;
  CreateParentDirectory(path);
  ui_.SetBusyPointer(true);
  const Status written = RunWithRetry(errors_, [&] {
    Result<ExchangePiece> piece = ExchangePieceOfBytes(
        ReadWholeFile(midi), CompositionFacts(state_), midi);
    if (!piece.ok()) throw RunTimeError(piece.status());
    WriteExchangeFile(path, ExchangeFileBytes(piece.value(), format),
                      ExportInputs(state_, midi));
  });
  ui_.SetBusyPointer(false);
  if (written.ok()) ShowExportDone({path}, {});
}

}  // namespace tessavar
