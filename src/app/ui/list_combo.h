// A drop-down list that says when its list is about to open (the panel
// shows such a list black on white until it loses the focus).
#ifndef TESSAVAR_APP_UI_LIST_COMBO_H_
#define TESSAVAR_APP_UI_LIST_COMBO_H_

#include <QComboBox>

namespace tessavar {

class ListCombo : public QComboBox {
  Q_OBJECT

 public:
  using QComboBox::QComboBox;

  void showPopup() override;

 signals:
  void PopupOpening();
};

}  // namespace tessavar

#endif  // TESSAVAR_APP_UI_LIST_COMBO_H_
