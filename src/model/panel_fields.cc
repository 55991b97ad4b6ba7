#include "model/panel_fields.h"

#include "base/status.h"
#include "engine/text_number.h"

namespace tessavar {
namespace {

// The text box behind a text field, if it is one.
std::optional<BoxId> BoxOf(const FileField& field) {
  switch (field.target) {
    case FieldTarget::kStructure:
      return BoxId{Box::kStructure};
    case FieldTarget::kMapping:
      return BoxId{Box::kMapping};
    case FieldTarget::kVariation:
      return BoxId{Box::kVariation};
    case FieldTarget::kTracks:
      return BoxId{Box::kTracks};
    case FieldTarget::kTempo:
      return BoxId{Box::kTempo};
    case FieldTarget::kOctave:
      return BoxId{Box::kOctave, field.index};
    case FieldTarget::kVolume:
      return BoxId{Box::kVolume, field.index};
    case FieldTarget::kPan:
      return BoxId{Box::kPan, field.index};
    case FieldTarget::kMapped:
      return BoxId{Box::kMapped, field.index};
    default:
      return std::nullopt;
  }
}

std::optional<ListId> ListOf(const FileField& field) {
  switch (field.target) {
    case FieldTarget::kSmoothing:
      return ListId{List::kSmoothing};
    case FieldTarget::kMeter:
      return ListId{List::kMeter};
    case FieldTarget::kTonality:
      return ListId{List::kTonality};
    case FieldTarget::kFade:
      return ListId{List::kFade};
    case FieldTarget::kInstrument:
      return ListId{List::kInstrument, field.index};
    default:
      return std::nullopt;
  }
}

std::optional<CheckId> CheckOf(const FileField& field) {
  switch (field.target) {
    case FieldTarget::kHiddenAuto:
      return CheckId{Check::kHiddenAuto};
    case FieldTarget::kTie:
      return CheckId{Check::kTie, field.index};
    case FieldTarget::kMappedAuto:
      return CheckId{Check::kMappedAuto};
    default:
      return std::nullopt;
  }
}

std::string OfTrack(const char* name, int track) {
  return std::string(name) + " of track " + std::to_string(track + 1);
}

}  // namespace

std::string FieldName(const FileField& field) {
  switch (field.target) {
    case FieldTarget::kVersion:
      return "File format version";
    case FieldTarget::kStructure:
      return "Structure";
    case FieldTarget::kHiddenAuto:
      return "Hidden Auto flag";
    case FieldTarget::kMapping:
      return "Mapping";
    case FieldTarget::kVariation:
      return "Variation";
    case FieldTarget::kSmoothing:
      return "Smoothing";
    case FieldTarget::kMeter:
      return "Meter";
    case FieldTarget::kTracks:
      return "Tracks";
    case FieldTarget::kTempo:
      return "Tempo";
    case FieldTarget::kTonality:
      return "Tonality";
    case FieldTarget::kInstrument:
      return OfTrack("Instrument", field.index);
    case FieldTarget::kOctave:
      return OfTrack("Transposition", field.index);
    case FieldTarget::kVolume:
      return OfTrack("Volume", field.index);
    case FieldTarget::kTie:
      return OfTrack("Tie", field.index);
    case FieldTarget::kPan:
      return OfTrack("Pan", field.index);
    case FieldTarget::kChannel:
      return OfTrack("MIDI channel", field.index);
    case FieldTarget::kMappedAuto:
      return "Mapped Parameters Auto";
    case FieldTarget::kMapped:
      return kMappedParameterRows.at(field.index).caption;
    case FieldTarget::kUserScale:
      return "User-defined scale";
    case FieldTarget::kFade:
      return "Fade";
  }
  return "field";
}

namespace {

FieldValue FieldValueOf(const ProgramState& state, const FileField& field) {
  const PanelModel& panel = state.panel;
  FieldValue value;
  if (field.target == FieldTarget::kVersion) {
    value.text = state.file_format_version;
  } else if (field.target == FieldTarget::kUserScale) {
    value.text = state.engine.user_scale;
  } else if (field.target == FieldTarget::kChannel) {
    value.number = state.channel_map.at(field.index);
  } else if (auto box = BoxOf(field)) {
    value.text = panel.Text(*box);
  } else if (auto list = ListOf(field)) {
    value.number = panel.Selection(*list);
  } else if (auto check = CheckOf(field)) {
    value.number = panel.CheckValue(*check);
  }
  return value;
}

}  // namespace

std::vector<FieldValue> FieldValuesOf(const ProgramState& state,
                                      const std::vector<FileField>& layout) {
  std::vector<FieldValue> values;
  values.reserve(layout.size());
  for (const FileField& field : layout) {
    values.push_back(FieldValueOf(state, field));
  }
  return values;
}

std::optional<std::string> UnsavableFileMessage(
    const std::string& kind, const std::vector<FileField>& layout,
    const std::vector<FieldValue>& values) {
  std::optional<UnstorableField> unstorable =
      FindUnstorableField(layout, values);
  if (!unstorable) return std::nullopt;
  return "The " + kind + " cannot be saved: the text of \"" +
         FieldName(layout.at(unstorable->index)) +
         "\" cannot be stored, because " + unstorable->why + ".";
}

void StoreField(ProgramState& state, const FileField& field,
                const FieldValue& value) {
  PanelModel& panel = state.panel;
  switch (field.target) {
    case FieldTarget::kVersion:
      state.file_format_version = value.text;
      return;
    case FieldTarget::kUserScale:
      state.engine.user_scale = value.text;
      return;
    case FieldTarget::kChannel:
      state.channel_map.at(field.index) = value.number;
      return;
    default:
      break;
  }
  if (auto box = BoxOf(field)) {
    panel.SetText(*box, value.text);
  } else if (auto list = ListOf(field)) {
    if (!panel.Select(*list, value.number)) {
      throw RunTimeError(kErrInvalidPropertyValue);
    }
  } else if (auto check = CheckOf(field)) {
    if (!panel.SetCheck(*check, value.number)) {
      throw RunTimeError(kErrInvalidPropertyValue);
    }
  }
}

void TypeField(ProgramState& state, const FileField& field,
               const FieldValue& value) {
  StoreField(state, field, value);
  const std::optional<BoxId> box = BoxOf(field);
  if (!box || !PanelModel::HasSpinner(*box)) return;
  // A value within the box's range stays as typed; one outside it is
  // brought in as leaving the box does.
  const SpinnerRange range = PanelModel::Range(*box);
  const double typed = NumericValue(state.panel.Text(*box));
  if (typed < range.low || typed > range.high) state.panel.FocusLost(*box);
}

}  // namespace tessavar
