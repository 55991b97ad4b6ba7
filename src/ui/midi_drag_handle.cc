#include "ui/midi_drag_handle.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>

namespace tessavar {

MidiDragHandle::MidiDragHandle(QWidget* parent) : QLabel(tr("MIDI"), parent) {
  setObjectName("MidiDragHandle");
  setAlignment(Qt::AlignCenter);
  setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  setMargin(3);
  setMinimumWidth(44);
  setCursor(Qt::OpenHandCursor);
  setFocusPolicy(Qt::TabFocus);
  setToolTip(tr("Drag the piece's MIDI file into another program or a folder"));
}

void MidiDragHandle::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  press_position_ = event->position().toPoint();
}

void MidiDragHandle::mouseMoveEvent(QMouseEvent* event) {
  if (!pressed_ || !(event->buttons() & Qt::LeftButton)) return;
  const QPoint moved = event->position().toPoint() - press_position_;
  if (moved.manhattanLength() < QApplication::startDragDistance()) return;
  pressed_ = false;
  std::unique_ptr<QMimeData> mime_data =
      make_mime_data ? make_mime_data() : nullptr;
  if (!mime_data) return;
  auto* drag = new QDrag(this);
  drag->setMimeData(mime_data.release());
  drag->setPixmap(grab());
  drag->setHotSpot(press_position_);
  drag->exec(Qt::CopyAction);
}

}  // namespace tessavar
