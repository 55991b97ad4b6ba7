// Writes an exchange piece as a MusicXML score (partwise): one part per
// track named by its instrument, the key, time signature and tempo, notes
// and rests spelled in the key, durations split at bar lines with ties,
// the piece's title and subtitle.
#ifndef TESSAVAR_MIDI_MUSIC_XML_WRITER_H_
#define TESSAVAR_MIDI_MUSIC_XML_WRITER_H_

#include <string>

#include "midi/exchange_piece.h"

namespace tessavar {

// The name inside a compressed score and its media type.
inline constexpr char kMusicXmlScoreName[] = "score.musicxml";
inline constexpr char kMusicXmlMediaType[] =
    "application/vnd.recordare.musicxml";

// The score as UTF-8 text. Notes of a part that overlap (never in the
// program's own files) are cut so that each part stays one voice.
std::string BuildMusicXml(const ExchangePiece& piece);

// The compressed form (.mxl): a zip archive holding the media type, the
// container that points at the score, and the score. Throws RunTimeError
// when the archive cannot be made.
std::string BuildMusicXmlArchive(const std::string& score);

}  // namespace tessavar

#endif  // TESSAVAR_MIDI_MUSIC_XML_WRITER_H_
