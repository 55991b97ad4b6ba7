#include "platform/audio_file_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/audio_renderer.h"

namespace tessavar {
namespace {

constexpr int kChannels = 2;
// Vorbis quality from 0 (smallest) to 1 (best).
constexpr double kVorbisQuality = 0.6;
// MP3 and Opus: variable bit rate at a compression level from 0 (largest,
// best) to 1 (smallest); 0.3 gives about 300 kbit/s MP3 and 360 kbit/s
// Opus for a stereo render.
constexpr double kCompressionLevel = 0.3;
// libsndfile turns a compression level c into a bit rate: MP3 at 44.1 kHz
// 320 - 288 c kbit/s (rounded down, then to an MPEG rate), Opus
// 6 + 250 (1 - c) kbit/s per channel (rounded down to a bit/s). Half a bit
// past the wanted rate keeps the rounding on it.
constexpr double kMp3TopKbps = 320.0;
constexpr double kMp3SpanKbps = 288.0;
constexpr double kOpusLowBitsPerChannel = 6000.0;
constexpr double kOpusSpanBitsPerChannel = 250000.0;
constexpr double kRoundingMargin = 0.5;
// Opus takes 48 kHz (not the render's 44.1 kHz).
constexpr int kOpusSampleRate = 48000;

int SndfileFormat(AudioFormat format) {
  switch (format) {
    case AudioFormat::kFlac:
      return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case AudioFormat::kOggVorbis:
      return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case AudioFormat::kMp3:
      return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    case AudioFormat::kOpus:
      return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    case AudioFormat::kWav:
      break;
  }
  return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
}

int16_t ToSample(float value) {
  return static_cast<int16_t>(
      std::round(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

AudioFileWriter* Self(void* self) {
  return static_cast<AudioFileWriter*>(self);
}

}  // namespace

AudioFileWriter::AudioFileWriter(const std::string& path, AudioFormat format,
                                 const std::vector<std::string>& inputs,
                                 WriteProtection protection, int bitrate_kbps)
    : path_(path), file_(path, inputs, Durability::kFlushEach, protection) {
  SF_VIRTUAL_IO io = {&AudioFileWriter::Length, &AudioFileWriter::Seek,
                      &AudioFileWriter::Read, &AudioFileWriter::Write,
                      &AudioFileWriter::Tell};
  SF_INFO info = {};
  output_rate_ =
      format == AudioFormat::kOpus ? kOpusSampleRate : kRenderSampleRate;
  info.samplerate = output_rate_;
  info.channels = kChannels;
  info.format = SndfileFormat(format);
  sndfile_ = sf_open_virtual(&io, SFM_WRITE, &info, this);
  if (sndfile_ == nullptr) Fail();
  if (format == AudioFormat::kOggVorbis) {
    double quality = kVorbisQuality;
    sf_command(sndfile_, SFC_SET_VBR_ENCODING_QUALITY, &quality,
               sizeof quality);
  }
  if (format == AudioFormat::kMp3 || format == AudioFormat::kOpus) {
    SetBitrate(format, bitrate_kbps);
  }
}

void AudioFileWriter::SetBitrate(AudioFormat format, int bitrate_kbps) {
  if (const std::optional<std::string> refusal =
          BitrateRefusal(format, bitrate_kbps)) {
    Close();
    throw RunTimeError(Status(kErrInvalidCall, path_, 0, *refusal));
  }
  int mode = SF_BITRATE_MODE_VARIABLE;
  double level = kCompressionLevel;
  if (bitrate_kbps != kDefaultBitrate && format == AudioFormat::kMp3) {
    mode = SF_BITRATE_MODE_CONSTANT;
    level = (kMp3TopKbps - bitrate_kbps - kRoundingMargin) / kMp3SpanKbps;
  } else if (bitrate_kbps != kDefaultBitrate) {
    // Opus: libopus's own variable rate, which averages the target.
    const double per_channel = 1000.0 * bitrate_kbps / kChannels;
    level = 1.0 - (per_channel - kOpusLowBitsPerChannel + kRoundingMargin) /
                      kOpusSpanBitsPerChannel;
  }
  level = std::clamp(level, 0.0, 1.0);
  // The mode first: MP3 reads the level by it.
  sf_command(sndfile_, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
  if (sf_command(sndfile_, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level) !=
      SF_TRUE) {
    Fail();
  }
}

AudioFileWriter::~AudioFileWriter() { Close(); }

void AudioFileWriter::Append(const float* left, const float* right,
                             int frames) {
  if (frames <= 0) return;
  if (output_rate_ != kRenderSampleRate) {
    Resample(left, right, frames);
  } else {
    samples_.resize(static_cast<size_t>(frames) * kChannels);
    for (int i = 0; i < frames; ++i) {
      samples_[2 * i] = ToSample(left[i]);
      samples_[2 * i + 1] = ToSample(right[i]);
    }
    WriteSamples();
  }
  frames_ += frames;
  last_left_ = left[frames - 1];
  last_right_ = right[frames - 1];
}

void AudioFileWriter::Resample(const float* left, const float* right,
                               int frames) {
  // Output frame m lies at input position m * in / out; each is drawn
  // linearly between the two input frames around it. Before this block's
  // first frame lies the last frame of the one before.
  const int64_t end = frames_ + frames;
  auto sample = [&](const float* channel, float last, int64_t index) {
    if (index >= end) index = end - 1;  // the end: the last frame held
    return index < frames_ ? last : channel[index - frames_];
  };
  samples_.clear();
  for (;; ++resampled_) {
    const int64_t position = resampled_ * kRenderSampleRate;
    const int64_t index = position / output_rate_;
    if (index + 1 >= end && (left != nullptr || index >= end)) break;
    const float fraction =
        static_cast<float>(position % output_rate_) / output_rate_;
    for (auto [channel, last] :
         {std::pair{left, last_left_}, std::pair{right, last_right_}}) {
      const float a = sample(channel, last, index);
      const float b = sample(channel, last, index + 1);
      samples_.push_back(ToSample(a + (b - a) * fraction));
    }
  }
  WriteSamples();
}

void AudioFileWriter::WriteSamples() {
  const sf_count_t frames =
      static_cast<sf_count_t>(samples_.size()) / kChannels;
  if (sf_writef_short(sndfile_, samples_.data(), frames) != frames) Fail();
}

void AudioFileWriter::Commit() {
  // The frames between the last input frame and the end of the piece.
  if (output_rate_ != kRenderSampleRate && frames_ > 0) {
    Resample(nullptr, nullptr, 0);
  }
  SNDFILE* sndfile = sndfile_;
  sndfile_ = nullptr;
  // Closing writes the last blocks and completes the header.
  if (sf_close(sndfile) != 0 || write_error_) Fail();
  file_.Commit();
}

void AudioFileWriter::Close() {
  if (sndfile_ != nullptr) sf_close(sndfile_);
  sndfile_ = nullptr;
}

void AudioFileWriter::Fail() {
  Close();
  if (write_error_) throw RunTimeError(*write_error_);
  throw RunTimeError(Status(
      kErrPathFileAccess, path_, 0,
      ErrorMessage(kErrPathFileAccess) + " (" + sf_strerror(nullptr) + ")"));
}

sf_count_t AudioFileWriter::Length(void* self) { return Self(self)->length_; }

sf_count_t AudioFileWriter::Seek(sf_count_t offset, int whence, void* self) {
  AudioFileWriter& writer = *Self(self);
  sf_count_t base = 0;
  if (whence == SEEK_CUR) base = writer.position_;
  if (whence == SEEK_END) base = writer.length_;
  writer.position_ = std::max<sf_count_t>(0, base + offset);
  return writer.position_;
}

// Nothing is read back from a file being written.
sf_count_t AudioFileWriter::Read(void*, sf_count_t, void*) { return 0; }

// Errors cannot pass through the library: they are kept and thrown when
// the library reports the short write.
sf_count_t AudioFileWriter::Write(const void* data, sf_count_t count,
                                  void* self) {
  AudioFileWriter& writer = *Self(self);
  if (writer.write_error_) return 0;
  try {
    writer.file_.WriteAt(writer.position_,
                         std::string_view(static_cast<const char*>(data),
                                          static_cast<size_t>(count)));
  } catch (const RunTimeError& error) {
    writer.write_error_ = error.status();
    return 0;
  }
  writer.position_ += count;
  writer.length_ = std::max(writer.length_, writer.position_);
  return count;
}

sf_count_t AudioFileWriter::Tell(void* self) { return Self(self)->position_; }

}  // namespace tessavar
