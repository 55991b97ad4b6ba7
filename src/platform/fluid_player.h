// The MIDI file player of the program over FluidSynth: a synthesizer with a
// General MIDI SoundFont, FluidSynth's MIDI file player and an audio output.
//
// The public methods are called from the user-interface thread; the audio
// output's thread renders the synthesizer and so runs the MIDI player. One
// mutex guards the synthesizer and the playback state between them.
//
// Lengths and positions come from the file's own ticks and tempo changes
// (MidiTiming), so they are exact from the moment the file is open. The end
// of the file is the tick count, not FluidSynth's "done", which comes only
// after the last notes have died away.
#ifndef TESSAVAR_PLATFORM_FLUID_PLAYER_H_
#define TESSAVAR_PLATFORM_FLUID_PLAYER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/midi_sequencer.h"
#include "model/playback_outputs.h"
#include "model/player.h"

namespace tessavar {

enum class AudioOutput {
  // An audio device driven by FluidSynth's audio driver; when none can be
  // opened, playback runs silently on a clock of its own.
  kDevice,
  // No output: the caller advances playback with RenderOffline (tests).
  kOffline,
};

struct FluidPlayerOptions {
  AudioOutput output = AudioOutput::kDevice;
  // The SoundFont; empty = the system's General MIDI SoundFont.
  std::string soundfont;
  // Audio drivers tried in order; empty = PulseAudio, PipeWire, JACK, ALSA,
  // SDL2, OSS (those FluidSynth was built with).
  std::vector<std::string> audio_drivers;
  // The driver tried before those (empty = none).
  std::string audio_driver;
  // The sequencer whose ports can play instead of the synthesizer (not
  // owned; null = none), and the port chosen (empty = the synthesizer).
  MidiSequencer* sequencer = nullptr;
  std::string midi_output;
};

inline constexpr char kNoAudioDeviceNotice[] =
    "no audio device - playing silently";

// FluidSynth's JACK audio driver starts a JACK server when none runs. A
// program that plays calls this first in main, before any thread starts
// (the environment is not thread-safe), so that no driver starts a server.
void KeepJackServerStopped();

class FluidPlayer : public Player, public PlaybackOutputs {
 public:
  explicit FluidPlayer(FluidPlayerOptions options = {});
  ~FluidPlayer() override;
  FluidPlayer(const FluidPlayer&) = delete;
  FluidPlayer& operator=(const FluidPlayer&) = delete;

  // The SoundFont used from the next Open on (empty = the system's
  // default); one already loaded is replaced then.
  void SetSoundFont(const std::string& path);
  // The SoundFont loaded, or empty before the first Open or when loading
  // failed.
  std::string LoadedSoundFont() const;

  void Close() override;
  void SetFileName(const std::string& path) override;
  std::string FileName() const override;
  // Reads the file into memory (so it can be rewritten while open) and
  // checks it; the first Open also loads the SoundFont and starts the audio
  // output.
  bool Open() override;
  void SetFrom(int64_t milliseconds) override;
  // Plays from the position set with SetFrom, else from where playback
  // stopped or paused.
  void Play() override;
  void Stop() override;
  // Resumes at the position given with SetFrom, if any.
  void Pause() override;
  // Plays a copy of the file with the tracks' notes silenced; while
  // playing, continues at once from the same position.
  void SetSilentTracks(const std::vector<bool>& silent) override;
  void SetLoop(int64_t start_ms, int64_t end_ms) override;
  int Mode() const override;
  int64_t LengthMs() const override;
  int64_t PositionMs() const override;
  int TakeCompletion() override;
  std::string TakeNotice() override;

  // True once no audio device could be opened (playback is silent then).
  bool audio_device_missing() const;

  // Through a MIDI port the synthesizer stays silent and FluidSynth's MIDI
  // file player only keeps the time; stopping ends the port's notes. A port
  // that fails while playing stops playback with a notice. While a JACK
  // server runs, JACK MIDI (kJackMidiPortName) is a port too: the program's
  // own JACK MIDI port, played in JACK's time.
  bool SequencerPresent() override;
  std::vector<std::string> MidiPorts() override;
  // The drivers FluidSynth was built with that open here (none offline);
  // JACK whenever a server runs.
  std::vector<std::string> AudioDrivers() override;
  std::string AudioDriverInUse() override;
  void UseMidiPort(const std::string& port) override;
  void UseAudioDriver(const std::string& driver) override;

  // Offline output only: renders frames on the calling thread and so
  // advances playback; returns the peak absolute sample value. Offline
  // output has no latency; an audio device's is taken off the position
  // shown, and playback ends when its last sound has been heard.
  float RenderOffline(int64_t frames);
  float RenderOfflineMs(int64_t milliseconds);

 private:
  bool JackServerPresent();

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tessavar

#endif  // TESSAVAR_PLATFORM_FLUID_PLAYER_H_
