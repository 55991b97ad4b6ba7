// Test double for the modal boxes: records every message and answers input
// boxes and file dialogs from scripts.
#ifndef TESSAVAR_TESTS_UI_DIALOGS_RECORDING_USER_DIALOGS_H_
#define TESSAVAR_TESTS_UI_DIALOGS_RECORDING_USER_DIALOGS_H_

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "model/user_dialogs.h"

namespace tessavar::testing {

class RecordingUserDialogs : public UserDialogs {
 public:
  struct Message {
    std::string text;
    std::string title;
    MessageIcon icon;
  };

  void ShowMessage(const std::string& text, const std::string& title,
                   MessageIcon icon) override {
    messages.push_back({text, title, icon});
  }
  bool AskYesNo(const std::string& text, const std::string& title) override {
    prompts.push_back({text, title, MessageIcon::kNone});
    return false;
  }
  std::string InputBox(const std::string& prompt, const std::string& title,
                       const std::string& default_text) override {
    prompts.push_back({prompt, title, MessageIcon::kNone});
    input_defaults.push_back(default_text);
    if (input_answers.empty()) return std::string();
    std::string answer = input_answers.front();
    input_answers.pop_front();
    return answer;
  }
  std::optional<std::string> OpenFileName(
      const FileDialogRequest& request) override {
    return NextFile(request);
  }
  std::optional<std::string> SaveFileName(
      const FileDialogRequest& request) override {
    return NextFile(request);
  }
  std::optional<std::string> FolderName(
      const FileDialogRequest& request) override {
    return NextFile(request);
  }
  std::optional<size_t> ChooseItem(
      const std::string& prompt, const std::string& title,
      const std::vector<std::string>& /*items*/) override {
    prompts.push_back({prompt, title, MessageIcon::kNone});
    return std::nullopt;
  }

  std::vector<Message> messages;
  std::vector<Message> prompts;
  std::vector<std::string> input_defaults;
  std::deque<std::string> input_answers;  // empty text once used up
  std::vector<FileDialogRequest> file_requests;
  std::deque<std::optional<std::string>> file_answers;  // cancel once used up

 private:
  std::optional<std::string> NextFile(const FileDialogRequest& request) {
    file_requests.push_back(request);
    if (file_answers.empty()) return std::nullopt;
    std::optional<std::string> answer = file_answers.front();
    file_answers.pop_front();
    return answer;
  }
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_UI_DIALOGS_RECORDING_USER_DIALOGS_H_
