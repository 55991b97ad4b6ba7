// A Standard MIDI File read back as events, for tests that report where two
// files first differ: per track, each event's time in ticks and its bytes.
#ifndef TESSAVAR_TESTS_SUPPORT_MIDI_EVENTS_H_
#define TESSAVAR_TESTS_SUPPORT_MIDI_EVENTS_H_

#include <string>
#include <string_view>
#include <vector>

namespace tessavar::testing {

struct MidiEvent {
  long ticks = 0;     // from the start of the track
  std::string bytes;  // status (running status made explicit) and data
  friend bool operator==(const MidiEvent&, const MidiEvent&) = default;
};

// The events of every MTrk chunk; reading stops at the first malformed
// chunk or event.
std::vector<std::vector<MidiEvent>> ReadMidiEvents(std::string_view file);

// "" when both files hold the same events, else the first difference:
// track, event index, time in ticks and the two events in hex.
std::string FirstMidiDifference(std::string_view expected,
                                std::string_view actual);

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_MIDI_EVENTS_H_
