// The steps the orchestration and scale commands share: reading a file's
// fields and writing them, every failure going to the reporter.
#ifndef TESSAVAR_MODEL_FIELD_FILE_IO_H_
#define TESSAVAR_MODEL_FIELD_FILE_IO_H_

#include <optional>
#include <string>
#include <vector>

#include "files/file_fields.h"
#include "model/error_reporter.h"
#include "model/program_state.h"

namespace tessavar {

// Reads the file (Retry reads it again) and parses the layout's fields;
// nullopt when the user gave up on reading the file.
std::optional<FieldsRead> ReadFieldsWithRetry(
    const std::string& path, const std::vector<FileField>& layout,
    ErrorReporter& reporter);

// Raises the error that stopped reading the fields of the file at path,
// naming the file and the line (Retry raises it again, as reading the same
// bytes again stops at the same place). True when every field was read.
bool ReportReadStop(const FieldsRead& read, const std::string& path,
                    ErrorReporter& reporter);

// Stores a field read from the file at path; a value the panel refuses is
// reported naming the file and the field's line. True when stored.
bool StoreFieldWithRetry(ProgramState& state, const FileField& field,
                         const FieldValue& value, const std::string& path,
                         ErrorReporter& reporter);

// Writes the state's values of the layout's fields to the path; a text
// that would not read back is reported naming the file's kind and nothing
// is written. True when written.
bool SaveFields(const ProgramState& state, const std::string& kind,
                const std::vector<FileField>& layout, const std::string& path,
                ErrorReporter& reporter);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_FIELD_FILE_IO_H_
