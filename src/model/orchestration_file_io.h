// Loading and saving orchestrations (*.orc): the 16 track rows of the panel
// with each track's MIDI channel.
#ifndef TESSAVAR_MODEL_ORCHESTRATION_FILE_IO_H_
#define TESSAVAR_MODEL_ORCHESTRATION_FILE_IO_H_

#include "model/error_reporter.h"
#include "model/program_state.h"
#include "model/ui_host.h"

namespace tessavar {

// Writes the orchestration to state.orchestration_path (file name in lower
// case); nothing when the path is empty. Failures go to the reporter. True
// when the file was written.
bool SaveOrchestrationFile(ProgramState& state, UiHost& host,
                           ErrorReporter& reporter);

// Reads state.orchestration_path, storing each field in file order with
// the panel's reactions. Every failure goes to the reporter: Retry repeats
// the failing step, Cancel stops and keeps what was stored. True when all
// 96 fields were stored.
bool LoadOrchestrationFile(ProgramState& state, UiHost& host,
                           ErrorReporter& reporter);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_ORCHESTRATION_FILE_IO_H_
