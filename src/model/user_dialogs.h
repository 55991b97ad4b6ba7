// The modal boxes the commands need: message box, input box and the
// open/save file dialogs. The desktop program implements them with Qt;
// tests answer them with doubles.
#ifndef TESSAVAR_MODEL_USER_DIALOGS_H_
#define TESSAVAR_MODEL_USER_DIALOGS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tessavar {

enum class MessageIcon { kNone, kExclamation, kInformation };

struct FileDialogRequest {
  std::string title;              // "Load Composition"
  std::string filter;             // "Compositions (*.tvx)"
  std::string default_extension;  // "tvx"
  bool must_exist = false;        // Open dialogs: file and path must exist
  // The file to pre-select (its folder is opened) or a folder to open in;
  // empty opens in the current directory.
  std::string start_path;
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // A message box with an OK button; an empty title means the program's
  // default title.
  virtual void ShowMessage(const std::string& text, const std::string& title,
                           MessageIcon icon) = 0;
  // A question with Yes and No buttons (No is the default); true for Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
  // A single-line input box; the empty text when the user cancels.
  virtual std::string InputBox(const std::string& prompt,
                               const std::string& title,
                               const std::string& default_text) = 0;
  // File dialogs; nullopt when the user cancels. A save dialog never asks
  // about replacing: the command asks for the files it will really write.
  virtual std::optional<std::string> OpenFileName(
      const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> SaveFileName(
      const FileDialogRequest& request) = 0;
  // A folder chooser starting at the request's start path (its filter and
  // extension are not used); nullopt when the user cancels.
  virtual std::optional<std::string> FolderName(
      const FileDialogRequest& request) = 0;
  // A choice among items, the first offered; nullopt when cancelled.
  virtual std::optional<size_t> ChooseItem(
      const std::string& prompt, const std::string& title,
      const std::vector<std::string>& items) = 0;
};

}  // namespace tessavar

#endif  // TESSAVAR_MODEL_USER_DIALOGS_H_
