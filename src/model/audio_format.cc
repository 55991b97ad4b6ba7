#include "model/audio_format.h"

#include "base/text.h"
#include "files/file_names.h"

namespace tessavar {

const std::vector<AudioFormatInfo>& AudioFormats() {
  static const std::vector<AudioFormatInfo> kFormats = {
      {AudioFormat::kWav, "wav", "WAV", "a WAV file"},
      {AudioFormat::kFlac, "flac", "FLAC", "a FLAC file"},
      {AudioFormat::kOggVorbis, "ogg", "Ogg Vorbis", "an Ogg Vorbis file"},
      // MPEG-1 Layer III bit rates at 44.1 kHz.
      {AudioFormat::kMp3, "mp3", "MP3", "an MP3 file", 32, 320},
      // Stereo Opus through libsndfile: 6 to 256 kbit/s per channel.
      {AudioFormat::kOpus, "opus", "Opus", "an Opus file", 12, 512}};
  return kFormats;
}

namespace {

const AudioFormatInfo& InfoOf(AudioFormat format) {
  for (const AudioFormatInfo& info : AudioFormats()) {
    if (info.format == format) return info;
  }
  return AudioFormats().front();
}

}  // namespace

std::optional<AudioFormat> AudioFormatNamed(std::string_view extension) {
  const std::string lower = AsciiLower(extension);
  for (const AudioFormatInfo& info : AudioFormats()) {
    if (info.extension == lower) return info.format;
  }
  return std::nullopt;
}

std::optional<AudioFormat> AudioFormatOfPath(const std::string& path) {
  const std::string name = DisplayFileName(path);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return std::nullopt;
  return AudioFormatNamed(std::string_view(name).substr(dot + 1));
}

std::string_view AudioExtension(AudioFormat format) {
  return InfoOf(format).extension;
}

std::string_view AudioFileNoun(AudioFormat format) {
  return InfoOf(format).file_noun;
}

std::string JoinedAudioFormats(
    const std::function<std::string(const AudioFormatInfo&)>& word) {
  const std::vector<AudioFormatInfo>& formats = AudioFormats();
  std::string text;
  for (size_t i = 0; i < formats.size(); ++i) {
    if (i > 0) text += i + 1 == formats.size() ? " or " : ", ";
    text += word(formats[i]);
  }
  return text;
}

std::string SupportedAudioExtensions() {
  return JoinedAudioFormats([](const AudioFormatInfo& info) {
    return "." + std::string(info.extension);
  });
}

std::string UnknownAudioFormatText() {
  return "unknown audio format (use " + SupportedAudioExtensions() + ")";
}

bool HasBitrateChoice(AudioFormat format) {
  return InfoOf(format).max_kbps > 0;
}

std::optional<std::string> BitrateRefusal(AudioFormat format, int kbps) {
  const AudioFormatInfo& info = InfoOf(format);
  if (kbps == kDefaultBitrate) return std::nullopt;
  if (!HasBitrateChoice(format)) {
    std::string names;
    for (const AudioFormatInfo& each : AudioFormats()) {
      if (!HasBitrateChoice(each.format)) continue;
      names += (names.empty() ? "" : " and ") + std::string(each.name);
    }
    return std::string(info.name) + " has no bit rate to choose (only " +
           names + " have one)";
  }
  if (kbps >= info.min_kbps && kbps <= info.max_kbps) return std::nullopt;
  return std::string(info.name) + " takes a bit rate from " +
         std::to_string(info.min_kbps) + " to " +
         std::to_string(info.max_kbps) + " kbit/s";
}

std::vector<int> BitrateChoices(AudioFormat format) {
  if (format == AudioFormat::kMp3) {
    return {kDefaultBitrate, 96, 128, 192, 256, 320};
  }
  if (format == AudioFormat::kOpus) {
    return {kDefaultBitrate, 64, 96, 128, 160, 256};
  }
  return {kDefaultBitrate};
}

std::string BitrateName(int kbps) {
  return kbps == kDefaultBitrate ? "variable (default)"
                                 : std::to_string(kbps) + " kbit/s";
}

std::string AudioDialogFilter() {
  std::string filter;
  for (const AudioFormatInfo& info : AudioFormats()) {
    if (!filter.empty()) filter += ";;";
    filter += std::string(info.name) + " audio (*." +
              std::string(info.extension) + ")";
  }
  return filter;
}

}  // namespace tessavar
