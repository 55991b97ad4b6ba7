#include "ui/playback_strip.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolButton>
#include <QToolTip>

#include "model/playback_monitor.h"
#include "ui/midi_drag_handle.h"

namespace tessavar {

PlaybackStrip::PlaybackStrip(QWidget* parent) : QWidget(parent) {
  setObjectName("PlaybackStrip");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  rewind_ = AddButton("RewindButton", tr("Rewind to start"),
                      QStyle::SP_MediaSkipBackward);
  play_ = AddButton("PlayButton", tr("Play"), QStyle::SP_MediaPlay);
  pause_ = AddButton("PauseButton", tr("Pause"), QStyle::SP_MediaPause);
  stop_ = AddButton("StopButton", tr("Stop"), QStyle::SP_MediaStop);
  for (QToolButton* button : {rewind_, play_, pause_, stop_}) {
    layout->addWidget(button);
  }
  layout->addSpacing(10);
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setObjectName("PositionSlider");
  slider_->setRange(0, 1000);
  slider_->setSingleStep(10);
  slider_->setPageStep(100);
  slider_->setToolTip(tr("Playing position; before playing, where to start"));
  layout->addWidget(slider_, 1);
  layout->addSpacing(10);
  midi_handle_ = new MidiDragHandle(this);
  layout->addWidget(midi_handle_);

  connect(rewind_, &QToolButton::clicked, this, &PlaybackStrip::RewindPressed);
  connect(play_, &QToolButton::clicked, this, &PlaybackStrip::PlayPressed);
  connect(pause_, &QToolButton::clicked, this, &PlaybackStrip::PausePressed);
  connect(stop_, &QToolButton::clicked, this, &PlaybackStrip::StopPressed);
  connect(slider_, &QSlider::valueChanged, this, &PlaybackStrip::SliderMoved);
  connect(slider_, &QSlider::sliderMoved, this, &PlaybackStrip::ShowSeekTime);
  connect(slider_, &QSlider::sliderReleased, this, &QToolTip::hideText);
}

QString PlaybackStrip::SeekTimeText() const {
  return QString::fromStdString(FormatPlayingTime(
      StartPositionForSlider(slider_->sliderPosition(), length_ms_)));
}

void PlaybackStrip::ShowSeekTime() {
  QStyleOptionSlider option;
  option.initFrom(slider_);
  option.orientation = slider_->orientation();
  option.minimum = slider_->minimum();
  option.maximum = slider_->maximum();
  option.sliderPosition = slider_->sliderPosition();
  option.sliderValue = slider_->value();
  const QRect handle = style()->subControlRect(
      QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider_);
  QToolTip::showText(slider_->mapToGlobal(handle.topLeft()), SeekTimeText(),
                     slider_);
}

QToolButton* PlaybackStrip::AddButton(const QString& name, const QString& tip,
                                      int icon) {
  auto* button = new QToolButton(this);
  button->setObjectName(name);
  button->setToolTip(tip);
  button->setIcon(
      style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)));
  button->setAutoRaise(false);
  button->setIconSize(QSize(18, 18));
  button->setFocusPolicy(Qt::TabFocus);
  return button;
}

void PlaybackStrip::SetSliderPosition(int value) {
  // The user's drag wins until the handle is let go.
  if (slider_->value() == value || slider_->isSliderDown()) return;
  QSignalBlocker blocker(slider_);
  slider_->setValue(value);
}

int PlaybackStrip::SliderPosition() const { return slider_->value(); }

void PlaybackStrip::SetTransportEnabled(bool enabled) {
  for (QToolButton* button : {rewind_, play_, pause_, stop_}) {
    button->setEnabled(enabled);
  }
}

}  // namespace tessavar
