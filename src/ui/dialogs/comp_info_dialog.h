// The "Composition Info" dialog: edits the free text that travels with a
// composition inside its MIDI file.
#ifndef TESSAVAR_UI_DIALOGS_COMP_INFO_DIALOG_H_
#define TESSAVAR_UI_DIALOGS_COMP_INFO_DIALOG_H_

#include <QDialog>
#include <string>

#include "model/user_dialogs.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tessavar {

class CompInfoDialog : public QDialog {
  Q_OBJECT

 public:
  // Edits composition_info in place (UTF-8); the length message goes
  // through dialogs.
  CompInfoDialog(std::string& composition_info, UserDialogs& dialogs,
                 QWidget* parent = nullptr);

  // The menu command: puts the information into the box, shows the dialog
  // modally and returns once it is hidden again.
  void Run();

  // Sets the box to the composition information.
  void LoadText();

  // Removes trailing spaces from the box and refuses a text longer than
  // 127 bytes with a message. Returns whether the text was accepted.
  bool CheckCompositionInfo();
  bool accepted() const { return accepted_; }

  QLineEdit* text_box() const { return text_box_; }
  QLabel* bytes_left() const { return bytes_left_; }
  QPushButton* ok_button() const { return ok_button_; }
  QPushButton* cancel_button() const { return cancel_button_; }
  QPushButton* clear_button() const { return clear_button_; }

  // Cancel, Escape and the window's close button: the box goes back to the
  // stored information and the dialog hides.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OkClicked();

  std::string& composition_info_;
  UserDialogs& dialogs_;
  QLineEdit* text_box_ = nullptr;
  QLabel* bytes_left_ = nullptr;
  QPushButton* ok_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QPushButton* clear_button_ = nullptr;
  bool accepted_ = false;
};

}  // namespace tessavar

#endif  // TESSAVAR_UI_DIALOGS_COMP_INFO_DIALOG_H_
