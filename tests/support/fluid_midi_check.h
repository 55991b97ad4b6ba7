// Loads a MIDI file with FluidSynth's MIDI player, an independent reader,
// to check that a file we wrote is a well-formed Standard MIDI File and has
// the length we expect.
#ifndef TESSAVAR_TESTS_SUPPORT_FLUID_MIDI_CHECK_H_
#define TESSAVAR_TESTS_SUPPORT_FLUID_MIDI_CHECK_H_

#include <string>

namespace tessavar::testing {

struct FluidMidiLoad {
  bool accepted = false;  // the player parsed the file and is playing it
  int total_ticks = 0;    // the length of the longest track in ticks
  int midi_tempo = 0;     // microseconds per quarter note at the start
};

// Renders one short block so that the player parses the file.
FluidMidiLoad LoadWithFluidSynth(const std::string& path);

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_FLUID_MIDI_CHECK_H_
