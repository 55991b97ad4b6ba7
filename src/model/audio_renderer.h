// Offline rendering of a MIDI file to audio, as the commands ask for it;
// the platform implements it with the synthesizer of live playback.
#ifndef TESSAVAR_MODEL_AUDIO_RENDERER_H_
#define TESSAVAR_MODEL_AUDIO_RENDERER_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/audio_format.h"

namespace tessavar {

// Exported audio is stereo at CD rate.
inline constexpr int kRenderSampleRate = 44100;

// Told the fraction done (0 to 1) now and then; returns false to cancel.
using RenderProgress = std::function<bool(double fraction)>;

struct RenderResult {
  bool cancelled = false;
  int64_t frames = 0;              // stereo frames written (of each file)
  std::vector<std::string> files;  // the files written, in order
  double seconds() const {
    return static_cast<double>(frames) / kRenderSampleRate;
  }
};

class AudioRenderer {
 public:
  virtual ~AudioRenderer() = default;
  // Renders midi_path into audio_path (soundfont empty = the system's
  // General MIDI SoundFont), without the notes of the tracks marked in
  // silent_tracks, at bitrate_kbps where the format has a bit rate
  // (kDefaultBitrate: its own). Throws RunTimeError on failure.
  virtual RenderResult Render(const std::string& midi_path,
                              const std::string& audio_path,
                              const std::string& soundfont,
                              const RenderProgress& progress,
                              const std::vector<bool>& silent_tracks,
                              int bitrate_kbps) = 0;
  // Renders each sounding track alone into a file of its own in directory
  // (created when missing), named by track number and instrument.
  virtual RenderResult RenderStems(const std::string& midi_path,
                                   const std::string& directory,
                                   AudioFormat format,
                                   const std::string& soundfont,
                                   const RenderProgress& progress,
                                   const std::vector<bool>& silent_tracks,
                                   int bitrate_kbps) = 0;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_AUDIO_RENDERER_H_
