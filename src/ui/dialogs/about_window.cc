#include "ui/dialogs/about_window.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/program_state.h"
#include "platform/qt/title_fit.h"
#include "ui/dialogs/dialog_style.h"

namespace tessavar {
namespace {

constexpr char kTagline[] = "Algorithmic music from a string of digits";
constexpr char kVersion[] = "Version 2.01";
constexpr char kNotice[] =
    "Every piece is made from its parameters alone: the same settings give "
    "the same music, note for note, on every computer. Keep the settings "
    "of a piece you like, and you can always compose it again.\n\n"
    "Free software under the MIT License, copyright the Tessavar Composer "
    "authors.\n\n"
    "Click anywhere in this window to close it.";

QLabel* CenteredLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignCenter);
  label->setWordWrap(true);
  return label;
}

}  // namespace

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About Tessavar Composer");

  product_label_ = CenteredLabel(kProgramCaption, this);
  QFont title_font("Times New Roman");
  title_font.setStyleHint(QFont::Serif);
  title_font.setPointSize(26);
  title_font.setBold(true);
  product_label_->setFont(title_font);

  tagline_label_ = CenteredLabel(kTagline, this);
  QFont tagline_font = tagline_label_->font();
  tagline_font.setItalic(true);
  tagline_label_->setFont(tagline_font);

  version_label_ = CenteredLabel(kVersion, this);
  notice_label_ = CenteredLabel(kNotice, this);
  notice_label_->setMinimumWidth(380);

  close_button_ = new QPushButton("OK", this);
  close_button_->setDefault(true);
  connect(close_button_, &QPushButton::clicked, this, &AboutWindow::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close_button_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 16);
  layout->setSpacing(10);
  layout->addWidget(product_label_);
  layout->addWidget(tagline_label_);
  layout->addWidget(version_label_);
  layout->addSpacing(8);
  layout->addWidget(notice_label_);
  layout->addSpacing(8);
  layout->addLayout(buttons);

  FitTitle(this);
  adjustSize();
  setFixedSize(size());
  PlaceOnScreen(this);
}

void AboutWindow::Run() {
  // The splash may still be up; show the window again as a modal one.
  if (isVisible()) hide();
  exec();
}

void AboutWindow::ShowAsSplash() {
  show();
  raise();
}

void AboutWindow::mousePressEvent(QMouseEvent* event) {
  event->accept();
  accept();
}

}  // namespace tessavar
