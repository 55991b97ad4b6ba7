#include "model/composition_file_io.h"

#include <cmath>
#include <functional>

#include "base/text.h"
#include "engine/text_number.h"
#include "files/file_fields.h"
#include "files/file_names.h"
#include "files/text_fields.h"
#include "model/panel_fields.h"
#include "model/program_init.h"
#include "model/text_file_writer.h"

namespace tessavar {
namespace {

constexpr CheckId kMappedAutoCheck{Check::kMappedAuto};
// The error of a file that is not a composition; no field error is one.
constexpr int kErrNotAComposition = kErrInvalidCall;
// The major format version whose 123-field layout this reader knows.
constexpr char kReadableMajorVersion[] = "2.";

// A field's text for a message, shortened and without control characters.
std::string Excerpt(const std::string& text) {
  constexpr size_t kMax = 40;
  std::string shown;
  for (char c : text.substr(0, kMax)) {
    unsigned char u = static_cast<unsigned char>(c);
    shown += u < 0x20 || u == 0x7f ? '?' : c;
  }
  if (text.size() > kMax) shown += "...";
  return "\"" + shown + "\"";
}

std::string FailureReason(int number, const FileField& field,
                          const std::string& text) {
  std::string name = FieldName(field);
  switch (number) {
    case kErrInputPastEnd:
      return "the file ends before the field \"" + name + "\"";
    case kErrTypeMismatch:
      return "\"" + name + "\" is not a number: " + Excerpt(text);
    case kErrOverflow:
      return "\"" + name + "\" is too large: " + Excerpt(text);
    case kErrInvalidPropertyValue:
      return "\"" + name + "\" cannot take the value " + Excerpt(text);
    default:
      return "\"" + name + "\": " + ErrorDescription(number);
  }
}

// Applies the fields read in file order. With the mapped parameters locked
// their values and "Auto" are not applied. Returns the index of the field
// that failed, with the error in *error, or -1. *remembered_auto follows
// the file's "Auto".
int ApplyFields(ProgramState& state, const FieldsRead& read,
                int* remembered_auto, Status* error) {
  PanelModel& panel = state.panel;
  const bool locked = state.options.lock_mapped;
  const std::vector<FileField>& layout = CompositionFields();
  for (size_t i = 0; i < read.values.size(); ++i) {
    const FileField& field = layout[i];
    const FieldValue& value = read.values[i];
    try {
      if (field.target == FieldTarget::kMappedAuto) {
        if (!locked && !panel.SetCheck(kMappedAutoCheck, value.number)) {
          throw RunTimeError(kErrInvalidPropertyValue);
        }
        *remembered_auto = panel.CheckValue(kMappedAutoCheck);
      } else if (!(locked && field.target == FieldTarget::kMapped)) {
        StoreField(state, field, value);
      }
    } catch (const RunTimeError& failure) {
      *error = failure.status();
      return static_cast<int>(i);
    }
  }
  return -1;
}

// The steps that end every load, complete or not.
void FinishLoad(ProgramState& state, const std::string& path, UiHost& host,
                int remembered_auto, bool complete) {
  PanelModel& panel = state.panel;
  if (!complete) panel.MarkScoreStale();
  host.Yield();
  // Minus the absolute value: the box's own reaction then shows the
  // absolute value and moves the spinner to it.
  double seed = NumericValue(panel.Text({Box::kMapping}));
  if (std::isfinite(seed)) {
    panel.SetText({Box::kMapping}, NumberAsText(-std::fabs(seed)));
  }
  state.play_slider = 0;
  panel.SetCheck(kMappedAutoCheck, remembered_auto);
  if (complete) state.caption = CaptionWithFileName(state.caption, path);
  host.SetBusyPointer(false);
}

// Why the fields read are not a composition at all, or nullopt: a file
// that could be read but whose first line is no format version.
std::optional<std::string> NotACompositionReason(const FieldsRead& read) {
  if (!read.complete() && read.stop_field < 0) return std::nullopt;
  if (read.values.empty()) {
    return "not a composition file: it has no format version line";
  }
  const std::string& first = read.values.front().text;
  if (IsReadableFormatVersion(first)) return std::nullopt;
  return "not a composition file: its first line " + Excerpt(first) +
         " is not a format version this program reads (2.x)";
}

// Reads and applies the file, saying how far it got; a file that is not a
// composition is refused before any field is applied.
Status ReadAndApply(
    ProgramState& state, const std::string& path, int* remembered_auto,
    const std::function<FieldsRead(const std::vector<FileField>&)>& reader) {
  const std::vector<FileField>& layout = CompositionFields();
  FieldsRead read = reader(layout);
  if (std::optional<std::string> reason = NotACompositionReason(read)) {
    return Status(kErrNotAComposition, path, 1, *reason);
  }
  Status error;
  int failed = ApplyFields(state, read, remembered_auto, &error);
  if (failed >= 0) {
    const FieldValue& value = read.values[failed];
    return Status(error.number(), path, value.line,
                  FailureReason(error.number(), layout[failed], value.text));
  }
  if (read.complete()) return Status();
  // A file that cannot be read at all: its detail says why, if any.
  const Status& stop = read.stop;
  const std::string unread =
      stop.detail().empty() ? ErrorDescription(stop.number()) : stop.detail();
  return Status(stop.number(), path, read.stop_line,
                read.stop_field < 0
                    ? unread
                    : FailureReason(stop.number(), layout[read.stop_field],
                                    read.stop_text));
}

// Reads the fields from `reader` and applies them, as ReadCompositionFile says.
Status LoadFields(
    ProgramState& state, const std::string& path, UiHost& host,
    const std::function<FieldsRead(const std::vector<FileField>&)>& reader) {
  host.SetBusyPointer(true);
  // With the mapped parameters locked, a failed load leaves "Auto" alone.
  int remembered_auto =
      state.options.lock_mapped ? state.panel.CheckValue(kMappedAutoCheck) : 0;
  Status result;
  try {
    result = ReadAndApply(state, path, &remembered_auto, reader);
  } catch (const RunTimeError& error) {
    result = Status(error.number(), path, 0, error.what());
  }
  if (IsNotAComposition(result)) {
    host.SetBusyPointer(false);
  } else {
    FinishLoad(state, path, host, remembered_auto, result.ok());
  }
  return result;
}

}  // namespace

bool IsReadableFormatVersion(const std::string& first_line) {
  const std::string_view version = TrimSpaces(first_line);
  const std::string_view major = kReadableMajorVersion;
  return version.size() > major.size() && version.starts_with(major) &&
         version.find_first_not_of("0123456789", major.size()) ==
             std::string::npos;
}

bool IsNotAComposition(const Status& load) {
  return load.number() == kErrNotAComposition;
}

std::string LoadProblemText(const Status& load) {
  if (load.ok()) return load.path() + ": complete";
  if (load.line() <= 0) return load.path() + ": " + load.detail();
  return load.path() + ":" + std::to_string(load.line()) + ": " + load.detail();
}

std::optional<std::string> CompositionFileBytes(const ProgramState& state,
                                                std::string* problem) {
  const std::vector<FileField>& layout = CompositionFields();
  std::vector<FieldValue> values = FieldValuesOf(state, layout);
  if (std::optional<std::string> message =
          UnsavableFileMessage("composition", layout, values)) {
    if (problem) *problem = *message;
    return std::nullopt;
  }
  return FieldsBytes(layout, values);
}

bool WriteCompositionFile(ProgramState& state, const std::string& path,
                          UiHost& host, ErrorReporter& reporter) {
  host.SetBusyPointer(true);
  bool written = false;
  if (!path.empty()) {
    std::string problem;
    std::optional<std::string> bytes = CompositionFileBytes(state, &problem);
    if (!bytes) {
      reporter.ShowError(problem);
    } else {
      written = WriteTextFile(path, *bytes, reporter);
    }
    if (written) state.caption = CaptionWithFileName(state.caption, path);
  }
  host.SetBusyPointer(false);
  return written;
}

Status ReadCompositionFile(ProgramState& state, const std::string& path,
                           UiHost& host) {
  if (path.empty()) {
    host.SetBusyPointer(true);
    host.SetBusyPointer(false);
    return Status(kErrFileNotFound, "", 0, "no composition file named");
  }
  return LoadFields(state, path, host,
                    [&path](const std::vector<FileField>& layout) {
                      return ReadFieldsFile(path, layout);
                    });
}

Status LoadConfigText(ProgramState& state, const std::string& text,
                      UiHost& host) {
  return LoadFields(state, "", host,
                    [&text](const std::vector<FileField>& layout) {
                      return ReadFields(text, layout);
                    });
}

Status LoadStartupComposition(ProgramState& state, const std::string& path,
                              UiHost& host) {
  ResetProgramState(state);
  host.Yield();
  PanelModel& panel = state.panel;
  panel.SetText(
      {Box::kMapping},
      NumberToText(std::fabs(NumericValue(panel.Text({Box::kMapping})))));
  return ReadCompositionFile(state, path, host);
}

}  // namespace tessavar
