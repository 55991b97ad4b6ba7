#include "model/audio_format.h"

#include <gtest/gtest.h>

namespace tessavar {
namespace {

TEST(AudioFormatTest, ExtensionOfTheFileNameChoosesTheFormat) {
  EXPECT_EQ(AudioFormatOfPath("song.wav"), AudioFormat::kWav);
  EXPECT_EQ(AudioFormatOfPath("dir.flac/Song.FLAC"), AudioFormat::kFlac);
  EXPECT_EQ(AudioFormatOfPath("a.b/c.Ogg"), AudioFormat::kOggVorbis);
  EXPECT_EQ(AudioFormatOfPath("x.mp3"), std::nullopt);
  EXPECT_EQ(AudioFormatOfPath("dir.wav/song"), std::nullopt);
  EXPECT_EQ(AudioFormatOfPath("flac"), std::nullopt);
  EXPECT_EQ(AudioFormatNamed("OGG"), AudioFormat::kOggVorbis);
  EXPECT_EQ(AudioFormatNamed(""), std::nullopt);
}

// Names, messages and dialog filters come from the one list.
TEST(AudioFormatTest, EveryFormatIsOfferedAndNamed) {
  EXPECT_EQ(AudioFormats().front().format, AudioFormat::kWav);
  EXPECT_EQ(SupportedAudioExtensions(), ".wav, .flac or .ogg");
  EXPECT_NE(UnknownAudioFormatText().find(SupportedAudioExtensions()),
            std::string::npos);
  EXPECT_EQ(AudioDialogFilter(),
            "WAV audio (*.wav);;FLAC audio (*.flac);;Ogg Vorbis audio (*.ogg)");
  for (const AudioFormatInfo& info : AudioFormats()) {
    EXPECT_EQ(AudioFormatNamed(info.extension), info.format);
    EXPECT_EQ(AudioExtension(info.format), info.extension);
  }
}

}  // namespace
}  // namespace tessavar
