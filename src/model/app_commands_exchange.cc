// The exports for DAWs and notation programs of the File menu.
#include <optional>
#include <string>

#include "base/file_system.h"
#include "base/path_lookup.h"
#include "files/file_names.h"
#include "model/app_commands.h"
#include "model/export_naming.h"
#include "model/exchange_export.h"

namespace tessavar {
namespace {

constexpr char kMidiExtension[] = "mid";
constexpr char kMidiFilter[] = "MIDI files (*.mid)";
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
  request.start_path = SuggestedExportFile(state_.composition_path, extension);
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
    WriteExchangeFile(path, ExchangeFileBytes(piece.value(), format), {midi});
  });
  ui_.SetBusyPointer(false);
  if (written.ok()) ShowExportDone({path}, {});
}

}  // namespace tessavar
