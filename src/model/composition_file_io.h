// Loading and saving compositions (*.tvx): every setting of the panel, the
// channel map, the user-defined scale and the file-format version.
#ifndef TESSAVAR_MODEL_COMPOSITION_FILE_IO_H_
#define TESSAVAR_MODEL_COMPOSITION_FILE_IO_H_

#include <optional>
#include <string>

#include "base/status.h"
#include "model/error_reporter.h"
#include "model/program_state.h"
#include "model/ui_host.h"

namespace tessavar {

// A load that stopped carries the file, the line where reading stopped (0
// = none) and the reason as its detail. The desktop program ignores it (its
// loading is silent); the command-line composer reports it.

// The status of a file that is not a composition at all (its first line is
// not a file format version this program reads): nothing was applied.
bool IsNotAComposition(const Status& load);

// "path:line: reason" (without the line when there is none).
std::string LoadProblemText(const Status& load);

// The file's bytes for the current state, or nullopt with *problem set to a
// message naming a field whose text cannot be written faithfully.
std::optional<std::string> CompositionFileBytes(const ProgramState& state,
                                                std::string* problem);

// Writes the composition to the path (its file name in lower case). Does
// nothing when the path is empty. Failures go to the reporter (Retry
// writes again); a field that cannot be stored is reported and nothing is
// written. On success the caption names the file. True when written.
bool WriteCompositionFile(ProgramState& state, const std::string& path,
                          UiHost& host, ErrorReporter& reporter);

// True for the first line of a composition file this program reads: a
// format version 2.x ("2.0", the one it writes, or "2.1").
bool IsReadableFormatVersion(const std::string& first_line);

// Reads the composition at the path into the program state, storing each
// field in file order with the panel's reactions, so a failure leaves the
// fields read so far applied. A file that is not a composition at all is
// refused before anything changes. Never reports anything; the status says
// how far it got. On success the caption names the file.
Status ReadCompositionFile(ProgramState& state, const std::string& path,
                           UiHost& host);

// The same for a composition file's text held in memory (the caption
// names no file).
Status LoadConfigText(ProgramState& state, const std::string& text,
                      UiHost& host);

// Loads a composition as the program loads its default one at start-up:
// resets the program, shows the Mapping box as its absolute value, then
// loads the file.
Status LoadStartupComposition(ProgramState& state, const std::string& path,
                              UiHost& host);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_COMPOSITION_FILE_IO_H_
