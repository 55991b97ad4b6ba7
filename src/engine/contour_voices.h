// Contour harmony voices: 22 alternative voices that follow fixed up/down
// patterns over a melody.
#ifndef TESSAVAR_ENGINE_CONTOUR_VOICES_H_
#define TESSAVAR_ENGINE_CONTOUR_VOICES_H_

#include "engine/engine_state.h"
#include "engine/voice_string.h"

namespace tessavar {

// Fills state.candidate_voices (entry 0 the melody, 1..22 the contour
// voices, 23 and 24 empty). Returns 0 without touching anything when seed is
// 0 or the melody is empty, 1 otherwise. Reseeds and advances state.random
// and reads state.voice_choice_table.
int GenerateContourVoices(EngineState& state, int seed,
                          const VoiceString& melody, int key);

}  // namespace tessavar

#endif  // TESSAVAR_ENGINE_CONTOUR_VOICES_H_
