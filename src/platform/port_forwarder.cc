#include "platform/port_forwarder.h"

#include "midi/midi_bytes.h"

namespace tessavar {
namespace {

constexpr int kPolyPressure = 0xA0;
constexpr int kPitchBend = 0xE0;
constexpr int kPitchBendBits = 7;

uint8_t Data(int value) {
  return static_cast<uint8_t>(value & midi::kSevenBits);
}

}  // namespace

std::optional<MidiMessage> MessageOfEvent(fluid_midi_event_t* event) {
  const int kind = fluid_midi_event_get_type(event);
  const auto status = static_cast<uint8_t>(
      kind | (fluid_midi_event_get_channel(event) & midi::kChannelMask));
  switch (kind) {
    case midi::kNoteOff:
    case midi::kNoteOn:
    case kPolyPressure:
    case midi::kControlChange:
      return MidiMessage{{status, Data(fluid_midi_event_get_key(event)),
                          Data(fluid_midi_event_get_velocity(event))},
                         3};
    case midi::kProgramChange:
    case midi::kChannelPressure:
      return MidiMessage{{status, Data(fluid_midi_event_get_program(event)), 0},
                         2};
    case kPitchBend: {
      const int value = fluid_midi_event_get_pitch(event);
      return MidiMessage{{status, Data(value), Data(value >> kPitchBendBits)},
                         3};
    }
    default:
      return std::nullopt;
  }
}

void PortForwarder::Choose(const std::string& port) {
  if (port == chosen_) return;
  if (connected_) sequencer_->Disconnect();
  connected_ = failed_ = missing_told_ = false;
  chosen_ = port;
}

void PortForwarder::ConnectChosen(std::string* notice) {
  if (chosen_.empty() || connected_) return;
  failed_ = false;
  connected_ = sequencer_ != nullptr && sequencer_->Connect(chosen_);
  if (connected_) {
    missing_told_ = false;
    return;
  }
  if (missing_told_) return;
  missing_told_ = true;
  *notice = "MIDI port " + chosen_ +
            " not found - playing through the built-in synthesizer";
}

void PortForwarder::Forward(fluid_midi_event_t* event) {
  if (!connected_ || failed_) return;
  std::optional<MidiMessage> message = MessageOfEvent(event);
  if (message && !sequencer_->Send(*message)) failed_ = true;
}

bool PortForwarder::TakeFailure(std::string* notice) {
  if (!failed_) return false;
  failed_ = connected_ = false;
  sequencer_->Disconnect();
  *notice = "MIDI port " + chosen_ + " is gone - playback stopped";
  return true;
}

void PortForwarder::AllNotesOff() {
  if (!connected_ || failed_) return;
  for (const MidiMessage& message : AllNotesOffMessages()) {
    if (!sequencer_->Send(message)) {
      failed_ = true;
      return;
    }
  }
}

bool PortForwarder::SequencerPresent() const {
  return sequencer_ != nullptr && sequencer_->Present();
}

std::vector<std::string> PortForwarder::Ports() const {
  if (!SequencerPresent()) return {};
  return sequencer_->PortNames();
}

}  // namespace tessavar
