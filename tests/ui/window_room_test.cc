// The window in use: yields that leave the composer its speed, room for
// the roll when the window grows, the size kept across runs, Space in each
// focus situation, and the Piece History window's Esc and Close.
#include <QGroupBox>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>

#include "ui/history_window.h"
#include "ui/playback_strip.h"
#include "ui/qt_ui_host.h"
#include "ui/roll_view.h"
#include "ui/window_fixture.h"
#include "ui/window_size_file.h"

namespace tessavar::testing {
namespace {

using std::chrono::microseconds;

TEST(QtUiHostTest, YieldRunsTheEventsAtMostOncePerInterval) {
  std::chrono::steady_clock::time_point now{};
  QtUiHost host([&now] { return now; });
  int refreshes = 0;
  int events = 0;
  host.before_yield = [&refreshes] { ++refreshes; };
  auto post_event = [&events] {
    QTimer::singleShot(0, qApp, [&events] { ++events; });
  };

  post_event();
  host.Yield();  // the first yield runs them
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(events, 1);
  post_event();
  for (int i = 0; i < 100; ++i) {  // 10 ms of yields
    now += microseconds(100);
    host.Yield();
  }
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(events, 1);
  now += QtUiHost::kYieldInterval;
  host.Yield();
  EXPECT_EQ(refreshes, 2);
  EXPECT_EQ(events, 2);

  // A command that starts shows its state at its first yield.
  host.SetBusyPointer(true);
  post_event();
  host.Yield();
  EXPECT_EQ(events, 3);
  host.SetBusyPointer(false);
}

class WindowRoomTest : public WindowTest {
 protected:
  QSize PanelSize() {
    PanelView& panel = window_->panel_view();
    return panel.general_group()->size() + panel.orchestration_group()->size() +
           panel.mapped_group()->size();
  }
};

TEST_F(WindowRoomTest, GrowingTheWindowGrowsOnlyTheRollAndTheSizeIsKept) {
  ShowWindow();
  const QRect area = window_->screen()->availableGeometry();
  EXPECT_TRUE(area.contains(window_->frameGeometry())) << "fits at first start";
  window_->resize(window_->minimumSizeHint());
  QApplication::processEvents();
  const QSize panel = PanelSize();
  const QSize roll = window_->roll_view().canvas()->size();
  const QSize grown = window_->size() + QSize(300, 40);
  window_->resize(grown);
  QApplication::processEvents();
  EXPECT_EQ(PanelSize(), panel);
  EXPECT_EQ(window_->roll_view().canvas()->size(), roll + QSize(300, 40));

  window_->close();
  const std::optional<WindowSize> kept =
      ReadWindowSize(directory_.File(kWindowSizeFileName));
  ASSERT_TRUE(kept.has_value());
  EXPECT_EQ(QSize(kept->width, kept->height), grown);
  EXPECT_FALSE(kept->maximised);
  window_.reset();
  MakeWindow();
  EXPECT_EQ(window_->size(), grown);
}

TEST_F(WindowRoomTest, SpacePlaysUnlessTypedOrOnAControlReachedWithTab) {
  ShowWindow();
  MakeWorkingFile();
  player_.SetFileName(state_.paths.working_midi);
  player_.Open();
  window_->Refresh();
  QPushButton* compose = window_->compose_button();
  compose->setEnabled(true);
  QSignalSpy clicks(compose, &QPushButton::clicked);

  // Focused by the program (as at start-up) or by a click: the transport.
  for (Qt::FocusReason reason : {Qt::OtherFocusReason, Qt::MouseFocusReason}) {
    compose->setFocus(reason);
    QTest::keyClick(compose, Qt::Key_Space);
    EXPECT_EQ(player_.mode, kPlayerModePlaying);
    QTest::keyClick(compose, Qt::Key_Space);
    EXPECT_EQ(player_.mode, kPlayerModePaused);
  }
  EXPECT_EQ(clicks.count(), 0);

  // The slider reached with Tab has no use for it: the transport.
  QSlider* slider = window_->playback_strip().slider();
  slider->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(slider->hasFocus());
  QTest::keyClick(slider, Qt::Key_Space);
  EXPECT_EQ(player_.mode, kPlayerModePlaying);

  // In a text box it is typed (and the edit closes the player).
  const size_t player_calls = player_.log.size();
  TypeInto({Box::kTempo}, "1");
  QTest::keyClick(Edit({Box::kTempo}), Qt::Key_Space);
  EXPECT_EQ(Text({Box::kTempo}), "1 ");
  for (size_t i = player_calls; i < player_.log.size(); ++i) {
    EXPECT_NE(player_.log[i], "Play");
    EXPECT_NE(player_.log[i], "Pause");
  }

  // Reached with Tab, the button takes it.
  compose->setEnabled(true);
  compose->setFocus(Qt::TabFocusReason);
  QTest::keyClick(compose, Qt::Key_Space);
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(WindowRoomTest, PieceHistoryOpensOnScreenAndClosesWithEscOrClose) {
  ShowWindow();
  HistoryWindow* history = window_->history_window();
  for (bool by_escape : {true, false}) {
    window_->menus().history->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowActive(history));
    const QRect area = window_->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(history->frameGeometry().topLeft()));
    EXPECT_TRUE(history->frameGeometry().intersects(window_->frameGeometry()));
    if (by_escape) {
      QTest::keyClick(history->list(), Qt::Key_Escape);
    } else {
      history->close_button()->click();
    }
    EXPECT_FALSE(history->isVisible()) << by_escape;
  }
}

}  // namespace
}  // namespace tessavar::testing
