#include "model/field_file_io.h"

#include "files/text_fields.h"
#include "model/panel_fields.h"
#include "model/text_file_writer.h"

namespace tessavar {

std::optional<FieldsRead> ReadFieldsWithRetry(
    const std::string& path, const std::vector<FileField>& layout,
    ErrorReporter& reporter) {
  std::string bytes;
  if (!RunWithRetry(reporter, [&] { bytes = ReadTextFile(path); }).ok()) {
    return std::nullopt;
  }
  return ReadFields(std::move(bytes), layout);
}

bool ReportReadStop(const FieldsRead& read, const std::string& path,
                    ErrorReporter& reporter) {
  if (read.complete()) return true;
  const Status stop = read.stop.WithPath(path, read.stop_line);
  RunWithRetry(reporter, std::function<Status()>([&] { return stop; }));
  return false;
}

bool StoreFieldWithRetry(ProgramState& state, const FileField& field,
                         const FieldValue& value, const std::string& path,
                         ErrorReporter& reporter) {
  return RunWithRetry(reporter, std::function<Status()>([&] {
                        try {
                          StoreField(state, field, value);
                        } catch (const RunTimeError& error) {
                          return error.status().WithPath(path, value.line);
                        }
                        return Status();
                      }))
      .ok();
}

bool SaveFields(const ProgramState& state, const std::string& kind,
                const std::vector<FileField>& layout, const std::string& path,
                ErrorReporter& reporter) {
  std::vector<FieldValue> values = FieldValuesOf(state, layout);
  if (std::optional<std::string> message =
          UnsavableFileMessage(kind, layout, values)) {
    reporter.ShowError(*message);
    return false;
  }
  return WriteTextFile(path, FieldsBytes(layout, values), reporter);
}

}  // namespace tessavar
