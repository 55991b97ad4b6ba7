// How the fields of the composition, orchestration and scale files are
// taken from the program state and stored back into it with the panel's
// reactions.
#ifndef TESSAVAR_MODEL_PANEL_FIELDS_H_
#define TESSAVAR_MODEL_PANEL_FIELDS_H_

#include <optional>
#include <string>
#include <vector>

#include "files/file_fields.h"
#include "model/program_state.h"

namespace tessavar {

// A readable name for messages ("Mapping", "Volume of track 3").
std::string FieldName(const FileField& field);

// The values of the layout's fields as the state holds them now.
std::vector<FieldValue> FieldValuesOf(const ProgramState& state,
                                      const std::vector<FileField>& layout);

// Why a file of the given kind ("composition") cannot be saved with these
// values, naming the first field whose text would not read back; nullopt
// when it can.
std::optional<std::string> UnsavableFileMessage(
    const std::string& kind, const std::vector<FileField>& layout,
    const std::vector<FieldValue>& values);

// Stores a value typed by a user: as StoreField, and a value outside its
// text box's range is then brought in by the panel's rule on leaving the
// box (a track's box clamps, a mapped box falls back to its lowest value).
void TypeField(ProgramState& state, const FileField& field,
               const FieldValue& value);

// Stores a field read from a file into its target, raising the panel's
// reactions. RunTimeError 380 for a value its control refuses.
void StoreField(ProgramState& state, const FileField& field,
                const FieldValue& value);

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_PANEL_FIELDS_H_
