#include "files/orchestration_file.h"

#include <string>

#include "files/panel_fields.h"
#include "files/text_fields.h"

namespace tessavar {

bool SaveOrchestrationFile(ProgramState& state, UiHost& host,
                           ErrorReporter& reporter) {
  host.SetBusyPointer(true);
  bool written = false;
  if (!state.orchestration_path.empty()) {
    std::string bytes;
    std::string problem;
    for (const PanelField& field : OrchestrationFields()) {
      if (auto why = FieldWriteProblem(state, field)) {
        problem = "The orchestration cannot be saved: the text of \"" +
                  FieldName(field) + "\" cannot be stored, because " + *why +
                  ".";
        break;
      }
      bytes += WriteField(state, field);
    }
    if (!problem.empty()) {
      reporter.ShowError(problem);
    } else {
      written = WriteTextFile(state.orchestration_path, bytes, reporter);
    }
  }
  host.SetBusyPointer(false);
  return written;
}

bool LoadOrchestrationFile(ProgramState& state, UiHost& host,
                           ErrorReporter& reporter) {
  host.SetBusyPointer(true);
  bool complete = false;
  std::string bytes;
  if (!state.orchestration_path.empty() && RunWithRetry(reporter, [&] {
        bytes = ReadTextFile(state.orchestration_path);
      }).ok()) {
    FieldReader reader(std::move(bytes));
    complete = true;
    for (const PanelField& field : OrchestrationFields()) {
      Field read;
      if (!RunWithRetry(reporter, [&] { read = reader.Next(); }).ok() ||
          !RunWithRetry(reporter, [&] { StoreField(state, field, read); })
               .ok()) {
        complete = false;
        break;
      }
    }
    if (complete) host.Yield();
  }
  host.SetBusyPointer(false);
  return complete;
}

}  // namespace tessavar
