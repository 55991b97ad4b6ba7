#include "ui/dialogs/midi_map_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/title_fit.h"
#include "ui/dialogs/dialog_style.h"

namespace tessavar {
namespace {

constexpr int kRowsPerColumn = 8;
constexpr int kBoxWidth = 48;

}  // namespace

MidiMapDialog::MidiMapDialog(ChannelMap& channel_map, UserDialogs& dialogs,
                             QWidget* parent)
    : QDialog(parent), channel_map_(channel_map), dialogs_(dialogs) {
  setWindowTitle("TVX Track to MIDI Channel Map");

  auto* frame = new QGroupBox(this);
  auto* grid = new QGridLayout(frame);
  grid->setHorizontalSpacing(8);
  // Each heading sits over its own column, aligned as the column is.
  for (int column = 0; column < 2; ++column) {
    grid->addWidget(new QLabel("TVX", frame), 0, column * 3,
                    Qt::AlignRight | Qt::AlignBottom);
    grid->addWidget(new QLabel("MIDI", frame), 0, column * 3 + 1,
                    Qt::AlignHCenter | Qt::AlignBottom);
  }
  grid->setColumnMinimumWidth(2, 24);
  for (int track = 0; track < kTrackCount; ++track) {
    const int column = track / kRowsPerColumn;
    const int row = track % kRowsPerColumn + 1;
    auto* label = new QLabel(QString::number(track + 1), frame);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* box = new QLineEdit(QString::number(track + 1), frame);
    box->setFixedWidth(kBoxWidth);
    box->setAlignment(Qt::AlignCenter);
    ApplyGreenOnBlack(box);
    SelectAllOnFocus(box);
    label->setBuddy(box);
    grid->addWidget(label, row, column * 3);
    grid->addWidget(box, row, column * 3 + 1);
    boxes_[track] = box;
  }

  ok_button_ = new QPushButton("OK", this);
  cancel_button_ = new QPushButton("Cancel", this);
  default_button_ = new QPushButton("Default", this);
  ok_button_->setDefault(true);
  connect(ok_button_, &QPushButton::clicked, this, &MidiMapDialog::OkClicked);
  connect(cancel_button_, &QPushButton::clicked, this,
          &MidiMapDialog::CancelClicked);
  connect(default_button_, &QPushButton::clicked, this,
          &MidiMapDialog::DefaultClicked);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ok_button_);
  buttons->addWidget(cancel_button_);
  buttons->addWidget(default_button_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addLayout(buttons);

  for (int track = 0; track + 1 < kTrackCount; ++track) {
    setTabOrder(boxes_[track], boxes_[track + 1]);
  }
  setTabOrder(boxes_.back(), ok_button_);
  setTabOrder(ok_button_, cancel_button_);
  setTabOrder(cancel_button_, default_button_);

  LoadBoxes();
  FitTitle(this);
  adjustSize();
  setFixedSize(size());
  PlaceOnScreen(this);
}

void MidiMapDialog::Run() {
  LoadBoxes();
  exec();
}

void MidiMapDialog::LoadBoxes() {
  for (int track = 0; track < kTrackCount; ++track) {
    boxes_[track]->setText(QString::number(channel_map_[track]));
  }
}

ChannelBoxTexts MidiMapDialog::BoxTexts() const {
  ChannelBoxTexts texts;
  for (int track = 0; track < kTrackCount; ++track) {
    texts[track] = boxes_[track]->text().toStdString();
  }
  return texts;
}

bool MidiMapDialog::CheckChannelBoxes() {
  const ChannelCheck check = tessavar::CheckChannelBoxes(BoxTexts());
  accepted_ = check.accepted;
  if (!accepted_) {
    dialogs_.ShowMessage(check.message, check.title, MessageIcon::kExclamation);
  }
  return accepted_;
}

void MidiMapDialog::OkClicked() {
  if (!CheckChannelBoxes()) return;
  // A fractional box value is stored rounded: the map holds whole channels.
  channel_map_ = ChannelMapFromTexts(BoxTexts());
  accept();
}

void MidiMapDialog::CancelClicked() {
  if (!CheckChannelBoxes()) return;
  LoadBoxes();
  reject();
}

void MidiMapDialog::DefaultClicked() {
  const ChannelMap defaults = DefaultChannelMap();
  for (int track = 0; track < kTrackCount; ++track) {
    boxes_[track]->setText(QString::number(defaults[track]));
  }
}

void MidiMapDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    cancel_button_->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace tessavar
