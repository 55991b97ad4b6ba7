#include "platform/audio_renderer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <vector>

#include "base/atomic_file.h"
#include "base/file_system.h"
#include "base/status.h"
#include "midi/midi_reader.h"
#include "midi/midi_timing.h"
#include "platform/soundfont.h"
#include "platform/synth_setup.h"

namespace tessavar {
namespace {

constexpr int kChannels = 2;
constexpr int kBytesPerSample = 2;
constexpr int kHeaderBytes = 44;
constexpr int kBlockFrames = 512;
constexpr int kBlocksPerProgress = 16;
// Rendering goes on at most this long past the file's length, in case the
// MIDI player never reaches the last tick.
constexpr int64_t kOverrunFrames = 60LL * kSynthSampleRate;

void PutLittleEndian(std::string& bytes, uint32_t value, int count) {
  for (int i = 0; i < count; ++i) {
    bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
}

std::string WavHeader(int64_t frames) {
  uint32_t data_bytes =
      static_cast<uint32_t>(frames * kChannels * kBytesPerSample);
  std::string header = "RIFF";
  PutLittleEndian(header, 36 + data_bytes, 4);
  header += "WAVEfmt ";
  PutLittleEndian(header, 16, 4);  // format chunk size
  PutLittleEndian(header, 1, 2);   // PCM
  PutLittleEndian(header, kChannels, 2);
  PutLittleEndian(header, kSynthSampleRate, 4);
  PutLittleEndian(header, kSynthSampleRate * kChannels * kBytesPerSample, 4);
  PutLittleEndian(header, kChannels * kBytesPerSample, 2);
  PutLittleEndian(header, 8 * kBytesPerSample, 2);
  header += "data";
  PutLittleEndian(header, data_bytes, 4);
  return header;
}

int16_t ToSample(float value) {
  float scaled = std::round(std::clamp(value, -1.0f, 1.0f) * 32767.0f);
  return static_cast<int16_t>(scaled);
}

// Stereo frames a WAV file can hold: its sizes are 32-bit.
constexpr int64_t kMaxWavFrames =
    (std::numeric_limits<uint32_t>::max() - kHeaderBytes) /
    (kChannels * kBytesPerSample);
constexpr int64_t kMicrosecondsPerSecond = 1000000;
constexpr int64_t kSecondsPerMinute = 60;
constexpr int64_t kSecondsPerHour = 3600;

// Frames of a length in microseconds, without overflow for any length a
// MIDI file can give.
int64_t FramesOf(int64_t microseconds) {
  const int64_t seconds = microseconds / kMicrosecondsPerSecond;
  const int64_t rest = microseconds % kMicrosecondsPerSecond;
  if (seconds > std::numeric_limits<int64_t>::max() / kSynthSampleRate) {
    return std::numeric_limits<int64_t>::max();
  }
  return seconds * kSynthSampleRate +
         rest * kSynthSampleRate / kMicrosecondsPerSecond;
}

// "7 h 12 min" (or "12 min 5 s" for less than an hour).
std::string DurationText(int64_t seconds) {
  const int64_t hours = seconds / kSecondsPerHour;
  const int64_t minutes = seconds % kSecondsPerHour / kSecondsPerMinute;
  if (hours > 0) {
    return std::to_string(hours) + " h " + std::to_string(minutes) + " min";
  }
  return std::to_string(minutes) + " min " +
         std::to_string(seconds % kSecondsPerMinute) + " s";
}

// Refuses up front what cannot be rendered: a tempo of 0 and a piece
// longer than a WAV file holds.
void CheckRenderable(const MidiTiming& timing, const std::string& midi_path,
                     int64_t music_frames, int64_t release_frames) {
  if (timing.has_zero_tempo()) {
    throw RunTimeError(Status(kErrInvalidCall, midi_path, 0,
                              ErrorMessage(kErrInvalidCall) +
                                  " (the file sets a tempo of 0, which "
                                  "cannot be played)"));
  }
  if (music_frames > kMaxWavFrames - release_frames) {
    const int64_t seconds =
        timing.LengthMicroseconds() / kMicrosecondsPerSecond;
    throw RunTimeError(Status(
        kErrOverflow, midi_path, 0,
        ErrorMessage(kErrOverflow) + " (the piece lasts " +
            DurationText(seconds) + "; a WAV file holds at most " +
            DurationText(kMaxWavFrames / kSynthSampleRate) + ")"));
  }
}

// The WAV file being written, through an AtomicFile: a cancelled or failed
// render leaves the target as it was and no temporary file.
class WavWriter {
 public:
  WavWriter(const std::string& path, const std::vector<std::string>& inputs)
      : file_(path, inputs) {
    file_.Write(WavHeader(0));
  }

  void Append(const float* left, const float* right, int frames) {
    if (frames_ + frames > kMaxWavFrames) throw RunTimeError(kErrOverflow);
    for (int i = 0; i < frames; ++i) {
      for (float value : {left[i], right[i]}) {
        auto sample = static_cast<uint16_t>(ToSample(value));
        buffer_.push_back(static_cast<char>(sample & 0xFF));
        buffer_.push_back(static_cast<char>(sample >> 8));
      }
    }
    frames_ += frames;
    if (buffer_.size() >= kFlushBytes) Flush();
  }

  int64_t frames() const { return frames_; }

  void Commit() {
    Flush();
    file_.WriteAt(0, WavHeader(frames_));
    file_.Commit();
  }

 private:
  static constexpr size_t kFlushBytes = 1 << 18;

  void Flush() {
    file_.Write(buffer_);
    buffer_.clear();
  }

  AtomicFile file_;
  int64_t frames_ = 0;
  std::string buffer_;
};

FluidSynthPtr NewLoadedSynth(fluid_settings_t* settings,
                             const std::string& soundfont) {
  FluidSynthPtr synth(new_fluid_synth(settings));
  if (!synth) throw RunTimeError(Status(kErrInvalidCall, {}, 0, "Cannot start the synth"));
  std::string path = ResolveSoundFont(soundfont);
  std::string error;
  if (LoadSoundFont(synth.get(), path, &error) < 0) {
    bool missing = !FileExists(path);
    throw RunTimeError(missing ? kErrFileNotFound : kErrPathFileAccess, error);
  }
  return synth;
}

// Runs a step and names the file in its error, unless it names one.
template <typename Step>
auto NamingFile(const std::string& path, Step step) {
  try {
    return step();
  } catch (const RunTimeError& error) {
    throw RunTimeError(error.status().WithPath(path));
  }
}

}  // namespace

static_assert(kSynthSampleRate == kRenderSampleRate,
              "the renderer writes at the rate the commands assume");

RenderResult RenderMidiToWav(const std::string& midi_path,
                             const std::string& wav_path,
                             const std::string& soundfont,
                             const RenderProgress& progress,
                             const std::vector<bool>& silent_tracks) {
  std::string bytes = SilenceTracks(
      NamingFile(midi_path, [&] { return ReadWholeFile(midi_path); }),
      silent_tracks);
  MidiTiming timing =
      NamingFile(midi_path, [&] { return MidiTiming::Parse(bytes); });
  const int64_t music_frames = FramesOf(timing.LengthMicroseconds());
  const int64_t release_frames =
      static_cast<int64_t>(kRenderReleaseMs) * kSynthSampleRate / 1000;
  CheckRenderable(timing, midi_path, music_frames, release_frames);
  FluidSettingsPtr settings = NewSynthSettings();
  if (!settings) throw RunTimeError(Status(kErrInvalidCall, {}, 0, "Cannot start the synth"));
  FluidSynthPtr synth = NewLoadedSynth(settings.get(), soundfont);
  FluidMidiPlayerPtr player(new_fluid_player(synth.get()));
  if (!player ||
      fluid_player_add_mem(player.get(), bytes.data(), bytes.size()) !=
          FLUID_OK ||
      fluid_player_play(player.get()) != FLUID_OK) {
    throw RunTimeError(Status(kErrInvalidCall, {}, 0, "Cannot play " + midi_path));
  }

  const double expected = static_cast<double>(music_frames + release_frames);
  auto report = [&](int64_t done) {
    return !progress || progress(std::min(1.0, done / expected));
  };

  auto writer_ptr = NamingFile(wav_path, [&] {
    return std::make_unique<WavWriter>(wav_path,
                                       std::vector<std::string>{midi_path, ResolveSoundFont(soundfont)});
  });
  WavWriter& writer = *writer_ptr;
  std::vector<float> left(kBlockFrames), right(kBlockFrames);
  auto render_block = [&](int frames) {
    std::fill(left.begin(), left.end(), 0.0f);
    std::fill(right.begin(), right.end(), 0.0f);
    RenderFrames(synth.get(), frames, left.data(), right.data());
  };

  // The music: until the MIDI player has passed the last tick.
  int blocks = 0;
  while (fluid_player_get_current_tick(player.get()) < timing.total_ticks()) {
    if (fluid_player_get_status(player.get()) == FLUID_PLAYER_DONE ||
        writer.frames() > music_frames + kOverrunFrames) {
      throw RunTimeError(Status(kErrInvalidCall, {}, 0, "Cannot play " + midi_path));
    }
    render_block(kBlockFrames);
    NamingFile(wav_path,
               [&] { writer.Append(left.data(), right.data(), kBlockFrames); });
    if (++blocks % kBlocksPerProgress == 0 && !report(writer.frames())) {
      return {true, 0};
    }
  }
  fluid_player_stop(player.get());

  // The release: the last notes die away and fade out.
  for (int64_t done = 0; done < release_frames;) {
    int frames = static_cast<int>(
        std::min<int64_t>(kBlockFrames, release_frames - done));
    render_block(frames);
    for (int i = 0; i < frames; ++i) {
      float gain = 1.0f - static_cast<float>(done + i) / release_frames;
      left[i] *= gain;
      right[i] *= gain;
    }
    NamingFile(wav_path,
               [&] { writer.Append(left.data(), right.data(), frames); });
    done += frames;
  }
  if (progress && !progress(1.0)) return {true, 0};
  NamingFile(wav_path, [&] { writer.Commit(); });
  return {false, writer.frames()};
}

}  // namespace tessavar
