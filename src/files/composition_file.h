// Composition files (*.tvx): every setting of the panel, the channel map,
// the user-defined scale and the file-format version, 123 lines.
#ifndef TESSAVAR_FILES_COMPOSITION_FILE_H_
#define TESSAVAR_FILES_COMPOSITION_FILE_H_

#include <optional>
#include <string>

#include "model/error_reporter.h"
#include "model/program_state.h"
#include "model/ui_host.h"

namespace tessavar {

inline constexpr int kCompositionFileLines = 123;

// Where and why reading a composition file stopped. The desktop program
// ignores it (its reader is silent); the command-line composer reports it.
struct CompositionLoadResult {
  bool complete = false;  // all fields read and stored
  std::string path;
  int line = 0;        // line of the file where reading stopped; 0 = none
  std::string reason;  // empty when complete

  // "path:line: reason" (without the line when there is none).
  std::string Describe() const;
};

// The file's bytes for the current state, or nullopt with *problem set to a
// message naming a field whose text cannot be written faithfully.
std::optional<std::string> CompositionFileBytes(const ProgramState& state,
                                                std::string* problem);

// Writes the composition to state.composition_path (its file name in lower
// case). Does nothing when the path is empty. Failures go to the reporter
// (Retry writes again); a field that cannot be stored is reported and
// nothing is written. On success the caption names the file. True when the
// file was written.
bool SaveConfigFile(ProgramState& state, UiHost& host, ErrorReporter& reporter);

// Reads state.composition_path into the program state, storing each field at
// once with the panel's reactions, so a failure leaves the fields read so
// far applied. Never reports anything; the result says how far it got.
CompositionLoadResult LoadConfigFile(ProgramState& state, UiHost& host);

// The same for a composition file's text held in memory.
CompositionLoadResult LoadConfigText(ProgramState& state, UiHost& host,
                                     const std::string& text);

}  // namespace tessavar

#endif  // TESSAVAR_FILES_COMPOSITION_FILE_H_
