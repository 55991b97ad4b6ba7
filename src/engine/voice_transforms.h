// Small transformations that reshape a voice before it is written.
#ifndef TESSAVAR_ENGINE_VOICE_TRANSFORMS_H_
#define TESSAVAR_ENGINE_VOICE_TRANSFORMS_H_

#include "engine/engine_state.h"
#include "engine/voice_string.h"

namespace tessavar {

// Splits a long note that leaps to the next one and fills its second half
// with an in-between pitch.
VoiceString AddPassingNotes(const VoiceString& voice);
// Ties consecutive equal pitches into one note, up to a duration of 96.
VoiceString MergeRepeatedNotes(const VoiceString& voice);
// Shortens every note longer than 2 by 2 and follows it with a rest of 2.
VoiceString DetachNotes(const VoiceString& voice);
// All rests, same rhythm.
VoiceString SilenceVoice(const VoiceString& voice);
// Distributes the melody's notes over state.split_voice1..3; `probability`
// is the chance that a note leaves the first voice. Draws from
// state.random.
void SplitMelodyVoices(EngineState& state, const VoiceString& melody,
                       double probability);

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_VOICE_TRANSFORMS_H_
