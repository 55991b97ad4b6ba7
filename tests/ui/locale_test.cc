// The window in a locale that writes numbers with a decimal comma, taken as
// QApplication takes the environment's locale: the boxes, the working MIDI
// file and the default composition saved at exit are those of the C locale.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "support/cli_process.h"
#include "support/decimal_comma_locale.h"
#include "ui/window_fixture.h"

namespace tessavar::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kTempoLine = 9;
constexpr int kFirstVolumeLine = 13;

class DecimalCommaWindowTest : public WindowTest {};

TEST_F(DecimalCommaWindowTest, ComposesAndSavesAsInTheCLocale) {
  DecimalCommaLocale locale;
  if (!locale.available()) GTEST_SKIP() << locale.reason();
  std::vector<std::string> lines =
      Lines(ReadFile(TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX"));
  ASSERT_GT(lines.size(), static_cast<size_t>(kFirstVolumeLine));
  lines[kTempoLine - 1] = "100.7";
  lines[kFirstVolumeLine - 1] = "99.5";
  std::string composition;
  for (const std::string& line : lines) composition += line + "\r\n";
  std::ofstream(directory_.File("default.tvx"), std::ios::binary)
      << composition;
  std::ofstream(directory_.File("panel.tvx"), std::ios::binary) << composition;

  {
    ScopedProcessLocale german(locale);
    ASSERT_TRUE(german.active());
    ShowWindow();
    EXPECT_EQ(Text({Box::kTempo}), "100.7");
    EXPECT_EQ(Text({Box::kVolume, 0}), "99.5");
    QTest::mouseClick(window_->compile_button(), Qt::LeftButton);
    ASSERT_TRUE(errors_.messages.empty());
    ASSERT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(Text({Box::kTempo}), "100.7");
    ASSERT_TRUE(window_->close());
  }

  const CliOutcome cli =
      RunCliWords({"compose", directory_.File("panel.tvx"), "-o",
                   directory_.File("cli.mid"), "--save-composition",
                   directory_.File("cli.tvx")},
                  directory_.path());
  ASSERT_EQ(cli.status, 0) << cli.err;
  const std::string music = ReadFile(directory_.File("cli.mid"));
  EXPECT_TRUE(ReadFile(FindExistingPath(state_.paths.working_midi)) == music);
  EXPECT_TRUE(ReadFile(FindExistingPath(directory_.File("default.mid"))) ==
              music);
  EXPECT_EQ(ReadFile(FindExistingPath(directory_.File("default.tvx"))),
            ReadFile(directory_.File("cli.tvx")));
}

}  // namespace
}  // namespace tessavar::testing
