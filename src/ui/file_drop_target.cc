#include "ui/file_drop_target.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace tessavar {

FileDropTarget::FileDropTarget(QWidget* window)
    : QObject(window), window_(window) {
  window->setAcceptDrops(true);
  // Boxes that take dragged text get file drags first: watch them all.
  QCoreApplication::instance()->installEventFilter(this);
}

DropDecision FileDropTarget::Decide(const QDropEvent& event) const {
  std::vector<std::string> local_files;
  for (const QUrl& url : event.mimeData()->urls()) {
    local_files.push_back(url.isLocalFile() ? url.toLocalFile().toStdString()
                                            : std::string());
  }
  return decide ? decide(local_files, event.source() != nullptr)
                : DropDecision{};
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove &&
      type != QEvent::Drop) {
    return QObject::eventFilter(watched, event);
  }
  auto* widget = qobject_cast<QWidget*>(watched);
  auto* drop = static_cast<QDropEvent*>(event);
  // Text dragged into a box, and drags over other windows, go on as usual.
  if (widget == nullptr || widget->window() != window_ ||
      !drop->mimeData()->hasUrls()) {
    return QObject::eventFilter(watched, event);
  }
  const DropDecision decision = Decide(*drop);
  if (decision.command == DropCommand::kRefuse) {
    drop->ignore();
    return true;
  }
  drop->setDropAction(Qt::CopyAction);
  drop->accept();
  if (type == QEvent::Drop && on_drop) on_drop(decision);
  return true;
}

}  // namespace tessavar
