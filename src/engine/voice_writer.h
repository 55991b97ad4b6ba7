// Writing one track's voice for the current phrase into the score store.
#ifndef TESSAVAR_ENGINE_VOICE_WRITER_H_
#define TESSAVAR_ENGINE_VOICE_WRITER_H_

#include "engine/engine_state.h"
#include "engine/voice_string.h"

namespace tessavar {

// Raises every pitch below 127 by t mod 12 (t >= 0); rests and durations
// stay.
VoiceString TransposeVoice(const VoiceString& voice, int t);

// Writes the voice into slots start .. start + n - 1 of the track: pitch
// folded below 24, velocity from `volume` (the track's volume box, already
// rounded by the caller), the accent (negative = none) and the fade factors
// of `state`, duration in half units. Does nothing for an empty voice, a
// negative track or a negative start.
void WriteVoiceToScore(EngineState& state, const VoiceString& voice,
                       int transposition, int track, int start, double accent,
                       int volume);

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_VOICE_WRITER_H_
