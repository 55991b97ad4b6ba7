// A drop-down list that says when its list is about to open (the panel
// shows such a list black on white until it loses the focus).
#ifndef TESSAVAR_UI_LIST_COMBO_H_
#define TESSAVAR_UI_LIST_COMBO_H_

#include <QComboBox>

namespace tessavar {

class ListCombo : public QComboBox {
  Q_OBJECT

 public:
  using QComboBox::QComboBox;

  void showPopup() override;
  void hidePopup() override;
  // While the list is dropped down, focus moves into it are not focus
  // losses of the list.
  bool popup_open() const { return popup_open_; }

 signals:
  void PopupOpening();

 private:
  bool popup_open_ = false;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_LIST_COMBO_H_
