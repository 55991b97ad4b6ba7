#include "files/scale_file.h"

#include <optional>
#include <string>

#include "files/text_fields.h"

namespace tessavar {

bool SaveScaleFile(ProgramState& state, UiHost& host, ErrorReporter& reporter) {
  host.SetBusyPointer(true);
  bool written = false;
  if (!state.scale_path.empty()) {
    const std::string& scale = state.engine.user_scale;
    if (std::optional<std::string> why = UnstorableTextProblem(scale, true)) {
      reporter.ShowError(
          "The scale cannot be saved: the text of \"User-defined scale\" "
          "cannot be stored, because " +
          *why + ".");
    } else {
      written = WriteTextFile(state.scale_path, QuotedLine(scale), reporter);
    }
  }
  host.SetBusyPointer(false);
  return written;
}

bool LoadScaleFile(ProgramState& state, UiHost& host, ErrorReporter& reporter) {
  host.SetBusyPointer(true);
  bool loaded = false;
  std::string bytes;
  if (!state.scale_path.empty() &&
      RunWithRetry(reporter, [&] { bytes = ReadTextFile(state.scale_path); })
          .ok()) {
    FieldReader reader(std::move(bytes));
    Field read;
    if (RunWithRetry(reporter, [&] { read = reader.Next(); }).ok()) {
      state.engine.user_scale = read.text;
      loaded = true;
      host.Yield();
    }
  }
  host.SetBusyPointer(false);
  return loaded;
}

}  // namespace tessavar
