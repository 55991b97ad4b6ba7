#include "platform/fluid_player.h"

#include <fluidsynth.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "base/file_system.h"
#include "base/status.h"
#include "midi/midi_reader.h"
#include "midi/midi_timing.h"
#include "platform/port_forwarder.h"
#include "platform/soundfont.h"
#include "platform/synth_setup.h"

namespace tessavar {
namespace {

// Frames rendered per step by the silent clock and by offline rendering.
constexpr int kBlockFrames = 512;
constexpr auto kClockInterval = std::chrono::milliseconds(10);

struct AudioDriverDeleter {
  void operator()(fluid_audio_driver_t* driver) const {
    delete_fluid_audio_driver(driver);
  }
};
using AudioDriverPtr =
    std::unique_ptr<fluid_audio_driver_t, AudioDriverDeleter>;

// Writes to a file, not to a device: never an audio output to choose.
constexpr char kFileAudioDriver[] = "file";

int SilentAudio(void* /*data*/, int /*len*/, int /*nfx*/, float* /*fx*/[],
                int /*nout*/, float* /*out*/[]) {
  return FLUID_OK;
}

// True when the driver opens here; the probe plays nothing.
bool AudioDriverOpens(const std::string& name) {
  FluidSettingsPtr settings = NewSynthSettings();
  if (!settings) return false;
  fluid_settings_setstr(settings.get(), "audio.driver", name.c_str());
  AudioDriverPtr driver(
      new_fluid_audio_driver2(settings.get(), SilentAudio, nullptr));
  return driver != nullptr;
}

void AddDriverName(void* data, const char* /*setting*/, const char* option) {
  static_cast<std::vector<std::string>*>(data)->push_back(option);
}

}  // namespace

struct FluidPlayer::Impl {
  explicit Impl(FluidPlayerOptions opts)
      : options(std::move(opts)), forwarder(options.sequencer) {}

  // --- Called with the mutex held ------------------------------------------
  bool EnsureSynth();
  void EnsureSoundFont();
  void RenderLocked(int frames, float* left, float* right);
  int64_t CurrentTick() const;
  int64_t CurrentMs() const;
  void StartAt(int64_t milliseconds);
  void StopMidi();
  // The bytes played from the file read, with the silent tracks' notes
  // silenced.
  void UpdatePlayedBytes();
  bool LoopActive() const { return loop_end_ms > loop_start_ms; }
  // Before a play the user started: connects the chosen MIDI port.
  void ConnectPort();
  // A port that failed while rendering: playback stops with a notice.
  bool StopForFailedPort();
  static int PlaybackCallback(void* data, fluid_midi_event_t* event);
  // The preferred driver, then the configured ones, each once.
  std::vector<std::string> DriverOrder();

  // --- Called without the mutex ---------------------------------------------
  void StartOutput();
  void StopOutput();
  void ClockLoop();
  float RenderBlocks(int64_t frames);
  static int AudioCallback(void* data, int len, int nfx, float* fx[], int nout,
                           float* out[]);

  const FluidPlayerOptions options;

  mutable std::mutex mutex;
  FluidSettingsPtr settings;
  FluidSynthPtr synth;
  FluidMidiPlayerPtr midi;  // exists while playing
  int soundfont_id = -1;
  std::string soundfont_wanted;  // as chosen; empty = system default
  std::string soundfont_tried;   // resolved path of the last load attempt
  std::string soundfont_loaded;

  std::string file_name;
  std::string file_bytes;  // the open file
  std::string bytes;       // what plays: the file, some tracks silenced
  std::vector<bool> silent_tracks;
  int64_t loop_start_ms = 0;
  int64_t loop_end_ms = 0;
  std::optional<MidiTiming> timing;
  int mode = kPlayerModeNotOpen;
  std::optional<int64_t> from_ms;
  int64_t start_ms = 0;    // where the current play began
  int64_t start_tick = 0;  // the same as a tick
  int64_t stopped_ms = 0;  // the position while not playing
  std::deque<int> completions;
  std::deque<std::string> notices;
  bool audio_missing = false;
  std::vector<float> left, right;  // scratch for the clock and offline
  PortForwarder forwarder;
  std::string preferred_driver;
  std::string driver_in_use;
  std::optional<std::vector<std::string>> working_drivers;  // probed once

