// Writes an exchange piece as a Standard MIDI File for a DAW or a notation
// program (format 1): a tempo track named after the piece with its tempo,
// time and key signatures, then one track per part with its name, program,
// pan and notes, each note-off closing the note it ends. The working MIDI
// file keeps its own writer; this one is only for exports.
#ifndef TESSAVAR_MIDI_EXCHANGE_MIDI_WRITER_H_
#define TESSAVAR_MIDI_EXCHANGE_MIDI_WRITER_H_

#include <string>

#include "midi/exchange_piece.h"

namespace tessavar {

std::string BuildExchangeMidiFile(const ExchangePiece& piece);

}  // namespace tessavar

#endif  // TESSAVAR_MIDI_EXCHANGE_MIDI_WRITER_H_
