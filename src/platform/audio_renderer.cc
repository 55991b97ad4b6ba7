#include "platform/audio_renderer.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "base/file_system.h"
#include "base/status.h"
#include "midi/midi_bytes.h"
#include "midi/midi_reader.h"
#include "midi/midi_timing.h"
#include "model/audio_stems.h"
#include "platform/audio_file_writer.h"
#include "platform/soundfont.h"
#include "platform/synth_setup.h"

namespace tessavar {
namespace {

constexpr int kBlockFrames = 512;
constexpr int kBlocksPerProgress = 16;
// Per stereo effects group: reverb left and right, chorus left and right.
constexpr int kEffectsBuffersPerGroup = 4;
// Rendering goes on at most this long past the file's length, in case the
// MIDI player never reaches the last tick.
constexpr int64_t kOverrunFrames = 60LL * kSynthSampleRate;
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

// Runs a step and names the file in its error, unless it names one.
template <typename Step>
auto NamingFile(const std::string& path, Step step) {
  try {
    return step();
  } catch (const RunTimeError& error) {
    throw RunTimeError(error.status().WithPath(path));
  }
}

AudioFormat FormatOfOutput(const std::string& path) {
  std::optional<AudioFormat> format = AudioFormatOfPath(path);
  if (!format) {
    throw RunTimeError(
        Status(kErrInvalidCall, path, 0, UnknownAudioFormatText()));
  }
  return *format;
}

// A MIDI file read once and checked, ready to be rendered with some of its
// tracks silent.
struct MidiSource {
  std::string path;
  // Of the outputs:
  WriteProtection protection = WriteProtection::kRespect;
  int bitrate_kbps = kDefaultBitrate;
  std::string bytes;
  MidiTiming timing;
  int64_t music_frames = 0;
  int64_t release_frames = 0;
  double Frames() const {
    return static_cast<double>(music_frames + release_frames);
  }
};

// Refuses up front what cannot be rendered: a bit rate the format does not
// take, a tempo of 0 and a piece longer than an audio file may last (in
// every format).
void CheckRenderable(const MidiSource& source, AudioFormat format) {
  if (const std::optional<std::string> refusal =
          BitrateRefusal(format, source.bitrate_kbps)) {
    throw RunTimeError(Status(kErrInvalidCall, {}, 0, *refusal));
  }
  if (source.timing.has_zero_tempo()) {
    throw RunTimeError(Status(kErrInvalidCall, source.path, 0,
                              ErrorMessage(kErrInvalidCall) +
                                  " (the file sets a tempo of 0, which "
                                  "cannot be played)"));
  }
  if (source.music_frames > kMaxAudioFrames - source.release_frames) {
    const int64_t seconds =
        source.timing.LengthMicroseconds() / kMicrosecondsPerSecond;
    throw RunTimeError(
        Status(kErrOverflow, source.path, 0,
               ErrorMessage(kErrOverflow) + " (the piece lasts " +
                   DurationText(seconds) + "; " +
                   std::string(AudioFileNoun(format)) + " holds at most " +
                   DurationText(kMaxAudioFrames / kSynthSampleRate) + ")"));
  }
}

MidiSource ReadSource(const std::string& midi_path, AudioFormat format,
                      WriteProtection protection, int bitrate_kbps) {
  MidiSource source;
  source.path = midi_path;
  source.protection = protection;
  source.bitrate_kbps = bitrate_kbps;
  source.bytes =
      NamingFile(midi_path, [&] { return ReadWholeFile(midi_path); });
  source.timing =
      NamingFile(midi_path, [&] { return MidiTiming::Parse(source.bytes); });
  source.music_frames = FramesOf(source.timing.LengthMicroseconds());
  source.release_frames =
      static_cast<int64_t>(kRenderReleaseMs) * kSynthSampleRate / 1000;
  CheckRenderable(source, format);
  return source;
}

[[noreturn]] void CannotStartSynth() {
  throw RunTimeError(Status(kErrInvalidCall, {}, 0, "Cannot start the synth"));
}

FluidSynthPtr NewLoadedSynth(fluid_settings_t* settings,
                             const std::string& soundfont) {
  FluidSynthPtr synth(new_fluid_synth(settings));
  if (!synth) CannotStartSynth();
  const std::string path = ResolveSoundFont(soundfont);
  const Result<int> loaded = LoadSoundFont(synth.get(), path);
  if (!loaded.ok()) {
    std::error_code ec;
    const auto type = std::filesystem::status(path, ec).type();
    // A FIFO or a device is no SoundFont, whatever its name says.
    if (type != std::filesystem::file_type::not_found &&
        type != std::filesystem::file_type::regular) {
      throw RunTimeError(NotRegularFile(path));
    }
    throw RunTimeError(loaded.status());
  }
  return synth;
}

// Told the frames rendered so far; false cancels.
using FrameProgress = std::function<bool(int64_t frames)>;

// The stereo blocks of a render: the one mix of everything, or one pair per
// MIDI channel. Per channel, each channel has its own reverb and chorus
// (both linear), and voices are allocated exactly as in the mix, so the
// pairs add up to the mix.
class ChannelBlocks {
 public:
  explicit ChannelBlocks(bool per_channel)
      : samples_(2 * (per_channel ? midi::kChannelCount : 1),
                 std::vector<float>(kBlockFrames)) {}

