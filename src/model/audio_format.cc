#include "model/audio_format.h"

#include "base/text.h"
#include "files/file_names.h"

namespace tessavar {

const std::vector<AudioFormatInfo>& AudioFormats() {
  static const std::vector<AudioFormatInfo> kFormats = {
      {AudioFormat::kWav, "wav", "WAV", "a WAV file"},
      {AudioFormat::kFlac, "flac", "FLAC", "a FLAC file"},
      {AudioFormat::kOggVorbis, "ogg", "Ogg Vorbis", "an Ogg Vorbis file"},
      {AudioFormat::kMp3, "mp3", "MP3", "an MP3 file"},
      {AudioFormat::kOpus, "opus", "Opus", "an Opus file"}};
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
