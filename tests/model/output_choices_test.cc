#include "model/output_choices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_midi_sequencer.h"

namespace tessavar {
namespace {

using testing::FakePlaybackOutputs;

// "text" with "*" when checked and "-" when disabled, one per item.
std::vector<std::string> Describe(const std::vector<OutputChoice>& items) {
  std::vector<std::string> lines;
  for (const OutputChoice& item : items) {
    lines.push_back(item.text + (item.checked ? "*" : "") +
                    (item.enabled ? "" : "-") + "=" + item.value);
  }
  return lines;
}

TEST(OutputChoicesTest, OutputListsThePortsPresentNow) {
  FakePlaybackOutputs outputs;
  Options options;
  options.midi_output = "Synth B";
  outputs.sequencer.ports = {"Synth A", "Synth B"};
  EXPECT_EQ(Describe(OutputItems(outputs, options)),
            (std::vector<std::string>{"Built-in Synthesizer=",
                                      "Synth A=Synth A", "Synth B*=Synth B"}));

  // A remembered port that is gone: the synthesizer plays and is checked.
  outputs.sequencer.ports = {"Synth A"};
  EXPECT_EQ(
      Describe(OutputItems(outputs, options)),
      (std::vector<std::string>{"Built-in Synthesizer*=", "Synth A=Synth A"}));

  // Without a sequencer there are no ports, whatever it would list.
  outputs.sequencer.present = false;
  EXPECT_EQ(
      Describe(OutputItems(outputs, options)),
      (std::vector<std::string>{"Built-in Synthesizer*=", "No MIDI ports-="}));

  ChooseOutput(options, outputs, "Synth A");
  EXPECT_EQ(options.midi_output, "Synth A");
  EXPECT_EQ(outputs.log, std::vector<std::string>{"port Synth A"});
}

TEST(OutputChoicesTest, AudioOutputListsTheDriversThatWork) {
  FakePlaybackOutputs outputs;
  Options options;
  EXPECT_EQ(Describe(AudioOutputItems(outputs, options)),
            std::vector<std::string>{"No audio output-="});

  outputs.drivers = {"pulseaudio", "alsa", "newdriver"};
  outputs.in_use = "pulseaudio";
  EXPECT_EQ(Describe(AudioOutputItems(outputs, options)),
            (std::vector<std::string>{"PulseAudio*=pulseaudio", "ALSA=alsa",
                                      "newdriver=newdriver"}));

  ChooseAudioOutput(options, outputs, "alsa");
  EXPECT_EQ(options.audio_driver, "alsa");
  EXPECT_EQ(outputs.log, std::vector<std::string>{"driver alsa"});
  // The driver playing is checked: one that did not start is not.
  EXPECT_EQ(Describe(AudioOutputItems(outputs, options))[0],
            "PulseAudio*=pulseaudio");
  outputs.in_use = "";
  EXPECT_EQ(Describe(AudioOutputItems(outputs, options))[1], "ALSA*=alsa");
}

}  // namespace
}  // namespace tessavar
