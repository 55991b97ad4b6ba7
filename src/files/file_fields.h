// The fields of the composition, orchestration and scale files: which
// setting each one holds, in file order, how it is written and read back,
// and a file's fields as plain values.
#ifndef TESSAVAR_FILES_FILE_FIELDS_H_
#define TESSAVAR_FILES_FILE_FIELDS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "engine/mapped_parameter.h"

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

struct FileField {
  FieldTarget target;
  int index = 0;
};

// How a field is written and read back.
enum class FieldForm {
  kText,        // as it stands (quoted when it holds a comma), read as is
  kNumberText,  // a text box: as kText, but a number read becomes its text
  kQuotedText,  // always between double quotes, read as is
  kNumber,      // a 16-bit number: list index, check value, channel
};

FieldForm FormOf(FieldTarget target);

// The 123 fields of a composition file, the 96 of an orchestration file
// and the one of a scale file.
const std::vector<FileField>& CompositionFields();
const std::vector<FileField>& OrchestrationFields();
const std::vector<FileField>& ScaleFields();

struct FieldValue {
  std::string text;  // a text field's text; a number field's text as read
  int number = 0;    // a number field's value
  int line = 0;      // line of the file the field was read from, from 1
};

// A file's fields as read: the values in file order, and where and why
// reading stopped before the last one.
struct FieldsRead {
  std::vector<FieldValue> values;
  Status stop;  // ok when every field was read
  // The field (index into the layout) that could not be read; -1 when the
  // file itself could not be read.
  int stop_field = -1;
  int stop_line = 0;      // line where reading stopped; 0 = none
  std::string stop_text;  // the refused text of a number field

  bool complete() const { return stop.ok(); }
};

// Reads the fields of the layout from a file's bytes: a number field that
// is not a 16-bit number stops reading (13, 6) as does the end of the file
// (62). Fields after the last of the layout are ignored.
FieldsRead ReadFields(std::string bytes, const std::vector<FileField>& layout);
// The same from a file, looked up case-insensitively; a missing file (53)
// or one that is not a regular file (75) reads no field.
FieldsRead ReadFieldsFile(const std::string& path,
                          const std::vector<FileField>& layout);

// The bytes of a file holding the values, one field per line.
std::string FieldsBytes(const std::vector<FileField>& layout,
                        const std::vector<FieldValue>& values);

// The first text that would not read back unchanged, and why.
struct UnstorableField {
  size_t index = 0;  // into the layout
  std::string why;
};
std::optional<UnstorableField> FindUnstorableField(
    const std::vector<FileField>& layout,
    const std::vector<FieldValue>& values);

}  // namespace tessavar

#endif  // TESSAVAR_FILES_FILE_FIELDS_H_
