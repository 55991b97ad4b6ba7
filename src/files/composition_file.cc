#include "files/composition_file.h"

#include <cmath>
#include <exception>
#include <functional>

#include "engine/text_number.h"
#include "files/file_names.h"
#include "files/panel_fields.h"
#include "files/text_fields.h"

namespace tessavar {
namespace {

constexpr CheckId kMappedAutoCheck{Check::kMappedAuto};

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

std::string FailureReason(int number, const PanelField& field,
                          const Field& read) {
  std::string name = FieldName(field);
  switch (number) {
    case kErrInputPastEnd:
      return "the file ends before the field \"" + name + "\"";
    case kErrTypeMismatch:
      return "\"" + name + "\" is not a number: " + Excerpt(read.text);
    case kErrOverflow:
      return "\"" + name + "\" is too large: " + Excerpt(read.text);
    case kErrInvalidPropertyValue:
      return "\"" + name + "\" cannot take the value " + Excerpt(read.text);
    default:
      return "\"" + name + "\": " + ErrorDescription(number);
  }
}

// The steps that end every load, complete or not.
void FinishLoad(ProgramState& state, UiHost& host, int remembered_auto,
                bool complete) {
  PanelModel& panel = state.panel;
  if (!complete) panel.ClearScoreFlag();
  host.Yield();
  // Minus the absolute value: the box's own reaction then shows the
  // absolute value and moves the spinner to it.
  double seed = NumericValue(panel.Text({Box::kMapping}));
  if (std::isfinite(seed)) {
    panel.SetText({Box::kMapping}, NumberAsText(-std::fabs(seed)));
  }
  state.play_slider = 0;
  panel.SetCheck(kMappedAutoCheck, remembered_auto);
  if (complete) {
    state.caption = CaptionWithFileName(state.caption, state.composition_path);
  }
  host.SetBusyPointer(false);
}

// Reads a composition's fields into the program state (see LoadConfigFile).
CompositionLoadResult LoadComposition(
    ProgramState& state, UiHost& host,
    const std::function<std::string()>& read_bytes) {
  CompositionLoadResult result;
  result.path = state.composition_path;
  host.SetBusyPointer(true);
  PanelModel& panel = state.panel;
  const bool locked = state.options.lock_mapped;
  // With the mapped parameters locked, a failed load leaves "Auto" alone.
  int remembered_auto = locked ? panel.CheckValue(kMappedAutoCheck) : 0;

  const PanelField* current = nullptr;
  Field read;
  try {
    FieldReader reader(read_bytes());
    for (const PanelField& field : CompositionFields()) {
      current = &field;
      result.line = reader.line();
      read = reader.Next();
      result.line = read.line;
      if (field.target == FieldTarget::kMappedAuto) {
        int value = FieldAsInt16(read);
        if (!locked && !panel.SetCheck(kMappedAutoCheck, value)) {
          throw RunTimeError(kErrInvalidPropertyValue);
        }
        remembered_auto = panel.CheckValue(kMappedAutoCheck);
      } else if (!(locked && field.target == FieldTarget::kMapped)) {
        StoreField(state, field, read);
      }
    }
    result.complete = true;
  } catch (const RunTimeError& error) {
    result.reason = current ? FailureReason(error.number(), *current, read)
                            : ErrorDescription(error.number());
    if (!current) result.line = 0;
  } catch (const std::exception& error) {
    result.reason = error.what();
  }
  FinishLoad(state, host, remembered_auto, result.complete);
  return result;
}

}  // namespace

std::string CompositionLoadResult::Describe() const {
  if (complete) return path + ": complete";
  if (line <= 0) return path + ": " + reason;
  return path + ":" + std::to_string(line) + ": " + reason;
}

std::optional<std::string> CompositionFileBytes(const ProgramState& state,
                                                std::string* problem) {
  std::string bytes;
  for (const PanelField& field : CompositionFields()) {
    if (auto why = FieldWriteProblem(state, field)) {
      if (problem) {
        *problem = "The composition cannot be saved: the text of \"" +
                   FieldName(field) + "\" cannot be stored, because " + *why +
                   ".";
      }
      return std::nullopt;
    }
    bytes += WriteField(state, field);
  }
  return bytes;
}

bool SaveConfigFile(ProgramState& state, UiHost& host,
                    ErrorReporter& reporter) {
  host.SetBusyPointer(true);
  bool written = false;
  if (!state.composition_path.empty()) {
    std::string problem;
    std::optional<std::string> bytes = CompositionFileBytes(state, &problem);
    if (!bytes) {
      reporter.ShowError(problem);
    } else {
      written = WriteTextFile(state.composition_path, *bytes, reporter);
    }
    if (written) {
      state.caption =
          CaptionWithFileName(state.caption, state.composition_path);
    }
  }
  host.SetBusyPointer(false);
  return written;
}

CompositionLoadResult LoadConfigFile(ProgramState& state, UiHost& host) {
  if (state.composition_path.empty()) {
    host.SetBusyPointer(true);
    CompositionLoadResult result;
    result.reason = "no composition file named";
    host.SetBusyPointer(false);
    return result;
  }
  return LoadComposition(
      state, host, [&state] { return ReadTextFile(state.composition_path); });
}

CompositionLoadResult LoadConfigText(ProgramState& state, UiHost& host,
                                     const std::string& text) {
  return LoadComposition(state, host, [&text] { return text; });
}

}  // namespace tessavar
