// The piano-roll pane of the main window: the roll of the file in the
// player with a scroll bar, zoom (Ctrl+wheel) and fit-to-window, a click to
// seek, a drag to select a loop region, following the playhead, the loop
// toggle, and a legend with the tracks' names, colours and mute and solo
// buttons. The state lives in a RollModel; the window connects the signals to
// the player.
#ifndef TESSAVAR_UI_ROLL_VIEW_H_
#define TESSAVAR_UI_ROLL_VIEW_H_

#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "model/roll_model.h"

class QScrollBar;
class QToolButton;
class QVBoxLayout;

namespace tessavar {

class RollCanvas;

class RollView : public QWidget {
  Q_OBJECT

 public:
  explicit RollView(QWidget* parent = nullptr);

  RollModel& model() { return model_; }
  const RollModel& model() const { return model_; }

  // Reads the file (empty = none) and shows it whole, with a new legend.
  void ShowFile(const std::string& path);
  // Moves the playhead; while playing and following, the view pages on
  // when the playhead leaves it.
  void SetPlayheadMs(int64_t milliseconds, bool playing);
  void FitToWindow();
  // Following stops when the user scrolls or zooms, and starts again here
  // (Play, Home) or with the Follow button.
  void SetFollow(bool follow);
  bool following() const;

  QWidget* canvas() const;
  QToolButton* loop_button() const { return loop_button_; }
  QToolButton* fit_button() const { return fit_button_; }
  QToolButton* follow_button() const { return follow_button_; }
  QScrollBar* scroll_bar() const { return scroll_bar_; }
  QToolButton* MuteButton(int track) const;
  QToolButton* SoloButton(int track) const;

 signals:
  // A click on the roll: play (on) from there.
  void SeekRequested(qint64 milliseconds);
  // The loop was switched or its region changed.
  void LoopChanged();
  // A track was muted, unmuted, soloed or unsoloed.
  void MixChanged();

 private:
  friend class RollCanvas;
  void BuildLegend();
  void ViewChanged();
  // The user moved or zoomed the view: it stays where they put it.
  void UserMovedView();
  void SyncScrollBar();

  RollModel model_;
  RollCanvas* canvas_ = nullptr;
  QScrollBar* scroll_bar_ = nullptr;
  QToolButton* fit_button_ = nullptr;
  QToolButton* follow_button_ = nullptr;
  QToolButton* loop_button_ = nullptr;
  QToolButton* whole_button_ = nullptr;
  QWidget* legend_ = nullptr;
  QVBoxLayout* legend_layout_ = nullptr;
  std::vector<QToolButton*> mute_buttons_;  // by track; null without notes
  std::vector<QToolButton*> solo_buttons_;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_ROLL_VIEW_H_
