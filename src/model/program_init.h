// The step that puts a new, empty composition in place before a composition
// file is loaded over it (at start-up: the default composition).
#ifndef TESSAVAR_MODEL_PROGRAM_INIT_H_
#define TESSAVAR_MODEL_PROGRAM_INIT_H_

#include "model/program_state.h"

namespace tessavar {

// Keeps its historical name but touches no globals: resets `state` to a new
// composition. Clears the stop flag, forgets the composition and MIDI paths,
// selects the first entry of the four general lists and of every
// instrument, restores the channel map, the chromatic user scale, empty
// composition information and an empty score; then marks the score stale
// (the player is closed through the panel's callback, Compose enabled, Save
// disabled) and enables the panel. Box texts, the options and the
// orchestration and scale paths are left as they are.
void ResetProgramState(ProgramState& state);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PROGRAM_INIT_H_
