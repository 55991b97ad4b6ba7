#include "platform/fluid_player.h"

#include <fluidsynth.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <atomic>
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
#include "model/output_choices.h"
#include "platform/jack_midi_output.h"
#include "platform/library_log.h"
#include "platform/port_forwarder.h"
#include "platform/soundfont.h"
#include "platform/synth_setup.h"

namespace tessavar {
namespace {

// Frames rendered per step by the silent clock and by offline rendering.
constexpr int kBlockFrames = 512;
// Also the step of a MIDI port's timing: a port gets its events from the
// clock, not in the audio driver's large periods.
constexpr auto kClockInterval = std::chrono::milliseconds(2);
// The synthesizer's own block: the finest step of the MIDI file player.
constexpr int kSynthBlockFrames = 64;

// Finished music wants no low latency but no dropouts, also without
// real-time priority and with a build running: about 190 ms of buffer.
// ALSA and OSS take four periods of 2048 frames (186 ms); the drivers that
// write one period at a time into the server's buffer (PulseAudio,
// PipeWire, SDL2) periods of 4096 (93 ms): one buffered by the server, one
// being written. JACK's period is the server's.
constexpr int kPeriodFrames = 2048;
constexpr int kPeriodCount = 4;
constexpr int kSinglePeriodFrames = 4096;

// Tried in this order when none is configured; FluidSynth's empty default
// name is never tried.
constexpr std::array<const char*, 6> kDriverOrder = {
    "pulseaudio", "pipewire", "jack", "alsa", "sdl2", "oss"};

// An audio output that has not asked for sound for this long while playing
// has lost its server.
constexpr auto kOutputSilenceLimit = std::chrono::seconds(3);

struct AudioDriverDeleter {
  void operator()(fluid_audio_driver_t* driver) const {
    delete_fluid_audio_driver(driver);
  }
};
using AudioDriverPtr =
    std::unique_ptr<fluid_audio_driver_t, AudioDriverDeleter>;

// Writes to a file, not to a device: never an audio output to choose.
constexpr char kFileAudioDriver[] = "file";
constexpr char kJackDriver[] = "jack";

int SilentAudio(void* /*data*/, int /*len*/, int /*nfx*/, float* /*fx*/[],
                int /*nout*/, float* /*out*/[]) {
  return FLUID_OK;
}

bool SinglePeriodDriver(const std::string& name) {
  return name == "pulseaudio" || name == "pipewire" || name == "sdl2";
}

int PeriodFrames(const std::string& name) {
  return SinglePeriodDriver(name) ? kSinglePeriodFrames : kPeriodFrames;
}

// The usual delay between rendering and hearing through a driver: a driver
// renders whole periods, so on average half a period waits besides its
// buffer. Measured with PulseAudio: the position shown matches the sound
// recorded from the sink within 30 ms. A JACK period is the server's and
// short.
int64_t DriverLatencyMs(const std::string& name) {
  int64_t frames = 0;
  if (SinglePeriodDriver(name)) {
    frames = kSinglePeriodFrames * 3 / 2;
  } else if (name != kJackDriver) {
    frames = int64_t{kPeriodFrames} * kPeriodCount - kPeriodFrames / 2;
  }
  return frames * 1000 / kSynthSampleRate;
}

void SetPlaybackDriver(fluid_settings_t* settings, const std::string& name) {
  if (!name.empty()) {
    fluid_settings_setstr(settings, "audio.driver", name.c_str());
  }
  fluid_settings_setint(settings, "audio.period-size", PeriodFrames(name));
  fluid_settings_setint(settings, "audio.periods", kPeriodCount);
}

// The synthesizer's settings with the audio driver's name and buffer.
FluidSettingsPtr NewPlaybackSettings(const std::string& driver = {}) {
  FluidSettingsPtr settings = NewSynthSettings();
  if (!settings) return settings;
  SetPlaybackDriver(settings.get(), driver);
  return settings;
}

// True when the driver opens here; the probe plays nothing.
bool AudioDriverOpens(const std::string& name) {
  FluidSettingsPtr settings = NewPlaybackSettings(name);
  if (!settings) return false;
  AudioDriverPtr driver(
      new_fluid_audio_driver2(settings.get(), SilentAudio, nullptr));
  return driver != nullptr;
}

void AddDriverName(void* data, const char* /*setting*/, const char* option) {
  static_cast<std::vector<std::string>*>(data)->push_back(option);
}

// The drivers FluidSynth was built with, except the file writer.
std::vector<std::string> BuiltDrivers() {
  std::vector<std::string> known;
  FluidSettingsPtr settings = NewSynthSettings();
  if (settings) {
    fluid_settings_foreach_option(settings.get(), "audio.driver", &known,
                                  AddDriverName);
  }
  std::erase(known, kFileAudioDriver);
  return known;
}

using SteadyClock = std::chrono::steady_clock;

}  // namespace

void KeepJackServerStopped() { setenv("JACK_NO_START_SERVER", "1", 0); }

struct FluidPlayer::Impl {
  explicit Impl(FluidPlayerOptions opts)
      : options(std::move(opts)), forwarder(options.sequencer) {}

