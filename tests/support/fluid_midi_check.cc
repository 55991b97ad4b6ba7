#include "support/fluid_midi_check.h"

#include <fluidsynth.h>

#include <memory>
#include <vector>

namespace tessavar::testing {
namespace {

constexpr int kBlockFrames = 64;

template <auto Delete>
struct Deleter {
  template <typename T>
  void operator()(T* p) const {
    Delete(p);
  }
};

using Settings =
    std::unique_ptr<fluid_settings_t, Deleter<delete_fluid_settings>>;
using Synth = std::unique_ptr<fluid_synth_t, Deleter<delete_fluid_synth>>;
using MidiPlayer =
    std::unique_ptr<fluid_player_t, Deleter<delete_fluid_player>>;

// Parse errors are the answer we look for, not noise for the test log.
void QuietFluidLog() {
  for (int level :
       {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
    fluid_set_log_function(level, nullptr, nullptr);
  }
}

}  // namespace

FluidMidiLoad LoadWithFluidSynth(const std::string& path) {
  QuietFluidLog();
  Settings settings(new_fluid_settings());
  if (!settings) return {};
  Synth synth(new_fluid_synth(settings.get()));
  if (!synth) return {};
  MidiPlayer player(new_fluid_player(synth.get()));
  if (!player) return {};
  if (fluid_player_add(player.get(), path.c_str()) != FLUID_OK ||
      fluid_player_play(player.get()) != FLUID_OK) {
    return {};
  }
  // The player reads the file on the first rendered block.
  std::vector<short> left(kBlockFrames), right(kBlockFrames);
  fluid_synth_write_s16(synth.get(), kBlockFrames, left.data(), 0, 1,
                        right.data(), 0, 1);
  FluidMidiLoad load;
  load.accepted = fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING;
  load.total_ticks = fluid_player_get_total_ticks(player.get());
  load.midi_tempo = fluid_player_get_midi_tempo(player.get());
  return load;
}

}  // namespace tessavar::testing