  static void Configure(fluid_settings_t* settings) {
    fluid_settings_setint(settings, "synth.audio-channels",
                          midi::kChannelCount);
    fluid_settings_setint(settings, "synth.audio-groups", midi::kChannelCount);
    fluid_settings_setint(settings, "synth.effects-groups",
                          midi::kChannelCount);
  }

  int pairs() const { return static_cast<int>(samples_.size() / 2); }
  float* left(int pair) { return samples_[2 * pair].data(); }
  float* right(int pair) { return samples_[2 * pair + 1].data(); }

  void Render(fluid_synth_t* synth, int frames) {
    for (std::vector<float>& buffer : samples_) {
      std::fill(buffer.begin(), buffer.end(), 0.0f);
    }
    if (pairs() == 1) {
      RenderFrames(synth, frames, left(0), right(0));
      return;
    }
    std::vector<float*> out, effects;
    for (int pair = 0; pair < pairs(); ++pair) {
      out.push_back(left(pair));
      out.push_back(right(pair));
      for (int i = 0; i < kEffectsBuffersPerGroup / 2; ++i) {
        effects.push_back(left(pair));
        effects.push_back(right(pair));
      }
    }
    fluid_synth_process(synth, frames, static_cast<int>(effects.size()),
                        effects.data(), static_cast<int>(out.size()),
                        out.data());
  }

  // The release fade: `done` of `length` frames have passed.
  void Fade(int frames, int64_t done, int64_t length) {
    for (std::vector<float>& buffer : samples_) {
      for (int i = 0; i < frames; ++i) {
        buffer[i] *= 1.0f - static_cast<float>(done + i) / length;
      }
    }
  }

