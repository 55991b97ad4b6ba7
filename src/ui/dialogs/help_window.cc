#include "ui/dialogs/help_window.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <algorithm>
#include <utility>

#include "model/help_document.h"
#include "ui/dialogs/dialog_style.h"

namespace tessavar {
namespace {

constexpr double kViewerShare = 0.99;
// Below the Close button.
constexpr int kButtonMargin = 4;

QSize InitialSize(const QWidget* window) {
  const QScreen* screen = window->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QSize area =
      screen ? screen->availableGeometry().size() : QSize(1024, 768);
  return QSize(std::min(760, area.width() * 4 / 5),
               std::min(680, area.height() * 5 / 6));
}

}  // namespace

HelpWindow::HelpWindow(std::string help_file_path, QWidget* parent)
    : QWidget(parent, Qt::Window), help_file_path_(std::move(help_file_path)) {
  setWindowTitle("TVX Help");
  // Esc and Close close the window, as they do every dialog.
  auto* close_key = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close_key, &QShortcut::activated, this, &QWidget::close);
  viewer_ = new QTextBrowser(this);
  close_button_ = new QPushButton(tr("Close"), this);
  close_button_->setObjectName("HelpClose");
  connect(close_button_, &QPushButton::clicked, this, &QWidget::close);
  viewer_->setOpenLinks(false);
  resize(InitialSize(this));
  SizeTextBox();
  PlaceOnScreen(this);
  LoadDocument();
}

void HelpWindow::LoadDocument() {
  const Result<std::string> html = ReadHelpDocument(help_file_path_);
  if (html.ok()) {
    viewer_->setHtml(QString::fromStdString(html.value()));
  } else {
    viewer_->setPlainText(QString("The help document could not be opened:\n%1")
                              .arg(QString::fromStdString(help_file_path_)));
  }
}

void HelpWindow::SizeTextBox() {
  const QSize button = close_button_->sizeHint();
  const QSize inner = size() - QSize(0, button.height() + kButtonMargin);
  const int width = qRound(kViewerShare * inner.width());
  const int height = qRound(kViewerShare * inner.height());
  viewer_->setGeometry((inner.width() - width) / 2,
                       (inner.height() - height) / 2, width, height);
  close_button_->setGeometry(
      inner.width() - (inner.width() - width) / 2 - button.width(),
      inner.height(), button.width(), button.height());
}

void HelpWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SizeTextBox();
}

}  // namespace tessavar
