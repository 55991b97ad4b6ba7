#include "model/midi_sequencer.h"

#include "midi/midi_bytes.h"

namespace tessavar {

std::vector<MidiMessage> AllNotesOffMessages() {
  std::vector<MidiMessage> messages;
  for (int channel = 0; channel < midi::kChannelCount; ++channel) {
    messages.push_back({{static_cast<uint8_t>(midi::kControlChange | channel),
                         static_cast<uint8_t>(midi::kAllNotesOffController), 0},
                        3});
  }
  return messages;
}

}  // namespace tessavar