 private:
  std::vector<std::vector<float>> samples_;
};

// A file a render writes: the mix (pair 0 of a plain render) or a channel.
struct RenderOutput {
  std::string path;
  int pair = 0;
};

// Renders the MIDI bytes (the source with some tracks silent) into new
// audio files; the frames written to each, or nullopt when cancelled.
std::optional<int64_t> RenderFiles(const MidiSource& source,
                                   const std::string& bytes,
                                   const std::vector<RenderOutput>& outputs,
                                   bool per_channel, AudioFormat format,
                                   const std::string& soundfont,
                                   const FrameProgress& report) {
  FluidSettingsPtr settings = NewSynthSettings();
  if (!settings) CannotStartSynth();
  if (per_channel) ChannelBlocks::Configure(settings.get());
  FluidSynthPtr synth = NewLoadedSynth(settings.get(), soundfont);
  FluidMidiPlayerPtr player(new_fluid_player(synth.get()));
  if (!player ||
      fluid_player_add_mem(player.get(), bytes.data(), bytes.size()) !=
          FLUID_OK ||
      fluid_player_play(player.get()) != FLUID_OK) {
    throw RunTimeError(
        Status(kErrInvalidCall, {}, 0, "Cannot play " + source.path));
  }
  std::vector<std::unique_ptr<AudioFileWriter>> writers;
  for (const RenderOutput& output : outputs) {
    writers.push_back(std::make_unique<AudioFileWriter>(
        output.path, format,
        std::vector<std::string>{source.path, ResolveSoundFont(soundfont)},
        source.protection, source.bitrate_kbps));
  }
  ChannelBlocks blocks(per_channel);
  int64_t written = 0;
  auto write = [&](int frames) {
    for (size_t i = 0; i < outputs.size(); ++i) {
      writers[i]->Append(blocks.left(outputs[i].pair),
                         blocks.right(outputs[i].pair), frames);
    }
    written += frames;
  };

  // The music: until the MIDI player has passed the last tick.
  int count = 0;
  while (fluid_player_get_current_tick(player.get()) <
         source.timing.total_ticks()) {
    if (fluid_player_get_status(player.get()) == FLUID_PLAYER_DONE ||
        written > source.music_frames + kOverrunFrames) {
      throw RunTimeError(
          Status(kErrInvalidCall, {}, 0, "Cannot play " + source.path));
    }
    blocks.Render(synth.get(), kBlockFrames);
    write(kBlockFrames);
    if (++count % kBlocksPerProgress == 0 && !report(written)) {
      return std::nullopt;
    }
  }
  fluid_player_stop(player.get());

  // The release: the last notes die away and fade out.
  for (int64_t done = 0; done < source.release_frames;) {
    int frames = static_cast<int>(
        std::min<int64_t>(kBlockFrames, source.release_frames - done));
    blocks.Render(synth.get(), frames);
    blocks.Fade(frames, done, source.release_frames);
    write(frames);
    done += frames;
  }
  if (!report(static_cast<int64_t>(source.Frames()))) return std::nullopt;
  for (std::unique_ptr<AudioFileWriter>& writer : writers) writer->Commit();
  return written;
}

// The progress of part `index` of `count` equal parts, as a fraction of
// the whole.
FrameProgress PartProgress(const RenderProgress& progress,
                           const MidiSource& source, size_t index,
                           size_t count) {
  return [&progress, &source, index, count](int64_t frames) {
    if (!progress) return true;
    const double part = std::min(1.0, frames / source.Frames());
    return progress((static_cast<double>(index) + part) /
                    static_cast<double>(count));
  };
}

// The MIDI channel of each stem, when every stem plays on one channel that
// no other sounding stem uses.
std::optional<std::vector<int>> StemChannels(const MidiContent& content,
                                             const std::vector<Stem>& stems) {
  std::vector<int> channels;
  std::vector<bool> taken(midi::kChannelCount, false);
  for (const Stem& stem : stems) {
    const std::vector<MidiNote>& notes = content.tracks[stem.track].notes;
    const int channel = notes.front().channel;
    const bool one_channel = std::all_of(
        notes.begin(), notes.end(),
        [&](const MidiNote& note) { return note.channel == channel; });
    if (!one_channel || taken[channel]) return std::nullopt;
    taken[channel] = true;
    channels.push_back(channel);
  }
  return channels;
}

void MakeDirectory(const std::string& directory) {
  std::error_code error;
  std::filesystem::create_directory(directory, error);
  if (std::filesystem::is_directory(directory)) return;
  // A missing parent is the classic "Path not found"; anything else says
  // what is in the way (a file of that name, a read-only parent).
  if (!error || error.value() == EEXIST) {
    throw RunTimeError(
        Status(kErrPathFileAccess, directory, 0,
               ErrorMessage(kErrPathFileAccess) + " (not a folder)"));
  }
  throw RunTimeError(error.value() == ENOENT
                         ? Status(kErrPathNotFound, directory)
                         : ErrnoStatus(error.value(), directory));
}

}  // namespace

static_assert(kSynthSampleRate == kRenderSampleRate,
              "the renderer writes at the rate the commands assume");

RenderResult RenderMidiToAudio(const std::string& midi_path,
                               const std::string& audio_path,
                               const std::string& soundfont,
                               const RenderProgress& progress,
                               const std::vector<bool>& silent_tracks,
                               WriteProtection protection, int bitrate_kbps) {
  const AudioFormat format = FormatOfOutput(audio_path);
  const MidiSource source =
      ReadSource(midi_path, format, protection, bitrate_kbps);
  const std::string bytes = SilenceTracks(source.bytes, silent_tracks);
  std::optional<int64_t> frames =
      RenderFiles(source, bytes, {{audio_path, 0}}, false, format, soundfont,
                  PartProgress(progress, source, 0, 1));
  if (!frames) return {true, 0, {}};
  return {false, *frames, {audio_path}};
}

RenderResult RenderMidiStems(const std::string& midi_path,
                             const std::string& directory, AudioFormat format,
                             const std::string& soundfont,
                             const RenderProgress& progress,
                             const std::vector<bool>& silent_tracks,
                             WriteProtection protection, int bitrate_kbps) {
  const MidiSource source =
      ReadSource(midi_path, format, protection, bitrate_kbps);
  Result<MidiContent> content = ReadMidiContent(source.bytes);
  if (!content.ok()) throw RunTimeError(content.status().WithPath(midi_path));
  const std::vector<Stem> stems =
      PlanStems(content.value(), silent_tracks, format);
  ThrowIfError(CheckStemCount(stems, midi_path));
  MakeDirectory(directory);
  if (stems.empty()) return {};
  auto path_of = [&](const Stem& stem) {
    return (std::filesystem::path(directory) / stem.file_name).string();
  };
  RenderResult result;
  const std::optional<std::vector<int>> channels =
      StemChannels(content.value(), stems);
  if (channels) {
    // One pass, each stem from its channel's pair.
    std::vector<RenderOutput> outputs;
    for (size_t i = 0; i < stems.size(); ++i) {
      outputs.push_back({path_of(stems[i]), (*channels)[i]});
    }
    std::optional<int64_t> frames = RenderFiles(
        source, SilenceTracks(source.bytes, silent_tracks), outputs, true,
        format, soundfont, PartProgress(progress, source, 0, 1));
    if (!frames) return {true, 0, {}};
    result.frames = *frames;
    for (const RenderOutput& output : outputs) {
      result.files.push_back(output.path);
    }
    return result;
  }
  // Tracks sharing a channel: one render per stem with the others silent.
  for (size_t i = 0; i < stems.size(); ++i) {
    const std::string path = path_of(stems[i]);
    const std::string bytes = SilenceTracks(
        source.bytes,
        OnlyTrackSounding(content.value().tracks.size(), stems[i].track));
    std::optional<int64_t> frames =
        RenderFiles(source, bytes, {{path, 0}}, false, format, soundfont,
                    PartProgress(progress, source, i, stems.size()));
    if (!frames) {
      result.cancelled = true;
      return result;
    }
    result.frames = *frames;
    result.files.push_back(path);
  }
  return result;
}

}  // namespace tessavar