  // The audio output, started at the first Open.
  bool output_started = false;
  AudioDriverPtr driver;
  std::thread clock;
  std::mutex clock_mutex;
  std::condition_variable clock_wake;
  bool clock_quit = false;
};

bool FluidPlayer::Impl::EnsureSynth() {
  if (synth) return true;
  if (!settings) settings = NewSynthSettings();
  if (settings) synth.reset(new_fluid_synth(settings.get()));
  return synth != nullptr;
}

void FluidPlayer::Impl::EnsureSoundFont() {
  std::string path = ResolveSoundFont(soundfont_wanted);
  if (path == soundfont_tried) return;  // loaded, or failed and unchanged
  soundfont_tried = path;
  const Result<int> loaded = LoadSoundFont(synth.get(), path);
  if (!loaded.ok()) {
    // A SoundFont loaded before stays in use.
    notices.push_back(loaded.status().detail() + ": " + path);
    return;
  }
  if (soundfont_id >= 0) fluid_synth_sfunload(synth.get(), soundfont_id, 1);
  soundfont_id = loaded.value();
  soundfont_loaded = path;
}

void FluidPlayer::Impl::RenderLocked(int frames, float* out_left,
                                     float* out_right) {
  if (!synth) return;
  RenderFrames(synth.get(), frames, out_left, out_right);
  if (mode != kPlayerModePlaying || !midi) return;
  if (StopForFailedPort()) return;
  if (LoopActive() && CurrentMs() >= loop_end_ms) {
    StartAt(loop_start_ms);
  } else if (CurrentTick() >= timing->total_ticks()) {
    stopped_ms = timing->LengthMs();
    StopMidi();
    mode = kPlayerModeStopped;
    completions.push_back(kNotifySuccessful);
  } else if (fluid_player_get_status(midi.get()) == FLUID_PLAYER_DONE) {
    // FluidSynth gave up on a file that the timing reader accepted.
    stopped_ms = CurrentMs();
    StopMidi();
    mode = kPlayerModeStopped;
    completions.push_back(kNotifyFailure);
  }
}

// Only while playing.
int64_t FluidPlayer::Impl::CurrentTick() const {
  // Until FluidSynth has run its first block after a seek, it still shows
  // tick 0; playback never goes back behind its start.
  int64_t tick =
      std::max<int64_t>(start_tick, fluid_player_get_current_tick(midi.get()));
  return std::min(tick, timing->total_ticks());
}

int64_t FluidPlayer::Impl::CurrentMs() const {
  if (mode != kPlayerModePlaying || !midi) return stopped_ms;
  // The start is a whole millisecond, its tick may lie a little before it.
  return std::max(start_ms, timing->TicksToMs(CurrentTick()));
}

void FluidPlayer::Impl::StartAt(int64_t milliseconds) {
  StopMidi();
  // Programs and controllers of an earlier play must not leak into this one.
  fluid_synth_system_reset(synth.get());
  midi.reset(new_fluid_player(synth.get()));
  start_ms = std::clamp<int64_t>(milliseconds, 0, timing->LengthMs());
  start_tick = timing->MsToTicks(start_ms);
  stopped_ms = start_ms;
  if (!midi || fluid_player_add_mem(midi.get(), bytes.data(), bytes.size()) !=
                   FLUID_OK) {
    midi.reset();
    mode = kPlayerModeStopped;
    completions.push_back(kNotifyFailure);
    return;
  }
  if (forwarder.connected()) {
    fluid_player_set_playback_callback(midi.get(), PlaybackCallback, this);
  }
  if (start_tick > 0) fluid_player_seek(midi.get(), start_tick);
  fluid_player_play(midi.get());
  mode = kPlayerModePlaying;
}

void FluidPlayer::Impl::UpdatePlayedBytes() {
  bytes = SilenceTracks(file_bytes, silent_tracks);
}

void FluidPlayer::Impl::StopMidi() {
  if (!midi) return;
  midi.reset();
  // Deleting the MIDI player leaves its notes on; let them die away.
  fluid_synth_all_notes_off(synth.get(), -1);
  forwarder.AllNotesOff();
}

void FluidPlayer::Impl::ConnectPort() {
  std::string notice;
  forwarder.ConnectChosen(&notice);
  if (!notice.empty()) notices.push_back(notice);
}

bool FluidPlayer::Impl::StopForFailedPort() {
  std::string notice;
  if (!forwarder.TakeFailure(&notice)) return false;
  stopped_ms = CurrentMs();
  StopMidi();
  mode = kPlayerModeStopped;
  completions.push_back(kNotifyFailure);
  notices.push_back(notice);
  return true;
}

// Runs inside the synthesizer's rendering, with the mutex held.
int FluidPlayer::Impl::PlaybackCallback(void* data, fluid_midi_event_t* event) {
  static_cast<Impl*>(data)->forwarder.Forward(event);
  return FLUID_OK;
}

std::vector<std::string> FluidPlayer::Impl::DriverOrder() {
  std::vector<std::string> drivers = options.audio_drivers;
  if (drivers.empty()) {
    // FluidSynth's own default: the setting itself names the last driver
    // tried.
    char* standard = nullptr;
    if (fluid_settings_getstr_default(settings.get(), "audio.driver",
                                      &standard) == FLUID_OK &&
        standard != nullptr) {
      drivers.push_back(standard);
    }
    drivers.push_back("pulseaudio");
  }
  if (!preferred_driver.empty())
    drivers.insert(drivers.begin(), preferred_driver);
  std::vector<std::string> order;
  for (const std::string& name : drivers) {
    if (std::find(order.begin(), order.end(), name) == order.end()) {
      order.push_back(name);
    }
  }
  return order;
}

void FluidPlayer::Impl::StartOutput() {
  output_started = true;
  if (options.output == AudioOutput::kOffline) return;
  std::string preferred;
  std::vector<std::string> drivers;
  {
    std::lock_guard lock(mutex);
    preferred = preferred_driver;
    drivers = DriverOrder();
  }
  for (const std::string& name : drivers) {
    fluid_settings_setstr(settings.get(), "audio.driver", name.c_str());
    driver.reset(new_fluid_audio_driver2(settings.get(), AudioCallback, this));
    if (!driver) continue;
    std::lock_guard lock(mutex);
    driver_in_use = name;
    if (!preferred.empty() && name != preferred) {
      notices.push_back("audio output " + preferred +
                        " does not start - playing through " + name);
    }
    return;
  }
  {
    std::lock_guard lock(mutex);
    audio_missing = true;
    notices.push_back(kNoAudioDeviceNotice);
  }
  clock = std::thread([this] { ClockLoop(); });
}

// Stops the audio driver or the silent clock; nothing renders afterwards.
void FluidPlayer::Impl::StopOutput() {
  driver.reset();
  if (clock.joinable()) {
    {
      std::lock_guard lock(clock_mutex);
      clock_quit = true;
    }
    clock_wake.notify_all();
    clock.join();
    clock_quit = false;
  }
  std::lock_guard lock(mutex);
  driver_in_use.clear();
  audio_missing = false;
}

int FluidPlayer::Impl::AudioCallback(void* data, int len, int /*nfx*/,
                                     float* /*fx*/[], int nout, float* out[]) {
  auto* impl = static_cast<Impl*>(data);
  // Never wait in the audio thread: a busy player gives a block of silence.
  std::unique_lock lock(impl->mutex, std::try_to_lock);
  if (!lock.owns_lock() || nout < 2) return FLUID_OK;
  impl->RenderLocked(len, out[0], out[1]);
  return FLUID_OK;
}

// Without an audio device, renders into nothing at the pace of the wall
// clock, so that positions, the end of the file and its notification behave
// as with sound.
void FluidPlayer::Impl::ClockLoop() {
  using Clock = std::chrono::steady_clock;
  Clock::time_point start = Clock::now();
  int64_t rendered = 0;
  std::unique_lock clock_lock(clock_mutex);
  while (!clock_quit) {
    clock_wake.wait_for(clock_lock, kClockInterval);
    if (clock_quit) break;
    auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
        Clock::now() - start);
    int64_t due = elapsed.count() * kSynthSampleRate / 1000000 - rendered;
    if (due <= 0) continue;
    rendered += due;
    {
      std::lock_guard lock(mutex);
      if (!midi) continue;  // nothing to hear anyway
    }
    RenderBlocks(due);
  }
}

