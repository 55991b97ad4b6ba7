#include "files/panel_fields.h"

#include <array>

#include "base/status.h"

namespace tessavar {
namespace {

void AddTrackFields(std::vector<PanelField>& fields, int track) {
  for (FieldTarget target :
       {FieldTarget::kInstrument, FieldTarget::kOctave, FieldTarget::kVolume,
        FieldTarget::kTie, FieldTarget::kPan, FieldTarget::kChannel}) {
    fields.push_back({target, track});
  }
}

std::vector<PanelField> BuildCompositionFields() {
  std::vector<PanelField> fields = {
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

std::vector<PanelField> BuildOrchestrationFields() {
  std::vector<PanelField> fields;
  for (int t = 0; t < kTrackCount; ++t) AddTrackFields(fields, t);
  return fields;
}

// The text box behind a text field, if it is one.
std::optional<BoxId> BoxOf(const PanelField& field) {
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

std::optional<ListId> ListOf(const PanelField& field) {
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

std::optional<CheckId> CheckOf(const PanelField& field) {
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

const std::vector<PanelField>& CompositionFields() {
  static const std::vector<PanelField> fields = BuildCompositionFields();
  return fields;
}

const std::vector<PanelField>& OrchestrationFields() {
  static const std::vector<PanelField> fields = BuildOrchestrationFields();
  return fields;
}

std::string FieldName(const PanelField& field) {
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
      return kMappedCaptions.at(field.index);
    case FieldTarget::kUserScale:
      return "User-defined scale";
    case FieldTarget::kFade:
      return "Fade";
  }
  return "field";
}

std::string WriteField(const ProgramState& state, const PanelField& field) {
  const PanelModel& panel = state.panel;
  if (field.target == FieldTarget::kVersion) {
    return TextLine(state.file_format_version);
  }
  if (field.target == FieldTarget::kUserScale) {
    return QuotedLine(state.engine.user_scale);
  }
  if (field.target == FieldTarget::kChannel) {
    return NumberLine(state.channel_map.at(field.index));
  }
  if (auto box = BoxOf(field)) return TextLine(panel.Text(*box));
  if (auto list = ListOf(field)) return NumberLine(panel.Selection(*list));
  if (auto check = CheckOf(field)) return NumberLine(panel.CheckValue(*check));
  return kLineEnd;
}

std::optional<std::string> FieldWriteProblem(const ProgramState& state,
                                             const PanelField& field) {
  if (field.target == FieldTarget::kVersion) {
    return UnstorableTextProblem(state.file_format_version, false);
  }
  if (field.target == FieldTarget::kUserScale) {
    return UnstorableTextProblem(state.engine.user_scale, true);
  }
  if (auto box = BoxOf(field)) {
    return UnstorableTextProblem(state.panel.Text(*box), false);
  }
  return std::nullopt;
}

void StoreField(ProgramState& state, const PanelField& field,
                const Field& read) {
  PanelModel& panel = state.panel;
  switch (field.target) {
    case FieldTarget::kVersion:
      state.file_format_version = read.text;
      return;
    case FieldTarget::kStructure:
      panel.SetText({Box::kStructure}, read.text);
      return;
    case FieldTarget::kUserScale:
      state.engine.user_scale = read.text;
      return;
    case FieldTarget::kChannel:
      state.channel_map.at(field.index) = FieldAsInt16(read);
      return;
    default:
      break;
  }
  if (auto box = BoxOf(field)) {
    panel.SetText(*box, FieldAsText(read));
  } else if (auto list = ListOf(field)) {
    if (!panel.Select(*list, FieldAsInt16(read))) {
      throw RunTimeError(kErrInvalidPropertyValue);
    }
  } else if (auto check = CheckOf(field)) {
    if (!panel.SetCheck(*check, FieldAsInt16(read))) {
      throw RunTimeError(kErrInvalidPropertyValue);
    }
  }
}

}  // namespace tessavar
