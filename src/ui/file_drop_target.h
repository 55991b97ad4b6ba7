// Takes files dropped anywhere on a window: while a drag of files is over
// it, asks what the drop would do and shows the drag as accepted only when it
// would do something; on the drop, hands the decision over. The rules are the
// model's (DecideDrop).
#ifndef TESSAVAR_UI_FILE_DROP_TARGET_H_
#define TESSAVAR_UI_FILE_DROP_TARGET_H_

#include <QObject>
#include <functional>

#include "model/drag_drop_rules.h"

class QDropEvent;

namespace tessavar {

class FileDropTarget : public QObject {
  Q_OBJECT

 public:
  // Accepts drops on `window` from now on.
  explicit FileDropTarget(QWidget* window);

  // What a drop would do now.
  std::function<DropDecision(const std::vector<std::string>& local_files,
                             bool from_this_window)>
      decide;
  // Runs an accepted drop.
  std::function<void(const DropDecision&)> on_drop;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  DropDecision Decide(const QDropEvent& event) const;

  QWidget* window_;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_FILE_DROP_TARGET_H_
