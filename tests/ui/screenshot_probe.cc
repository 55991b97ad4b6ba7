#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>
#include "app/ui/main_window.h"
#include "app/user_dialogs.h"
#include "support/fake_player.h"
#include "support/scripted_error_reporter.h"
namespace tessavar {
namespace {
class NoDialogs : public UserDialogs {
 public:
  void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
  std::string InputBox(const std::string&, const std::string&, const std::string&) override { return ""; }
  std::optional<std::string> OpenFileName(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const FileDialogRequest&) override { return std::nullopt; }
};
TEST(Probe, Shot) {
  ProgramState state;
  testing::FakePlayer player;
  testing::ScriptedErrorReporter errors;
  NoDialogs dialogs;
  MainWindow w(state, player, dialogs, errors);
  w.show();
  QTest::qWait(50);
  w.grab().save("/tmp/probe.png");
  printf("size %d x %d\n", w.width(), w.height());
}
}
}
