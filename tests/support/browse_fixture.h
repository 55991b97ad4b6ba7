// A program in a scratch directory for the browsing tests: the panel ready
// to compose, a recording player and a session over them, with helpers to
// compose through the Compose command and to read the working file.
#ifndef TESSAVAR_TESTS_SUPPORT_BROWSE_FIXTURE_H_
#define TESSAVAR_TESTS_SUPPORT_BROWSE_FIXTURE_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/file_system.h"
#include "model/browse_session.h"
#include "model/compose_command.h"
#include "model/program_state.h"
#include "support/composer_fixtures.h"
#include "support/counting_ui_host.h"
#include "support/fake_player.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar::testing {

class BrowseFixture : public ::testing::Test {
 protected:
  BrowseFixture() {
    state_.paths = ProgramPaths::FromDirectory(dir_.path());
    state_.panel = MakePanel(PanelSetup{});
    state_.panel.EnablePanel();
    state_.panel.on_score_cleared = [this] { player_.Close(); };
    NewSession();
  }

  // A session as after a restart (the same directory).
  void NewSession() {
    session_ = std::make_unique<BrowseSession>(state_, player_, host_, errors_);
    session_->clock = [] { return int64_t{1700000000}; };
    session_->Start();
  }

  // Compose as the window does; the outcome goes to the session.
  ComposeOutcome Compose() {
    ComposeOutcome outcome =
        ComposeCommand(state_, player_, host_, errors_).Click();
    session_->Composed(outcome);
    return outcome;
  }
  std::string WorkingFile() const { return ReadWholeFile(dir_ / "tvx.mid"); }

  // A user typing a whole text into a box, character by character.
  void Type(BoxId id, const std::string& text) {
    for (size_t n = 1; n <= text.size(); ++n) {
      state_.panel.SetText(id, text.substr(0, n));
      session_->UserChanged(ChangeKey::Typing(id));
    }
    state_.panel.FocusLost(id);
    session_->BoxLeft(id);
  }

  TempDir dir_;
  ProgramState state_;
  FakePlayer player_;
  CountingUiHost host_;
  ScriptedErrorReporter errors_;
  std::unique_ptr<BrowseSession> session_;
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_BROWSE_FIXTURE_H_
