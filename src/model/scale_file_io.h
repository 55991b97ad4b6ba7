// Loading and saving the user-defined scale (*.sca): one quoted line.
#ifndef TESSAVAR_MODEL_SCALE_FILE_IO_H_
#define TESSAVAR_MODEL_SCALE_FILE_IO_H_

#include "model/error_reporter.h"
#include "model/program_state.h"
#include "model/ui_host.h"

namespace tessavar {

// Writes the user-defined scale to state.scale_path (file name in lower
// case); nothing when the path is empty. True when written.
bool SaveScaleFile(ProgramState& state, UiHost& host, ErrorReporter& reporter);

// Reads the first field of state.scale_path into the user-defined scale
// (the text between the quotes, leading spaces kept). The scale is not
// checked and the score is not marked stale. True when read.
bool LoadScaleFile(ProgramState& state, UiHost& host, ErrorReporter& reporter);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_SCALE_FILE_IO_H_
