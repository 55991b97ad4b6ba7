#include "ui/spinner.h"

#include <QSignalBlocker>

namespace tessavar {

Spinner::Spinner(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
  setFocusPolicy(Qt::NoFocus);  // the arrows are not tab stops
  setFixedWidth(16);
  connect(this, &QAbstractSlider::actionTriggered, this, &Spinner::OnAction);
}

void Spinner::SetRange(int low, int high, int step) {
  QSignalBlocker blocker(this);
  setRange(-high, -low);
  setSingleStep(step);
  setPageStep(step);
}

void Spinner::SetPosition(int value) {
  if (value == Position()) return;
  QSignalBlocker blocker(this);
  setValue(-value);
}

// The model decides the new position; the scroll bar only reports the
// gesture and is set back to whatever the model then shows.
void Spinner::OnAction(int action) {
  const int shown = value();
  switch (action) {
    case SliderSingleStepSub:
    case SliderPageStepSub:
      setSliderPosition(shown);
      emit Stepped(+1);
      break;
    case SliderSingleStepAdd:
    case SliderPageStepAdd:
      setSliderPosition(shown);
      emit Stepped(-1);
      break;
    case SliderMove:
      emit Dragged(-sliderPosition());
      break;
    default:
      break;
  }
}

}  // namespace tessavar