  // --- Called with the mutex held ------------------------------------------
  bool EnsureSynth();
  // The heard position while playing: the rendered one less the latency.
  int64_t HeardMs() const;
  // JACK MIDI plays and keeps the time.
  bool JackActive() const { return jack.is_open() && !jack.Gone(); }
  // A MIDI port hears the events as they are rendered, not through the
  // audio driver's buffer.
  int64_t HeardLatencyMs() const {
    return port_clock || JackActive() ? 0 : latency_ms;
  }
  // A JACK server or audio server that went away stops playback.
  void StopForLostOutput(const std::string& notice);
  void CheckOutputs();
  void CloseJack() {
    jack_clock = false;
    jack.Close();
  }
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
  void StartClock();
  void ClockLoop();
  float RenderBlocks(int64_t frames);
  static int AudioCallback(void* data, int len, int nfx, float* fx[], int nout,
                           float* out[]);
  void JackTick(int frames, int sample_rate, int64_t skipped);

  const FluidPlayerOptions options;
  LibraryLog log;

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
  std::atomic<bool> audio_missing{false};
  bool output_lost = false;  // restarts at the next play
  int64_t latency_ms = 0;
  int64_t tail_frames = 0;  // rendered after the last tick, while heard
  std::atomic<SteadyClock::rep> last_callback{0};
  bool jack_chosen = false;
  int64_t jack_remainder = 0;  // JACK frames not yet rendered as synth frames
  std::atomic<int64_t> jack_missed_frames{0};
  // Whether JACK keeps the time, for the audio thread to ask without the
  // mutex.
  std::atomic<bool> jack_clock{false};
  // Whether a sequencer port plays, so that the fine clock keeps the time.
  std::atomic<bool> port_clock{false};
  JackMidiOutput jack;
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
  if (!settings) settings = NewPlaybackSettings();
  if (settings) synth.reset(new_fluid_synth(settings.get()));
  return synth != nullptr;
}

void FluidPlayer::Impl::EnsureSoundFont() {
  std::string path = ResolveSoundFont(soundfont_wanted);
  if (path == soundfont_tried) return;  // loaded, or failed and unchanged
  soundfont_tried = path;
  Result<int> loaded = LoadSoundFont(synth.get(), path);
  if (!loaded.ok()) {
    std::string notice = loaded.status().detail() + ": " + path;
    const std::string fallback = SystemDefaultSoundFont();
    if (!soundfont_loaded.empty()) {
      // A SoundFont loaded before stays in use.
      notices.push_back(notice + " - playing with " + soundfont_loaded);
      return;
    }
    if (soundfont_wanted.empty() || fallback == path) {
      notices.push_back(notice);
      return;
    }
    loaded = LoadSoundFont(synth.get(), fallback);
    if (!loaded.ok()) {
      notices.push_back(notice);
      return;
    }
    notices.push_back(notice + " - playing with " + fallback);
    path = fallback;
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
  } else if (CurrentTick() >= timing->total_ticks() &&
             (tail_frames += frames) * 1000 / kSynthSampleRate >=
                 HeardLatencyMs()) {
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

int64_t FluidPlayer::Impl::HeardMs() const {
  if (mode != kPlayerModePlaying || !midi) return stopped_ms;
  const int64_t rendered =
      CurrentMs() + tail_frames * 1000 / kSynthSampleRate - HeardLatencyMs();
  return std::clamp(rendered, start_ms, timing->LengthMs());
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
  tail_frames = 0;
  last_callback = SteadyClock::now().time_since_epoch().count();
  if (!midi || fluid_player_add_mem(midi.get(), bytes.data(), bytes.size()) !=
                   FLUID_OK) {
    midi.reset();
    mode = kPlayerModeStopped;
    completions.push_back(kNotifyFailure);
    return;
  }
  if (forwarder.connected() || JackActive()) {
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
  if (JackActive()) {
    for (const MidiMessage& message : AllNotesOffMessages()) {
      jack.Write(message);
    }
  }
}

void FluidPlayer::Impl::ConnectPort() {
  if (jack_chosen) {
    if (JackActive()) return;
    jack_remainder = 0;
    if (jack.Open([this](int frames, int rate, int64_t skipped) {
          JackTick(frames, rate, skipped);
        })) {
      jack_clock = true;
      return;
    }
    CloseJack();
    notices.push_back(std::string(kJackMidiPortName) +
                      " has no JACK server - playing through the built-in "
                      "synthesizer");
    return;
  }
  std::string notice;
  forwarder.ConnectChosen(&notice);
  port_clock = forwarder.connected();
  if (!notice.empty()) notices.push_back(notice);
}

bool FluidPlayer::Impl::StopForFailedPort() {
  std::string notice;
  if (!forwarder.TakeFailure(&notice)) return false;
  port_clock = false;
  stopped_ms = CurrentMs();
  StopMidi();
  mode = kPlayerModeStopped;
  completions.push_back(kNotifyFailure);
  notices.push_back(notice);
  return true;
}

// Runs inside the synthesizer's rendering, with the mutex held.
int FluidPlayer::Impl::PlaybackCallback(void* data, fluid_midi_event_t* event) {
  auto* impl = static_cast<Impl*>(data);
  if (!impl->JackActive()) {
    impl->forwarder.Forward(event);
  } else if (std::optional<MidiMessage> message = MessageOfEvent(event)) {
    impl->jack.Write(*message);
  }
  return FLUID_OK;
}

void FluidPlayer::Impl::StopForLostOutput(const std::string& notice) {
  if (mode == kPlayerModePlaying) {
    stopped_ms = HeardMs();
    completions.push_back(kNotifyFailure);
    mode = kPlayerModeStopped;
  }
  StopMidi();
  notices.push_back(notice);
}

void FluidPlayer::Impl::CheckOutputs() {
  if (jack.is_open() && jack.Gone()) {
    CloseJack();
    StopForLostOutput("the JACK server is gone - playback stopped");
    return;
  }
  if (!driver || output_lost || JackActive() || mode != kPlayerModePlaying) {
    return;
  }
  const SteadyClock::time_point last{
      SteadyClock::duration{last_callback.load()}};
  if (SteadyClock::now() - last < kOutputSilenceLimit) return;
  output_lost = true;
  std::string notice = "audio output " + AudioDriverText(driver_in_use) +
                       " stopped - playback stopped";
  const std::string error = log.TakeLastError();
  if (!error.empty()) notice += " (" + error + ")";
  StopForLostOutput(notice);
}

std::vector<std::string> FluidPlayer::Impl::DriverOrder() {
  std::vector<std::string> drivers = options.audio_drivers;
  if (drivers.empty()) {
    const std::vector<std::string> built = BuiltDrivers();
    for (const char* name : kDriverOrder) {
      if (std::find(built.begin(), built.end(), name) != built.end()) {
        drivers.push_back(name);
      }
    }
  }
  if (!preferred_driver.empty())
    drivers.insert(drivers.begin(), preferred_driver);
  std::vector<std::string> order;
  for (const std::string& name : drivers) {
    if (!name.empty() &&
        std::find(order.begin(), order.end(), name) == order.end()) {
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
    SetPlaybackDriver(settings.get(), name);
    driver.reset(new_fluid_audio_driver2(settings.get(), AudioCallback, this));
    if (!driver) continue;
    std::lock_guard lock(mutex);
    driver_in_use = name;
    latency_ms = DriverLatencyMs(name);
    output_lost = false;
    log.TakeLastError();  // the drivers that did not open
    if (!preferred.empty() && name != preferred) {
      notices.push_back("audio output " + preferred +
                        " does not start - playing through " + name);
    }
    StartClock();
    return;
  }
  {
    std::lock_guard lock(mutex);
    audio_missing = true;
    latency_ms = 0;
    log.TakeLastError();
    notices.push_back(kNoAudioDeviceNotice);
  }
  StartClock();
}

void FluidPlayer::Impl::StartClock() {
  if (!clock.joinable()) clock = std::thread([this] { ClockLoop(); });
}

// Stops the audio driver and the clock; nothing renders afterwards.
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
  impl->last_callback = SteadyClock::now().time_since_epoch().count();
  if (impl->jack_clock || impl->port_clock) return FLUID_OK;
  // Never wait in the audio thread: a busy player gives a block of silence.
  std::unique_lock lock(impl->mutex, std::try_to_lock);
  if (!lock.owns_lock() || nout < 2 || impl->JackActive()) return FLUID_OK;
  impl->RenderLocked(len, out[0], out[1]);
  return FLUID_OK;
}

// Renders JACK's period in the synthesizer's own blocks, so that each event
// goes out at its frame (within a block, 1.5 ms), one period later. So a
// period that finds the player busy, or that JACK went through without this
// client, is rendered with the next one and its events keep their frames;
// events further back go out at once: late, but the time does not slip.
void FluidPlayer::Impl::JackTick(int frames, int sample_rate, int64_t skipped) {
  const int64_t missed = jack_missed_frames.exchange(0) + skipped;
  std::unique_lock lock(mutex, std::try_to_lock);
  if (!lock.owns_lock()) {
    jack_missed_frames += frames + missed;
    return;
  }
  if (!JackActive() || !synth || sample_rate <= 0) return;
  const int64_t scaled =
      (frames + missed) * int64_t{kSynthSampleRate} + jack_remainder;
  int64_t due = scaled / sample_rate;
  jack_remainder = scaled % sample_rate;
  std::array<float, kSynthBlockFrames> scratch_left{}, scratch_right{};
  for (int64_t done = 0; done < due; done += kSynthBlockFrames) {
    const int n =
        static_cast<int>(std::min<int64_t>(kSynthBlockFrames, due - done));
    jack.SetFrame(static_cast<int>(std::max<int64_t>(
        done * sample_rate / kSynthSampleRate - missed + frames, 0)));
    scratch_left.fill(0.0f);
    scratch_right.fill(0.0f);
    RenderLocked(n, scratch_left.data(), scratch_right.data());
  }
}

// Without an audio device, renders into nothing at the pace of the wall
// clock, so that positions, the end of the file and its notification behave
// as with sound; likewise while a sequencer port plays, in fine steps.
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
    // The audio output's or JACK's time: the player's mutex stays free.
    if (jack_clock || !(audio_missing || port_clock)) continue;
    {
      std::lock_guard lock(mutex);
      if (!midi || JackActive()) continue;  // nothing to hear
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
  impl_->jack_chosen = impl_->options.midi_output == kJackMidiPortName;
  if (!impl_->jack_chosen) impl_->forwarder.Choose(impl_->options.midi_output);
}

FluidPlayer::~FluidPlayer() {
  // Stop the output threads first: nothing may render while the MIDI
  // player and the synthesizer go.
  impl_->StopOutput();
  impl_->CloseJack();
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
  bool restart = false;
  {
    std::lock_guard lock(impl_->mutex);
    restart = impl_->output_lost;
  }
  // An audio server that went away may be back.
  if (restart) {
    impl_->StopOutput();
    impl_->StartOutput();
  }
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
    p.stopped_ms = p.HeardMs();
    p.completions.push_back(kNotifyAborted);
  }
  p.StopMidi();
  if (p.mode != kPlayerModeNotOpen) p.mode = kPlayerModeStopped;
}

void FluidPlayer::Pause() {
  std::lock_guard lock(impl_->mutex);
  Impl& p = *impl_;
  if (p.mode == kPlayerModePlaying) {
    p.stopped_ms = p.HeardMs();
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
  return impl_->HeardMs();
}

int FluidPlayer::TakeCompletion() {
  std::lock_guard lock(impl_->mutex);
  impl_->CheckOutputs();
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
  return impl_->forwarder.SequencerPresent() || JackServerPresent();
}

// JACK MIDI first, when a server runs, then the sequencer's ports.
std::vector<std::string> FluidPlayer::MidiPorts() {
  std::vector<std::string> ports = impl_->forwarder.Ports();
  if (JackServerPresent()) ports.insert(ports.begin(), kJackMidiPortName);
  return ports;
}

bool FluidPlayer::JackServerPresent() {
  if (impl_->options.output == AudioOutput::kOffline) return false;
  {
    std::lock_guard lock(impl_->mutex);
    if (impl_->JackActive()) return true;
  }
  return JackMidiOutput::ServerRunning();
}

std::vector<std::string> FluidPlayer::AudioDrivers() {
  Impl& p = *impl_;
  if (p.options.output == AudioOutput::kOffline) return {};
  const std::string in_use = AudioDriverInUse();
  const std::vector<std::string> built = BuiltDrivers();
  if (!p.working_drivers) {
    // Probed once; a JACK server comes and goes, it is asked each time.
    p.working_drivers.emplace();
    for (const std::string& name : built) {
      if (name == kJackDriver || name == in_use || AudioDriverOpens(name)) {
        p.working_drivers->push_back(name);
      }
    }
  }
  std::vector<std::string> drivers = *p.working_drivers;
  if (in_use != kJackDriver && !JackMidiOutput::ServerRunning()) {
    std::erase(drivers, kJackDriver);
  }
  return drivers;
}

std::string FluidPlayer::AudioDriverInUse() {
  std::lock_guard lock(impl_->mutex);
  return impl_->driver_in_use;
}

void FluidPlayer::UseMidiPort(const std::string& port) {
  std::lock_guard lock(impl_->mutex);
  Impl& p = *impl_;
  const bool jack = port == kJackMidiPortName;
  if (jack ? p.jack_chosen : !p.jack_chosen && port == p.forwarder.chosen()) {
    return;
  }
  const bool playing = p.mode == kPlayerModePlaying && p.midi;
  const int64_t position = p.HeardMs();
  p.StopMidi();  // the old output's notes end
  p.jack_chosen = jack;
  if (!jack) p.CloseJack();
  p.forwarder.Choose(jack ? std::string() : port);
  p.port_clock = false;
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
