// The roll as drawn and as used: pixels of a small fixed score, clicks that
// seek, drags that select a loop region, the legend's mute buttons, and the
// window's roll, keys and number-box steps.
#include "ui/roll_view.h"

#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include "base/file_system.h"
#include "midi/midi_reader.h"
#include "model/playback_monitor.h"
#include "support/cli_process.h"
#include "support/midi_bytes.h"
#include "ui/playback_strip.h"
#include "ui/roll_painter.h"
#include "ui/window_fixture.h"

namespace tessavar::testing {
namespace {

// 4 quarters of C4 on track 1 and a half note of E4 from beat 3 on track 2;
// at 1 tick per pixel and 10 pixels per key (C4 to B5).
constexpr int kTicks = 4 * 96;
std::string SmallScore() {
  return WriterLayoutFile({Quarters(4, 60), {Note{192, 64, 192}}});
}

void LoadSmallScore(RollModel& model) {
  model.SetViewSize(kRollKeyGutter + kTicks, kRollRulerHeight + 240);
  model.SetContent(ReadMidiContent(SmallScore()).value());
}

QRgb Pixel(const QImage& image, int tick, int key) {
  const int x = kRollKeyGutter + tick;
  const int y = kRollRulerHeight + (83 - key) * 10 + 5;  // mid-row
  return image.pixel(x, y) & 0xFFFFFF;
}

TEST(RollPainterTest, SmallScoreHasItsColouredCellsWhereExpected) {
  RollModel model;
  LoadSmallScore(model);
  ASSERT_EQ(model.low_key(), 60);
  ASSERT_EQ(model.high_key(), 83);
  const QImage image = RenderRoll(model);
  const QRgb first = TrackColour(0);
  const QRgb second = TrackColour(1);
  for (int tick : {10, 100, 200, 380}) EXPECT_EQ(Pixel(image, tick, 60), first);
  for (int tick : {200, 300, 380}) EXPECT_EQ(Pixel(image, tick, 64), second);
  for (int tick : {10, 150, 190}) EXPECT_NE(Pixel(image, tick, 64), second);
  for (int tick : {10, 300}) {
    EXPECT_NE(Pixel(image, tick, 62), first);
    EXPECT_NE(Pixel(image, tick, 62), second);
  }
  // A muted track is drawn faded.
  model.mix().SetMuted(2, true);
  const QImage muted = RenderRoll(model);
  EXPECT_NE(Pixel(muted, 300, 64), second);
  EXPECT_EQ(Pixel(muted, 100, 60), first);
}

// Loop on without a region tints nothing; a region is tinted alone. The
// legend names a track by its row and instrument.
TEST(RollPainterTest, OnlyTheLoopRegionIsTintedAndTracksGoByInstrument) {
  RollModel model;
  LoadSmallScore(model);
  const QImage plain = RenderRoll(model);
  model.SetLoopEnabled(true);
  EXPECT_EQ(RenderRoll(model), plain);
  model.SelectLoopRegion(kRollKeyGutter + 100, kRollKeyGutter + 200);
  const QImage region = RenderRoll(model);
  EXPECT_NE(Pixel(region, 150, 62), Pixel(plain, 150, 62));
  EXPECT_EQ(Pixel(region, 300, 62), Pixel(plain, 300, 62));
  EXPECT_EQ(RollTrackLabel(model, 2).toStdString(), "2 Piano");
}

class RollViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view_.resize(kRollKeyGutter + kTicks + 200, 300);
    view_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
    dir_.Write("small.mid", SmallScore());
    view_.ShowFile(dir_.File("small.mid"));
  }
  QWidget* Canvas() { return view_.canvas(); }

  TempDir dir_;
  RollView view_;
};

