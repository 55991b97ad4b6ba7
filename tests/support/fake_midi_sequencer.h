// Test doubles for MIDI output: a sequencer whose ports are a list and
// which records what it is sent, and the playback outputs of the Options
// menu over it.
#ifndef TESSAVAR_TESTS_SUPPORT_FAKE_MIDI_SEQUENCER_H_
#define TESSAVAR_TESTS_SUPPORT_FAKE_MIDI_SEQUENCER_H_

#include <algorithm>
#include <string>
#include <vector>

#include "model/midi_sequencer.h"
#include "model/playback_outputs.h"

namespace tessavar::testing {

class FakeMidiSequencer : public MidiSequencer {
 public:
  bool Present() override { return present; }
  std::vector<std::string> PortNames() override { return ports; }
  bool Connect(const std::string& port) override {
    const bool found =
        std::find(ports.begin(), ports.end(), port) != ports.end();
    connected = found ? port : "";
    return found;
  }
  void Disconnect() override { connected.clear(); }
  // Fails once the connected port is no longer listed.
  bool Send(const MidiMessage& message) override {
    if (std::find(ports.begin(), ports.end(), connected) == ports.end()) {
      return false;
    }
    sent.push_back(message);
    return true;
  }

  bool present = true;
  std::vector<std::string> ports;
  std::string connected;
  std::vector<MidiMessage> sent;
};

class FakePlaybackOutputs : public PlaybackOutputs {
 public:
  bool SequencerPresent() override { return sequencer.Present(); }
  std::vector<std::string> MidiPorts() override {
    return sequencer.PortNames();
  }
  std::vector<std::string> AudioDrivers() override { return drivers; }
  std::string AudioDriverInUse() override { return in_use; }
  void UseMidiPort(const std::string& port) override {
    log.push_back("port " + port);
  }
  void UseAudioDriver(const std::string& driver) override {
    log.push_back("driver " + driver);
  }

  FakeMidiSequencer sequencer;
  std::vector<std::string> drivers;
  std::string in_use;
  std::vector<std::string> log;
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_FAKE_MIDI_SEQUENCER_H_
