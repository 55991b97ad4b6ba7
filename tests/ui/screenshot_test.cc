// The main window after composing the factory default composition and
// starting playback, drawn off screen. scripts/screenshot.sh runs this test
// with TESSAVAR_SCREENSHOT set to keep the picture for the documentation.
#include <QPixmap>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>

#include "ui/playback_strip.h"
#include "ui/window_fixture.h"

namespace tessavar::testing {
namespace {

class ScreenshotTest : public WindowTest {};

TEST_F(ScreenshotTest, MainWindowAfterComposingTheFactoryDefault) {
  std::filesystem::copy_file(TESSAVAR_SOURCE_DIR "/share/DEFAULT.TVX",
                             directory_.File("DEFAULT.TVX"));
  ShowWindow();
  QTest::mouseClick(window_->compose_button(), Qt::LeftButton);
  ASSERT_TRUE(window_->save_button()->isEnabled());

  // The player reports a position, as it does about four times a second.
  player_.length_ms = 403900;
  player_.position_ms = 95250;
  QTest::mouseClick(window_->playback_strip().play_button(), Qt::LeftButton);
  ASSERT_EQ(player_.mode, kPlayerModePlaying);
  auto* status_timer = window_->findChild<QTimer*>("StatusTimer");
  ASSERT_NE(status_timer, nullptr);
  emit status_timer->timeout({});
  EXPECT_EQ(window_->status_line()->text(), "playing...01:35 of 06:43");
  EXPECT_EQ(window_->playback_strip().slider()->value(), 235);

  window_->compose_button()->clearFocus();
  const QPixmap picture = window_->grab();
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size(), window_->size() * picture.devicePixelRatio());
  if (const char* path = std::getenv("TESSAVAR_SCREENSHOT")) {
    ASSERT_TRUE(picture.save(QString::fromLocal8Bit(path), "PNG"));
  }
}

}  // namespace
}  // namespace tessavar::testing
