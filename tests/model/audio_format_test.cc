#include "model/audio_format.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "base/file_system.h"

namespace tessavar {
namespace {

TEST(AudioFormatTest, ExtensionOfTheFileNameChoosesTheFormat) {
  EXPECT_EQ(AudioFormatOfPath("song.wav"), AudioFormat::kWav);
  EXPECT_EQ(AudioFormatOfPath("dir.flac/Song.FLAC"), AudioFormat::kFlac);
  EXPECT_EQ(AudioFormatOfPath("a.b/c.Ogg"), AudioFormat::kOggVorbis);
  EXPECT_EQ(AudioFormatOfPath("x.MP3"), AudioFormat::kMp3);
  EXPECT_EQ(AudioFormatOfPath("x.opus"), AudioFormat::kOpus);
  EXPECT_EQ(AudioFormatOfPath("x.aac"), std::nullopt);
  EXPECT_EQ(AudioFormatOfPath("dir.wav/song"), std::nullopt);
  EXPECT_EQ(AudioFormatOfPath("flac"), std::nullopt);
  EXPECT_EQ(AudioFormatNamed("OGG"), AudioFormat::kOggVorbis);
  EXPECT_EQ(AudioFormatNamed(""), std::nullopt);
}

// Names, messages and dialog filters come from the one list.
TEST(AudioFormatTest, EveryFormatIsOfferedAndNamed) {
  EXPECT_EQ(AudioFormats().front().format, AudioFormat::kWav);
  EXPECT_EQ(SupportedAudioExtensions(), ".wav, .flac, .ogg, .mp3 or .opus");
  EXPECT_NE(UnknownAudioFormatText().find(SupportedAudioExtensions()),
            std::string::npos);
  EXPECT_EQ(AudioDialogFilter(),
            "WAV audio (*.wav);;FLAC audio (*.flac);;Ogg Vorbis audio "
            "(*.ogg);;MP3 audio (*.mp3);;Opus audio (*.opus)");
  for (const AudioFormatInfo& info : AudioFormats()) {
    EXPECT_EQ(AudioFormatNamed(info.extension), info.format);
    EXPECT_EQ(AudioExtension(info.format), info.extension);
  }
}

// The manual page, the shell completion and the README list the formats
// by hand; they name exactly those of the list, in its order.
TEST(AudioFormatTest, DocumentsNameExactlyTheListedFormats) {
  const auto joined = [](const std::string& before, const std::string& glue) {
    std::string text;
    for (const AudioFormatInfo& info : AudioFormats()) {
      text += (text.empty() ? "" : glue) + before + std::string(info.extension);
    }
    return text;
  };
  const std::string source = TESSAVAR_SOURCE_DIR;
  const std::string manual =
      ReadWholeFile(source + "/share/man/tessavar-cli.1");
  const std::string completion =
      ReadWholeFile(source + "/share/completion/tessavar-cli.bash");
  const std::string readme = ReadWholeFile(source + "/README.md");
  // Every list of formats in a document is the whole list, in order.
  const std::regex list(R"((OUT\.)?[a-z0-9]+(\|(OUT\.)?[a-z0-9]+)+)");
  for (const std::string& text : {manual, readme}) {
    int lists = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), list);
         it != std::sregex_iterator(); ++it) {
      const std::string found = it->str();
      if (found.find("wav") == std::string::npos) continue;
      ++lists;
      EXPECT_TRUE(found == joined("OUT.", "|") || found == joined("", "|"))
          << found;
    }
    EXPECT_GE(lists, 2);
  }
  // The completion asks the program for the formats, so it spells none
  // that could fall behind the list.
  EXPECT_EQ(completion.find("wav"), std::string::npos);
}

}  // namespace
}  // namespace tessavar
