// The audio file formats Export Audio and `render` write, chosen by the
// output's extension: the one rule for names, messages and dialog filters.
#ifndef TESSAVAR_MODEL_AUDIO_FORMAT_H_
#define TESSAVAR_MODEL_AUDIO_FORMAT_H_

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessavar {

enum class AudioFormat { kWav, kFlac, kOggVorbis, kMp3, kOpus };

// The most stereo 16-bit frames a render writes, in every format: what the
// 32-bit sizes of a WAV file hold after its 44-byte header (6 h 45 min at
// 44.1 kHz). The other formats share the limit, so that no render runs for
// days.
inline constexpr int64_t kMaxAudioFrames =
    (int64_t{std::numeric_limits<uint32_t>::max()} - 44) / 4;

struct AudioFormatInfo {
  AudioFormat format;
  std::string_view extension;  // without the dot, lower case
  std::string_view name;       // "Ogg Vorbis"
  std::string_view file_noun;  // "a FLAC file", for messages
  // The bit rates one may choose in kbit/s, both 0 for a format without
  // that choice (WAV and FLAC are lossless, Vorbis has a quality).
  int min_kbps = 0;
  int max_kbps = 0;
};

// What a file or stem without a format of its own is written as.
inline constexpr AudioFormat kDefaultAudioFormat = AudioFormat::kWav;

// Every supported format, the default first.
const std::vector<AudioFormatInfo>& AudioFormats();

// The format of an extension without the dot ("flac", any letter case).
std::optional<AudioFormat> AudioFormatNamed(std::string_view extension);
// The format of a file by the extension of its last path component.
std::optional<AudioFormat> AudioFormatOfPath(const std::string& path);

std::string_view AudioExtension(AudioFormat format);
std::string_view AudioFileNoun(AudioFormat format);

// One word per format, joined as in a sentence: "WAV, FLAC or Ogg Vorbis"
// for `word` giving the name.
std::string JoinedAudioFormats(
    const std::function<std::string(const AudioFormatInfo&)>& word);

// ".wav, .flac or .ogg", for messages.
std::string SupportedAudioExtensions();

// Why a file name cannot be written: "unknown audio format (use .wav,
// .flac or .ogg)".
std::string UnknownAudioFormatText();

// A bit rate in kbit/s; kDefaultBitrate leaves the format's own variable
// rate.
inline constexpr int kDefaultBitrate = 0;

bool HasBitrateChoice(AudioFormat format);

// Why kbps cannot be asked of format: "MP3 takes a bit rate from 32 to 320
// kbit/s"; nullopt when it can (kDefaultBitrate always can).
std::optional<std::string> BitrateRefusal(AudioFormat format, int kbps);

// The bit rates offered for format in the window, kDefaultBitrate first,
// and their names ("192 kbit/s").
std::vector<int> BitrateChoices(AudioFormat format);
std::string BitrateName(int kbps);

// The file dialog filters, one per format, separated by ";;".
std::string AudioDialogFilter();

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_AUDIO_FORMAT_H_
