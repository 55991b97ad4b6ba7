#include "platform/audio_renderer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "base/file_system.h"
#include "base/status.h"
#include "midi/midi_timing.h"
#include "support/audio_file.h"
#include "support/midi_bytes.h"
#include "support/soundfont_check.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::Note;
using testing::Quarters;

using testing::AudioFile;
using testing::ReadAudioFile;

class AudioRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::DefaultSoundFontInstalled());
    ASSERT_FALSE(dir_.path().empty());
    // Two tracks, a rest in the middle, 32 quarters: 12,796.928 ms.
    std::vector<Note> melody = Quarters(12, 67);
    melody.push_back(Note{96 * 4, 72, 96 * 4});
    std::vector<Note> bass = Quarters(32, 43);
    midi_ = dir_.File("tvx.mid");
    WriteFileAtomically(midi_, testing::WriterLayoutFile({melody, bass}));
  }

  int ErrorOf(const std::string& midi, const std::string& wav,
              const std::string& soundfont, std::string* message) {
    try {
      RenderMidiToAudio(midi, wav, soundfont);
    } catch (const RunTimeError& error) {
      *message = error.what();
      return error.number();
    }
    return 0;
  }

  std::vector<std::string> DirectoryEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TempDir dir_;
  std::string midi_;
};