TEST_F(RollViewTest, ClickSeeksAndDragSelectsTheLoopRegion) {
  QSignalSpy seeks(&view_, &RollView::SeekRequested);
  QSignalSpy loops(&view_, &RollView::LoopChanged);
  const RollModel& model = view_.model();
  const QPoint point(kRollKeyGutter + 150, 100);
  QTest::mouseClick(Canvas(), Qt::LeftButton, {}, point);
  ASSERT_EQ(seeks.size(), 1);
  EXPECT_EQ(seeks[0][0].toLongLong(), model.MsAtX(point.x()));
  EXPECT_GT(seeks[0][0].toLongLong(), 0);

  QTest::mousePress(Canvas(), Qt::LeftButton, {}, point);
  QTest::mouseMove(Canvas(), QPoint(kRollKeyGutter + 250, 100));
  QTest::mouseRelease(Canvas(), Qt::LeftButton, {},
                      QPoint(kRollKeyGutter + 250, 100));
  EXPECT_EQ(seeks.size(), 1);  // a drag does not seek
  EXPECT_EQ(loops.size(), 1);
  EXPECT_TRUE(model.has_region());
  EXPECT_EQ(model.LoopStartMs(), model.MsAtX(point.x()));
  view_.loop_button()->click();
  EXPECT_TRUE(model.loop_enabled());
  EXPECT_EQ(loops.size(), 2);
}

TEST_F(RollViewTest, LegendMutesAndSolosTracks) {
  QSignalSpy mixes(&view_, &RollView::MixChanged);
  EXPECT_EQ(view_.MuteButton(0), nullptr);  // the tempo track has no notes
  ASSERT_NE(view_.MuteButton(1), nullptr);
  view_.MuteButton(1)->click();
  view_.SoloButton(2)->click();
  EXPECT_EQ(mixes.size(), 2);
  EXPECT_EQ(view_.model().mix().SilentTracks(),
            (std::vector<bool>{true, true, false}));
}

#ifdef TESSAVAR_CLI_PATH
// `tessavar-cli roll` as a user runs it.
testing::CliOutcome RollCli(const TempDir& dir,
                            std::vector<std::string> words) {
  words.insert(words.begin(), "roll");
  return testing::RunCliWords(words, dir.path());
}

TEST(RollCliTest, DrawsThePictureOrSaysWhyNot) {
  TempDir dir;
  dir.Write("small.mid", SmallScore());
  const std::string png = dir.File("small.png");
  const testing::CliOutcome drawn =
      RollCli(dir, {dir.File("small.mid"), png, "--size", "500x200"});
  ASSERT_EQ(drawn.status, 0) << drawn.err;
  const QImage image(QString::fromStdString(png));
  EXPECT_EQ(image.size(), QSize(500, 200));
  bool has_track_colour = false;
  for (int x = kRollKeyGutter; x < image.width() && !has_track_colour; ++x) {
    for (int y = kRollRulerHeight; y < image.height(); ++y) {
      if ((image.pixel(x, y) & 0xFFFFFF) == TrackColour(1)) {
        has_track_colour = true;
        break;
      }
    }
  }
  EXPECT_TRUE(has_track_colour);

  dir.Write("broken.mid", "MThd");
  const testing::CliOutcome broken =
      RollCli(dir, {dir.File("broken.mid"), dir.File("broken.png")});
  EXPECT_EQ(broken.status, 2);  // a file that cannot be read, as everywhere
  EXPECT_NE(broken.err.find("MIDI"), std::string::npos);
  EXPECT_FALSE(FileExists(dir.File("broken.png")));
  EXPECT_EQ(RollCli(dir, {dir.File("small.mid"), dir.File("small.mid")}).status,
            2);
  EXPECT_EQ(dir.Read("small.mid"), SmallScore());  // never its own output
}
#endif

class WindowRollTest : public WindowTest {};

TEST_F(WindowRollTest, ShowsThePlayersFileAndTakesTheTransportKeys) {
  ShowWindow();
  WriteFileAtomically(directory_.File("shown.mid"), SmallScore());
  player_.SetFileName(directory_.File("shown.mid"));
  player_.Open();
  player_.length_ms = 2000;
  window_->Refresh();
  RollView& roll = window_->roll_view();
  EXPECT_EQ(roll.model().content().NoteCount(), 5);

  roll.canvas()->setFocus();
  player_.log.clear();
  QTest::keyClick(roll.canvas(), Qt::Key_Space);
  EXPECT_EQ(player_.mode, kPlayerModePlaying);
  QTest::keyClick(roll.canvas(), Qt::Key_Space);
  EXPECT_EQ(player_.mode, kPlayerModePaused);
  window_->findChild<QTimer*>("StatusTimer")->timeout({});
  EXPECT_EQ(window_->status_line()->text(), "paused at 00:00 of 00:02");
  QTest::keyClick(roll.canvas(), Qt::Key_Home);
  EXPECT_EQ(player_.log.back(), "Stop");
  // Muting goes to the player.
  roll.MuteButton(2)->click();
  EXPECT_EQ(player_.silent, (std::vector<bool>{false, false, true}));
}

