// Exports for a DAW or a notation program beside the working MIDI file:
// an exchange MIDI file (named tracks, the composition's key and time
// signature, optionally humanized) and MusicXML, plain or compressed. The
// piece is read from a MIDI file the program wrote; the composition adds
// its name, information and key.
#ifndef TESSAVAR_MODEL_EXCHANGE_EXPORT_H_
#define TESSAVAR_MODEL_EXCHANGE_EXPORT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/status.h"
#include "midi/exchange_piece.h"
#include "model/program_state.h"

namespace tessavar {

enum class ExchangeFormat { kMidi, kMusicXml, kCompressedMusicXml };

// The MusicXML format of an output by its extension: .musicxml or .xml
// plain, .mxl compressed; nullopt for any other.
std::optional<ExchangeFormat> MusicXmlFormatOfPath(const std::string& path);

// Why there is nothing to export: the file holds no notes.
inline constexpr char kNoNotesToExport[] = "the file holds no notes to export";

// What a composition adds to the notes of its MIDI file.
struct ExchangeFacts {
  std::string title;
  std::string subtitle;
  KeySignature key;
};

// The key signature of the panel's tonality with the key the composer
// draws for it: major or minor on the drawn tonic. The other tonalities
// (chromatic, pentatonic, whole-tone, user-defined) carry no sharps or
// flats: their scales are built on C, and the chromatic one has no key.
KeySignature CompositionKeySignature(const PanelModel& panel,
                                     const std::string& user_scale);

// The composition's name (from its path), information and key.
ExchangeFacts CompositionFacts(const ProgramState& state);

// The piece of MIDI file bytes with parts named by their instruments.
// Error 5 naming `path` when the bytes cannot be read or hold no notes.
Result<ExchangePiece> ExchangePieceOfBytes(const std::string& bytes,
                                           const ExchangeFacts& facts,
                                           const std::string& path);

// The bytes of the export; a humanize seed varies an exchange MIDI file.
std::string ExchangeFileBytes(const ExchangePiece& piece, ExchangeFormat format,
                              std::optional<uint32_t> humanize_seed = {});

// Writes the bytes in one piece through the program's safe writer: the
// target is replaced only when the new file is complete, never when it is
// one of `inputs`. Throws RunTimeError naming the file.
void WriteExchangeFile(const std::string& path, const std::string& bytes,
                       const std::vector<std::string>& inputs,
                       WriteProtection protection = WriteProtection::kRespect);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_EXCHANGE_EXPORT_H_
