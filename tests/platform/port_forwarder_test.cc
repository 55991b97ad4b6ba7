#include "platform/port_forwarder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/alsa_sequencer.h"

namespace tessavar {
namespace {

struct EventDeleter {
  void operator()(fluid_midi_event_t* event) const {
    delete_fluid_midi_event(event);
  }
};
using EventPtr = std::unique_ptr<fluid_midi_event_t, EventDeleter>;

EventPtr Event(int type, int channel) {
  EventPtr event(new_fluid_midi_event());
  fluid_midi_event_set_type(event.get(), type);
  fluid_midi_event_set_channel(event.get(), channel);
  return event;
}

TEST(PortForwarderTest, EventsBecomeChannelMessages) {
  EventPtr bend = Event(0xE0, 3);
  fluid_midi_event_set_pitch(bend.get(), 0x2001);  // low 7 bits first
  EXPECT_EQ(MessageOfEvent(bend.get()), (MidiMessage{{0xE3, 0x01, 0x40}, 3}));

  EventPtr program = Event(0xC0, 15);
  fluid_midi_event_set_program(program.get(), 41);
  EXPECT_EQ(MessageOfEvent(program.get()), (MidiMessage{{0xCF, 41, 0}, 2}));

  EventPtr control = Event(0xB0, 0);
  fluid_midi_event_set_control(control.get(), 10);
  fluid_midi_event_set_value(control.get(), 127);
  EXPECT_EQ(MessageOfEvent(control.get()), (MidiMessage{{0xB0, 10, 127}, 3}));

  EXPECT_EQ(MessageOfEvent(Event(0xF0, 0).get()), std::nullopt);
}

TEST(AlsaSequencerTest, WithoutTheDeviceThereAreNoPortsAndNothingFails) {
  if (std::filesystem::exists("/dev/snd/seq")) {
    GTEST_SKIP() << "this machine has a sequencer";
  }
  AlsaSequencer sequencer;
  EXPECT_FALSE(sequencer.Present());
  EXPECT_TRUE(sequencer.PortNames().empty());
  EXPECT_FALSE(sequencer.Connect("Midi Through Port-0"));
  EXPECT_FALSE(sequencer.Send(AllNotesOffMessages().front()));
}

}  // namespace
}  // namespace tessavar
