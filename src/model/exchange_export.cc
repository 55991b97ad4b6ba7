#include "model/exchange_export.h"

#include "base/text.h"
#include "engine/composer.h"
#include "midi/composition_info.h"
#include "midi/exchange_midi_writer.h"
#include "midi/music_xml_writer.h"
#include "model/audio_stems.h"
#include "model/drag_drop_rules.h"
#include "model/panel_compose.h"

namespace tessavar {
namespace {

// Tonality list indices, and the keys the composer draws for them: 0..11
// major, 12..23 minor on tonic key % 12.
constexpr int kMajorTonality = 1;
constexpr int kMinorTonality = 2;
constexpr int kMinorKeys = 12;

}  // namespace

std::optional<ExchangeFormat> MusicXmlFormatOfPath(const std::string& path) {
  const std::string name = AsciiLower(path.substr(FileNameStart(path)));
  const size_t dot = name.find_last_of('.');
  const std::string extension =
      dot == std::string::npos ? std::string() : name.substr(dot + 1);
  if (extension == "musicxml" || extension == "xml") {
    return ExchangeFormat::kMusicXml;
  }
  if (extension == "mxl") return ExchangeFormat::kCompressedMusicXml;
  return std::nullopt;
}

KeySignature CompositionKeySignature(const PanelModel& panel,
                                     const std::string& user_scale) {
  const ComposeRequest request = ComposeRequestFromPanel(panel, user_scale);
  if (request.tonality != kMajorTonality &&
      request.tonality != kMinorTonality) {
    return {};
  }
  const int key = ComposedKey(request);
  return KeySignatureOf(key, key >= kMinorKeys);
}

ExchangeFacts CompositionFacts(const ProgramState& state) {
  return {PieceName(state.composition_path),
          TrimCompInfo(state.composition_info),
          CompositionKeySignature(state.panel, state.engine.user_scale)};
}

Result<ExchangePiece> ExchangePieceOfBytes(const std::string& bytes,
                                           const ExchangeFacts& facts,
                                           const std::string& path) {
  Result<MidiContent> content = ReadMidiContent(bytes);
  if (!content.ok()) return content.status().WithPath(path);
  ExchangePiece piece = ExchangePieceOf(content.value(), TrackInstrumentName);
  if (piece.parts.empty()) {
    return Status(kErrInvalidCall, path, 0, kNoNotesToExport);
  }
  piece.title = facts.title;
  piece.subtitle = facts.subtitle;
  piece.key = facts.key;
  return piece;
}

std::string ExchangeFileBytes(const ExchangePiece& piece, ExchangeFormat format,
                              std::optional<uint32_t> humanize_seed) {
  switch (format) {
    case ExchangeFormat::kMusicXml:
      return BuildMusicXml(piece);
    case ExchangeFormat::kCompressedMusicXml:
      return BuildMusicXmlArchive(BuildMusicXml(piece));
    case ExchangeFormat::kMidi:
      break;
  }
  return BuildExchangeMidiFile(humanize_seed ? Humanized(piece, *humanize_seed)
                                             : piece);
}

void WriteExchangeFile(const std::string& path, const std::string& bytes,
                       const std::vector<std::string>& inputs,
                       WriteProtection protection) {
  AtomicFile file(path, inputs, Durability::kFlushEach, protection);
  file.Write(bytes);
  file.Commit();
}

}  // namespace tessavar
