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

[[noreturn]] void ThrowErrno(int errno_value) {
  throw RunTimeError(ErrorNumberFromErrno(errno_value));
}

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

// The WAV file being written: a temporary file beside the target that
// replaces it in Commit; removed when not committed.
class WavWriter {
 public:
  explicit WavWriter(const std::string& path) : path_(path) {
    if (path.empty()) throw RunTimeError(kErrPathNotFound);
    size_t slash = path.find_last_of('/');
    size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::string pattern =
        path.substr(0, start) + "." + path.substr(start) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) ThrowErrno(errno);
    temporary_ = name.data();
    Write(WavHeader(0));
  }
  ~WavWriter() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(temporary_.c_str());
  }
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  void Append(const float* left, const float* right, int frames) {
    if (frames_ + frames > kMaxFrames) throw RunTimeError(kErrOverflow);
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
    std::string header = WavHeader(frames_);
    if (::pwrite(fd_, header.data(), header.size(), 0) !=
        static_cast<ssize_t>(header.size())) {
      ThrowErrno(errno);
    }
    ::fchmod(fd_, 0644);
    if (::fsync(fd_) != 0 && errno != EINVAL) ThrowErrno(errno);
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) ThrowErrno(errno);
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) ThrowErrno(errno);
    committed_ = true;
  }

 private:
  static constexpr size_t kFlushBytes = 1 << 18;
  static constexpr int64_t kMaxFrames =
      (std::numeric_limits<uint32_t>::max() - kHeaderBytes) /
      (kChannels * kBytesPerSample);

  void Write(std::string_view bytes) {
    while (!bytes.empty()) {
      ssize_t written = ::write(fd_, bytes.data(), bytes.size());
      if (written < 0) {
        if (errno == EINTR) continue;
        ThrowErrno(errno);
      }
      bytes.remove_prefix(static_cast<size_t>(written));
    }
  }
  void Flush() {
    Write(buffer_);
    buffer_.clear();
  }

  std::string path_;
  std::string temporary_;
  int fd_ = -1;
  bool committed_ = false;
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

// Runs a step and names the file in the message of its error.
template <typename Step>
auto NamingFile(const std::string& path, Step step) {
  try {
    return step();
  } catch (const RunTimeError& error) {
    throw RunTimeError(
        Status(error.number(), {}, 0, path + ": " + error.what()));
  }
}

}  // namespace

double RenderResult::seconds() const {
  return static_cast<double>(frames) / kSynthSampleRate;
}

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

  const int64_t music_frames =
      timing.LengthMicroseconds() * kSynthSampleRate / 1000000;
  const int64_t release_frames =
      static_cast<int64_t>(kRenderReleaseMs) * kSynthSampleRate / 1000;
  const double expected = static_cast<double>(music_frames + release_frames);
  auto report = [&](int64_t done) {
    return !progress || progress(std::min(1.0, done / expected));
  };

  auto writer_ptr = NamingFile(
      wav_path, [&] { return std::make_unique<WavWriter>(wav_path); });
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
