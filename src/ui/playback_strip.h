// The transport strip of the player (play, pause, stop, rewind to start),
// the position slider (0..1000, thousandths of the file's length; a drag
// shows the time it seeks to) and the
// tile that drags the piece's MIDI file out of the window.
#ifndef TESSAVAR_UI_PLAYBACK_STRIP_H_
#define TESSAVAR_UI_PLAYBACK_STRIP_H_

#include <QString>
#include <QWidget>
#include <cstdint>

class QSlider;
class QToolButton;

namespace tessavar {

class MidiDragHandle;

class PlaybackStrip : public QWidget {
  Q_OBJECT

 public:
  explicit PlaybackStrip(QWidget* parent = nullptr);

  // Shows a slider position without raising any signal.
  void SetSliderPosition(int value);
  int SliderPosition() const;
  // The length of the file in the player, for the time a drag seeks to.
  void SetLengthMs(int64_t length_ms) { length_ms_ = length_ms; }
  // The time the slider's position stands for, shown beside the handle
  // while it is dragged.
  QString SeekTimeText() const;
  // The transport buttons are usable only while a file is open.
  void SetTransportEnabled(bool enabled);

  QToolButton* play_button() const { return play_; }
  QToolButton* pause_button() const { return pause_; }
  QToolButton* stop_button() const { return stop_; }
  QToolButton* rewind_button() const { return rewind_; }
  QSlider* slider() const { return slider_; }
  MidiDragHandle* midi_handle() const { return midi_handle_; }

 signals:
  void PlayPressed();
  void PausePressed();
  void StopPressed();
  void RewindPressed();
  // The user moved the slider.
  void SliderMoved(int value);

 private:
  QToolButton* AddButton(const QString& name, const QString& tip, int icon);
  void ShowSeekTime();

  QToolButton* rewind_ = nullptr;
  QToolButton* play_ = nullptr;
  QToolButton* pause_ = nullptr;
  QToolButton* stop_ = nullptr;
  QSlider* slider_ = nullptr;
  MidiDragHandle* midi_handle_ = nullptr;
  int64_t length_ms_ = 0;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_PLAYBACK_STRIP_H_
