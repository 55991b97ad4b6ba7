// An audio file written through libsndfile into an AtomicFile: the samples
// go to a temporary file beside the target, which replaces the target only
// on Commit. A failed write (a full disk) or an object destroyed before
// Commit leaves the target as it was and no temporary file.
#ifndef TESSAVAR_PLATFORM_AUDIO_FILE_WRITER_H_
#define TESSAVAR_PLATFORM_AUDIO_FILE_WRITER_H_

#include <sndfile.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/status.h"
#include "model/audio_format.h"

namespace tessavar {

class AudioFileWriter {
 public:
  // 16-bit stereo at the render rate (Vorbis, MP3: their own encoding of
  // it; Opus: resampled to 48 kHz, the rates it takes). bitrate_kbps, for
  // MP3 and Opus, is the constant (MP3) or average (Opus) rate of the
  // stream; kDefaultBitrate leaves a variable rate.
  // Throws RunTimeError naming path when the file cannot be started.
  AudioFileWriter(const std::string& path, AudioFormat format,
                  const std::vector<std::string>& inputs,
                  WriteProtection protection = WriteProtection::kRespect,
                  int bitrate_kbps = kDefaultBitrate);
  ~AudioFileWriter();
  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  // Appends frames of the two channels, clamped to [-1, 1] and rounded to
  // 16 bits. Throws RunTimeError naming the file when a write fails.
  void Append(const float* left, const float* right, int frames);
  int64_t frames() const { return frames_; }
  // Completes the file and puts it in the target's place.
  void Commit();

 private:
  static sf_count_t Length(void* self);
  static sf_count_t Seek(sf_count_t offset, int whence, void* self);
  static sf_count_t Read(void* data, sf_count_t count, void* self);
  static sf_count_t Write(const void* data, sf_count_t count, void* self);
  static sf_count_t Tell(void* self);
  // Throws the write error libsndfile met, or its own.
  [[noreturn]] void Fail();
  void SetBitrate(AudioFormat format, int bitrate_kbps);
  void Close();
  // Appends the frames converted to the output rate; with no frames (null
  // channels), the last output frames up to the end of the input.
  void Resample(const float* left, const float* right, int frames);
  void WriteSamples();

  std::string path_;
  AtomicFile file_;
  SNDFILE* sndfile_ = nullptr;
  sf_count_t position_ = 0;
  sf_count_t length_ = 0;
  std::optional<Status> write_error_;
  int64_t frames_ = 0;  // input frames
  int output_rate_ = 0;
  int64_t resampled_ = 0;  // output frames, when resampling
  float last_left_ = 0.0f;
  float last_right_ = 0.0f;
  std::vector<int16_t> samples_;
};

}  // namespace tessavar

#endif  // TESSAVAR_PLATFORM_AUDIO_FILE_WRITER_H_
