#include "model/orchestration_file_io.h"

#include <optional>

#include "files/file_fields.h"
#include "model/field_file_io.h"
#include "model/panel_fields.h"

namespace tessavar {

bool SaveOrchestrationFile(ProgramState& state, UiHost& host,
                           ErrorReporter& reporter) {
  host.SetBusyPointer(true);
  bool written = false;
  if (!state.orchestration_path.empty()) {
    written = SaveFields(state, "orchestration", OrchestrationFields(),
                         state.orchestration_path, reporter);
  }
  host.SetBusyPointer(false);
  return written;
}

bool LoadOrchestrationFile(ProgramState& state, UiHost& host,
                           ErrorReporter& reporter) {
  host.SetBusyPointer(true);
  bool complete = false;
  const std::vector<FileField>& layout = OrchestrationFields();
  std::optional<FieldsRead> read;
  if (!state.orchestration_path.empty()) {
    read = ReadFieldsWithRetry(state.orchestration_path, layout, reporter);
  }
  if (read) {
    complete = true;
    for (size_t i = 0; complete && i < read->values.size(); ++i) {
      complete = StoreFieldWithRetry(state, layout[i], read->values[i],
                                     state.orchestration_path, reporter);
    }
    complete =
        complete && ReportReadStop(*read, state.orchestration_path, reporter);
    if (complete) host.Yield();
  }
  host.SetBusyPointer(false);
  return complete;
}

}  // namespace tessavar
