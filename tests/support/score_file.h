// A MIDI file as the writer makes it after a compose, from a small score.
#ifndef TESSAVAR_TESTS_SUPPORT_SCORE_FILE_H_
#define TESSAVAR_TESTS_SUPPORT_SCORE_FILE_H_

#include <string>

#include "engine/engine_state.h"
#include "model/error_reporter.h"
#include "model/midi_save.h"
#include "model/panel_model.h"
#include "model/ui_host.h"

namespace tessavar::testing {

// Writes one note per track, keys from `first_key` up, the tracks named
// "Track 1" on, with the tempo and pans of `panel`; true when written.
inline bool WriteScoreFile(const std::string& path, int tracks, int first_key,
                           const PanelModel& panel,
                           const ChannelMap& channel_map,
                           ErrorReporter& errors) {
  EngineState engine;
  for (int t = 0; t < tracks; ++t) {
    engine.track_name[t] = "Track " + std::to_string(t + 1);
    engine.score.At(t, 0) = {first_key + t, 100, 8};
  }
  UiHost host;
  return SaveScoreAsMidiFile(path, engine,
                             MidiFileSettingsFromPanel(panel, channel_map),
                             errors, host)
      .written();
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_SCORE_FILE_H_
