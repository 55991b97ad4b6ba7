#include "ui/dialogs/comp_info_dialog.h"

#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "midi/composition_info.h"
#include "model/dialog_checks.h"
#include "platform/qt/title_fit.h"
#include "ui/dialogs/dialog_style.h"

namespace tessavar {

CompInfoDialog::CompInfoDialog(std::string& composition_info,
                               UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), composition_info_(composition_info), dialogs_(dialogs) {
  setWindowTitle("Composition Info");

  auto* frame = new QGroupBox(this);
  text_box_ = new QLineEdit(frame);
  QFont font("Arial");
  font.setStyleHint(QFont::SansSerif);
  text_box_->setFont(font);
  ApplyGreenOnBlack(text_box_);
  text_box_->setMinimumWidth(text_box_->fontMetrics().averageCharWidth() * 72);
  auto* label = new QLabel(
      tr("&Text stored in the MIDI file (title, author, notes):"), frame);
  label->setBuddy(text_box_);
  bytes_left_ = new QLabel(frame);
  bytes_left_->setObjectName("BytesLeft");
  bytes_left_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  connect(
      text_box_, &QLineEdit::textChanged, this, [this](const QString& text) {
        bytes_left_->setText(
            QString::fromStdString(CompInfoBytesLeftText(text.toStdString())));
      });
  auto* frame_layout = new QVBoxLayout(frame);
  frame_layout->addWidget(label);
  frame_layout->addWidget(text_box_);
  frame_layout->addWidget(bytes_left_);

  ok_button_ = new QPushButton("OK", this);
  cancel_button_ = new QPushButton("Cancel", this);
  clear_button_ = new QPushButton("Clear", this);
  ok_button_->setDefault(true);
  connect(ok_button_, &QPushButton::clicked, this, &CompInfoDialog::OkClicked);
  connect(cancel_button_, &QPushButton::clicked, this, &CompInfoDialog::reject);
  connect(clear_button_, &QPushButton::clicked, text_box_, &QLineEdit::clear);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_button_);
  buttons->addWidget(cancel_button_);
  buttons->addWidget(clear_button_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addLayout(buttons);

  LoadText();
  FitTitle(this);
  adjustSize();
  PlaceOnScreen(this);
}

void CompInfoDialog::Run() {
  LoadText();
  exec();
}

void CompInfoDialog::LoadText() {
  text_box_->setText(QString::fromStdString(composition_info_));
  bytes_left_->setText(
      QString::fromStdString(CompInfoBytesLeftText(composition_info_)));
}

bool CompInfoDialog::CheckCompositionInfo() {
  const CompositionInfoCheck result =
      tessavar::CheckCompositionInfo(text_box_->text().toStdString());
  const QString trimmed = QString::fromStdString(result.text);
  if (trimmed != text_box_->text()) text_box_->setText(trimmed);
  accepted_ = result.accepted;
  if (!accepted_) {
    dialogs_.ShowMessage(result.message, std::string(),
                         MessageIcon::kExclamation);
  }
  return accepted_;
}

void CompInfoDialog::OkClicked() {
  if (!CheckCompositionInfo()) return;
  composition_info_ = text_box_->text().toStdString();
  accept();
}

void CompInfoDialog::reject() {
  text_box_->setText(QString::fromStdString(TrimCompInfo(composition_info_)));
  QDialog::reject();
}

void CompInfoDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  text_box_->setFocus();
}

}  // namespace tessavar
