#include "model/scale_file_io.h"

#include <optional>

#include "files/file_fields.h"
#include "model/field_file_io.h"
#include "model/panel_fields.h"

namespace tessavar {

bool SaveScaleFile(ProgramState& state, UiHost& host, ErrorReporter& reporter) {
  host.SetBusyPointer(true);
  bool written = false;
  if (!state.scale_path.empty()) {
    written =
        SaveFields(state, "scale", ScaleFields(), state.scale_path, reporter);
  }
  host.SetBusyPointer(false);
  return written;
}

bool LoadScaleFile(ProgramState& state, UiHost& host, ErrorReporter& reporter) {
  host.SetBusyPointer(true);
  bool loaded = false;
  const std::vector<FileField>& layout = ScaleFields();
  std::optional<FieldsRead> read;
  if (!state.scale_path.empty()) {
    read = ReadFieldsWithRetry(state.scale_path, layout, reporter);
  }
  if (read && ReportReadStop(*read, state.scale_path, reporter)) {
    StoreField(state, layout.front(), read->values.front());
    loaded = true;
    host.Yield();
  }
  host.SetBusyPointer(false);
  return loaded;
}

}  // namespace tessavar