// The view follows the playhead only while playing and until the user
// scrolls or zooms; Play and Home bring following back.
TEST_F(WindowRollTest, ScrollingAndZoomingKeepTheViewUntilPlayOrHome) {
  ShowWindow();
  WriteFileAtomically(directory_.File("long.mid"),
                      WriterLayoutFile({Quarters(400)}));
  player_.SetFileName(directory_.File("long.mid"));
  player_.Open();
  player_.length_ms = 100000;
  window_->Refresh();
  RollView& roll = window_->roll_view();
  const RollModel& model = roll.model();
  QWidget* canvas = roll.canvas();
  auto* playhead = window_->findChild<QTimer*>("PlayheadTimer");
  auto wheel = [&](int x, int notches, Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(QPointF(x, 50), canvas->mapToGlobal(QPointF(x, 50)), {},
                      QPoint(0, notches * 120), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &event);
  };

  // Zoomed in around the mouse while stopped: the tick under it stays.
  const int x = kRollKeyGutter + 200;
  const int64_t tick_under_mouse = model.XToTick(x);
  wheel(x, 8, Qt::ControlModifier);
  EXPECT_NEAR(model.XToTick(x), tick_under_mouse, model.ticks_per_pixel());
  EXPECT_GT(model.scroll_tick(), 0);
  EXPECT_FALSE(roll.following());
  EXPECT_FALSE(roll.follow_button()->isChecked());
  const int64_t zoomed_view = model.scroll_tick();
  playhead->timeout({});
  EXPECT_EQ(model.scroll_tick(), zoomed_view);

  // Play follows again: the playhead at the start brings the view there.
  window_->playback_strip().play_button()->click();
  EXPECT_TRUE(roll.following());
  playhead->timeout({});
  EXPECT_EQ(model.scroll_tick(), 0);

  // Scrolled away while playing, and paused: the view stays put.
  wheel(x, -3, Qt::NoModifier);
  const int64_t scrolled_view = model.scroll_tick();
  EXPECT_GT(scrolled_view, 0);
  playhead->timeout({});
  window_->playback_strip().pause_button()->click();
  roll.scroll_bar()->setValue(roll.scroll_bar()->value() + 50);
  const int64_t paused_view = model.scroll_tick();
  EXPECT_GT(paused_view, scrolled_view);
  playhead->timeout({});
  EXPECT_EQ(model.scroll_tick(), paused_view);
  EXPECT_FALSE(roll.following());

  QTest::keyClick(canvas, Qt::Key_Home);
  EXPECT_TRUE(roll.following());

  // A dragged slider tells where it will seek.
  QSlider* slider = window_->playback_strip().slider();
  slider->setSliderDown(true);
  slider->setSliderPosition(500);
  EXPECT_EQ(window_->playback_strip().SeekTimeText().toStdString(),
            FormatPlayingTime(50000));
  slider->setSliderDown(false);
}

TEST_F(WindowRollTest, ArrowAndPageKeysStepNumberBoxesLikeTheSpinner) {
  ShowWindow();
  const BoxId tempo{Box::kTempo};
  Edit(tempo)->setFocus();
  const std::string before = Text(tempo);
  window_->panel_view().SpinnerFor(tempo)->triggerAction(
      QAbstractSlider::SliderSingleStepSub);  // the up arrow
  const std::string by_arrow = Text(tempo);
  ASSERT_NE(by_arrow, before);
  QTest::keyClick(Edit(tempo), Qt::Key_Down);
  EXPECT_EQ(Text(tempo), before);
  QTest::keyClick(Edit(tempo), Qt::Key_PageUp);
  EXPECT_EQ(Text(tempo), by_arrow);
  QTest::keyClick(Edit(tempo), Qt::Key_PageDown);
  QTest::keyClick(Edit(tempo), Qt::Key_Up);
  EXPECT_EQ(Text(tempo), by_arrow);
}

}  // namespace
}  // namespace tessavar::testing
