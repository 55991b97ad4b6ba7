// A MIDI sequencer whose ports can play the music instead of the built-in
// synthesizer. The platform implements it over the system's sequencer;
// tests use a double. Implementations may be called from any thread.
#ifndef TESSAVAR_MODEL_MIDI_SEQUENCER_H_
#define TESSAVAR_MODEL_MIDI_SEQUENCER_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessavar {

// One channel message: status byte and one or two data bytes.
struct MidiMessage {
  std::array<uint8_t, 3> bytes{};
  int size = 0;

  bool operator==(const MidiMessage&) const = default;
};

class MidiSequencer {
 public:
  virtual ~MidiSequencer() = default;

  // False when the machine has no sequencer: no port can exist then.
  virtual bool Present() = 0;
  // The names of the ports that take events, as they are now.
  virtual std::vector<std::string> PortNames() = 0;
  // Sends to the named port from now on; false when there is no such port.
  virtual bool Connect(const std::string& port) = 0;
  virtual void Disconnect() = 0;
  // Sends at once to the connected port; false when it has gone.
  virtual bool Send(const MidiMessage& message) = 0;
};

// The messages that end every sounding note: All Notes Off on each channel.
std::vector<MidiMessage> AllNotesOffMessages();

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_MIDI_SEQUENCER_H_
