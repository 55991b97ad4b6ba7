#include "platform/audio_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "base/status.h"
#include "midi/midi_timing.h"
#include "base/file_system.h"
#include "support/midi_bytes.h"
#include "support/soundfont_check.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

using testing::Note;
using testing::Quarters;

uint32_t LittleEndian(const std::string& bytes, size_t pos, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[pos + i]);
  }
  return value;
}

struct Wav {
  int format = 0, channels = 0, bits = 0;
  uint32_t rate = 0;
  std::vector<int16_t> samples;  // interleaved
  double Seconds() const { return samples.size() / 2.0 / rate; }
  int Peak() const {
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(int{s}));
    return peak;
  }
};

// Reads the canonical 44-byte-header WAV files the renderer writes.
Wav ReadWav(const std::string& path) {
  std::string bytes = ReadWholeFile(path);
  Wav wav;
  EXPECT_GE(bytes.size(), 44u);
  if (bytes.size() < 44) return wav;
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(LittleEndian(bytes, 4, 4), bytes.size() - 8);
  EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
  wav.format = LittleEndian(bytes, 20, 2);
  wav.channels = LittleEndian(bytes, 22, 2);
  wav.rate = LittleEndian(bytes, 24, 4);
  EXPECT_EQ(LittleEndian(bytes, 28, 4), wav.rate * 4);  // bytes per second
  EXPECT_EQ(LittleEndian(bytes, 32, 2), 4u);            // block align
  wav.bits = LittleEndian(bytes, 34, 2);
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(LittleEndian(bytes, 40, 4), bytes.size() - 44);
  for (size_t pos = 44; pos + 1 < bytes.size(); pos += 2) {
    wav.samples.push_back(static_cast<int16_t>(LittleEndian(bytes, pos, 2)));
  }
  return wav;
}

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
      RenderMidiToWav(midi, wav, soundfont);
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
  RenderResult result = RenderMidiToWav(midi_, out);
  EXPECT_FALSE(result.cancelled);
  Wav wav = ReadWav(out);
  EXPECT_EQ(wav.format, 1);  // PCM
  EXPECT_EQ(wav.channels, 2);
  EXPECT_EQ(wav.rate, 44100u);
  EXPECT_EQ(wav.bits, 16);
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
  RenderMidiToWav(midi_, dir_.File("a.wav"));
  RenderMidiToWav(midi_, dir_.File("b.wav"));
  EXPECT_TRUE(ReadWholeFile(dir_.File("a.wav")) ==
              ReadWholeFile(dir_.File("b.wav")));
}

TEST_F(AudioRendererTest, ProgressRisesToOne) {
  std::vector<double> fractions;
  RenderMidiToWav(midi_, dir_.File("tvx.wav"), "", [&](double fraction) {
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
  RenderResult result = RenderMidiToWav(midi_, out, "", [&](double fraction) {
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

  // A missing directory: the file system's number for it.
  EXPECT_EQ(ErrorOf(midi_, dir_.File("no/such/dir/out.wav"), "", &message),
            ErrorNumberFromErrno(ENOENT));
  EXPECT_NE(message.find("out.wav"), std::string::npos) << message;
  EXPECT_FALSE(FileExists(out));
}

}  // namespace
}  // namespace tessavar

namespace tessavar {
namespace {

double Rms(const Wav& wav, double from_s, double to_s) {
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
  RenderMidiToWav(midi, dir_.File("all.wav"));
  RenderMidiToWav(midi, dir_.File("muted.wav"), {}, {}, {false, true, false});
  const Wav all = ReadWav(dir_.File("all.wav"));
  const Wav muted = ReadWav(dir_.File("muted.wav"));
  EXPECT_EQ(muted.samples.size(), all.samples.size());
  EXPECT_GT(Rms(all, 0.2, 3.0), 100.0);
  EXPECT_LT(Rms(muted, 0.2, 3.0), 1.0);
  EXPECT_GT(Rms(muted, 6.6, 9.4), 100.0);
  EXPECT_NEAR(Rms(muted, 6.6, 9.4), Rms(all, 6.6, 9.4), 1.0);
  EXPECT_EQ(ReadWholeFile(midi), original);  // the MIDI file is untouched
}

}  // namespace
}  // namespace tessavar
