#include "ui/list_combo.h"

namespace tessavar {

void ListCombo::showPopup() {
  emit PopupOpening();
  popup_open_ = true;
  QComboBox::showPopup();
}

void ListCombo::hidePopup() {
  QComboBox::hidePopup();
  popup_open_ = false;
}

}  // namespace tessavar