float FluidPlayer::Impl::RenderBlocks(int64_t frames) {
  float peak = 0.0f;
  while (frames > 0) {
    int n = static_cast<int>(std::min<int64_t>(frames, kBlockFrames));
    frames -= n;
    std::lock_guard lock(mutex);
    left.assign(n, 0.0f);
    right.assign(n, 0.0f);
    RenderLocked(n, left.data(), right.data());
    for (int i = 0; i < n; ++i) {
      peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    }
  }
  return peak;
}

FluidPlayer::FluidPlayer(FluidPlayerOptions options)
    : impl_(std::make_unique<Impl>(std::move(options))) {
  impl_->soundfont_wanted = impl_->options.soundfont;
  impl_->preferred_driver = impl_->options.audio_driver;
  impl_->forwarder.Choose(impl_->options.midi_output);
}

FluidPlayer::~FluidPlayer() {
  // Stop the output threads first: nothing may render while the MIDI
  // player and the synthesizer go.
  impl_->StopOutput();
  impl_->StopMidi();
  impl_->synth.reset();
  impl_->settings.reset();
}

void FluidPlayer::SetSoundFont(const std::string& path) {
  std::lock_guard lock(impl_->mutex);
  impl_->soundfont_wanted = path;
}

std::string FluidPlayer::LoadedSoundFont() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->soundfont_loaded;
}

