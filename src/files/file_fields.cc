#include "files/file_fields.h"

#include <exception>

#include "engine/score.h"
#include "files/text_fields.h"

namespace tessavar {
namespace {

void AddTrackFields(std::vector<FileField>& fields, int track) {
  for (FieldTarget target :
       {FieldTarget::kInstrument, FieldTarget::kOctave, FieldTarget::kVolume,
        FieldTarget::kTie, FieldTarget::kPan, FieldTarget::kChannel}) {
    fields.push_back({target, track});
  }
}

std::vector<FileField> BuildCompositionFields() {
  std::vector<FileField> fields = {
      {FieldTarget::kVersion},    {FieldTarget::kStructure},
      {FieldTarget::kHiddenAuto}, {FieldTarget::kMapping},
      {FieldTarget::kVariation},  {FieldTarget::kSmoothing},
      {FieldTarget::kMeter},      {FieldTarget::kTracks},
      {FieldTarget::kTempo},      {FieldTarget::kTonality}};
  for (int t = 0; t < kTrackCount; ++t) AddTrackFields(fields, t);
  fields.push_back({FieldTarget::kMappedAuto});
  for (int i = 0; i < kMappedParameterCount; ++i) {
    fields.push_back({FieldTarget::kMapped, i});
  }
  fields.push_back({FieldTarget::kUserScale});
  fields.push_back({FieldTarget::kFade});
  return fields;
}

std::vector<FileField> BuildOrchestrationFields() {
  std::vector<FileField> fields;
  for (int t = 0; t < kTrackCount; ++t) AddTrackFields(fields, t);
  return fields;
}

// The value of one field as read; RunTimeError 13 or 6 for a number field
// that is not a 16-bit number.
FieldValue ValueOf(FieldForm form, const Field& read) {
  FieldValue value;
  value.line = read.line;
  switch (form) {
    case FieldForm::kNumber:
      value.number = FieldAsInt16(read);
      value.text = read.text;
      break;
    case FieldForm::kNumberText:
      value.text = FieldAsText(read);
      break;
    case FieldForm::kText:
    case FieldForm::kQuotedText:
      value.text = read.text;
      break;
  }
  return value;
}

}  // namespace

FieldForm FormOf(FieldTarget target) {
  switch (target) {
    case FieldTarget::kVersion:
    case FieldTarget::kStructure:
      return FieldForm::kText;
    case FieldTarget::kMapping:
    case FieldTarget::kVariation:
    case FieldTarget::kTracks:
    case FieldTarget::kTempo:
    case FieldTarget::kOctave:
    case FieldTarget::kVolume:
    case FieldTarget::kPan:
    case FieldTarget::kMapped:
      return FieldForm::kNumberText;
    case FieldTarget::kUserScale:
      return FieldForm::kQuotedText;
    default:
      return FieldForm::kNumber;
  }
}

const std::vector<FileField>& CompositionFields() {
  static const std::vector<FileField> fields = BuildCompositionFields();
  return fields;
}

const std::vector<FileField>& OrchestrationFields() {
  static const std::vector<FileField> fields = BuildOrchestrationFields();
  return fields;
}

const std::vector<FileField>& ScaleFields() {
  static const std::vector<FileField> fields = {{FieldTarget::kUserScale}};
  return fields;
}

FieldsRead ReadFields(std::string bytes, const std::vector<FileField>& layout) {
  FieldsRead result;
  FieldReader reader(std::move(bytes));
  for (const FileField& field : layout) {
    result.stop_field = static_cast<int>(result.values.size());
    result.stop_line = reader.line();
    Field read;
    try {
      read = reader.Next();
      result.stop_line = read.line;
      result.values.push_back(ValueOf(FormOf(field.target), read));
    } catch (const RunTimeError& error) {
      result.stop = error.status();
      result.stop_text = read.text;
      return result;
    }
  }
  result.stop_field = -1;
  result.stop_line = 0;
  return result;
}

FieldsRead ReadFieldsFile(const std::string& path,
                          const std::vector<FileField>& layout) {
  std::string bytes;
  try {
    bytes = ReadTextFile(path);
  } catch (const RunTimeError& error) {
    FieldsRead result;
    result.stop = error.status();
    return result;
  }
  return ReadFields(std::move(bytes), layout);
}

std::string FieldsBytes(const std::vector<FileField>& layout,
                        const std::vector<FieldValue>& values) {
  std::string bytes;
  for (size_t i = 0; i < layout.size() && i < values.size(); ++i) {
    switch (FormOf(layout[i].target)) {
      case FieldForm::kNumber:
        bytes += NumberLine(values[i].number);
        break;
      case FieldForm::kQuotedText:
        bytes += QuotedLine(values[i].text);
        break;
      case FieldForm::kText:
      case FieldForm::kNumberText:
        bytes += TextLine(values[i].text);
        break;
    }
  }
  return bytes;
}

std::optional<UnstorableField> FindUnstorableField(
    const std::vector<FileField>& layout,
    const std::vector<FieldValue>& values) {
  for (size_t i = 0; i < layout.size() && i < values.size(); ++i) {
    FieldForm form = FormOf(layout[i].target);
    if (form == FieldForm::kNumber) continue;
    if (std::optional<std::string> why = UnstorableTextProblem(
            values[i].text, form == FieldForm::kQuotedText)) {
      return UnstorableField{i, *why};
    }
  }
  return std::nullopt;
}

}  // namespace tessavar
