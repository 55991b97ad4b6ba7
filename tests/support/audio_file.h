// Audio files decoded through libsndfile, for tests of what the renderer
// wrote.
#ifndef TESSAVAR_TESTS_SUPPORT_AUDIO_FILE_H_
#define TESSAVAR_TESTS_SUPPORT_AUDIO_FILE_H_

#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace tessavar::testing {

struct AudioFile {
  int format = 0;  // SF_FORMAT_*; 0 when the file cannot be decoded
  int channels = 0;
  int rate = 0;
  std::vector<int16_t> samples;  // interleaved
  double Seconds() const {
    return rate > 0 ? static_cast<double>(samples.size()) / channels / rate
                    : 0.0;
  }
  int Peak() const {
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(int{s}));
    return peak;
  }
};

inline AudioFile ReadAudioFile(const std::string& path) {
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  AudioFile audio;
  if (file == nullptr) return audio;
  audio.format = info.format;
  audio.channels = info.channels;
  audio.rate = info.samplerate;
  audio.samples.resize(static_cast<size_t>(info.frames * info.channels));
  audio.samples.resize(static_cast<size_t>(
      sf_readf_short(file, audio.samples.data(), info.frames) * info.channels));
  sf_close(file);
  return audio;
}

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_AUDIO_FILE_H_
