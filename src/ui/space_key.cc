#include "ui/space_key.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QShortcut>
#include <QWidget>
#include <utility>

namespace tessavar {

SpaceKey::SpaceKey(QWidget* window, std::function<void()> play_pause)
    : QObject(window), window_(window) {
  auto* space = new QShortcut(QKeySequence(Qt::Key_Space), window);
  space->setObjectName("SpaceShortcut");
  connect(space, &QShortcut::activated, this,
          [play = std::move(play_pause)] { play(); });
  // Focus changes anywhere in the window are seen here, with their reason.
  qApp->installEventFilter(this);
}

SpaceKey::~SpaceKey() { qApp->removeEventFilter(this); }

bool SpaceKey::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (event->type() == QEvent::FocusIn) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    const bool by_tab =
        reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    tabbed_to_ = by_tab && window_->isAncestorOf(widget) ? widget : nullptr;
  } else if (event->type() == QEvent::ShortcutOverride &&
             widget == tabbed_to_ && widget->hasFocus()) {
    // Accepted, the key goes to the control as a plain key press.
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
      key->accept();
      return true;
    }
  }
  return false;
}

}  // namespace tessavar
