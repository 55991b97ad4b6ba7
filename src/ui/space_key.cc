#include "ui/space_key.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QShortcut>
#include <QWidget>
#include <utility>

namespace tessavar {

SpaceKey::SpaceKey(QWidget* window, std::function<void()> play_pause)
    : QObject(window), window_(window), play_pause_(std::move(play_pause)) {
  auto* space = new QShortcut(QKeySequence(Qt::Key_Space), window);
  space->setObjectName("SpaceShortcut");
  connect(space, &QShortcut::activated, this, [this] { play_pause_(); });
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
    return false;
  }
  const bool press = event->type() == QEvent::KeyPress;
  if (!press && event->type() != QEvent::ShortcutOverride) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_Space || key->modifiers() != Qt::NoModifier) {
    return false;
  }
  // Buttons, check boxes and combo boxes use Space themselves; anything
  // else (the slider, the MIDI tile) leaves it to play and pause.
  const bool control = qobject_cast<QAbstractButton*>(widget) != nullptr ||
                       qobject_cast<QComboBox*>(widget) != nullptr;
  if (control && widget == tabbed_to_) {
    // Accepted, the override lets the key reach the control as a plain
    // key press.
    key->accept();
    return !press;
  }
  // A control that got here without a shortcut (the window not active, as
  // under some window managers) must still not be pressed by Space.
  if (press && control && window_->isAncestorOf(widget)) {
    if (!key->isAutoRepeat()) play_pause_();
    return true;
  }
  return false;
}

}  // namespace tessavar
