#include "model/compose_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "model/composition_file_io.h"
#include "support/compose_refusals.h"
#include "support/composer_fixtures.h"
#include "support/counting_ui_host.h"
#include "support/fake_player.h"
#include "support/scripted_error_reporter.h"
#include "support/temp_dir.h"

namespace tessavar {
namespace {

namespace fs = std::filesystem;
using testing::CountingUiHost;
using testing::FakePlayer;
using testing::MakePanel;
using testing::PanelSetup;
using testing::ScriptedErrorReporter;

class ComposeCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_.paths = ProgramPaths::FromDirectory(dir_.path());
    state_.panel = MakePanel(PanelSetup{});
    state_.panel.EnablePanel();
  }
  fs::path WorkingFile() const { return dir_ / "tvx.mid"; }

  ComposeOutcome Click(UiHost& host) {
    ComposeCommand command(state_, player_, host, errors_);
    running_ = &command;
    const ComposeOutcome outcome = command.Click();
    running_ = nullptr;
    return outcome;
  }
  ComposeOutcome Click() {
    UiHost host;
    return Click(host);
  }
  void SetText(Box box, const std::string& text) {
    state_.panel.SetText({box}, text);
  }

  testing::TempDir dir_;
  // The command whose Click() runs, for a click while it composes.
  ComposeCommand* running_ = nullptr;
  ProgramState state_;
  FakePlayer player_;
  ScriptedErrorReporter errors_;
};

TEST_F(ComposeCommandTest, EachValidationMessageAndFocus) {
  for (const testing::ComposeRefusal& c : testing::kComposeRefusals) {
    PanelModel fresh = MakePanel(PanelSetup{});
    fresh.EnablePanel();
    fresh.SetText({c.box}, c.text);
    ComposeValidation v = ValidateCompose(fresh);
    EXPECT_EQ(v.kind, ComposeValidation::Kind::kMessage) << c.text;
    EXPECT_EQ(v.text, c.message) << c.text;
    EXPECT_EQ(v.focus, c.box) << c.text;
  }
}

TEST_F(ComposeCommandTest, ChecksRunInOrderAndBoundsAreAccepted) {
  SetText(Box::kMapping, "0");
  SetText(Box::kTempo, "421");
  EXPECT_EQ(ValidateCompose(state_.panel).text,
            "Mapping should be in the range 1 - 32767.");
  SetText(Box::kMapping, "5");
  EXPECT_EQ(ValidateCompose(state_.panel).text,
            "Tempo should be in the range 20 - 420.");
  SetText(Box::kTempo, "20");
  EXPECT_TRUE(ValidateCompose(state_.panel).passed());
  SetText(Box::kTempo, "420");
  SetText(Box::kTracks, "16");
  SetText(Box::kVariation, "0");
  SetText(Box::kStructure, "1231231231231231");
  EXPECT_TRUE(ValidateCompose(state_.panel).passed());
  // An accented letter is one character.
  SetText(Box::kStructure, "\xC3\xA9\xC3\xA9");
  EXPECT_EQ(ValidateCompose(state_.panel).text,
            "Structure should be 3 to 16 digits in length.");
}

TEST_F(ComposeCommandTest, NoteChecksGoToTheStatusLineOnly) {
  SetText(Box::kStructure, " 11");
  ComposeOutcome outcome = Click();
  EXPECT_EQ(outcome.kind, ComposeOutcome::Kind::kInvalid);
  EXPECT_EQ(outcome.validation.kind, ComposeValidation::Kind::kNote);
  EXPECT_EQ(state_.panel.status_text(),
            "Note:  Structure must be 3 to 32 digits in length");

  SetText(Box::kStructure, " 111");
  Click();
  EXPECT_EQ(state_.panel.status_text(),
            "Note:  Structure must not be all one digit");
  EXPECT_TRUE(player_.log.empty());
  EXPECT_FALSE(fs::exists(WorkingFile()));
  EXPECT_TRUE(state_.panel.enabled());
}

TEST_F(ComposeCommandTest, MessageFailureChangesNothing) {
  SetText(Box::kStructure, "12");
  ComposeOutcome outcome = Click();
  EXPECT_EQ(outcome.kind, ComposeOutcome::Kind::kInvalid);
  EXPECT_EQ(outcome.validation.kind, ComposeValidation::Kind::kMessage);
  EXPECT_EQ(state_.panel.status_text(), "");
  EXPECT_TRUE(player_.log.empty());
  EXPECT_FALSE(fs::exists(WorkingFile()));
}

