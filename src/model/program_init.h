// Resetting the program to its starting values.
#ifndef TESSAVAR_MODEL_PROGRAM_INIT_H_
#define TESSAVAR_MODEL_PROGRAM_INIT_H_

#include "model/program_state.h"

namespace tessavar {

// Resets the stop flag, the composition and MIDI paths, the four general
// lists, the instruments, the channel map, the user-defined scale, the
// composition information and the score; then marks the score stale (the
// panel's callback closes the player) and enables the panel.
void InitializeGlobalVariables(ProgramState& state);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PROGRAM_INIT_H_
