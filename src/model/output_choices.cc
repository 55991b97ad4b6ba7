#include "model/output_choices.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tessavar {
namespace {

constexpr std::array<std::pair<const char*, const char*>, 6> kDriverTexts = {{
    {"pulseaudio", "PulseAudio"},
    {"pipewire", "PipeWire"},
    {"alsa", "ALSA"},
    {"jack", "JACK"},
    {"sdl2", "SDL2"},
    {"oss", "OSS"},
}};

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::string AudioDriverText(const std::string& driver) {
  for (const auto& [name, text] : kDriverTexts) {
    if (driver == name) return text;
  }
  return driver;
}

std::vector<OutputChoice> OutputItems(PlaybackOutputs& outputs,
                                      const Options& options) {
  std::vector<std::string> ports;
  if (outputs.SequencerPresent()) ports = outputs.MidiPorts();
  const bool port_chosen = Contains(ports, options.midi_output);
  std::vector<OutputChoice> items = {
      {kBuiltInSynthesizerText, "", true, !port_chosen}};
  for (const std::string& port : ports) {
    items.push_back({port, port, true, port == options.midi_output});
  }
  if (ports.empty()) items.push_back({kNoMidiPortsText, "", false, false});
  return items;
}

std::vector<OutputChoice> AudioOutputItems(PlaybackOutputs& outputs,
                                           const Options& options) {
  const std::vector<std::string> drivers = outputs.AudioDrivers();
  if (drivers.empty()) return {{kNoAudioOutputText, "", false, false}};
  const std::string in_use = outputs.AudioDriverInUse();
  const std::string checked = in_use.empty() ? options.audio_driver : in_use;
  std::vector<OutputChoice> items;
  for (const std::string& driver : drivers) {
    items.push_back({AudioDriverText(driver), driver, true, driver == checked});
  }
  return items;
}

void ChooseOutput(Options& options, PlaybackOutputs& outputs,
                  const std::string& port) {
  options.midi_output = port;
  outputs.UseMidiPort(port);
}

void ChooseAudioOutput(Options& options, PlaybackOutputs& outputs,
                       const std::string& driver) {
  options.audio_driver = driver;
  outputs.UseAudioDriver(driver);
}

}  // namespace tessavar
