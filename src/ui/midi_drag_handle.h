// A small "MIDI" tile beside the transport: dragged out of the window it
// carries the piece's MIDI file into another program or a folder. A click
// does nothing, so the tile is never confused with a button.
#ifndef TESSAVAR_UI_MIDI_DRAG_HANDLE_H_
#define TESSAVAR_UI_MIDI_DRAG_HANDLE_H_

#include <QLabel>
#include <QPoint>
#include <functional>
#include <memory>

class QMimeData;

namespace tessavar {

class MidiDragHandle : public QLabel {
  Q_OBJECT

 public:
  explicit MidiDragHandle(QWidget* parent = nullptr);

  // Makes the data a drag carries; null cancels the drag.
  std::function<std::unique_ptr<QMimeData>()> make_mime_data;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QPoint press_position_;
  bool pressed_ = false;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_MIDI_DRAG_HANDLE_H_
