#include "ui/dialogs/help_window.h"

#include <QGuiApplication>
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
  // Esc closes the window, as it does every dialog.
  auto* close_key = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close_key, &QShortcut::activated, this, &QWidget::close);
  viewer_ = new QTextBrowser(this);
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
  const QSize inner = size();
  const int width = qRound(kViewerShare * inner.width());
  const int height = qRound(kViewerShare * inner.height());
  viewer_->setGeometry((inner.width() - width) / 2,
                       (inner.height() - height) / 2, width, height);
}

void HelpWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SizeTextBox();
}

}  // namespace tessavar
