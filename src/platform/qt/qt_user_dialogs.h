// The modal boxes of the desktop program: QMessageBox, QInputDialog and
// QFileDialog behind the UserDialogs interface.
#ifndef TESSAVAR_PLATFORM_QT_QT_USER_DIALOGS_H_
#define TESSAVAR_PLATFORM_QT_QT_USER_DIALOGS_H_

#include <QPointer>
#include <QWidget>

#include "model/user_dialogs.h"

namespace tessavar {

class QtUserDialogs : public UserDialogs {
 public:
  // The boxes open over parent (may be null).
  explicit QtUserDialogs(QWidget* parent = nullptr) : parent_(parent) {}

  void set_parent(QWidget* parent) { parent_ = parent; }

  // An empty title shows the program's name.
  void ShowMessage(const std::string& text, const std::string& title,
                   MessageIcon icon) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
  std::string InputBox(const std::string& prompt, const std::string& title,
                       const std::string& default_text) override;
  // Starts at the request's start path (else the current directory) with
  // its filter and default extension; Open dialogs accept only existing files
  // when the request says so. Save dialogs do not ask before replacing: the
  // name chosen is not always the name written.
  std::optional<std::string> OpenFileName(
      const FileDialogRequest& request) override;
  std::optional<std::string> SaveFileName(
      const FileDialogRequest& request) override;
  // A folder that need not exist yet: the command creates it.
  std::optional<std::string> FolderName(
      const FileDialogRequest& request) override;
  std::optional<size_t> ChooseItem(
      const std::string& prompt, const std::string& title,
      const std::vector<std::string>& items) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tessavar

#endif  // TESSAVAR_PLATFORM_QT_QT_USER_DIALOGS_H_