void FluidPlayer::Close() {
  std::lock_guard lock(impl_->mutex);
  if (impl_->mode == kPlayerModePlaying) {
    impl_->completions.push_back(kNotifyAborted);
  }
  impl_->StopMidi();
  impl_->bytes.clear();
  impl_->bytes.shrink_to_fit();
  impl_->file_bytes.clear();
  impl_->file_bytes.shrink_to_fit();
  impl_->timing.reset();
  impl_->mode = kPlayerModeNotOpen;
  impl_->from_ms.reset();
  impl_->start_ms = impl_->start_tick = impl_->stopped_ms = 0;
}

void FluidPlayer::SetFileName(const std::string& path) {
  std::lock_guard lock(impl_->mutex);
  impl_->file_name = path;
}

std::string FluidPlayer::FileName() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->file_name;
}

bool FluidPlayer::Open() {
  Close();
  std::string bytes;
  std::optional<MidiTiming> timing;
  try {
    bytes = ReadWholeFile(FileName());
    timing = MidiTiming::Parse(bytes);
  } catch (const RunTimeError&) {
    return false;  // stays closed until the next successful Open
  }
  bool start_output = false;
  {
    std::lock_guard lock(impl_->mutex);
    if (!impl_->EnsureSynth()) return false;
    impl_->EnsureSoundFont();
    impl_->file_bytes = std::move(bytes);
    impl_->UpdatePlayedBytes();
    impl_->timing = std::move(timing);
    impl_->mode = kPlayerModeStopped;
    impl_->ConnectPort();
    start_output = !impl_->output_started;
  }
  if (start_output) impl_->StartOutput();
  return true;
}

void FluidPlayer::SetFrom(int64_t milliseconds) {
  std::lock_guard lock(impl_->mutex);
  impl_->from_ms = std::max<int64_t>(milliseconds, 0);
  // While not playing the position is where the next play starts.
  if (impl_->mode != kPlayerModePlaying) impl_->stopped_ms = *impl_->from_ms;
}

void FluidPlayer::Play() {
  std::lock_guard lock(impl_->mutex);
  Impl& p = *impl_;
  if (p.mode == kPlayerModeNotOpen) return;
  if (p.mode == kPlayerModePlaying) p.completions.push_back(kNotifySuperseded);
  int64_t start = p.from_ms ? *p.from_ms : p.CurrentMs();
  p.from_ms.reset();
  p.ConnectPort();
  p.StartAt(start);
}

void FluidPlayer::Stop() {
  std::lock_guard lock(impl_->mutex);
  Impl& p = *impl_;
  if (p.mode == kPlayerModePlaying) {
    p.stopped_ms = p.CurrentMs();
    p.completions.push_back(kNotifyAborted);
  }
  p.StopMidi();
  if (p.mode != kPlayerModeNotOpen) p.mode = kPlayerModeStopped;
}

