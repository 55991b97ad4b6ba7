// Offline rendering of a MIDI file to a WAV file with the synthesizer and
// SoundFont of live playback, as fast as the machine allows.
#ifndef TESSAVAR_PLATFORM_AUDIO_RENDERER_H_
#define TESSAVAR_PLATFORM_AUDIO_RENDERER_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tessavar {

// After the last tick the notes die away this long, fading out, before the
// file ends.
inline constexpr int kRenderReleaseMs = 400;

// Told the fraction done (0 to 1) now and then; returns false to cancel.
using RenderProgress = std::function<bool(double fraction)>;

struct RenderResult {
  bool cancelled = false;
  int64_t frames = 0;  // stereo frames written
  double seconds() const;
};

// Renders midi_path into a 16-bit stereo 44.1 kHz WAV file at wav_path,
// written through a temporary file that replaces wav_path only when
// complete (a cancelled or failed render leaves wav_path as it was).
// soundfont empty = the system's General MIDI SoundFont; the tracks marked
// in silent_tracks (by track chunk) are rendered without their notes. Throws
// RunTimeError: 53 for a missing MIDI file or SoundFont, 5 for a file that
// is not MIDI, 75 for an unusable SoundFont, the file-system numbers for
// write failures.
RenderResult RenderMidiToWav(const std::string& midi_path,
                             const std::string& wav_path,
                             const std::string& soundfont = {},
                             const RenderProgress& progress = {},
                             const std::vector<bool>& silent_tracks = {});

}  // namespace tessavar

#endif  // TESSAVAR_PLATFORM_AUDIO_RENDERER_H_
