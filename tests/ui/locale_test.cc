// The window in a locale that writes numbers with a decimal comma, taken as
// QApplication takes the environment's locale: a fraction typed into a box,
// the working MIDI file and the default composition saved at exit are those
// of the C locale.
#include <filesystem>
#include <string>

#include "base/file_system.h"
#include "support/decimal_comma_locale.h"
#include "ui/window_fixture.h"

namespace tessavar::testing {
namespace {

namespace fs = std::filesystem;

struct WindowRun {
  std::string typed;  // the box's text once typed
  std::string working_midi;
  std::string default_midi;
  std::string default_composition;
};

class DecimalCommaWindowTest : public WindowTest {
 protected:
  // Starts the window on the factory composition, types 4.5 into the first
  // mapped box (its spinner stays at 4, so the text is kept), composes and
  // closes the window; what it showed and left.
  WindowRun ComposeAndClose() {
    for (const char* name : {"default.tvx", "default.mid", "tvx.mid"}) {
      fs::remove(FindExistingPath(directory_.File(name)));
    }
    fs::copy_file(TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX",
                  directory_.File("default.tvx"));
    ShowWindow();
    const BoxId box{Box::kMapped, 0};
    TypeInto(box, "4");
    QTest::keyClick(Edit(box), Qt::Key_End);
    QTest::keyClicks(Edit(box), "5");  // 45: outside, kept as typed
    QTest::keyClick(Edit(box), Qt::Key_Left);
    QTest::keyClicks(Edit(box), ".");
    WindowRun run;
    run.typed = Text(box);
    QTest::mouseClick(window_->compose_button(), Qt::LeftButton);
    EXPECT_TRUE(errors_.messages.empty());
    EXPECT_TRUE(dialogs_.messages.empty());
    run.working_midi = ReadFile(FindExistingPath(state_.paths.working_midi));
    EXPECT_TRUE(window_->close());
    window_.reset();
    run.default_midi =
        ReadFile(FindExistingPath(directory_.File("default.mid")));
    run.default_composition =
        ReadFile(FindExistingPath(directory_.File("default.tvx")));
    state_ = ProgramState();
    player_ = FakePlayer();
    return run;
  }
};

TEST_F(DecimalCommaWindowTest, ComposesAndSavesAsInTheCLocale) {
  DecimalCommaLocale locale;
  if (!locale.available()) GTEST_SKIP() << locale.reason();
  const WindowRun plain = ComposeAndClose();
  WindowRun comma;
  {
    ScopedProcessLocale german(locale);
    ASSERT_TRUE(german.active());
    comma = ComposeAndClose();
  }
  EXPECT_EQ(plain.typed, "4.5");
  EXPECT_EQ(comma.typed, "4.5");
  ASSERT_FALSE(plain.working_midi.empty());
  EXPECT_TRUE(comma.working_midi == plain.working_midi)
      << "the working MIDI files differ";
  EXPECT_TRUE(comma.default_midi == plain.default_midi)
      << "the default MIDI files differ";
  EXPECT_EQ(comma.default_composition, plain.default_composition);
  EXPECT_NE(plain.default_composition.find("\r\n4.5\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tessavar::testing
