#include "app/ui/list_combo.h"

namespace tessavar {

void ListCombo::showPopup() {
  emit PopupOpening();
  QComboBox::showPopup();
}

}  // namespace tessavar
