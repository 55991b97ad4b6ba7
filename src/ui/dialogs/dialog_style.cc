#include "ui/dialogs/dialog_style.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace tessavar {
namespace {

class SelectAllFilter : public QObject {
 public:
  explicit SelectAllFilter(QLineEdit* edit) : QObject(edit), edit_(edit) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == edit_ && event->type() == QEvent::FocusIn) {
      edit_->selectAll();
      // A mouse click places the cursor after the focus arrives; select
      // again once it has.
      QPointer<QLineEdit> edit = edit_;
      QTimer::singleShot(0, edit_, [edit] {
        if (edit && edit->hasFocus()) edit->selectAll();
      });
    }
    return false;
  }

 private:
  QLineEdit* edit_;
};

QScreen* ScreenOf(const QWidget* widget) {
  QScreen* screen = widget->screen();
  return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

// With its frame once it is shown.
QSize OuterSize(const QWidget* window) {
  return window->isVisible() ? window->frameGeometry().size() : window->size();
}

void PlaceWindow(QWidget* window) {
  const QScreen* screen = ScreenOf(window);
  if (screen == nullptr) return;
  const QRect area = screen->geometry();
  const QSize size = OuterSize(window);
  // A window larger than the screen keeps its title bar on the screen.
  window->move(area.x() + std::max(0, (area.width() - size.width()) / 2),
               area.y() + std::max(0, (area.height() - size.height()) / 3));
}

// Places the window again when it is first shown, once the size of its
// frame is known, then removes itself.
class PlaceOnFirstShow : public QObject {
 public:
  explicit PlaceOnFirstShow(QWidget* window) : QObject(window) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched == parent()) {
      PlaceWindow(static_cast<QWidget*>(watched));
      watched->removeEventFilter(this);
      deleteLater();
    }
    return false;
  }
};

}  // namespace

void ApplyGreenOnBlack(QWidget* widget) {
  QPalette palette = widget->palette();
  for (QPalette::ColorGroup group :
       {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, kBoxBackgroundColor);
    palette.setColor(group, QPalette::Window, kBoxBackgroundColor);
  }
  palette.setColor(QPalette::Active, QPalette::Text, kBoxTextColor);
  palette.setColor(QPalette::Inactive, QPalette::Text, kBoxTextColor);
  palette.setColor(QPalette::Disabled, QPalette::Text,
                   kBoxTextColor.darker(200));
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

void PlaceOnScreen(QWidget* window) {
  PlaceWindow(window);
  if (!window->isVisible()) {
    window->installEventFilter(new PlaceOnFirstShow(window));
  }
}

void PlaceNear(QWidget* window, const QWidget* anchor) {
  const QScreen* screen = ScreenOf(anchor);
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize size = OuterSize(window);
  const QPoint centre = anchor->frameGeometry().center();
  const int x = std::clamp(centre.x() - size.width() / 2, area.left(),
                           std::max(area.left(), area.right() - size.width()));
  const int y = std::clamp(centre.y() - size.height() / 2, area.top(),
                           std::max(area.top(), area.bottom() - size.height()));
  window->move(x, y);
}

void SelectAllOnFocus(QLineEdit* edit) {
  edit->installEventFilter(new SelectAllFilter(edit));
}

}  // namespace tessavar
