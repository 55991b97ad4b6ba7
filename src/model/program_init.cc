#include "model/program_init.h"

namespace tessavar {

void ResetProgramState(ProgramState& state) {
  state.composition_path.clear();
  state.midi_path.clear();

  PanelModel& panel = state.panel;
  for (List list :
       {List::kTonality, List::kSmoothing, List::kMeter, List::kFade}) {
    panel.Select({list}, 0);
  }
  for (int t = 0; t < kTrackCount; ++t) {
    panel.Select({List::kInstrument, t}, 0);
  }
  state.channel_map = DefaultChannelMap();

  state.engine.user_scale = kDefaultUserScale;
  state.composition_info.clear();
  state.engine.ClearScore();

  panel.MarkScoreStale();
  panel.EnablePanel();
}

}  // namespace tessavar
