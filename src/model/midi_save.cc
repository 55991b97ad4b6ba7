#include "model/midi_save.h"

#include "base/file_system.h"
#include "engine/text_number.h"

namespace tessavar {
namespace {

// A pan box as a number: rounded half to even.
int64_t PanNumber(const PanelModel& panel, int track) {
  return CInt(NumericValue(panel.Text({Box::kPan, track})));
}

int64_t TempoNumber(const PanelModel& panel) {
  const double value = NumericValue(panel.Text({Box::kTempo}));
  return value > 0 ? CInt(value) : 0;
}

}  // namespace

MidiFileSettings MidiFileSettingsFromPanel(const PanelModel& panel,
                                           const ChannelMap& channel_map) {
  MidiFileSettings settings;
  settings.tempo = TempoNumber(panel);
  for (int t = 0; t < kTrackCount; ++t) settings.pans[t] = PanNumber(panel, t);
  settings.channel_map = channel_map;
  return settings;
}

RedoSettings RedoSettingsFromState(const ProgramState& state) {
  RedoSettings settings;
  for (int t = 0; t < kTrackCount; ++t) {
    settings.channel[t] = state.channel_map[t];
    settings.instrument[t] = state.panel.Selection({List::kInstrument, t});
    settings.pan[t] = PanNumber(state.panel, t);
  }
  return settings;
}

MidiSaveResult SaveScoreAsMidiFile(const std::string& midi_file,
                                   const EngineState& engine,
                                   const MidiFileSettings& settings,
                                   ErrorReporter& reporter,
                                   ProgressHook& hook) {
  MidiSaveResult result;
  const std::string target = MidiFileTarget(midi_file);
  if (target.empty()) return result;
  const MidiFileBytes file = BuildMidiFile(
      engine.score, engine.track_name, engine.track_instrument, settings, hook);
  result.outcome = file.outcome;
  if (file.outcome == MidiWriteOutcome::kRefused) return result;
  result.status =
      RunWithRetry(reporter, [&] { WriteFileAtomically(target, file.bytes); });
  return result;
}

}  // namespace tessavar