TEST_F(ComposeCommandTest, ComposesWritesOpensAndRestores) {
  state_.play_slider = 400;
  std::vector<CommandAvailability> during;
  std::vector<bool> panel_enabled;
  CountingUiHost host([&](int) {
    during.push_back(state_.commands.Availability(state_.panel));
    panel_enabled.push_back(state_.panel.enabled());
  });
  ComposeOutcome outcome = Click(host);
  ASSERT_EQ(outcome.kind, ComposeOutcome::Kind::kFinished);
  EXPECT_TRUE(outcome.written);
  ASSERT_TRUE(fs::exists(WorkingFile()));
  EXPECT_EQ(ReadWholeFile(WorkingFile().string()).substr(0, 4), "MThd");

  // While composing: Compose stops it, the panel and the other commands are
  // disabled; afterwards all is restored.
  ASSERT_FALSE(during.empty());
  const CommandAvailability& first = during.front();
  EXPECT_TRUE(first.compose_stops);
  EXPECT_FALSE(panel_enabled.front());
  EXPECT_FALSE(first.load || first.redo || first.save || first.file_commands);
  EXPECT_EQ(state_.commands.running(), RunningCommand::kNone);
  AvailabilityFacts on_disk;
  on_disk.working_midi_exists = true;
  const CommandAvailability after =
      state_.commands.Availability(state_.panel, on_disk);
  EXPECT_FALSE(after.compose_stops);
  EXPECT_TRUE(state_.panel.enabled());
  EXPECT_TRUE(state_.panel.IsSpinnerEnabled({Box::kMapped, 3}));
  EXPECT_TRUE(after.load && after.redo && after.file_commands);
  EXPECT_FALSE(after.compose);
  EXPECT_TRUE(after.save);
  EXPECT_EQ(state_.panel.status_text(), "");
  EXPECT_EQ(state_.play_slider, 0);
  // "Auto" stayed on and shows what the composer chose.
  EXPECT_EQ(state_.panel.CheckValue({Check::kMappedAuto}), 1);
  EXPECT_NE(state_.panel.Text({Box::kMapped, 5}), "13");

  EXPECT_EQ(player_.log, (std::vector<std::string>{
                             "Close", "Close",
                             "FileName " + state_.paths.working_midi, "Open"}));
}

// The command-line composer keeps the file in memory: the same bytes and
// the same panel afterwards as the window's compose; no file is written and
// the player opens nothing.
TEST_F(ComposeCommandTest, KeepingTheFileInMemoryChangesNothingElse) {
  ProgramState in_memory = state_;
  ASSERT_TRUE(Click().written);
  const std::string written = ReadWholeFile(WorkingFile().string());
  fs::remove(WorkingFile());

  FakePlayer untouched;
  UiHost host;
  std::string midi;
  ComposeCommand command(in_memory, untouched, host, errors_);
  command.KeepMidiFileIn(&midi);
  ASSERT_TRUE(command.Click().written);
  EXPECT_EQ(midi, written);
  EXPECT_FALSE(fs::exists(WorkingFile()));
  EXPECT_EQ(untouched.log, std::vector<std::string>{"Close"});
  EXPECT_EQ(CompositionFileBytes(in_memory, nullptr),
            CompositionFileBytes(state_, nullptr));
  EXPECT_EQ(in_memory.panel.save_enabled(), state_.panel.save_enabled());
}

TEST_F(ComposeCommandTest, AutoplayStartsFromTheResetSlider) {
  state_.options.autoplay = true;
  state_.play_slider = 500;
  player_.length_ms = 200000;
  Click();
  ASSERT_GE(player_.log.size(), 2u);
  EXPECT_EQ(player_.log[player_.log.size() - 2], "From 0");
  EXPECT_EQ(player_.log.back(), "Play");
}

TEST_F(ComposeCommandTest, CancelWhileComposingLeavesTheWorkingFile) {
  WriteFileAtomically(WorkingFile().string(), "previous");
  state_.options.autoplay = true;
  ComposeOutcome inner;
  CountingUiHost host([&](int yields) {
    // A click on the button while it reads "Cancel", a few phrases in.
    if (yields == 6) inner = running_->Click();
  });
  ComposeOutcome outcome = Click(host);
  EXPECT_EQ(inner.kind, ComposeOutcome::Kind::kStopRequested);
  EXPECT_FALSE(inner.started());
  EXPECT_EQ(outcome.kind, ComposeOutcome::Kind::kFinished);
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(ReadWholeFile(WorkingFile().string()), "previous");
  EXPECT_EQ(player_.log, std::vector<std::string>{"Close"});
  EXPECT_FALSE(state_.commands.compose_stops());
  EXPECT_TRUE(state_.panel.compose_enabled());
  // The working file is not this panel's music: Save stays off.
  EXPECT_FALSE(state_.panel.save_enabled());
  // The stop was for that compose only: the next one runs to the end.
  EXPECT_TRUE(Click().written);
}

TEST_F(ComposeCommandTest, AClickWhileARedoRunsDoesNothing) {
  state_.commands.Start(RunningCommand::kRedo);
  ComposeOutcome outcome = Click();
  EXPECT_EQ(outcome.kind, ComposeOutcome::Kind::kBusy);
  EXPECT_FALSE(outcome.started());
  EXPECT_TRUE(player_.log.empty());
  EXPECT_FALSE(fs::exists(WorkingFile()));
  EXPECT_EQ(state_.commands.running(), RunningCommand::kRedo);
}

TEST_F(ComposeCommandTest, CancelWhileWritingStopsTheWriter) {
  SetText(Box::kTracks, "16");
  state_.options.autoplay = true;
  bool clicked = false;
  CountingUiHost host([&](int) {
    if (state_.panel.status_text() == kGeneratingStatus && !clicked) {
      clicked = true;
      running_->Click();
    }
  });
  state_.panel.set_save_enabled(true);  // an earlier piece was composed
  ComposeOutcome outcome = Click(host);
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(player_.log, std::vector<std::string>{"Close"});
  EXPECT_TRUE(state_.panel.compose_enabled());
  EXPECT_FALSE(state_.panel.save_enabled());
}

}  // namespace
}  // namespace tessavar
