// A small up/down spinner beside a number box: a vertical scroll bar whose
// up arrow increases the value. The scroll bar itself counts downwards
// (its top is its minimum), so it holds the negated value; the mouse wheel,
// the arrows and the keys then all move the value the natural way.
#ifndef TESSAVAR_UI_SPINNER_H_
#define TESSAVAR_UI_SPINNER_H_

#include <QScrollBar>

namespace tessavar {

class Spinner : public QScrollBar {
  Q_OBJECT

 public:
  explicit Spinner(QWidget* parent = nullptr);

  void SetRange(int low, int high, int step);
  // Shows a position without raising any signal.
  void SetPosition(int value);
  int Position() const { return -value(); }

 signals:
  // One arrow click: +1 up, -1 down.
  void Stepped(int direction);
  // The thumb was dragged to a position.
  void Dragged(int value);

 private:
  void OnAction(int action);
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_SPINNER_H_
