// Offline rendering of a MIDI file to an audio file (WAV, FLAC or Ogg
// Vorbis) with the synthesizer and SoundFont of live playback, as fast as
// the machine allows; also one file per track (stems).
#ifndef TESSAVAR_PLATFORM_AUDIO_RENDERER_H_
#define TESSAVAR_PLATFORM_AUDIO_RENDERER_H_

#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "model/audio_format.h"
#include "model/audio_renderer.h"

namespace tessavar {

// After the last tick the notes die away this long, fading out, before the
// file ends.
inline constexpr int kRenderReleaseMs = 400;

// Renders midi_path into a 16-bit stereo 44.1 kHz audio file at
// audio_path in the format of its extension, written through a temporary
// file that replaces audio_path only when complete (a cancelled or failed
// render leaves audio_path as it was). soundfont empty = the system's
// General MIDI SoundFont; the tracks marked in silent_tracks (by track
// chunk) are rendered without their notes. Throws RunTimeError: 5 for an
// unknown extension or a file that is not MIDI, 6 for a piece longer than
// kMaxAudioFrames, 53 for a missing MIDI file or SoundFont, 75 for an
// unusable SoundFont, the file-system numbers for write failures (61 for a
// full disk, 70 for a write-protected target unless protection says
// otherwise). bitrate_kbps: see AudioFileWriter; 5 when the format does
// not take it.
RenderResult RenderMidiToAudio(
    const std::string& midi_path, const std::string& audio_path,
    const std::string& soundfont = {}, const RenderProgress& progress = {},
    const std::vector<bool>& silent_tracks = {},
    WriteProtection protection = WriteProtection::kRespect,
    int bitrate_kbps = kDefaultBitrate);

// Renders each sounding track alone (see PlanStems) into directory, which
// is created when missing; each file is as long as the full render, and
// their sum is the full render within rounding. A stem replaces its file
// only when complete; stems finished before a cancel or failure stay. More
// than kMaxStems stems are refused (6) before anything is rendered.
RenderResult RenderMidiStems(
    const std::string& midi_path, const std::string& directory,
    AudioFormat format, const std::string& soundfont = {},
    const RenderProgress& progress = {},
    const std::vector<bool>& silent_tracks = {},
    WriteProtection protection = WriteProtection::kRespect,
    int bitrate_kbps = kDefaultBitrate);

// The renderer the commands use.
class FluidAudioRenderer final : public AudioRenderer {
 public:
  RenderResult Render(const std::string& midi_path,
                      const std::string& audio_path,
                      const std::string& soundfont,
                      const RenderProgress& progress,
                      const std::vector<bool>& silent_tracks,
                      int bitrate_kbps) override {
    return RenderMidiToAudio(midi_path, audio_path, soundfont, progress,
                             silent_tracks, WriteProtection::kRespect,
                             bitrate_kbps);
  }
  RenderResult RenderStems(const std::string& midi_path,
                           const std::string& directory, AudioFormat format,
                           const std::string& soundfont,
                           const RenderProgress& progress,
                           const std::vector<bool>& silent_tracks,
                           int bitrate_kbps) override {
    return RenderMidiStems(midi_path, directory, format, soundfont, progress,
                           silent_tracks, WriteProtection::kRespect,
                           bitrate_kbps);
  }
};

}  // namespace tessavar

#endif  // TESSAVAR_PLATFORM_AUDIO_RENDERER_H_
