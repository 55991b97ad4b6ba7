// The window's commands without a window, in a fresh program directory:
// dialogs and errors answered by doubles, the player a fake.
#ifndef TESSAVAR_TESTS_SUPPORT_APP_COMMANDS_FIXTURE_H_
#define TESSAVAR_TESTS_SUPPORT_APP_COMMANDS_FIXTURE_H_

#include <gtest/gtest.h>

#include "model/app_commands.h"
#include "model/audio_renderer.h"
#include "model/program_state.h"
#include "model/ui_host.h"
#include "support/fake_player.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar::testing {

class AppCommandsFixture : public ::testing::Test {
 protected:
  // The renderer Export Audio uses; none by default.
  explicit AppCommandsFixture(AudioRenderer* renderer = nullptr)
      : commands_{state_, dialogs_, errors_, player_, ui_, renderer} {
    state_.paths = ProgramPaths::FromDirectory(dir_.path());
  }

  TempDir dir_;
  ProgramState state_;
  ScriptedDialogs dialogs_;
  ScriptedErrorReporter errors_;
  FakePlayer player_;
  UiHost ui_;
  AppCommands commands_;
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_APP_COMMANDS_FIXTURE_H_
