// The "Piece History" window: the pieces composed, newest first, with their
// time, structure, mapping, tempo and length. Choosing one brings it back;
// a star keeps it across restarts; Save As saves the chosen piece. Esc
// and Close close it.
#ifndef TESSAVAR_UI_HISTORY_WINDOW_H_
#define TESSAVAR_UI_HISTORY_WINDOW_H_

#include <QWidget>
#include <cstddef>

#include "model/piece_history.h"

class QPushButton;
class QTreeWidget;

namespace tessavar {

class HistoryWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HistoryWindow(QWidget* parent = nullptr);

  // Shows the history's pieces, the newest selected when one was added.
  void Show(const PieceHistory& history);
  QTreeWidget* list() const { return list_; }
  QPushButton* close_button() const { return close_button_; }
  // The history index of the selected piece, or -1.
  int SelectedIndex() const;
  // Enables the buttons that start a command (not while one runs).
  void SetCommandsEnabled(bool enabled);

 signals:
  void RestoreRequested(int index);
  void SaveRequested(int index);
  void StarToggled(int index);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Emit(void (HistoryWindow::*signal)(int));

  QTreeWidget* list_ = nullptr;
  QPushButton* restore_button_ = nullptr;
  QPushButton* star_button_ = nullptr;
  QPushButton* save_button_ = nullptr;
  QPushButton* close_button_ = nullptr;
  size_t shown_count_ = 0;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_HISTORY_WINDOW_H_
