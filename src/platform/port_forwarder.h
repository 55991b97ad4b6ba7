// Sends the events of FluidSynth's MIDI file player to a port of a MIDI
// sequencer instead of the synthesizer: the player keeps the timing, the
// port makes the sound. Used with the player's mutex held.
#ifndef TESSAVAR_PLATFORM_PORT_FORWARDER_H_
#define TESSAVAR_PLATFORM_PORT_FORWARDER_H_

#include <fluidsynth.h>

#include <optional>
#include <string>

#include "model/midi_sequencer.h"

namespace tessavar {

// The channel message of a MIDI file player's event; none for events that
// a port does not take (system exclusive, meta events).
std::optional<MidiMessage> MessageOfEvent(fluid_midi_event_t* event);

class PortForwarder {
 public:
  // The sequencer is not owned and may be null (no ports then).
  explicit PortForwarder(MidiSequencer* sequencer) : sequencer_(sequencer) {}

  // The port to play through; empty = none. A different port disconnects.
  void Choose(const std::string& port);
  const std::string& chosen() const { return chosen_; }
  bool connected() const { return connected_; }

  // Connects to the chosen port unless connected already; when it cannot,
  // the built-in synthesizer plays and *notice says so, once until the port
  // has been there again.
  void ConnectChosen(std::string* notice);

  // Sends one event of the player; after a failed send the port counts as
  // gone and the rest are dropped.
  void Forward(fluid_midi_event_t* event);
  // True once after a send failed; the port is disconnected then.
  bool TakeFailure(std::string* notice);
  // All Notes Off on every channel of the connected port.
  void AllNotesOff();

  bool SequencerPresent() const;
  std::vector<std::string> Ports() const;

 private:
  MidiSequencer* sequencer_;
  std::string chosen_;
  bool connected_ = false;
  bool failed_ = false;
  bool missing_told_ = false;
};

}  // namespace tessavar

#endif  // TESSAVAR_PLATFORM_PORT_FORWARDER_H_