TEST_F(AudioRendererTest, WavLastsAsLongAsTheMidiFileAndIsNotSilent) {
  std::string out = dir_.File("tvx.wav");
  RenderResult result = RenderMidiToAudio(midi_, out);
  EXPECT_FALSE(result.cancelled);
  AudioFile wav = ReadAudioFile(out);
  EXPECT_EQ(wav.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(wav.channels, 2);
  EXPECT_EQ(wav.rate, 44100);
  EXPECT_EQ(static_cast<int64_t>(wav.samples.size()), result.frames * 2);

  double length = MidiTiming::ReadFile(midi_).LengthMs() / 1000.0;
  ASSERT_NEAR(length, 12.797, 0.001);
  EXPECT_NEAR(wav.Seconds(), length, 0.5);
  EXPECT_GE(wav.Seconds(), length);  // the last note is not cut

  EXPECT_GT(wav.Peak(), 3000) << "rendered audio is (nearly) silent";
  EXPECT_LT(wav.Peak(), 32767) << "rendered audio clips";
  // Sound all along, not only at the start: every second has some.
  for (int second = 0; second + 1 < static_cast<int>(length); ++second) {
    int peak = 0;
    for (int i = second * 88200; i < (second + 1) * 88200; ++i) {
      peak = std::max(peak, std::abs(int{wav.samples[i]}));
    }
    EXPECT_GT(peak, 300) << "second " << second;
  }
  // The release fades to nothing.
  EXPECT_LT(std::abs(int{wav.samples.back()}), 50);
}

TEST_F(AudioRendererTest, SameFileRendersToTheSameBytes) {
  RenderMidiToAudio(midi_, dir_.File("a.wav"));
  RenderMidiToAudio(midi_, dir_.File("b.wav"));
  EXPECT_TRUE(ReadWholeFile(dir_.File("a.wav")) ==
              ReadWholeFile(dir_.File("b.wav")));
}

TEST_F(AudioRendererTest, ProgressRisesToOne) {
  std::vector<double> fractions;
  RenderMidiToAudio(midi_, dir_.File("tvx.wav"), "", [&](double fraction) {
    fractions.push_back(fraction);
    return true;
  });
  ASSERT_GT(fractions.size(), 10u);
  EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
  EXPECT_GT(fractions.front(), 0.0);
  EXPECT_EQ(fractions.back(), 1.0);
}

TEST_F(AudioRendererTest, CancellingLeavesTheTargetAsItWas) {
  std::string out = dir_.File("tvx.wav");
  WriteFileAtomically(out, "the previous export");
  int calls = 0;
  RenderResult result = RenderMidiToAudio(midi_, out, "", [&](double fraction) {
    ++calls;
    return fraction < 0.5;
  });
  EXPECT_TRUE(result.cancelled);
  EXPECT_GT(calls, 1);
  EXPECT_EQ(ReadWholeFile(out), "the previous export");
  EXPECT_EQ(DirectoryEntries(),
            (std::vector<std::string>{"tvx.mid", "tvx.wav"}))
      << "a temporary file was left behind";
}

TEST_F(AudioRendererTest, FileErrorsNameTheFile) {
  std::string message;
  std::string out = dir_.File("out.wav");
  EXPECT_EQ(ErrorOf(dir_.File("none.mid"), out, "", &message),
            kErrFileNotFound);
  EXPECT_NE(message.find("none.mid"), std::string::npos) << message;

  WriteFileAtomically(dir_.File("text.mid"), "plain text");
  EXPECT_EQ(ErrorOf(dir_.File("text.mid"), out, "", &message), kErrInvalidCall);
  EXPECT_NE(message.find("text.mid"), std::string::npos) << message;

  EXPECT_EQ(ErrorOf(midi_, out, dir_.File("none.sf2"), &message),
            kErrFileNotFound);
  EXPECT_NE(message.find("none.sf2"), std::string::npos) << message;

  WriteFileAtomically(dir_.File("bad.sf2"), "not a SoundFont");
  EXPECT_EQ(ErrorOf(midi_, out, dir_.File("bad.sf2"), &message),
            kErrPathFileAccess);

  // A missing directory: "Path not found", as for every output.
  EXPECT_EQ(ErrorOf(midi_, dir_.File("no/such/dir/out.wav"), "", &message),
            kErrPathNotFound);
  EXPECT_NE(message.find("out.wav"), std::string::npos) << message;
  EXPECT_FALSE(FileExists(out));
}

// FLAC is lossless: it decodes to the very samples of the WAV render. Ogg
// Vorbis keeps the length and loudness. Any other name is refused before a
// file is made.
TEST_F(AudioRendererTest, FormatFollowsTheExtension) {
  RenderMidiToAudio(midi_, dir_.File("a.wav"));
  RenderMidiToAudio(midi_, dir_.File("a.FLAC"));
  RenderMidiToAudio(midi_, dir_.File("a.ogg"));
  const AudioFile wav = ReadAudioFile(dir_.File("a.wav"));
  const AudioFile flac = ReadAudioFile(dir_.File("a.FLAC"));
  const AudioFile ogg = ReadAudioFile(dir_.File("a.ogg"));
  EXPECT_EQ(flac.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  EXPECT_EQ(flac.samples.size(), wav.samples.size());
  EXPECT_TRUE(flac.samples == wav.samples);
  EXPECT_EQ(ogg.format, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
  EXPECT_NEAR(ogg.Seconds(), wav.Seconds(), 0.05);
  EXPECT_NEAR(ogg.Peak(), wav.Peak(), wav.Peak() / 5);
  // MP3 and Opus (resampled to 48 kHz) decode to the length and loudness.
  for (const auto& [name, format] :
       {std::pair{"a.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
        std::pair{"a.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS}}) {
    RenderMidiToAudio(midi_, dir_.File(name));
    const AudioFile lossy = ReadAudioFile(dir_.File(name));
    EXPECT_EQ(lossy.format, format) << name;
    EXPECT_NEAR(lossy.Seconds(), wav.Seconds(), 0.05) << name;
    EXPECT_NEAR(lossy.Peak(), wav.Peak(), wav.Peak() / 5) << name;
  }

  std::string message;
  EXPECT_EQ(ErrorOf(midi_, dir_.File("a.aac"), "", &message), kErrInvalidCall);
  EXPECT_NE(message.find("a.aac"), std::string::npos) << message;
  EXPECT_NE(message.find(SupportedAudioExtensions()), std::string::npos)
      << message;
  EXPECT_EQ(DirectoryEntries(),
            (std::vector<std::string>{"a.FLAC", "a.mp3", "a.ogg", "a.opus",
                                      "a.wav", "tvx.mid"}));
}

// MP3 (constant) and Opus (average) take the bit rate asked: both rates
// decode to the piece's length, and the MP3 size is rate times length. A
// bit rate the format does not take is refused before a file is made.
TEST_F(AudioRendererTest, BitRateSetsTheSizeNotTheLength) {
  const double seconds = MidiTiming::ReadFile(midi_).LengthMs() / 1000.0 +
                         kRenderReleaseMs / 1000.0;
  for (const std::string extension : {"mp3", "opus"}) {
    std::vector<uintmax_t> sizes;
    for (const int kbps : {64, 256}) {
      const std::string path =
          dir_.File(std::to_string(kbps) + "." + extension);
      RenderMidiToAudio(midi_, path, {}, {}, {}, WriteProtection::kRespect,
                        kbps);
      EXPECT_NEAR(ReadAudioFile(path).Seconds(), seconds, 0.1) << path;
      sizes.push_back(std::filesystem::file_size(path));
      if (extension == "mp3") {
        EXPECT_NEAR(sizes.back() * 8.0 / 1000.0 / seconds, kbps, kbps / 20.0);
      }
    }
    EXPECT_GT(sizes[1], 2 * sizes[0]) << extension;
  }

  for (const auto& [name, kbps, words] :
       {std::tuple{"a.mp3", 321, "MP3 takes a bit rate from 32 to 320"},
        std::tuple{"a.opus", 11, "Opus takes a bit rate from 12 to"},
        std::tuple{"a.flac", 128, "FLAC has no bit rate to choose"}}) {
    try {
      RenderMidiToAudio(midi_, dir_.File(name), {}, {}, {},
                        WriteProtection::kRespect, kbps);
      ADD_FAILURE() << name << " at " << kbps << " kbit/s was written";
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), kErrInvalidCall);
      EXPECT_NE(std::string(error.what()).find(words), std::string::npos)
          << error.what();
    }
  }
  EXPECT_THROW(RenderMidiStems(midi_, dir_.File("stems"), AudioFormat::kWav, {},
                               {}, {}, WriteProtection::kRespect, 128),
               RunTimeError);
  EXPECT_EQ(DirectoryEntries(),
            (std::vector<std::string>{"256.mp3", "256.opus", "64.mp3",
                                      "64.opus", "tvx.mid"}));
}

// 44 bytes that last 1,250,999 hours: every format, and stems, refuse the
// piece before rendering a frame.
TEST_F(AudioRendererTest, EveryFormatRefusesAPieceLongerThanTheLimit) {
  const std::string midi = dir_.File("long.mid");
  WriteFileAtomically(
      midi, testing::Header(0, 1, 1) +
                testing::Chunk("MTrk", testing::Tempo(0, 0xFFFFFF) +
                                           testing::EndOfTrack(0x0FFFFFFF)));
  for (const AudioFormatInfo& info : AudioFormats()) {
    const std::string name = "a." + std::string(info.extension);
    std::string message;
    EXPECT_EQ(ErrorOf(midi, dir_.File(name), "", &message), kErrOverflow);
    EXPECT_NE(message.find("lasts 1250999 h 49 min; a"), std::string::npos)
        << message;
    EXPECT_NE(message.find("file holds at most 6 h 45 min"), std::string::npos)
        << message;
  }
  for (AudioFormat format : {AudioFormat::kFlac, AudioFormat::kOggVorbis}) {
    try {
      RenderMidiStems(midi, dir_.File("stems"), format);
      ADD_FAILURE() << "stems of an endless piece were rendered";
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.number(), kErrOverflow);
    }
  }
  EXPECT_EQ(DirectoryEntries(),
            (std::vector<std::string>{"long.mid", "tvx.mid"}));
}

// A write that fails half-way (a file-size limit stands in for a full
// disk) names the file and leaves the old one and no temporary file.
TEST_F(AudioRendererTest, FailedWriteLeavesTheTargetAsItWas) {
  const std::string out = dir_.File("tvx.flac");
  WriteFileAtomically(out, "the previous export");
  constexpr rlim_t kLimitBytes = 64 * 1024;
  struct rlimit old_limit = {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  struct rlimit limit = old_limit;
  limit.rlim_cur = kLimitBytes;
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  std::string message;
  const int error = ErrorOf(midi_, out, "", &message);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_NE(error, 0);
  EXPECT_NE(message.find("tvx.flac"), std::string::npos) << message;
  EXPECT_EQ(ReadWholeFile(out), "the previous export");
  EXPECT_EQ(DirectoryEntries(),
            (std::vector<std::string>{"tvx.flac", "tvx.mid"}));
}

// Each stem holds one track for the whole length; summed they give the
// full render within the rounding of each file to 16 bits: they come from
// one render with a stereo pair (and reverb and chorus, both linear) per
// channel.
TEST_F(AudioRendererTest, StemsOfTheSoundingTracksMixToTheFullRender) {
  RenderMidiToAudio(midi_, dir_.File("full.wav"));
  const AudioFile full = ReadAudioFile(dir_.File("full.wav"));
  std::vector<double> fractions;
  auto record = [&](double fraction) {
    fractions.push_back(fraction);
    return true;
  };
  const RenderResult stems = RenderMidiStems(midi_, dir_.File("stems"),
                                             AudioFormat::kFlac, "", record);
  ASSERT_EQ(stems.files,
            (std::vector<std::string>{dir_.File("stems/01 Piano.flac"),
                                      dir_.File("stems/02 Piano.flac")}));
  std::vector<int> mix(full.samples.size());
  for (const std::string& file : stems.files) {
    const AudioFile stem = ReadAudioFile(file);
    ASSERT_EQ(stem.samples.size(), full.samples.size()) << file;
    EXPECT_GT(stem.Peak(), 1000) << file;
    for (size_t i = 0; i < mix.size(); ++i) mix[i] += stem.samples[i];
  }
  int worst = 0;
  for (size_t i = 0; i < mix.size(); ++i) {
    worst = std::max(worst, std::abs(mix[i] - full.samples[i]));
  }
  EXPECT_LE(worst, static_cast<int>(stems.files.size()));
  EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
  EXPECT_EQ(fractions.back(), 1.0);

  // Tracks sharing a channel are rendered one after the other.
  const std::string shared = dir_.File("shared.mid");
  WriteFileAtomically(
      shared,
      testing::Header(1, 3, 96) +
          testing::Chunk("MTrk", testing::Tempo(0, testing::kWriterTempo) +
                                     testing::EndOfTrack()) +
          testing::NoteTrack(0, 40, Quarters(4, 67)) +
          testing::NoteTrack(0, 0, Quarters(4, 48)));
  fractions.clear();
  const RenderResult apart = RenderMidiStems(shared, dir_.File("apart"),
                                             AudioFormat::kWav, "", record);
  ASSERT_EQ(apart.files,
            (std::vector<std::string>{dir_.File("apart/01 Violin.wav"),
                                      dir_.File("apart/02 Piano.wav")}));
  EXPECT_GT(ReadAudioFile(apart.files[0]).Peak(), 1000);
  EXPECT_EQ(std::count(fractions.begin(), fractions.end(), 0.5), 1);

  // A silenced track has no stem.
  const RenderResult one = RenderMidiStems(
      midi_, dir_.File("one"), AudioFormat::kWav, "", {}, {false, true, false});
  EXPECT_EQ(one.files, std::vector<std::string>{dir_.File("one/02 Piano.wav")});
}

}  // namespace
}  // namespace tessavar

namespace tessavar {
namespace {

double Rms(const AudioFile& wav, double from_s, double to_s) {
  const size_t first = static_cast<size_t>(from_s * wav.rate) * 2;
  const size_t last =
      std::min(wav.samples.size(), static_cast<size_t>(to_s * wav.rate) * 2);
  double sum = 0;
  for (size_t i = first; i < last; ++i) {
    const double sample = wav.samples[i];
    sum += sample * sample;
  }
  return last > first ? std::sqrt(sum / (last - first)) : 0.0;
}

// Track 1 sounds in the first 3.2 s only, track 2 from 6.4 s to 9.6 s.
TEST_F(AudioRendererTest, MutedTrackIsSilentInTheRenderOthersAreNot) {
  const std::string midi = dir_.File("apart.mid");
  WriteFileAtomically(midi,
                      testing::WriterLayoutFile(
                          {Quarters(8, 67), {Note{96 * 16, 48, 96 * 8}}}));
  const std::string original = ReadWholeFile(midi);
  RenderMidiToAudio(midi, dir_.File("all.wav"));
  RenderMidiToAudio(midi, dir_.File("muted.wav"), {}, {}, {false, true, false});
  const AudioFile all = ReadAudioFile(dir_.File("all.wav"));
  const AudioFile muted = ReadAudioFile(dir_.File("muted.wav"));
  EXPECT_EQ(muted.samples.size(), all.samples.size());
  EXPECT_GT(Rms(all, 0.2, 3.0), 100.0);
  EXPECT_LT(Rms(muted, 0.2, 3.0), 1.0);
  EXPECT_GT(Rms(muted, 6.6, 9.4), 100.0);
  EXPECT_NEAR(Rms(muted, 6.6, 9.4), Rms(all, 6.6, 9.4), 1.0);
  EXPECT_EQ(ReadWholeFile(midi), original);  // the MIDI file is untouched
}

}  // namespace
}  // namespace tessavar
