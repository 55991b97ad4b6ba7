// Test double for the modal boxes and file dialogs: answers from scripts
// and records what was asked.
#ifndef TESSAVAR_TESTS_SUPPORT_SCRIPTED_DIALOGS_H_
#define TESSAVAR_TESTS_SUPPORT_SCRIPTED_DIALOGS_H_

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "model/user_dialogs.h"

namespace tessavar::testing {

class ScriptedDialogs : public UserDialogs {
 public:
  struct Message {
    std::string text;
    std::string title;
    MessageIcon icon;
  };
  struct Input {
    std::string prompt;
    std::string title;
    std::string default_text;
  };

  void ShowMessage(const std::string& text, const std::string& title,
                   MessageIcon icon) override {
    messages.push_back({text, title, icon});
  }
  bool AskYesNo(const std::string& text, const std::string& title) override {
    questions.push_back({text, title, MessageIcon::kNone});
    return Next(yes_no_answers, false);
  }
  std::string InputBox(const std::string& prompt, const std::string& title,
                       const std::string& default_text) override {
    inputs.push_back({prompt, title, default_text});
    return Next(input_answers, std::string());
  }
  std::optional<std::string> OpenFileName(
      const FileDialogRequest& request) override {
    open_requests.push_back(request);
    return Next(file_answers, std::optional<std::string>());
  }
  std::optional<std::string> SaveFileName(
      const FileDialogRequest& request) override {
    save_requests.push_back(request);
    return Next(file_answers, std::optional<std::string>());
  }
  std::optional<std::string> FolderName(
      const FileDialogRequest& request) override {
    folder_requests.push_back(request);
    return Next(file_answers, std::optional<std::string>());
  }
  std::optional<size_t> ChooseItem(
      const std::string& prompt, const std::string& title,
      const std::vector<std::string>& items) override {
    inputs.push_back({prompt, title, items.empty() ? "" : items[0]});
    return Next(item_answers, std::optional<size_t>());
  }

  // Answers, used in order; an empty script cancels.
  std::deque<std::string> input_answers;
  std::deque<std::optional<std::string>> file_answers;
  std::deque<bool> yes_no_answers;  // an empty script answers No
  std::deque<std::optional<size_t>> item_answers;

  std::vector<Message> messages;
  std::vector<Message> questions;
  std::vector<Input> inputs;
  std::vector<FileDialogRequest> open_requests;
  std::vector<FileDialogRequest> save_requests;
  std::vector<FileDialogRequest> folder_requests;

 private:
  template <typename T>
  static T Next(std::deque<T>& script, T fallback) {
    if (script.empty()) return fallback;
    T answer = std::move(script.front());
    script.pop_front();
    return answer;
  }
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_SCRIPTED_DIALOGS_H_
