#include "model/panel_compose.h"

#include "engine/text_number.h"

namespace tessavar {
namespace {

double BoxNumber(const PanelModel& panel, BoxId id) {
  return NumericValue(panel.Text(id));
}

}  // namespace

ComposeRequest ComposeRequestFromPanel(const PanelModel& panel,
                                       const std::string& user_scale) {
  ComposeRequest request;
  request.structure = panel.Text({Box::kStructure});
  request.mapping = BoxNumber(panel, {Box::kMapping});
  request.variation = BoxNumber(panel, {Box::kVariation});
  request.tracks = BoxNumber(panel, {Box::kTracks});
  request.tonality = panel.Selection({List::kTonality});
  request.smoothing = panel.Selection({List::kSmoothing});
  request.meter = panel.Selection({List::kMeter});
  request.fade = panel.Selection({List::kFade});
  request.mapped_auto = panel.IsChecked({Check::kMappedAuto});
  for (int k = 0; k < kMappedParameterCount; ++k) {
    request.mapped.values[k] = BoxNumber(panel, {Box::kMapped, k});
  }
  for (int t = 0; t < kTrackCount; ++t) {
    TrackRow& row = request.track_rows[t];
    row.tie = panel.IsChecked({Check::kTie, t});
    row.volume = BoxNumber(panel, {Box::kVolume, t});
    row.octave_base = BoxNumber(panel, {Box::kOctave, t});
    row.instrument = panel.Selection({List::kInstrument, t});
  }
  request.user_scale = user_scale;
  return request;
}

void WriteMappedBoxValues(PanelModel& panel, const MappedBoxValues& values) {
  for (int k = 0; k < kMappedParameterCount; ++k) {
    panel.SetText({Box::kMapped, k}, NumberToText(values.values[k]));
  }
}

void PanelComposeHook::ComposingStarted() {
  panel_.set_status_text(kComposingStatus);
}

void PanelComposeHook::MappedValuesDrawn(const MappedBoxValues& values) {
  WriteMappedBoxValues(panel_, values);
}

void PanelComposeHook::MappedValuesFixed() {
  panel_.SetMappedSpinnersEnabled(false);
  panel_.set_status_text(kComposingStatus);
}

}  // namespace tessavar
