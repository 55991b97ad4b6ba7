// The fields that the composition and orchestration files hold, in file
// order, with how each is written from and stored into the program state.
#ifndef TESSAVAR_FILES_PANEL_FIELDS_H_
#define TESSAVAR_FILES_PANEL_FIELDS_H_

#include <optional>
#include <string>
#include <vector>

#include "model/program_state.h"
#include "files/text_fields.h"

namespace tessavar {

enum class FieldTarget {
  kVersion,
  kStructure,
  kHiddenAuto,
  kMapping,
  kVariation,
  kSmoothing,
  kMeter,
  kTracks,
  kTempo,
  kTonality,
  kInstrument,  // index = track
  kOctave,      // index = track
  kVolume,      // index = track
  kTie,         // index = track
  kPan,         // index = track
  kChannel,     // index = track
  kMappedAuto,
  kMapped,  // index = mapped parameter
  kUserScale,
  kFade,
};

struct PanelField {
  FieldTarget target;
  int index = 0;
};

// The 123 fields of a composition file and the 96 of an orchestration file.
const std::vector<PanelField>& CompositionFields();
const std::vector<PanelField>& OrchestrationFields();

// A readable name for messages ("Mapping", "Volume of track 3").
std::string FieldName(const PanelField& field);

// The field's line as written, CR LF included.
std::string WriteField(const ProgramState& state, const PanelField& field);

// Why the field's current text cannot be written faithfully, or nullopt.
std::optional<std::string> FieldWriteProblem(const ProgramState& state,
                                             const PanelField& field);

// Stores a field read from a file into its target, raising the panel's
// reactions. RunTimeError 13 or 6 for a number field that is not a usable
// number, 380 for a value its control refuses.
void StoreField(ProgramState& state, const PanelField& field,
                const Field& read);

}  // namespace tessavar

#endif  // TESSAVAR_FILES_PANEL_FIELDS_H_