void FluidPlayer::Pause() {
  std::lock_guard lock(impl_->mutex);
  Impl& p = *impl_;
  if (p.mode == kPlayerModePlaying) {
    p.stopped_ms = p.CurrentMs();
    p.StopMidi();
    p.mode = kPlayerModePaused;
  } else if (p.mode == kPlayerModePaused) {
    p.ConnectPort();
    p.StartAt(p.from_ms ? *p.from_ms : p.stopped_ms);
    p.from_ms.reset();
  }
}

void FluidPlayer::SetSilentTracks(const std::vector<bool>& silent) {
  std::lock_guard lock(impl_->mutex);
  Impl& p = *impl_;
  if (p.silent_tracks == silent) return;
  p.silent_tracks = silent;
  if (p.mode == kPlayerModeNotOpen) return;
  p.UpdatePlayedBytes();
  if (p.mode == kPlayerModePlaying) p.StartAt(p.CurrentMs());
}

void FluidPlayer::SetLoop(int64_t start_ms, int64_t end_ms) {
  std::lock_guard lock(impl_->mutex);
  impl_->loop_start_ms = std::max<int64_t>(start_ms, 0);
  impl_->loop_end_ms = end_ms;
}

int FluidPlayer::Mode() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->mode;
}

int64_t FluidPlayer::LengthMs() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->timing ? impl_->timing->LengthMs() : 0;
}

int64_t FluidPlayer::PositionMs() const {
  std::lock_guard lock(impl_->mutex);
  if (!impl_->timing) return 0;
  return impl_->CurrentMs();
}

int FluidPlayer::TakeCompletion() {
  std::lock_guard lock(impl_->mutex);
  if (impl_->completions.empty()) return 0;
  int code = impl_->completions.front();
  impl_->completions.pop_front();
  return code;
}

std::string FluidPlayer::TakeNotice() {
  std::lock_guard lock(impl_->mutex);
  if (impl_->notices.empty()) return {};
  std::string notice = std::move(impl_->notices.front());
  impl_->notices.pop_front();
  return notice;
}

bool FluidPlayer::audio_device_missing() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->audio_missing;
}

// The sequencer guards itself: asking it never holds up the audio thread.
bool FluidPlayer::SequencerPresent() {
  return impl_->forwarder.SequencerPresent();
}

std::vector<std::string> FluidPlayer::MidiPorts() {
  return impl_->forwarder.Ports();
}

std::vector<std::string> FluidPlayer::AudioDrivers() {
  Impl& p = *impl_;
  if (p.options.output == AudioOutput::kOffline) return {};
  const std::string in_use = AudioDriverInUse();
  if (!p.working_drivers) {
    std::vector<std::string> known;
    FluidSettingsPtr settings = NewSynthSettings();
    if (settings) {
      fluid_settings_foreach_option(settings.get(), "audio.driver", &known,
                                    AddDriverName);
    }
    p.working_drivers.emplace();
    for (const std::string& name : known) {
      if (name != kFileAudioDriver &&
          (name == in_use || AudioDriverOpens(name))) {
        p.working_drivers->push_back(name);
      }
    }
  }
  return *p.working_drivers;
}

std::string FluidPlayer::AudioDriverInUse() {
  std::lock_guard lock(impl_->mutex);
  return impl_->driver_in_use;
}

void FluidPlayer::UseMidiPort(const std::string& port) {
  std::lock_guard lock(impl_->mutex);
  Impl& p = *impl_;
  if (port == p.forwarder.chosen()) return;
  const bool playing = p.mode == kPlayerModePlaying && p.midi;
  const int64_t position = p.CurrentMs();
  p.StopMidi();  // the old output's notes end
  p.forwarder.Choose(port);
  p.ConnectPort();
  if (playing) p.StartAt(position);
}

void FluidPlayer::UseAudioDriver(const std::string& driver) {
  bool restart = false;
  {
    std::lock_guard lock(impl_->mutex);
    if (driver == impl_->preferred_driver) return;
    impl_->preferred_driver = driver;
    restart = impl_->output_started;
  }
  if (!restart) return;
  impl_->StopOutput();
  impl_->StartOutput();
}

float FluidPlayer::RenderOffline(int64_t frames) {
  if (impl_->options.output != AudioOutput::kOffline) return 0.0f;
  return impl_->RenderBlocks(frames);
}

float FluidPlayer::RenderOfflineMs(int64_t milliseconds) {
  return RenderOffline(milliseconds * kSynthSampleRate / 1000);
}

}  // namespace tessavar
